// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "LargeBlocks.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace LargeBlocks {

void *allocate(size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr size_t HugePage = size_t(2) << 20;
    if (bytes >= HugePage) {
        const size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
        void *block = std::aligned_alloc(HugePage, rounded);
        if (block == nullptr)
            throw std::bad_alloc();
        madvise(block, rounded, MADV_HUGEPAGE);
        return block;
    }
#endif
    void *block = std::malloc(std::max<size_t>(bytes, 1));
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void release(void *block) noexcept
{
    std::free(block);
}

} // namespace LargeBlocks
