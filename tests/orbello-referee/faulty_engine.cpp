// An Orbello engine for the referee's tests: plays a script of known legal moves for its
// colour (starting over when the script runs out) and, at its second move, commits the fault
// its first argument names ("fair" commits none).
//   orbello-faulty-engine KIND BLACK-MOVES WHITE-MOVES [LATE-MS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& list) {
    std::vector<std::string> moves;
    for (size_t start = 0; start < list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        moves.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return moves;
}

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: orbello-faulty-engine KIND BLACK-MOVES WHITE-MOVES [LATE-MS]\n");
        return 2;
    }
    const std::string kind = argv[1];
    const std::vector<std::string> scripts[2] = {split(argv[2]), split(argv[3])};
    const int late_ms = argc > 4 ? std::atoi(argv[4]) : 3000;
    const std::vector<std::string>* script = &scripts[0];
    size_t next = 0;
    int turns = 0;
    auto scripted = [&]() {
        std::string m = (*script)[next % script->size()];
        ++next;
        return "move " + m + "\n";
    };
    auto play = [&]() {
        ++turns;
        if (turns != 2 || kind == "fair") {
            std::fputs(scripted().c_str(), stdout);
        } else if (kind == "illegal" || kind == "retry") {
            std::fputs("move AAAA\n", stdout);
        } else if (kind == "silent") {
            for (;;) sleep_ms(1000);
        } else if (kind == "exit") {
            std::exit(3);
        } else if (kind == "exit0") {
            std::exit(0);
        } else if (kind == "abort") {
            std::abort();
        } else if (kind == "garbage") {
            std::fputs("hello there, I am thinking\n", stdout);
        } else if (kind == "early") {
            // This move and the next at once: the next one comes while the other side is to
            // move.
            std::string two = scripted();
            two += scripted();
            std::fputs(two.c_str(), stdout);
        } else if (kind == "late") {
            sleep_ms(late_ms);
            std::fputs(scripted().c_str(), stdout);
        } else if (kind == "closed") {
            std::fclose(stdout);
            char line[256];
            while (std::fgets(line, sizeof line, stdin)) {
            }
            std::exit(0);
        }
        std::fflush(stdout);
    };
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        if (std::strncmp(line, "name?", 5) == 0) {
            std::printf("name faulty-%s\n", kind.c_str());
            std::fflush(stdout);
        } else if (std::strncmp(line, "new ", 4) == 0) {
            const bool black = std::strncmp(line + 4, "black", 5) == 0;
            script = &scripts[black ? 0 : 1];
            next = 0;
            turns = 0;
            if (black) play();
        } else if (std::strncmp(line, "move", 4) == 0) {
            play();
        } else if (std::strncmp(line, "error", 5) == 0) {
            // Only "illegal" insists on its refused move.
            if (kind == "illegal")
                std::fputs("move AAAA\n", stdout);
            else
                std::fputs(scripted().c_str(), stdout);
            std::fflush(stdout);
        } else if (std::strncmp(line, "quit", 4) == 0) {
            return 0;
        }
    }
    return 0;
}
