// Vantry: a Dots and Boxes engine on 6 x 6 dots, talking words over its standard streams.
// It takes no arguments.
#include <cstdio>

#include "driver/command_loop.h"
#include "driver/stdin_source.h"

int main() {
    SearchLimits limits;
#ifdef VANTRY_BUDGET_MS
    limits.budget_ms = VANTRY_BUDGET_MS;
#endif
    StdinSource source;
    WordInput in(source);
    int status = run_command_loop(in, stdout, limits);
#ifdef VANTRY_BUDGET_MS
    // The short-budget build plays soak matches: it tells on its error stream, which the
    // protocol does not use, how often move generation came back empty.
    std::fprintf(stderr, "vantry: empty move lists %lld\n", empty_lists_run);
#endif
    return status;
}
