// orbello-host's command line.
#include "host.h"

namespace orbello_host {

const char kUsage[] =
    "usage: orbello-host [--data DIR] [--engine \"COMMAND\"] [--engine-side black|white]\n"
    "                    [--moves ABAC,AEAD,...] [--screenshot FILE.bmp] [--exit-at-end]\n";

bool ParseOptions(int argc, char** argv, Options* opt) {
    opt->dataDir = ProgramDir() + "\\data";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--data" && hasValue) {
            opt->dataDir = argv[++i];
        } else if (a == "--engine" && hasValue) {
            opt->engine = argv[++i];
        } else if (a == "--engine-side" && hasValue) {
            std::string s = argv[++i];
            if (s != "black" && s != "white") return false;
            opt->engineSide = s == "black" ? 0 : 1;
        } else if (a == "--moves" && hasValue) {
            std::string list = argv[++i];
            size_t start = 0;
            while (start <= list.size()) {
                size_t comma = list.find(',', start);
                if (comma == std::string::npos) comma = list.size();
                if (comma > start) opt->moves.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else if (a == "--screenshot" && hasValue) {
            opt->screenshot = argv[++i];
        } else if (a == "--exit-at-end") {
            opt->exitAtEnd = true;
        } else {
            return false;
        }
    }
    // The module builds its file names in 260-byte buffers from this folder.
    return opt->dataDir.size() <= 245;
}

} // namespace orbello_host
