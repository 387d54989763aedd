// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The start-up of the main window, the category tabs and RefreshView.
#include "Form1.h"

#include "DataFolder.h"
#include "Form2.h"
#include "ListFile.h"
#include "ScreenFit.h"
#include "SettingsFile.h"
#include "StaleTempFiles.h"
#include "Twips.h"
#include "ValueTabStrip.h"
#include "VisibleListModel.h"

#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <system_error>

namespace {

constexpr qint64 MinimumWidthTwips = 9000;
constexpr qint64 MinimumHeightTwips = 3500;
constexpr qint64 Limit = qint64(1) << 28; // twips

const QString All = QStringLiteral("全て");
const QString None = QStringLiteral("無し");

} // namespace

std::future<Form1::LoadedCatalog> Form1::startLoadingCatalog() const
{
    const QString path = QDir(m_dataFolder).filePath(DataFiles::CatalogFile);
    const auto load = [path] {
        LoadedCatalog loaded;
        loaded.report = LoadCatalog(path, loaded.catalog);
        return loaded;
    };
    try {
        return std::async(std::launch::async, load);
    } catch (const std::system_error &) { // no thread to be had: read when asked for
        return std::async(std::launch::deferred, load);
    }
}

void Form1::startUp(const StaleTempFiles &staleFiles, std::future<LoadedCatalog> &loading)
{
    // The single-instance test runs in main() before the window is made.
    m_designListTop = int(std::lround(Twips::fromPixels(m_listView->geometry().top())));
    takeCatalog(loading.get());
    // The rows are shown by the category tab's click below: the value
    // tabs' first tab is selected, and its click runs RefreshView. Showing
    // them here as well would lay out a million rows twice.
    createSettingsWindow();
    const FileResult listsRead = LoadCategoryLists(m_dataFolder, m_lists);
    m_form2->reloadLists();
    FileResult settingsRead;
    const Settings settings = LoadSettings(QDir(m_dataFolder).filePath(DataFiles::SettingsFile), settingsRead);
    applySettings(settings);
    onCategoryTabClick();
    QString report = QString::number(m_catalog.size()) + QStringLiteral("個のアイテムを読み込みました");
    if (!m_loadRemark.isEmpty())
        report += QStringLiteral("　") + m_loadRemark;
    if (!listsRead.ok)
        report += QStringLiteral("　") + listsRead.statusText();
    if (!settingsRead.ok)
        report += QStringLiteral("　") + settingsRead.statusText();
    if (!staleFiles.statusText().isEmpty())
        report += QStringLiteral("　") + staleFiles.statusText();
    setStatus(report);
    m_timer1->start();
}

// Nothing is painted while the file is read, so the count of rows read is
// written once, at the end.
void Form1::takeCatalog(LoadedCatalog loaded)
{
    m_catalog = std::move(loaded.catalog);
    if (loaded.report.rows > 0)
        setStatus(QString::number(loaded.report.rows));
    m_catalogGuard = CatalogFileGuard(loaded.report);
    m_loadRemark = loaded.report.remark();
}

void Form1::createSettingsWindow()
{
    m_form2 = new Form2(m_lists, this);
    m_form2->setWindowFlag(Qt::Window);
    m_form2->hide();
    connect(m_form2, &Form2::valueAdded, this, &Form1::onValueAdded);
    connect(m_form2, &Form2::multiRowChanged, this, &Form1::onMultiRowChanged);
}

void Form1::applySettings(const Settings &settings)
{
    applyGeometry(settings);
    m_form2->setTabLine(int(settings.tabLine));
    m_tabStrip1->setMultiRow(settings.tabLine != 0);
    m_form2->setEndSave(int(settings.endSave));
    applyColumns(settings);
}

