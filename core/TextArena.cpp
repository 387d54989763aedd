// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextArena.h"

#include <algorithm>
#include <cstring>
#include <limits>

qsizetype TextArena::newBlock(qsizetype units)
{
    Block block;
    // Left uninitialised: a page costs only once a text is written into it.
    block.units = std::make_unique_for_overwrite<char16_t[]>(size_t(units));
    block.size = units;
    m_capacity += units;
    m_blocks.push_back(std::move(block));
    return qsizetype(m_blocks.size()) - 1;
}

char16_t *TextArena::reserve(qsizetype units)
{
    Q_ASSERT(units >= 0 && units <= std::numeric_limits<quint32>::max());
    if (units > m_blockUnits) {
        m_reserved = newBlock(units);
    } else {
        if (m_current < 0 || m_blocks[size_t(m_current)].size - m_blocks[size_t(m_current)].used < units)
            m_current = newBlock(m_blockUnits);
        m_reserved = m_current;
    }
    Block &block = m_blocks[size_t(m_reserved)];
    return block.units.get() + block.used;
}

TextArena::Span TextArena::commit(qsizetype units)
{
    Block &block = m_blocks[size_t(m_reserved)];
    Q_ASSERT(units >= 0 && block.used + units <= block.size);
    const Span span { quint32(m_reserved), quint32(block.used), quint32(units) };
    block.used += units;
    return span;
}

TextArena::Span TextArena::add(QStringView text)
{
    char16_t *room = reserve(text.size());
    if (!text.isEmpty())
        std::memcpy(room, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    return commit(text.size());
}
