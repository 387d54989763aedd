// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QObject>

// Turns the system's requests to end the program into a Qt signal on the
// user-interface thread, so that the program ends through its exit
// sequence and writes its files. On POSIX systems these are SIGTERM (a
// session that ends, a kill from the shell), SIGINT (Ctrl+C) and SIGHUP
// (the terminal closing); on Windows the console's Ctrl+C, Ctrl+Break and
// close, log-off and shut-down events. Each system's part lies in its own
// source file; one object at a time.
class TerminationSignal : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

Q_SIGNALS:
    void received();

private:
    QObject *m_watcher = nullptr; // what the system's part watches with, if anything
};
