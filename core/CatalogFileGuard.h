// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"

struct CatalogLoadReport;

// What one run of the program learned about List.txt when it loaded it, and
// what that means for the run's saves. The window keeps one, made from the
// load report, and hands it to every SaveCatalog and RecycleCatalogFile:
//
//   CatalogLoadReport report = LoadCatalog(path, catalog, progress);
//   CatalogFileGuard guard(report);          // kept for the whole run
//   ...
//   FileResult saved = SaveCatalog(path, catalog, guard, progress);
//
// - A List.txt that was there but could not be read is never overwritten
//   nor recycled in this run: the save returns refusal() instead.
// - A List.txt whose reading changed anything (CatalogLoadReport::
//   changedOnReading: lines outside the format, control characters,
//   undecodable bytes, a guessed encoding) is copied once to List.txt.bak
//   before the first save replaces it.
class CatalogFileGuard
{
public:
    CatalogFileGuard() = default; // nothing known: saves go ahead
    explicit CatalogFileGuard(const CatalogLoadReport &report);

    bool mayReplace() const { return !m_unreadable; }
    bool backupPending() const { return m_backupPending; }
    void backupDone() { m_backupPending = false; }

    // The failure a refused save or recycle reports.
    FileResult refusal() const;

private:
    bool m_unreadable = false;
    bool m_backupPending = false;
};
