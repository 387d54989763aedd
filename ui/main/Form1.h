// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"
#include "CatalogFileGuard.h"
#include "CategoryLists.h"
#include "FileResult.h"
#include "ListFile.h"
#include "ProbeFile.h"
#include "SettingsFile.h"
#include "SortRanks.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <deque>
#include <future>
#include <optional>
#include <vector>

class ColumnChooser;
class DropIntakeRunner;
class FieldValues;
class Form2;
class QAction;
class QLineEdit;
class QMenu;
class QMessageBox;
class QMimeData;
class QPushButton;
class QShortcut;
class QStatusBar;
class QTabBar;
class QTableView;
class QTimer;
class QUndoStack;
class RowMenu;
class StaleTempFiles;
class ValueTabStrip;
class VisibleListModel;
class frmAbout;
struct SaveSequenceReport;
struct Settings;

// The main window: the catalogue, its two lists, the category tabs, the
// menus and the status bar. It owns the data; the settings window shows
// the category lists that live here.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window and runs the start-up: the catalogue, the category
    // lists and the settings are read from dataFolder.
    explicit Form1(const QString &dataFolder, QWidget *parent = nullptr);
    ~Form1() override;

    Catalog &catalog() { return m_catalog; }
    CategoryLists &categoryLists() { return m_lists; }
    VisibleListModel *visibleModel() const { return m_model; }
    QTableView *listView() const { return m_listView; }
    Form2 *settingsWindow() const { return m_form2; }
    QString statusText() const;
    int statusTicks() const { return m_statusTicks; }
    bool hasQuit() const { return m_quit; }
    bool isDropRunning() const;
    QUndoStack *undoStack() const { return m_undoStack; }
    ColumnChooser *columnChooser() const { return m_columnChooser; }

    // The routines the other parts of the window call.
    void RefreshView();
    void LayoutTabArea();
    void SaveAndQuit();
    void SaveAll();
    void AddDroppedFiles(const QMimeData &data);
    void SortByColumn(int header);
    void ShowRowMenu(Qt::MouseButton button, const QPoint &globalPos);
    void AssignCategory(int k, int item);
    void RemoveSelectedRows();
    qsizetype FindMasterRow(qint64 key) const;
    void CommitNameEdit(int row, const QString &text);
    void SearchNames();
    void FindDuplicates(int index);
    void Timer1Tick();
    void ShowAbout();

    // Writes a status text and restarts the countdown.
    void setStatus(const QString &text);

    // "フォルダを追加…": asks for a folder and the disc name, then AddFolder.
    void ChooseFolderToAdd();
    // Adds a row for every file under folder, on the intake's worker; a
    // non-empty discName is recorded in category k (1..5) and set on every
    // row added.
    void AddFolder(const QString &folder, const QString &discName, int k);
    // Ends a running folder add; the rows added so far stay.
    void CancelFolderAdd();

    // For undo and redo: rows put back into both lists (those whose key is
    // not present), rows taken out of both lists by key, and one field of
    // rows set by key. The first two give the number of master rows.
    qsizetype restoreRows(const RowBatch &master, const RowBatch &visible);
    qsizetype takeRowsByKey(const RowBatch &rows);
    void setFieldByKey(int field, const FieldValues &values);
    static QString removalStatusText(qsizetype removed);

