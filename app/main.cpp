#include "DataFolder.h"
#include "Form1.h"
#include "SingleInstance.h"
#include "TerminationSignal.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarumi"));
    QApplication::setApplicationVersion(QStringLiteral("1.10"));
    // The program ends through the main window's exit sequence only.
    QApplication::setQuitOnLastWindowClosed(false);

    // Taken before the lock: a request to end that comes while the window
    // starts waits for the event loop, then ends the program through its
    // exit sequence.
    TerminationSignal termination;
    const QString folder = DataFolder();
    SingleInstance instance(folder);
    if (!instance.acquire())
        return 0; // another instance runs on this data folder

    Form1 window(folder);
    QObject::connect(&termination, &TerminationSignal::received, &window, &QWidget::close);
    window.show();
    return QApplication::exec();
}
