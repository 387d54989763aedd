// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAnyStringView>

// The case-folded UTF-16 units of a text, exactly as QString::toCaseFolded
// gives them, read a chunk at a time straight from the text, whether it is
// held as UTF-16, UTF-8 or Latin-1: nothing is copied or allocated.
//
// A chunk holds the units in a code of one to three bytes a unit that keeps
// their order (see codeOf()): an ASCII unit takes one byte, and the units of
// kana, kanji and the half- and full-width forms two, so that a chunk holds
// 31 ASCII characters or 15 Japanese ones, as much as most names need to be
// told apart. The code's bytes are packed into ChunkWords 64-bit words, most
// significant first, up to ChunkBytes bytes and padded with 0; the last byte
// tells how the text goes on: the number of bytes in the chunk when the text
// ends in it, GoesOn when it does not. A unit's code may be split between one
// chunk and the next. Comparing two texts' chunks as integers, word by word
// and chunk after chunk, orders the texts as comparing their folded units one
// by one does.
//
// UTF-8 is read as QString::fromUtf8 reads it (a byte that starts no
// well-formed sequence stands for U+FFFD), except that a leading U+FEFF is
// a character like any other. Texts are read up to MaxLength units (bytes
// in UTF-8).
class FoldedUnits
{
public:
    static constexpr int ChunkWords = 4;
    static constexpr int ChunkBytes = 8 * ChunkWords - 1;
    static constexpr quint8 GoesOn = ChunkBytes + 1;
    static constexpr qsizetype MaxLength = (qsizetype(1) << 28) - 1;

    struct Chunk
    {
        quint64 words[ChunkWords];
    };
    // Where the next chunk starts: 0 at the start of a text.
    using Cursor = quint32;

    // The chunk at the cursor; moves the cursor past it.
    static Chunk next(QAnyStringView text, Cursor &cursor);
    static quint8 ending(const Chunk &chunk) { return quint8(chunk.words[ChunkWords - 1]); }
};
