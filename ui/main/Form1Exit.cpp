// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// SaveAndQuit and the File menu's save.
#include "Form1.h"

#include "DataFolder.h"
#include "DropIntakeRunner.h"
#include "Form2.h"
#include "SaveSequence.h"
#include "Twips.h"
#include "frmAbout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>

#include <functional>

namespace {

// Nothing is painted while a file is written, so the countdown of rows still
// to write reaches the status bar now and then, and at "0".
class RowsLeftReport
{
public:
    explicit RowsLeftReport(std::function<void(const QString &)> show)
        : m_show(std::move(show))
    {
        m_sinceLastWrite.start();
    }
    void operator()(qint64 rowsLeft)
    {
        if (rowsLeft == 0 || m_sinceLastWrite.elapsed() >= 100) {
            m_show(QString::number(rowsLeft));
            m_sinceLastWrite.restart();
        }
    }

private:
    std::function<void(const QString &)> m_show;
    QElapsedTimer m_sinceLastWrite;
};

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
    commitOpenNameEditor();
    RowsLeftReport rowsLeft([this](const QString &text) { setStatus(text); });
    const SaveSequenceReport report = SaveOnExit(m_dataFolder, settingsToSave(), m_form2->endSave() != 0, m_catalog,
        m_lists, m_catalogGuard, std::ref(rowsLeft));
    if (!report.ok()) {
        m_exitFailed = true;
        m_exitReport = report.statusText() + QStringLiteral("。もう一度終了すると保存せずに終了します");
        setStatus(m_exitReport);
        showExitFailure(report);
        return;
    }
    quitNow();
}

// The status bar cuts a long report off: the whole of it, every file that
// failed and why, stands in a box the user reads before closing again. The
// box does not block: closing the window again still ends the program.
void Form1::showExitFailure(const SaveSequenceReport &report)
{
    QStringList lines;
    for (const FileResult &failure : report.failures())
        lines.append(failure.statusText());
    const QString text = QStringLiteral("終了の前に保存できなかったファイルがあります。\n\n") + lines.join(u'\n')
        + QStringLiteral("\n\nもう一度終了すると、保存せずに終了します。");
    if (m_exitMessage)
        m_exitMessage->close();
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("exitFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    m_exitMessage = box;
}

void Form1::quitNow()
{
    m_quit = true;
    m_intake->stop();
    if (m_about)
        m_about->close();
    if (m_exitMessage)
        m_exitMessage->close();
    m_form2->hide();
    hide();
    Q_EMIT quitRequested();
    QCoreApplication::quit();
}

SettingsToSave Form1::settingsToSave() const
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
    return values;
}

void Form1::SaveAll()
{
    commitOpenNameEditor();
    RowsLeftReport rowsLeft([this](const QString &text) { setStatus(text); });
    const SaveSequenceReport report
        = SaveFromFileMenu(m_dataFolder, m_catalog, m_lists, m_catalogGuard, std::ref(rowsLeft));
    setStatus(report.statusText());
}