void Form1::applyGeometry(const Settings &settings)
{
    // Measures from a hand-edited or damaged file may be anything: they are
    // cut to what a screen of 2^24 pixels could show before conversion.
    const auto pixelsOf = [](qint64 twips) { return Twips::toPixels(double(std::clamp(twips, -Limit, Limit))); };
    // The layout rule raises the height to 3500 and then the width to 9000.
    const qint64 width = std::clamp(settings.width, MinimumWidthTwips, Limit);
    const qint64 height = std::clamp(settings.height, MinimumHeightTwips, Limit);
    const QRect saved(pixelsOf(settings.left), pixelsOf(settings.top), pixelsOf(width), pixelsOf(height));
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QRect place = FitToScreens(saved, QSize(pixelsOf(MinimumWidthTwips), pixelsOf(MinimumHeightTwips)), areas,
        primary ? primary->availableGeometry() : QRect());
    // The saved twips are kept unless the screen made the window smaller.
    m_savedOuter
        = QSize(place.width() == saved.width() ? int(width) : int(std::lround(Twips::fromPixels(place.width()))),
            place.height() == saved.height() ? int(height) : int(std::lround(Twips::fromPixels(place.height()))));
    setOuterSizeTwips(m_savedOuter.width(), m_savedOuter.height());
    move(place.topLeft());
}

void Form1::applyColumns(const Settings &settings)
{
    QHeaderView *header = m_listView->horizontalHeader();
    for (int column = 0; column < Settings::ColumnCount; ++column)
        header->resizeSection(column, Twips::toPixels(double(settings.columnWidths[size_t(column)])));
    const auto order = ColumnOrderFromItemPosition(settings.itemPosition);
    for (int visual = 0; visual < Settings::ColumnCount; ++visual)
        header->moveSection(header->visualIndex(order[size_t(visual)]), visual);
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_geometryFixed)
        return;
    m_geometryFixed = true;
    // The saved measures are those of the outer window, but a window
    // manager adds its frame only after the window is shown: the size is
    // set again once the frame is known, so that the next exit writes what
    // this start showed. A manager that draws no frame reports none, and
    // the inner size set at start-up is then the outer one.
    m_outerSizePending = true;
    applySavedOuterSizeOnceFramed();
    QTimer::singleShot(10000, this, [this] { m_outerSizePending = false; });
}

void Form1::applySavedOuterSizeOnceFramed()
{
    if (!m_outerSizePending || isMinimized() || isMaximized() || isFullScreen())
        return;
    if (frameGeometry().size() == size())
        return; // no frame yet
    m_outerSizePending = false;
    setOuterSizeTwips(m_savedOuter.width(), m_savedOuter.height());
}

// ---- Tabs and RefreshView ---------------------------------------------------

int Form1::selectedCategory() const
{
    return m_tabStrip2->currentIndex() + 1;
}

void Form1::onCategoryTabClick()
{
    commitOpenNameEditor();
    // One removal and one batch of tabs: each change lays the strip out.
    m_tabStrip1->removeTabsFrom(2);
    m_tabStrip1->addTabs(m_lists.list(selectedCategory()));
    m_tabStrip1->setCurrentIndex(0); // its click runs RefreshView
    LayoutTabArea();
}

void Form1::RefreshView()
{
    commitOpenNameEditor();
    const int field = CatalogItem::Genre1 + selectedCategory() - 1;
    const QString c = m_tabStrip1->currentText();
    if (c == All) {
        m_model->setAllMasterRows();
        applySortIfOn();
    } else {
        const bool none = c == None;
        const QByteArray value = c.toUtf8();
        QList<qsizetype> shown;
        for (qsizetype i = 0; i < m_catalog.size(); ++i) {
            const QUtf8StringView f = m_catalog.field(i, field);
            if (QByteArrayView(f.data(), f.size()) == value || (none && f.isEmpty()))
                shown.append(i);
        }
        showVisibleRows(shown, false);
    }
    setStatus(QString::number(m_model->rowCount()) + QStringLiteral("アイテム。"));
}

void Form1::onValueAdded(int k, const QString &value)
{
    if (k != selectedCategory())
        return;
    const int rowsBefore = m_tabStrip1->rowCountAt(m_tabStrip1->width());
    m_tabStrip1->addTab(value);
    // A tab that opens a further row must not be cut off.
    if (m_tabStrip1->rowCountAt(m_tabStrip1->width()) != rowsBefore)
        LayoutTabArea();
}

void Form1::onMultiRowChanged(bool on)
{
    m_tabStrip1->setMultiRow(on);
    LayoutTabArea();
}
