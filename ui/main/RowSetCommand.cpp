// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RowSetCommand.h"

#include "Form1.h"

RowSetCommand::RowSetCommand(Form1 &window, Change change, RowBatch master, RowBatch visible)
    : m_window(window)
    , m_change(change)
    , m_master(std::move(master))
    , m_visible(std::move(visible))
{
    setText(change == Added ? QStringLiteral("追加") : QStringLiteral("削除"));
}

void RowSetCommand::undo()
{
    if (m_change == Added)
        takeOut();
    else
        putBack();
}

void RowSetCommand::redo()
{
    if (m_done) {
        m_done = false;
        return;
    }
    if (m_change == Added)
        putBack();
    else
        takeOut();
}

void RowSetCommand::putBack()
{
    const qsizetype n = m_window.restoreRows(m_master, m_visible);
    m_window.setStatus(QString::number(n) + QStringLiteral("個のアイテムをリストに戻しました。"));
}

void RowSetCommand::takeOut()
{
    const qsizetype n = m_window.takeRowsByKey(m_master);
    m_window.setStatus(Form1::removalStatusText(n));
}
