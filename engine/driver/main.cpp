// Vantry: a Dots and Boxes engine on 6 x 6 dots, talking words over its standard streams.
// With no arguments it plays the default engine; "--strong" (or the vantry-strong build)
// switches to the strong player. Other arguments are ignored.
#include <cstdio>
#include <cstring>

#include "driver/command_loop.h"
#include "driver/stdin_source.h"
#include "strong/strong_player.h"

int main(int argc, char** argv) {
    SearchLimits limits;
#ifdef VANTRY_BUDGET_MS
    limits.budget_ms = VANTRY_BUDGET_MS;
#endif
#ifdef VANTRY_STRONG
    line_chooser = strong::choose_strong_move;
#endif
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--strong") == 0) line_chooser = strong::choose_strong_move;
    // The strong player's table is made before the first command, so that no reply pays
    // for it.
    if (line_chooser != choose_move) strong::strong_solver();
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
