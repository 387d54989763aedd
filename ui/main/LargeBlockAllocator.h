// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <new>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

// An allocator for large short-lived arrays (tens of megabytes for a
// million rows). Where the system offers it, their memory is asked for in
// large pages: the first touch of every small page of fresh memory is a
// fault, and on some machines these faults cost more than the work done on
// the array. Elsewhere it is the plain allocator.
template<class T> class LargeBlockAllocator
{
public:
    using value_type = T;

    LargeBlockAllocator() = default;
    template<class U> LargeBlockAllocator(const LargeBlockAllocator<U> &) { }

    T *allocate(std::size_t n)
    {
        void *block = ::operator new(n * sizeof(T));
        adviseLargePages(block, n * sizeof(T));
        return static_cast<T *>(block);
    }
    void deallocate(T *block, std::size_t) { ::operator delete(block); }

    template<class U> bool operator==(const LargeBlockAllocator<U> &) const { return true; }

private:
    static void adviseLargePages(void *block, std::size_t bytes)
    {
#ifdef Q_OS_LINUX
        constexpr std::uintptr_t LargePage = std::uintptr_t(2) << 20;
        const std::uintptr_t first = (std::uintptr_t(block) + LargePage - 1) & ~(LargePage - 1);
        const std::uintptr_t last = (std::uintptr_t(block) + bytes) & ~(LargePage - 1);
        if (last > first)
            madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE); // a hint: failure is harmless
#else
        Q_UNUSED(block);
        Q_UNUSED(bytes);
#endif
    }
};
