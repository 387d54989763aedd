// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DataFolder.h"
#include "ForeignLockBox.h"
#include "Form1.h"
#include "ProgramIcon.h"
#include "QtTranslation.h"
#include "SingleInstance.h"
#include "StartupReport.h"
#include "TerminationSignal.h"

#include <QApplication>
#include <QtDebug>
#include <QDir>

namespace {

// True when this start may go on: the lock is ours. Otherwise `status` is
// the exit status: 0 only when another copy runs on this machine.
bool lockDataFolder(const QString &folder, SingleInstance &instance, int &status)
{
    status = 0;
    switch (instance.acquire()) {
    case SingleInstance::Outcome::Acquired:
        return true;
    case SingleInstance::Outcome::RunningHere:
        return false; // that copy's window is the one to use
    case SingleInstance::Outcome::Failed:
        status = StartupReport::refuse(StartupReport::lockFailure(folder, instance.failure()));
        return false;
    case SingleInstance::Outcome::HeldElsewhere:
        break;
    }
    if (!StartupReport::hasDisplay()) {
        status = StartupReport::refuse(ForeignLockBox::holderText(folder, instance)
            + QStringLiteral(" そのコンピュータで動いていないことを確かめてから「%1」を削除すると起動できます。")
                  .arg(QDir::toNativeSeparators(instance.lockPath())));
        return false;
    }
    ForeignLockBox box(folder, instance);
    box.exec();
    if (!box.takeOverChosen()) {
        status = 1;
        return false;
    }
    if (instance.takeOver())
        return true;
    status = StartupReport::refuse(StartupReport::lockFailure(folder, instance.failure()));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarumi"));
    QApplication::setApplicationVersion(QStringLiteral("1.10"));
    QGuiApplication::setDesktopFileName(QStringLiteral("zarumi"));
    QApplication::setWindowIcon(ProgramIcon());
    QtTranslation translation;
    if (!translation.install(&app))
        qWarning().noquote() << translation.errorText(); // Qt's own texts stay English
    // The program ends through the main window's exit sequence only.
    QApplication::setQuitOnLastWindowClosed(false);

    // Taken before the lock: a request to end that comes while the window
    // starts waits for the event loop, then ends the program through its
    // exit sequence.
    TerminationSignal termination;
    const QString folder = DataFolder();
    if (const QString problem = StartupReport::dataFolderProblem(folder); !problem.isEmpty())
        return StartupReport::refuse(problem);
    SingleInstance instance(folder);
    int status = 0;
    if (!lockDataFolder(folder, instance, status))
        return status;

    Form1 window(folder);
    QObject::connect(&termination, &TerminationSignal::received, &window, &QWidget::close);
    window.show();
    return QApplication::exec();
}
