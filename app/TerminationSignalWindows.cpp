// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TerminationSignal.h"

#include <QMetaObject>

#include <atomic>
#include <windows.h>

// The console's handler runs on a thread of its own: it posts the request
// to the user-interface thread. For the close, log-off and shut-down events
// the system ends the process as soon as the handler returns, so the
// handler waits there until the exit sequence is over (the object is
// destroyed), within the time the system allows.

namespace {

std::atomic<TerminationSignal *> instance { nullptr };
HANDLE finished = nullptr;

bool endsProcessOnReturn(DWORD event)
{
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

BOOL WINAPI onConsoleEvent(DWORD event)
{
    TerminationSignal *target = instance.load();
    if (!target)
        return FALSE;
    QMetaObject::invokeMethod(target, &TerminationSignal::received, Qt::QueuedConnection);
    if (endsProcessOnReturn(event) && finished)
        ::WaitForSingleObject(finished, INFINITE);
    return TRUE;
}

} // namespace

TerminationSignal::TerminationSignal(QObject *parent)
    : QObject(parent)
{
    finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    instance = this;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

TerminationSignal::~TerminationSignal()
{
    instance = nullptr;
    if (finished)
        ::SetEvent(finished);
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}
