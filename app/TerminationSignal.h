#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (a session that ends, a kill from the shell)
// into a Qt signal on the user-interface thread, so that the program ends
// through its exit sequence and writes its files.
class TerminationSignal : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

Q_SIGNALS:
    void received();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
