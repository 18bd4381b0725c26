// Wall-clock milliseconds: the budget is real time the platform waits, not CPU time.
#include "search/clock.h"

#include <chrono>

int clock_ms() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<int>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}
