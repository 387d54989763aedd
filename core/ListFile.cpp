// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ListFile.h"

#include "Trash.h"

#include "DataFolder.h"
#include "LineSplitter.h"
#include "TextBody.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <vector>

namespace {

constexpr int SeparatorCount = CatalogItem::StoredFieldCount - 1;
constexpr qsizetype WriteChunk = 1 << 20;

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

// Turns a decoded line into a row's joined text, in place; the room behind
// the line takes the separators it lacks. The list file has no escape, so
// the line is split from the right: the last fourteen '#' are the
// separators and the name is everything in front of them (it may be empty:
// a row renamed to nothing is saved so). A line with fewer fills the fields
// from the left. Control characters become U+FFFD and are added to
// controls. Returns whether the line was in the format (fourteen separators
// or more).
bool joinFields(char16_t *begin, qsizetype &length, qint64 &controls)
{
    char16_t *end = begin + length;
    for (char16_t *p = begin; p < end; ++p) {
        if (isControl(*p)) {
            *p = 0xFFFD;
            ++controls;
        }
    }
    int found = 0;
    for (char16_t *p = end; p > begin && found < SeparatorCount;) {
        --p;
        if (*p == u'#') {
            *p = CatalogItem::Separator.unicode();
            ++found;
        }
    }
    if (found < SeparatorCount) {
        std::fill(end, end + (SeparatorCount - found), CatalogItem::Separator.unicode());
        length += SeparatorCount - found;
        return false;
    }
    return true;
}

class CatalogReader
{
public:
    CatalogReader(Catalog &catalog, CatalogLoadReport &report, const ProgressCallback &progress)
        : m_catalog(catalog)
        , m_report(report)
        , m_progress(progress)
    { }

    void read(QByteArrayView fileBytes)
    {
        const TextBody body(fileBytes);
        m_report.encoding = body.fileEncoding();
        m_report.guessedUtf16 = body.guessedUtf16();
        m_report.undecodableChars += body.undecodable();
        m_encoding = body.lineEncoding();
        m_catalog.reserve(m_catalog.size() + LineSplitter::count(body.bytes()));
        LineSplitter lines(body.bytes());
        QByteArrayView line;
        qint64 lineNumber = 0;
        while (lines.next(line)) {
            addLine(line);
            if (m_progress)
                m_progress(++lineNumber);
        }
    }

private:
    void addLine(QByteArrayView bytes)
    {
        if (bytes.isEmpty()) {
            ++m_report.malformedLines;
            return;
        }
        // A byte never decodes to more than one character, so the line fits
        // in as many characters as it has bytes, plus missing separators.
        char16_t *room = m_catalog.beginRow(bytes.size() + SeparatorCount);
        qsizetype length = TextCodec::decodeInto(bytes, m_encoding, room, m_report.undecodableChars);
        if (!joinFields(room, length, m_report.controlChars))
            ++m_report.malformedLines;
        m_catalog.commitRow(length);
        ++m_report.rows;
    }

    Catalog &m_catalog;
    CatalogLoadReport &m_report;
    const ProgressCallback &m_progress;
    TextEncoding m_encoding = TextEncoding::Cp932;
};

// Encodes row i as its list line, CR LF included.
void appendListLine(const Catalog &catalog, qsizetype i, TextEncoding encoding, QByteArray &out)
{
    const qsizetype start = out.size();
    if (!catalog.hasAssignedValues(i)) {
        TextCodec::encodeAppend(catalog.joinedText(i), encoding, out);
    } else {
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f) {
            if (f > 0)
                out.append('#');
            TextCodec::encodeAppend(catalog.field(i, f), encoding, out);
        }
    }
    // The separator is ASCII in both encodings and never part of a
    // multi-byte character, so it can be swapped for '#' in the bytes.
    std::replace(out.begin() + start, out.end(), char(CatalogItem::Separator.unicode()), '#');
    out.append("\r\n", 2);
}

FileResult backUp(const QString &path)
{
    const TextFile::Bytes original = TextFile::read(path, MaxCatalogFileBytes);
    if (!original.found)
        return FileResult::success(DataFiles::CatalogFile);
    if (!original.ok)
        return FileResult::readFailure(TextFile::displayName(path), original.error);
    return TextFile::replace(path + QStringLiteral(".bak"), original.bytes);
}

// A file that is there but can't be read: the catalogue stays empty.
CatalogLoadReport unreadableReport(const QString &error)
{
    CatalogLoadReport report;
    report.fileFound = true;
    report.readable = false;
    report.error = error;
    return report;
}

} // namespace

bool CatalogLoadReport::changedOnReading() const
{
    return malformedLines > 0 || controlChars > 0 || undecodableChars > 0 || guessedUtf16;
}

