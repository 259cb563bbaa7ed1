#pragma once
// Work on the items of a batch shared among workers, each worker on a
// thread of its own with what it owns (a dictionary of its own: they are
// not shared between threads), the results in the items' order.

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

// Calls work(worker, i) once for each i in [0, count), worker in [0,
// workers): worker 0 on the calling thread, the others on threads of their
// own. Items are taken a few at a time as workers come free, so that a
// worker slowed by slow items or by another thread does not hold the rest
// up. Returns when all are done.
template <typename Work>
void inParallel(int workers, qsizetype count, Work work)
{
    constexpr qsizetype kFew = 32;
    std::atomic<qsizetype> next{0};
    auto run = [&](int worker) {
        for (qsizetype begin = next.fetch_add(kFew); begin < count; begin = next.fetch_add(kFew)) {
            const qsizetype end = std::min(count, begin + kFew);
            for (qsizetype i = begin; i < end; ++i)
                work(worker, i);
        }
    };
    std::vector<std::thread> others;
    for (int w = 1; w < workers && kFew * w < count; ++w)
        others.emplace_back(run, w);
    run(0);
    for (std::thread &t : others)
        t.join();
}