Q_SIGNALS:
    // The program ends: SaveAndQuit has run to its end.
    void quitRequested();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction.
    void buildControls();
    void buildMenus();
    void buildListView();
    void placeDesignControls();
    void fitCategoryTabs();
    void connectControls();

    // Start-up.
    struct LoadedCatalog
    {
        Catalog catalog;
        CatalogLoadReport report;
    };
    std::future<LoadedCatalog> startLoadingCatalog() const;
    void startUp(const StaleTempFiles &staleFiles, std::future<LoadedCatalog> &loading);
    void takeCatalog(LoadedCatalog loaded);
    void createSettingsWindow();
    void applySettings(const Settings &settings);
    void applyGeometry(const Settings &settings);
    void applyColumns(const Settings &settings);
    void applySavedOuterSizeOnceFramed();

    // Tabs and layout.
    void onCategoryTabClick();
    void onValueAdded(int k, const QString &value);
    void onMultiRowChanged(bool on);
    void layoutTabArea(int listHeightAllowance);
    QSize outerSizeTwips() const;
    void setOuterSizeTwips(double width, double height);
    int selectedCategory() const;

    // Exit and save.
    SettingsToSave settingsToSave() const;
    void showExitFailure(const SaveSequenceReport &report);
    void quitNow();

    // Drops.
    bool takeListDropEvent(QEvent *event);
    void onDropStarted(qsizetype total);
    void onFilesProbed(const QList<ProbeResult> &results, qsizetype first, qsizetype total);
    void onDropFinished(qsizetype total);
    void onFolderStarted(const QString &folder);
    void onFolderFinished(qsizetype added, int skippedFolders, bool cancelled);
    void recordDiscName(int k, const QString &name);
    void pushAddedRows();
    void buildEditMenu();
    void buildCancelButton();
    void buildColumnChooser();

    // The visible list.
    void commitOpenNameEditor();
    QList<int> selectedRowsDescending() const;
    void detachOtherCopies(const QList<int> &rows);
    // The texts of a visible row as a row of its own, with its key.
    CatalogItem visibleItem(int row) const;
    void showVisibleRows(const QList<qsizetype> &positions, bool repeats);
    void applySortIfOn();
    bool listKeyEvent(QEvent *event);
    void showRowMenuAtCurrentRow();
    void focusSearchBox();

    QString m_dataFolder;
    Catalog m_catalog;
    SortRanks m_ranks { m_catalog };
    CatalogFileGuard m_catalogGuard;
    CategoryLists m_lists;

    QTabBar *m_tabStrip2 = nullptr;
    QLineEdit *m_text3 = nullptr;
    QPushButton *m_command1 = nullptr;
    ValueTabStrip *m_tabStrip1 = nullptr;
    QTableView *m_listView = nullptr;
    QWidget *m_listViewport = nullptr; // where presses and drops arrive
    VisibleListModel *m_model = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QTimer *m_timer1 = nullptr;
    QAction *m_sev = nullptr;
    QAction *m_seti = nullptr;
    QAction *m_en = nullptr;
    QAction *m_vre = nullptr;
    QList<QAction *> m_douitu;
    Form2 *m_form2 = nullptr;
    RowMenu *m_rowMenu = nullptr;
    QPointer<frmAbout> m_about;
    DropIntakeRunner *m_intake = nullptr;
    QAction *m_addFolder = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QUndoStack *m_undoStack = nullptr;
    QPushButton *m_cancelFolder = nullptr;
    QShortcut *m_escape = nullptr;
    ColumnChooser *m_columnChooser = nullptr;

    // Folder adds waiting or running, in the intake's order: the disc name
    // and its category.
    struct FolderAdd
    {
        QString discName;
        int category = 3;
    };
    std::deque<FolderAdd> m_folderAdds;
    std::optional<FolderAdd> m_runningFolder;
    // The rows of the drop or folder add in progress, for its undo.
    RowBatch m_addedMaster;
    RowBatch m_addedVisible;

    int m_designListTop = 780; // twips, taken at start-up
    qint16 m_statusTicks = 0;
    bool m_sortOn = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder; // the first click sorts ascending
    bool m_exitFailed = false; // an exit could not write; the next one quits
    bool m_quit = false;
    bool m_geometryFixed = false;
    bool m_outerSizePending = false; // the saved size waits for the frame
    QSize m_savedOuter { 9000, 5000 }; // twips
    QString m_loadRemark;
    QString m_exitReport;
    QPointer<QMessageBox> m_exitMessage; // the whole report of a failed exit
};
