// The start-up of the main window, the category tabs and RefreshView.
#include "Form1.h"

#include "DataFolder.h"
#include "Form2.h"
#include "ListFile.h"
#include "SettingsFile.h"
#include "StaleTempFiles.h"
#include "Twips.h"
#include "ValueTabStrip.h"
#include "VisibleListModel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

namespace {

const QString All = QStringLiteral("全て");
const QString None = QStringLiteral("無し");

} // namespace

void Form1::startUp()
{
    // The single-instance test runs in main() before the window is made.
    m_designListTop = int(std::lround(Twips::fromPixels(m_listView->geometry().top())));
    // A save killed half way may have left its temporary file; this
    // instance holds the folder's lock, so no save of another one is running.
    StaleTempFiles staleFiles;
    staleFiles.removeFrom(m_dataFolder);
    loadCatalog();
    RefreshView();
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

void Form1::loadCatalog()
{
    // Nothing is painted while the file is read, so the running count is
    // written only now and then and once at the end.
    QElapsedTimer sinceLastWrite;
    sinceLastWrite.start();
    const auto progress = [this, &sinceLastWrite](qint64 lines) {
        if (sinceLastWrite.elapsed() >= 100) {
            setStatus(QString::number(lines));
            sinceLastWrite.restart();
        }
    };
    const CatalogLoadReport report
        = LoadCatalog(QDir(m_dataFolder).filePath(DataFiles::CatalogFile), m_catalog, progress);
    if (report.rows > 0)
        setStatus(QString::number(report.rows));
    m_catalogGuard = CatalogFileGuard(report);
    m_loadRemark = report.remark();
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
    // The layout rule raises the height to 3500 and then the width to 9000.
    m_savedOuter = QSize(int(std::max<qint64>(settings.width, 9000)), int(std::max<qint64>(settings.height, 3500)));
    setOuterSizeTwips(m_savedOuter.width(), m_savedOuter.height());
    QPoint topLeft(Twips::toPixels(double(settings.left)), Twips::toPixels(double(settings.top)));
    const QRect place(topLeft, QSize(Twips::toPixels(m_savedOuter.width()), Twips::toPixels(m_savedOuter.height())));
    bool onScreen = false;
    for (const QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(place);
    // A saved place outside every screen (a monitor since removed) comes
    // back to the primary screen.
    if (!onScreen && QGuiApplication::primaryScreen())
        topLeft = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    move(topLeft);
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
    // The frame is known only once the window is on the screen: the saved
    // measures are those of the outer window.
    QTimer::singleShot(0, this, [this] {
        if (frameGeometry().size() != size() && !isMaximized())
            setOuterSizeTwips(m_savedOuter.width(), m_savedOuter.height());
    });
}

// ---- Tabs and RefreshView ---------------------------------------------------

int Form1::selectedCategory() const
{
    return m_tabStrip2->currentIndex() + 1;
}

void Form1::onCategoryTabClick()
{
    while (m_tabStrip1->count() > 2)
        m_tabStrip1->removeTab(2);
    for (const QString &value : m_lists.list(selectedCategory()))
        m_tabStrip1->addTab(value);
    m_tabStrip1->setCurrentIndex(0); // its click runs RefreshView
    LayoutTabArea();
}

void Form1::RefreshView()
{
    const int field = CatalogItem::Genre1 + selectedCategory() - 1;
    const QString c = m_tabStrip1->currentText();
    if (c == All) {
        m_model->setAllMasterRows();
        applySortIfOn();
    } else {
        const bool none = c == None;
        QList<qsizetype> shown;
        for (qsizetype i = 0; i < m_catalog.size(); ++i) {
            const QStringView f = m_catalog.field(i, field);
            if (f == c || (none && f.isEmpty()))
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
