// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextArena.h"

#include "LargeBlocks.h"
#include "Utf8Text.h"

#include <cstring>
#include <limits>

void TextArena::Free::operator()(char *bytes) const
{
    LargeBlocks::release(bytes);
}

qsizetype TextArena::newBlock(qsizetype bytes)
{
    Block block;
    // Left uninitialised: a page costs only once a text is written into it.
    block.bytes.reset(static_cast<char *>(LargeBlocks::allocate(size_t(bytes))), Free());
    block.size = bytes;
    m_capacity += bytes;
    Q_ASSERT(m_blocks.size() < Span::BlockMask);
    m_blocks.push_back(std::move(block));
    return qsizetype(m_blocks.size()) - 1;
}

char *TextArena::reserve(qsizetype bytes)
{
    Q_ASSERT(bytes >= 0 && bytes <= std::numeric_limits<quint32>::max());
    if (bytes > m_blockBytes || quint64(bytes) >= Span::WholeBlock) {
        m_reserved = newBlock(bytes);
    } else {
        if (m_current < 0 || m_blocks[size_t(m_current)].size - m_blocks[size_t(m_current)].used < bytes)
            m_current = newBlock(m_blockBytes);
        m_reserved = m_current;
    }
    Block &block = m_blocks[size_t(m_reserved)];
    return block.bytes.get() + block.used;
}

TextArena::Span TextArena::commit(qsizetype bytes)
{
    Block &block = m_blocks[size_t(m_reserved)];
    Q_ASSERT(bytes >= 0 && block.used + bytes <= block.size);
    // Only a block of its own holds a text this long: it starts the block.
    const bool whole = quint64(bytes) >= Span::WholeBlock;
    Q_ASSERT(!whole || block.used == 0);
    const Span span(quint64(m_reserved), quint64(block.used), whole ? Span::WholeBlock : quint64(bytes));
    block.used += bytes;
    return span;
}

TextArena::Span TextArena::add(QUtf8StringView text)
{
    char *room = reserve(text.size());
    if (!text.isEmpty())
        std::memcpy(room, text.data(), size_t(text.size()));
    return commit(text.size());
}

TextArena::Span TextArena::add(QStringView text)
{
    char *room = reserve(Utf8Text::length(text));
    return commit(Utf8Text::fromUtf16(text, room));
}

TextArena TextArena::sharedCopy(qsizetype blockBytes) const
{
    TextArena copy(blockBytes);
    copy.m_blocks = m_blocks;
    copy.m_capacity = m_capacity;
    // m_current and m_reserved stay unset: the copy writes only into blocks
    // it makes itself.
    return copy;
}
