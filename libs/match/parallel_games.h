// Games played side by side: each game runs on a thread of its own (with its own engine
// processes), and the results are handed on one by one in game order, each as soon as it
// and every game before it are over, so logs and reports read as if played in sequence.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace matchtools {

// play(g) for g = 0 .. games-1 with at most concurrency of them at once; done(g, result) is
// called on the calling thread in order of g. When done returns false no further game
// starts, and the results of games already started after g are dropped: the match is then
// exactly the one a sequential run stopped at g would have played.
template <typename Result>
void run_in_order(long long games, int concurrency, const std::function<Result(long long)>& play,
                  const std::function<bool(long long, Result&)>& done) {
    if (concurrency <= 1 || games <= 1) {
        for (long long g = 0; g < games; ++g) {
            Result r = play(g);
            if (!done(g, r)) return;
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    std::map<long long, Result> ready;
    long long next = 0;
    bool stop = false;
    auto worker = [&]() {
        for (;;) {
            long long g;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (stop || next >= games) return;
                g = next++;
            }
            Result r = play(g);
            std::lock_guard<std::mutex> lock(mutex);
            ready.emplace(g, std::move(r));
            finished.notify_one();
        }
    };
    std::vector<std::thread> threads;
    for (long long t = 0; t < std::min<long long>(concurrency, games); ++t)
        threads.emplace_back(worker);
    for (long long g = 0; g < games; ++g) {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [&]() { return ready.count(g) != 0; });
        Result r = std::move(ready[g]);
        ready.erase(g);
        lock.unlock();
        if (!done(g, r)) {
            std::lock_guard<std::mutex> stopping(mutex);
            stop = true;
            break;
        }
    }
    for (std::thread& t : threads) t.join();
}

} // namespace matchtools
