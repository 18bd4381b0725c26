// The clock the strong player's deadlines are read on: the steady wall clock, as the
// platform waits in real time; the bench may switch it to this thread's CPU time so that
// measurements on a loaded machine count only the work done.
#pragma once

namespace strong {

// Milliseconds of the deadline clock from an arbitrary start.
long long now_ms();

// Deadlines from now on count this thread's CPU time (true) or wall-clock time (false).
void use_thread_cpu_clock(bool on);

// Milliseconds of CPU time used by the calling thread.
long long thread_cpu_ms();

} // namespace strong
