// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// Work cut into parts, done on several threads: each thread (this one among
// them) takes the next part left until none is, so a thread that waits for
// a core (the machine may be busy) holds up one part, not a share of the
// whole. work(part, thread) is called once for each part; thread runs from
// 0 to threadCount - 1 and tells the caller's state of that thread apart.
namespace WorkShare {

// One thread for fewer than parallelFrom items, else one a core (two to eight).
inline int threadsFor(qsizetype items, qsizetype parallelFrom)
{
    return items >= parallelFrom ? std::clamp(int(std::thread::hardware_concurrency()), 2, 8) : 1;
}

template<typename Work> void run(qsizetype parts, int threadCount, const Work &work)
{
    std::atomic<qsizetype> next = 0;
    const auto take = [&work, &next, parts](int thread) {
        for (qsizetype part = next++; part < parts; part = next++)
            work(part, thread);
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < threadCount && t < parts; ++t) {
        try {
            threads.emplace_back(take, t);
        } catch (const std::system_error &) { // no thread to be had: the others do its share
            break;
        }
    }
    take(0);
    for (std::thread &thread : threads)
        thread.join();
}

} // namespace WorkShare
