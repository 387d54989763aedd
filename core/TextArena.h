// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QStringView>
#include <QUtf8StringView>

#include <memory>
#include <vector>

// Many short UTF-8 texts in a few large blocks, so that a text costs its
// bytes and no heap block of its own. A text lies in one block; a text
// longer than a block gets a block of its own size. Texts are never moved
// or freed one by one: the owner counts what it no longer uses and builds a
// fresh arena when that grows large. Nor are they ever written over, so
// another arena may share the blocks and read the texts already there for
// as long as it lives (sharedCopy).
class TextArena
{
public:
    // Blocks are at most this large (offsets in a block take 22 bits).
    static constexpr qsizetype BlockBytes = qsizetype(4) << 20;

    // Where a text lies, in eight bytes aligned as four, so that a row of a
    // catalogue is a span and a key in twelve: the block (20 bits), the
    // offset in it (22 bits) and the length (22 bits). A text too long for
    // that has a block of its own and is as long as what the block holds.
    class Span
    {
    public:
        Span() = default;
        quint32 block() const { return quint32(bits() & BlockMask); }
        quint32 offset() const { return quint32((bits() >> 20) & OffsetMask); }

    private:
        friend class TextArena;
        static constexpr quint64 BlockMask = (quint64(1) << 20) - 1;
        static constexpr quint64 OffsetMask = (quint64(1) << 22) - 1;
        static constexpr quint64 WholeBlock = (quint64(1) << 22) - 1; // the length: all the block holds
        Span(quint64 block, quint64 offset, quint64 length)
            : m_low(quint32(block | offset << 20))
            , m_high(quint32(offset >> 12 | length << 10))
        { }
        quint64 bits() const { return quint64(m_high) << 32 | m_low; }
        quint64 lengthField() const { return bits() >> 42; }

        quint32 m_low = 0;
        quint32 m_high = 0;
    };

    TextArena() = default;
    explicit TextArena(qsizetype blockBytes)
        : m_blockBytes(blockBytes)
    {
        Q_ASSERT(blockBytes > 0 && blockBytes <= BlockBytes);
    }
    TextArena(TextArena &&) noexcept = default;
    TextArena &operator=(TextArena &&) noexcept = default;

    // Room for a text of up to bytes bytes; write it there and then
    // commit() its actual length. The room stays valid until the next call.
    char *reserve(qsizetype bytes);
    Span commit(qsizetype bytes);
    Span add(QUtf8StringView text);
    // A UTF-16 text, kept as UTF-8.
    Span add(QStringView text);

    QUtf8StringView view(const Span &span) const
    {
        const Block &block = m_blocks[span.block()];
        const quint64 length = span.lengthField();
        return QUtf8StringView(
            block.bytes.get() + span.offset(), length == Span::WholeBlock ? block.used : qsizetype(length));
    }
    qsizetype length(const Span &span) const { return view(span).size(); }

    // Bytes held in blocks, used or not.
    qsizetype capacity() const { return m_capacity; }
    qsizetype blockBytes() const { return m_blockBytes; }
    // The size of the blocks made from now on.
    void setBlockBytes(qsizetype bytes)
    {
        Q_ASSERT(bytes > 0 && bytes <= BlockBytes);
        m_blockBytes = bytes;
    }
    void clear() { *this = TextArena(m_blockBytes); }

    // An arena that reads every text of this one through the same spans,
    // keeping the blocks alive, and adds its own texts in blocks of its own.
    TextArena sharedCopy(qsizetype blockBytes) const;

private:
    struct Free
    {
        void operator()(char *bytes) const;
    };
    struct Block
    {
        std::shared_ptr<char> bytes;
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
