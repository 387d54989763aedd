// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The list file's reader (line splitting from the right, decoding, entry
// rule) and writer. Properties: every row read is clean (no control
// character, no '#' outside the name); one row per non-empty line; writing
// the rows and reading them back gives the same rows, and nothing is
// reported as changed on that second reading.
#include "FuzzCheck.h"

#include "EntryText.h"
#include "ListFile.h"
#include "TextBody.h"

#include <QBuffer>

namespace {

// Lines that hold something, counted the plain way: every CR or LF ends a
// line, and the empty ones (between the CR and LF of a CR LF, too) are not
// counted.
qint64 nonEmptyLines(QByteArrayView body)
{
    qint64 count = 0;
    bool inLine = false;
    for (char c : body) {
        const bool end = c == '\r' || c == '\n';
        count += end && inLine ? 1 : 0;
        inLine = !end;
    }
    return count + (inLine ? 1 : 0);
}

void checkClean(const CatalogItem &item)
{
    FUZZ_CHECK(EntryText::isCleanName(item.field(CatalogItem::Name)), Escaped(item.toListLine()));
    for (int f = CatalogItem::FileSize; f < CatalogItem::StoredFieldCount; ++f)
        FUZZ_CHECK(EntryText::isCleanField(item.field(f)), Escaped(item.toListLine()));
}

constexpr qsizetype ArenaBlockUnits = 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    // Small arena blocks: inputs are a few KiB, and rows then cross and
    // outgrow blocks, which a catalogue of real size does too.
    Catalog catalog(ArenaBlockUnits);
    const CatalogLoadReport report = ReadCatalogBytes(bytes, catalog);
    FUZZ_CHECK(report.rows == catalog.size(), QString::number(report.rows));
    const TextBody body(bytes);
    FUZZ_CHECK(report.rows == nonEmptyLines(body.bytes()), QString::number(report.rows));
    for (qsizetype i = 0; i < catalog.size(); ++i) {
        checkClean(catalog.at(i));
        FUZZ_CHECK(catalog.at(i).rowKey() == i, QString::number(catalog.at(i).rowKey()));
    }

    QBuffer written;
    written.open(QIODevice::WriteOnly);
    const FileResult saved = WriteCatalog(written, catalog);
    FUZZ_CHECK(saved.ok, saved.reason);

    Catalog again(ArenaBlockUnits);
    const CatalogLoadReport reread = ReadCatalogBytes(written.data(), again);
    FUZZ_CHECK(
        again.size() == catalog.size(), QStringLiteral("%1 rows, then %2").arg(catalog.size()).arg(again.size()));
    FUZZ_CHECK(!reread.changedOnReading(), reread.remark());
    for (qsizetype i = 0; i < catalog.size(); ++i) {
        FUZZ_CHECK(again.at(i).joinedText() == catalog.at(i).joinedText(),
            QStringLiteral("row %1: %2 became %3")
                .arg(i)
                .arg(Escaped(catalog.at(i).toListLine()), Escaped(again.at(i).toListLine())));
    }
    return 0;
}
