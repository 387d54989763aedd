// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"
#include "CatalogFileGuard.h"
#include "CategoryLists.h"
#include "FileResult.h"
#include "ListFile.h"
#include "SettingsFile.h"

// The two save sequences the main window runs; the window shows
// statusText() and restarts its status countdown.
struct SaveSequenceReport
{
    FileResult settings; // exit only
    FileResult catalog;
    QList<FileResult> categories; // the category files that failed
    qint64 rows = 0;

    bool ok() const { return failures().isEmpty(); }
    // Every file that failed, in the order of the writes.
    QList<FileResult> failures() const;
    // "N個のアイテムを保存しました。" when all went well, else the
    // failures' texts.
    QString statusText() const;
};

// File menu "保存": the catalogue (an empty one leaves List.txt as it is),
// then the five category files, whatever became of the catalogue.
SaveSequenceReport SaveFromFileMenu(const QString &folder, const Catalog &catalog, const CategoryLists &lists,
    CatalogFileGuard &guard, const ProgressCallback &progress = {});

// Exit: test.ini; when saveCatalog, the catalogue, or for an empty one
// List.txt sent to the trash; then the five category files.
SaveSequenceReport SaveOnExit(const QString &folder, const SettingsToSave &settings, bool saveCatalog,
    const Catalog &catalog, const CategoryLists &lists, CatalogFileGuard &guard, const ProgressCallback &progress = {});
