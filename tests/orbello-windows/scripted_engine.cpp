// An engine for orbello-host's relay test: plays a fixed list of moves, one for each move
// line it receives (or at once after "new black"), and reports what it was told on stderr.
// It refuses a game given whole ("history"), as an engine that cannot take one does.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> moves;
    if (argc > 1) {
        std::string list = argv[1];
        for (size_t start = 0; start < list.size();) {
            size_t comma = list.find(',', start);
            if (comma == std::string::npos) comma = list.size();
            moves.push_back(list.substr(start, comma - start));
            start = comma + 1;
        }
    }
    size_t next = 0;
    auto play = [&]() {
        if (next < moves.size()) printf("move %s\n", moves[next++].c_str());
        fflush(stdout);
    };
    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        fprintf(stderr, "engine got: %s", line);
        if (strncmp(line, "quit", 4) == 0) break;
        if (strncmp(line, "new black", 9) == 0) play();
        if (strncmp(line, "move", 4) == 0) play();
        if (strncmp(line, "history", 7) == 0) printf("history refused\n"), fflush(stdout);
    }
    return 0;
}
