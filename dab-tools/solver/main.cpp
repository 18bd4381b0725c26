// dab-solve: the exact value of a position and its best lines.
//   dab-solve [--pure] CODES...   the drawn lines as three-letter codes (any grouping)
// Prints the margin of the untaken boxes for the player to move, then the best lines.
#include <cstdio>
#include <cstring>
#include <string>

#include "dab_board.h"
#include "dab_solver.h"

int main(int argc, char** argv) {
    using namespace dabtools;
    bool pure = false;
    uint64_t drawn = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pure") == 0) {
            pure = true;
            continue;
        }
        size_t n = std::strlen(argv[i]);
        if (n % 3 != 0) {
            std::fprintf(stderr, "dab-solve: '%s' is not a list of line codes\n", argv[i]);
            return 2;
        }
        for (size_t k = 0; k < n; k += 3) {
            int line = parse_line_code(argv[i] + k);
            if (line < 0) {
                std::fprintf(stderr, "dab-solve: '%.3s' names no line\n", argv[i] + k);
                return 2;
            }
            drawn |= uint64_t{1} << line;
        }
    }
    ExactSolver solver(pure);
    std::printf("value %d\n", solver.value(drawn));
    std::string lines;
    for (int line : solver.best_lines(drawn)) lines += " " + line_code(line);
    std::printf("best%s\n", lines.c_str());
    return 0;
}
