// orbello-host's command line.
#include "host.h"

#include <cstdlib>

namespace orbello_host {

const char kUsage[] =
    "usage: orbello-host [--data DIR] [--engine \"COMMAND\" | --no-engine] [--movetime MS]\n"
    "                    [--engine-side black|white] [--moves ABAC,AEAD,...]\n"
    "                    [--screenshot FILE.bmp] [--exit-at-end] [--settings FILE]\n"
    "                    [--open RECORD.jsonl [--game N]]\n"
    "With no --engine, OrbelloEngine.exe beside the program plays White when it is there.\n"
    "--moves also takes words: new, undo, hint, level N, save FILE, open FILE [N],\n"
    "step +N|-N|home|end, play, check, close.\n";

bool ParseOptions(int argc, char** argv, Options* opt) {
    opt->dataDir = ProgramDir() + "\\data";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--data" && hasValue) {
            opt->dataDir = argv[++i];
        } else if (a == "--engine" && hasValue) {
            opt->engine = argv[++i];
        } else if (a == "--no-engine") {
            opt->noEngine = true;
        } else if (a == "--movetime" && hasValue) {
            opt->movetimeMs = std::atoi(argv[++i]);
            if (opt->movetimeMs < 10 || opt->movetimeMs > 600000) return false;
        } else if (a == "--engine-side" && hasValue) {
            std::string s = argv[++i];
            if (s != "black" && s != "white") return false;
            opt->engineSide = s == "black" ? 0 : 1;
        } else if (a == "--moves" && hasValue) {
            for (const std::string& item : win32_host::SplitCommas(argv[++i]))
                opt->moves.push_back(item);
        } else if (a == "--screenshot" && hasValue) {
            opt->screenshot = argv[++i];
        } else if (a == "--settings" && hasValue) {
            opt->settings = argv[++i];
            opt->settingsGiven = true;
        } else if (a == "--open" && hasValue) {
            opt->open = argv[++i];
        } else if (a == "--game" && hasValue) {
            char* end = nullptr;
            opt->openGame = std::strtoll(argv[++i], &end, 10);
            if (*end != '\0' || opt->openGame < 1) return false;
        } else if (a == "--exit-at-end") {
            opt->exitAtEnd = true;
        } else {
            return false;
        }
    }
    if (opt->engine.empty() && !opt->noEngine) {
        std::string beside = ProgramDir() + "\\OrbelloEngine.exe";
        DWORD attributes = GetFileAttributesA(beside.c_str());
        opt->defaultEngine =
            attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (opt->noEngine) opt->engine.clear();
    // The module builds its file names in 260-byte buffers from this folder.
    return opt->dataDir.size() <= 245;
}

} // namespace orbello_host
