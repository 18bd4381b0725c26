#include "endgame/budget_clock.h"

#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace strong {
namespace {

bool cpu_clock = false;

long long steady_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

long long thread_cpu_ms() {
#ifdef _WIN32
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return steady_ms();
    auto ticks = [](const FILETIME& t) {
        return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000; // 100 ns units
#else
    timespec t;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) != 0) return steady_ms();
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
#endif
}

long long now_ms() {
    return cpu_clock ? thread_cpu_ms() : steady_ms();
}

void use_thread_cpu_clock(bool on) {
    cpu_clock = on;
}

} // namespace strong
