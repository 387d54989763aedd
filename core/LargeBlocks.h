// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QtGlobal>

#include <cstddef>

// Memory for the catalogue's large tables and text blocks, uninitialised.
// Where the system offers huge pages, a block of a few megabytes asks for
// them: a catalogue's tables are filled in one sweep, and a page fault for
// every 4 KB costs more than the work done on it.
namespace LargeBlocks {

void *allocate(size_t bytes);
void release(void *block) noexcept;

} // namespace LargeBlocks

// The same for std::vector: std::vector<Row, LargeAllocator<Row>>.
template<typename T> struct LargeAllocator
{
    using value_type = T;

    LargeAllocator() = default;
    template<typename U> LargeAllocator(const LargeAllocator<U> &) noexcept { }

    T *allocate(size_t n) { return static_cast<T *>(LargeBlocks::allocate(n * sizeof(T))); }
    void deallocate(T *p, size_t) noexcept { LargeBlocks::release(p); }

    template<typename U> bool operator==(const LargeAllocator<U> &) const noexcept { return true; }
};
