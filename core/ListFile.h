// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"
#include "CatalogFileGuard.h"
#include "FileResult.h"
#include "TextCodec.h"

#include <QByteArrayView>

#include <QString>

#include <functional>

class QIODevice;

// Called with the running count: lines read (1..N) while loading, rows
// still to write (N-1..0) while saving. The window writes it as the status
// text.
using ProgressCallback = std::function<void(qint64)>;

// The largest List.txt that is read (about forty million rows): a larger
// one is refused as unreadable rather than ending the program. It is read a
// piece at a time; a file that must be read whole (UTF-16) may be a
// quarter of that.
inline constexpr qint64 MaxCatalogFileBytes = qint64(4) << 30;
inline constexpr qint64 MaxWholeCatalogFileBytes = qint64(1) << 30;

struct CatalogLoadReport
{
    bool fileFound = false; // an ordinary file List.txt was there
    bool readable = true; // false: it was there but could not be read
    qint64 rows = 0; // rows appended to the catalogue
    qint64 malformedLines = 0; // lines outside the format (blank or too few '#')
    qint64 controlChars = 0; // control characters read as U+FFFD
    qint64 undecodableChars = 0; // bytes read as U+FFFD
    bool guessedUtf16 = false; // read as UTF-16 without a byte-order mark
    QString error; // reason when !readable
    TextEncoding encoding = TextEncoding::Cp932; // as the file was read
    // True when the rows read differ from the file's lines: a line was
    // dropped or completed, a character replaced, or the encoding guessed.
    // The first save then keeps the file as List.txt.bak.
    bool changedOnReading() const;
    // Japanese remark for the start-up report ("" when all was well), e.g.
    // "形式に合わない行が3行ありました。保存の前に List.txt.bak へ控えます。";
    // the window puts it after "N個のアイテムを読み込みました".
    QString remark() const;
};

// Reads the list file at path into catalog (appending, keys from the
// catalogue's counter).
CatalogLoadReport LoadCatalog(const QString &path, Catalog &catalog, const ProgressCallback &progress = {});
// The same, the file read in pieces of about pieceBytes (small in tests).
CatalogLoadReport LoadCatalog(
    const QString &path, Catalog &catalog, const ProgressCallback &progress, qsizetype pieceBytes);

// The same from an open device (fileFound is set), and from the bytes of a
// whole file.
CatalogLoadReport ReadCatalog(QIODevice &device, Catalog &catalog, const ProgressCallback &progress = {});
CatalogLoadReport ReadCatalogBytes(QByteArrayView fileBytes, Catalog &catalog, const ProgressCallback &progress = {});

// Writes the catalogue to path (temporary file, flush, rename). An empty
// catalogue leaves the file untouched and succeeds.
FileResult SaveCatalog(const QString &path, const Catalog &catalog, const ProgressCallback &progress = {});
// The same under the run's guard: refuses when the file could not be read
// at start-up, and makes List.txt.bak first when the guard asks for it.
FileResult SaveCatalog(
    const QString &path, const Catalog &catalog, CatalogFileGuard &guard, const ProgressCallback &progress = {});
// Writes every row as one line, CR LF, to device (code page 932, or UTF-8
// with a byte-order mark when some text does not fit). Fails with the
// device's reason when the device takes less than it is given.
FileResult WriteCatalog(QIODevice &device, const Catalog &catalog, const ProgressCallback &progress = {});
// The encoding WriteCatalog uses for this catalogue.
TextEncoding CatalogEncoding(const Catalog &catalog);

// The exit's step for an emptied catalogue: moves an existing List.txt to
// the trash (success when there is none), unless the guard refuses.
FileResult RecycleCatalogFile(const QString &path, const CatalogFileGuard &guard);
