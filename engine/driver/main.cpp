// Vantry: a Dots and Boxes engine on 6 x 6 dots, talking words over its standard streams.
// It takes no arguments.
#include "driver/command_loop.h"

int main() {
    SearchLimits limits;
#ifdef VANTRY_BUDGET_MS
    limits.budget_ms = VANTRY_BUDGET_MS;
#endif
    StdinSource source;
    WordInput in(source);
    return run_command_loop(in, stdout, limits);
}
