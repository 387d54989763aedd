// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SetFieldCommand.h"

#include "CatalogItem.h"
#include "Form1.h"

SetFieldCommand::SetFieldCommand(Form1 &window, int field, FieldValues before, FieldValues after)
    : m_window(window)
    , m_field(field)
    , m_before(std::move(before))
    , m_after(std::move(after))
{
    setText(field == CatalogItem::Name ? QStringLiteral("名前の変更") : QStringLiteral("分類"));
}

void SetFieldCommand::undo()
{
    m_window.setFieldByKey(m_field, m_before);
}

void SetFieldCommand::redo()
{
    if (m_done) {
        m_done = false;
        return;
    }
    m_window.setFieldByKey(m_field, m_after);
}
