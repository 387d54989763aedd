#include "DataFolder.h"
#include "Form1.h"
#include "ProgramIcon.h"
#include "QtTranslation.h"
#include "SingleInstance.h"
#include "TerminationSignal.h"

#include <QApplication>
#include <QtDebug>

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

    const QString folder = DataFolder();
    SingleInstance instance(folder);
    if (!instance.acquire())
        return 0; // another instance runs on this data folder

    Form1 window(folder);
    TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::received, &window, &QWidget::close);
    window.show();
    return QApplication::exec();
}
