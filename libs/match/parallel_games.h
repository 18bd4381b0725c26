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
// called on the calling thread in order of g.
template <typename Result>
void run_in_order(int games, int concurrency, const std::function<Result(int)>& play,
                  const std::function<void(int, Result&)>& done) {
    if (concurrency <= 1 || games <= 1) {
        for (int g = 0; g < games; ++g) {
            Result r = play(g);
            done(g, r);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    std::map<int, Result> ready;
    int next = 0;
    auto worker = [&]() {
        for (;;) {
            int g;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (next >= games) return;
                g = next++;
            }
            Result r = play(g);
            std::lock_guard<std::mutex> lock(mutex);
            ready.emplace(g, std::move(r));
            finished.notify_one();
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < std::min(concurrency, games); ++t) threads.emplace_back(worker);
    for (int g = 0; g < games; ++g) {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [&]() { return ready.count(g) != 0; });
        Result r = std::move(ready[g]);
        ready.erase(g);
        lock.unlock();
        done(g, r);
    }
    for (std::thread& t : threads) t.join();
}

} // namespace matchtools
