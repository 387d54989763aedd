// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QStringView>

#include <memory>
#include <vector>

// Many short texts in a few large blocks, so that a text costs its
// characters and no heap block of its own. A text lies in one block; a text
// longer than a block gets a block of its own size. Texts are never moved
// or freed one by one: the owner counts what it no longer uses and builds a
// fresh arena when that grows large.
class TextArena
{
public:
    static constexpr qsizetype BlockUnits = qsizetype(1) << 20;

    struct Span
    {
        quint32 block = 0;
        quint32 offset = 0;
        quint32 length = 0;
    };

    TextArena() = default;
    explicit TextArena(qsizetype blockUnits)
        : m_blockUnits(blockUnits)
    { }
    TextArena(TextArena &&) noexcept = default;
    TextArena &operator=(TextArena &&) noexcept = default;

    // Room for a text of up to units characters; write it there and then
    // commit() its actual length. The room stays valid until the next call.
    char16_t *reserve(qsizetype units);
    Span commit(qsizetype units);
    Span add(QStringView text);

    QStringView view(const Span &span) const
    {
        return QStringView(m_blocks[span.block].units.get() + span.offset, qsizetype(span.length));
    }

    // Characters held in blocks, used or not.
    qsizetype capacity() const { return m_capacity; }
    qsizetype blockUnits() const { return m_blockUnits; }
    void clear() { *this = TextArena(m_blockUnits); }

private:
    struct Block
    {
        std::unique_ptr<char16_t[]> units;
        qsizetype size = 0;
        qsizetype used = 0;
    };

    qsizetype newBlock(qsizetype units);

    std::vector<Block> m_blocks;
    qsizetype m_blockUnits = BlockUnits;
    qsizetype m_capacity = 0;
    qsizetype m_current = -1; // the block that takes short texts
    qsizetype m_reserved = -1; // the block of the last reserve()
};
