// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QUtf8StringView>

#include <memory>
#include <vector>

// Many short UTF-8 texts in a few large blocks, so that a text costs its
// bytes and no heap block of its own. A text lies in one block; a text
// longer than a block gets a block of its own size. Texts are never moved
// or freed one by one: the owner counts what it no longer uses and builds a
// fresh arena when that grows large.
class TextArena
{
public:
    static constexpr qsizetype BlockBytes = qsizetype(4) << 20;

    struct Span
    {
        quint32 block = 0;
        quint32 offset = 0;
        quint32 length = 0;
    };

    TextArena() = default;
    explicit TextArena(qsizetype blockBytes)
        : m_blockBytes(blockBytes)
    { }
    TextArena(TextArena &&) noexcept = default;
    TextArena &operator=(TextArena &&) noexcept = default;

    // Room for a text of up to bytes bytes; write it there and then
    // commit() its actual length. The room stays valid until the next call.
    char *reserve(qsizetype bytes);
    Span commit(qsizetype bytes);
    Span add(QUtf8StringView text);

    QUtf8StringView view(const Span &span) const
    {
        return QUtf8StringView(m_blocks[span.block].bytes.get() + span.offset, qsizetype(span.length));
    }

    // Bytes held in blocks, used or not.
    qsizetype capacity() const { return m_capacity; }
    qsizetype blockBytes() const { return m_blockBytes; }
    // The size of the blocks made from now on.
    void setBlockBytes(qsizetype bytes) { m_blockBytes = bytes; }
    void clear() { *this = TextArena(m_blockBytes); }

private:
    struct Free
    {
        void operator()(char *bytes) const;
    };
    struct Block
    {
        std::unique_ptr<char[], Free> bytes;
        qsizetype size = 0;
        qsizetype used = 0;
    };

    qsizetype newBlock(qsizetype bytes);

    std::vector<Block> m_blocks;
    qsizetype m_blockBytes = BlockBytes;
    qsizetype m_capacity = 0;
    qsizetype m_current = -1; // the block that takes short texts
    qsizetype m_reserved = -1; // the block of the last reserve()
};
