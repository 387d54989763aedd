#pragma once

#include "Catalog.h"
#include "FileResult.h"

#include <QString>

#include <functional>

class QIODevice;

// Called with the running count: lines read (1..N) while loading, rows
// still to write (N-1..0) while saving. The window writes it as the status
// text.
using ProgressCallback = std::function<void(qint64)>;

struct CatalogLoadReport
{
    bool fileFound = false; // an ordinary file List.txt was there
    bool readable = true; // false: it was there but could not be read
    qint64 rows = 0; // rows appended to the catalogue
    qint64 malformedLines = 0; // lines outside the format (blank or too few '#')
    qint64 undecodableChars = 0; // bytes read as U+FFFD
    QString error; // reason when !readable
    // Japanese remark for the start-up report ("" when all was well).
    QString remark() const;
};

// Reads the list file at path into catalog (appending, keys from the
// catalogue's counter).
CatalogLoadReport LoadCatalog(const QString &path, Catalog &catalog, const ProgressCallback &progress = {});

// Writes the catalogue to path (temporary file, flush, rename). An empty
// catalogue leaves the file untouched and succeeds.
FileResult SaveCatalog(const QString &path, const Catalog &catalog, const ProgressCallback &progress = {});