QString CatalogLoadReport::remark() const
{
    if (!readable) {
        return DataFiles::CatalogFile + QStringLiteral(" を読み込めませんでした（") + error
            + QStringLiteral("）。この起動中は上書きしません。");
    }
    QString text;
    if (malformedLines > 0)
        text += QStringLiteral("形式に合わない行が%1行ありました。").arg(malformedLines);
    if (controlChars > 0)
        text += QStringLiteral("制御文字が%1個ありました。").arg(controlChars);
    if (undecodableChars > 0)
        text += QStringLiteral("読めない文字が%1個ありました。").arg(undecodableChars);
    if (guessedUtf16)
        text += QStringLiteral("BOMのないUTF-16として読みました。");
    if (changedOnReading())
        text += QStringLiteral("保存の前に %1.bak へ控えます。").arg(DataFiles::CatalogFile);
    return text;
}

CatalogLoadReport ReadCatalogBytes(QByteArrayView fileBytes, Catalog &catalog, const ProgressCallback &progress)
{
    CatalogLoadReport report;
    report.fileFound = true;
    CatalogReader(catalog, report, progress).read(fileBytes);
    return report;
}

CatalogLoadReport ReadCatalog(QIODevice &device, Catalog &catalog, const ProgressCallback &progress)
{
    QByteArray bytes;
    QString error;
    if (!TextFile::readAll(device, bytes, error, MaxCatalogFileBytes))
        return unreadableReport(error);
    return ReadCatalogBytes(bytes, catalog, progress);
}

CatalogLoadReport LoadCatalog(const QString &path, Catalog &catalog, const ProgressCallback &progress)
{
    TextFile::Bytes file = TextFile::read(path, MaxCatalogFileBytes);
    if (!file.found)
        return {};
    if (!file.ok)
        return unreadableReport(file.error);
    return ReadCatalogBytes(file.bytes, catalog, progress);
}

TextEncoding CatalogEncoding(const Catalog &catalog)
{
    EncodingChooser chooser;
    for (qsizetype i = 0; i < catalog.size(); ++i) {
        if (!catalog.hasAssignedValues(i)) {
            chooser.add(catalog.joinedText(i));
            continue;
        }
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f)
            chooser.add(catalog.field(i, f));
    }
    return chooser.encoding();
}

FileResult WriteCatalog(QIODevice &device, const Catalog &catalog, const ProgressCallback &progress)
{
    const QString name = DataFiles::CatalogFile;
    const TextEncoding encoding = CatalogEncoding(catalog);
    // The buffer grows as lines come, up to about WriteChunk, and keeps its
    // room from one chunk to the next; a small catalogue costs no more.
    QByteArray buffer = TextCodec::preamble(encoding);
    QString error;
    const qsizetype n = catalog.size();
    for (qsizetype i = 0; i < n; ++i) {
        appendListLine(catalog, i, encoding, buffer);
        if (buffer.size() >= WriteChunk) {
            if (!TextFile::writeAll(device, buffer, error))
                return FileResult::failure(name, error);
            buffer.resize(0);
        }
        if (progress)
            progress(n - 1 - i);
    }
    if (!TextFile::writeAll(device, buffer, error))
        return FileResult::failure(name, error);
    return FileResult::success(name);
}

FileResult SaveCatalog(const QString &path, const Catalog &catalog, const ProgressCallback &progress)
{
    CatalogFileGuard guard;
    return SaveCatalog(path, catalog, guard, progress);
}

FileResult SaveCatalog(
    const QString &path, const Catalog &catalog, CatalogFileGuard &guard, const ProgressCallback &progress)
{
    const QString name = TextFile::displayName(path);
    if (catalog.isEmpty())
        return FileResult::success(name);
    if (!guard.mayReplace())
        return guard.refusal();
    if (guard.backupPending()) {
        const FileResult backup = backUp(path);
        if (!backup.ok)
            return backup;
        guard.backupDone();
    }
    return TextFile::replace(path, [&](QIODevice &device, QString &error) {
        const FileResult written = WriteCatalog(device, catalog, progress);
        error = written.reason;
        return written.ok;
    });
}

FileResult RecycleCatalogFile(const QString &path, const CatalogFileGuard &guard)
{
    const QString name = TextFile::displayName(path);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return FileResult::success(name);
    if (!guard.mayReplace())
        return guard.refusal();
    // Only an ordinary file is ours to send away: a folder or a link of that
    // name is left where it is, and there is no list to bring back.
    if (!info.isFile() || info.isSymLink())
        return FileResult::success(name);
    return MoveToTrash(path);
}
