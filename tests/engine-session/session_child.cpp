// A child for the engine session's tests: answers each line it reads as its mode says.
//   session-child MODE [MS]
// echo: "name child" to "name?", else "move LINE"; late MS: the same after MS; silent: reads
// and never answers; exit N: ends with status N at the first line; closed: closes its output
// and reads on; garbage: "hello there"; chatter: a blank line and a board line, then the
// answer; flood: 4 MB without a line end, then reads on; hang: neither reads nor answers.
// "quit" ends it in every mode that reads.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "echo";
    const int ms = argc > 2 ? std::atoi(argv[2]) : 0;
    if (mode == "hang")
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    char buf[256];
    while (std::fgets(buf, sizeof buf, stdin)) {
        std::string line(buf);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line == "quit") return 0;
        if (mode == "silent") continue;
        if (mode == "exit") return ms;
        if (mode == "closed") {
            std::fclose(stdout);
            while (std::fgets(buf, sizeof buf, stdin)) {
            }
            return 0;
        }
        if (mode == "flood") {
            std::string junk(4 << 20, 'x');
            std::fwrite(junk.data(), 1, junk.size(), stdout);
            std::fflush(stdout);
            continue;
        }
        if (mode == "late") std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        if (mode == "garbage") {
            std::printf("hello there\n");
        } else {
            if (mode == "chatter") std::printf("\n*---*   *\n");
            std::printf(line == "name?" ? "name child\n" : "move %s\n", line.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}
