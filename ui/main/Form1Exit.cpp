// SaveAndQuit and the File menu's save.
#include "Form1.h"

#include "DataFolder.h"
#include "DropIntakeRunner.h"
#include "Form2.h"
#include "ListFile.h"
#include "RecycleFile.h"
#include "SettingsFile.h"
#include "Twips.h"
#include "frmAbout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

namespace {

QString failureReport(const QList<FileResult> &results)
{
    QStringList texts;
    for (const FileResult &r : results) {
        if (!r.ok)
            texts.append(r.statusText());
    }
    return texts.join(QStringLiteral("　"));
}

bool anyFailed(const QList<FileResult> &results)
{
    return std::any_of(results.begin(), results.end(), [](const FileResult &r) { return !r.ok; });
}

} // namespace

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_quit)
        SaveAndQuit();
    if (m_quit)
        event->accept();
    else
        event->ignore();
}

void Form1::SaveAndQuit()
{
    if (m_quit)
        return;
    // The report of a failed write stands in the status bar: a second exit
    // request ends the program without writing.
    if (m_exitFailed && statusText() == m_exitReport) {
        quitNow();
        return;
    }
    QList<FileResult> results;
    results.append(saveSettings());
    if (m_form2->endSave() != 0)
        results.append(saveCatalogOnExit());
    results.append(SaveCategoryLists(m_dataFolder, m_lists));
    if (anyFailed(results)) {
        m_exitFailed = true;
        m_exitReport = failureReport(results) + QStringLiteral("。もう一度終了すると保存せずに終了します");
        setStatus(m_exitReport);
        return;
    }
    quitNow();
}

void Form1::quitNow()
{
    m_quit = true;
    m_intake->stop();
    if (m_about)
        m_about->close();
    m_form2->hide();
    hide();
    Q_EMIT quitRequested();
    QCoreApplication::quit();
}

FileResult Form1::saveSettings()
{
    SettingsToSave values;
    if (!isMinimized()) {
        const QRect outer = frameGeometry();
        values.geometry = SettingsToSave::Geometry { Twips::fromPixels(outer.width()),
            Twips::fromPixels(outer.height()), Twips::fromPixels(outer.left()), Twips::fromPixels(outer.top()) };
    }
    values.tabLine = m_form2->tabLine();
    values.endSave = m_form2->endSave();
    const QHeaderView *header = m_listView->horizontalHeader();
    for (int column = 0; column < Settings::ColumnCount; ++column)
        values.columnWidths[size_t(column)] = Twips::fromPixels(header->sectionSize(column));
    for (int column = 0; column < 14; ++column)
        values.displayPositions[size_t(column)] = header->visualIndex(column) + 1;
    return SaveSettings(QDir(m_dataFolder).filePath(DataFiles::SettingsFile), values);
}

FileResult Form1::saveCatalogOnExit()
{
    if (!m_catalog.isEmpty())
        return saveCatalog();
    // An emptied catalogue must not come back at the next start.
    const QString path = QDir(m_dataFolder).filePath(DataFiles::CatalogFile);
    if (!QFileInfo(path).isFile())
        return FileResult::success(DataFiles::CatalogFile);
    if (!m_catalogGuard.mayReplace())
        return m_catalogGuard.refusal();
    // A trash that refuses leaves the file, which would bring the emptied
    // catalogue back: that is reported like a failed write.
    if (!RecycleFile(path))
        return FileResult::failure(DataFiles::CatalogFile, QStringLiteral("ごみ箱へ移せませんでした"));
    return FileResult::success(DataFiles::CatalogFile);
}

FileResult Form1::saveCatalog()
{
    QElapsedTimer sinceLastWrite;
    sinceLastWrite.start();
    const auto progress = [this, &sinceLastWrite](qint64 rowsLeft) {
        if (rowsLeft == 0 || sinceLastWrite.elapsed() >= 100) {
            setStatus(QString::number(rowsLeft));
            sinceLastWrite.restart();
        }
    };
    return SaveCatalog(QDir(m_dataFolder).filePath(DataFiles::CatalogFile), m_catalog, m_catalogGuard, progress);
}

void Form1::SaveAll()
{
    QList<FileResult> results;
    results.append(saveCatalog());
    results.append(SaveCategoryLists(m_dataFolder, m_lists));
    if (anyFailed(results)) {
        setStatus(failureReport(results));
        return;
    }
    setStatus(QString::number(m_catalog.size()) + QStringLiteral("個のアイテムを保存しました。"));
}
