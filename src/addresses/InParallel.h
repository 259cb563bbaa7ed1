#pragma once
// Work on the items of a batch shared among workers, each worker on a
// thread of its own with what it owns (a dictionary of its own: they are
// not shared between threads), the results in the items' order.

#include <QtGlobal>

#include <algorithm>
#include <thread>
#include <vector>

// Calls work(worker, i) once for each i in [0, count), worker in [0,
// workers): worker 0 on the calling thread, the others on threads of their
// own, each on one stretch of the batch. Returns when all are done.
template <typename Work>
void inParallel(int workers, qsizetype count, Work work)
{
    const qsizetype stretch = (count + workers - 1) / std::max(workers, 1);
    auto run = [&](int worker) {
        const qsizetype end = std::min(count, stretch * (worker + 1));
        for (qsizetype i = stretch * worker; i < end; ++i)
            work(worker, i);
    };
    std::vector<std::thread> others;
    for (int w = 1; w < workers && stretch * w < count; ++w)
        others.emplace_back(run, w);
    run(0);
    for (std::thread &t : others)
        t.join();
}
