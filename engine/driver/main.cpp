// Vantry: a Dots and Boxes engine on 6 x 6 dots, talking words over its standard streams.
// With no arguments it plays the default engine; "--strong" (or the vantry-strong build)
// switches to the strong player. Unknown arguments are ignored.
//   --level N    1..5: the strong player's strength for people (5, the default, is full)
//   --seed N     seeds the engine's draws, so that a session replays alike (0: the clock)
//   --budget MS  thinking time per line (default 5000), e.g. short for a hint
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/command_loop.h"
#include "driver/stdin_source.h"
#include "strong/levels.h"
#include "strong/strong_player.h"

namespace {

// The value of option argv[i] within lo..hi, or false (with a message) when it has none.
bool option_value(int argc, char** argv, int i, long long lo, long long hi, long long& value) {
    char* end = nullptr;
    if (i + 1 < argc) value = std::strtoll(argv[i + 1], &end, 10);
    if (end != nullptr && end != argv[i + 1] && *end == 0 && value >= lo && value <= hi)
        return true;
    std::fprintf(stderr, "vantry: %s needs a number from %lld to %lld\n", argv[i], lo, hi);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    SearchLimits limits;
#ifdef VANTRY_BUDGET_MS
    limits.budget_ms = VANTRY_BUDGET_MS;
#endif
#ifdef VANTRY_STRONG
    line_chooser = strong::choose_strong_move;
#endif
    int level = strong::TOP_LEVEL;
    for (int i = 1; i < argc; ++i) {
        long long v = 0;
        if (std::strcmp(argv[i], "--strong") == 0) {
            line_chooser = strong::choose_strong_move;
        } else if (std::strcmp(argv[i], "--level") == 0) {
            if (!option_value(argc, argv, i++, strong::LOWEST_LEVEL, strong::TOP_LEVEL, v))
                return 2;
            level = static_cast<int>(v);
            line_chooser = strong::choose_strong_move; // levels are the strong player's
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            if (!option_value(argc, argv, i++, 0, 4294967295LL, v)) return 2;
            limits.seed = static_cast<uint32_t>(v);
        } else if (std::strcmp(argv[i], "--budget") == 0) {
            if (!option_value(argc, argv, i++, 1, 3600000, v)) return 2;
            limits.budget_ms = static_cast<int>(v);
        }
    }
    strong::set_level(level, limits.seed);
    if (level < strong::TOP_LEVEL) line_chooser = strong::choose_level_move;
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
