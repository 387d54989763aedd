// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAnyStringView>

// The case-folded UTF-16 units of a text, exactly as QString::toCaseFolded
// gives them, read a chunk at a time straight from the text, whether it is
// held as UTF-16, UTF-8 or Latin-1: nothing is copied or allocated.
//
// A chunk packs ChunkUnits units into three 64-bit words, most significant
// first, padded with 0; its last 16 bits tell how the text goes on: the
// number of units in the chunk when the text ends in it, GoesOn when it does
// not. Comparing two texts' chunks as three integers, chunk after chunk,
// orders the texts as comparing their folded units one by one does.
//
// UTF-8 is read as QString::fromUtf8 reads it (a byte that starts no
// well-formed sequence stands for U+FFFD), except that a leading U+FEFF is
// a character like any other. Texts are read up to MaxLength units (bytes
// in UTF-8).
class FoldedUnits
{
public:
    static constexpr int ChunkUnits = 11;
    static constexpr quint16 GoesOn = ChunkUnits + 1;
    static constexpr qsizetype MaxLength = (qsizetype(1) << 30) - 1;

    struct Chunk
    {
        quint64 words[3];
    };
    // Where the next chunk starts: 0 at the start of a text.
    using Cursor = quint32;

    // The chunk at the cursor; moves the cursor past it.
    static Chunk next(QAnyStringView text, Cursor &cursor);
    static quint16 ending(const Chunk &chunk) { return quint16(chunk.words[2]); }
};
