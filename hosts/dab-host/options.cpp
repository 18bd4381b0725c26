// dab-host's command line.
#include "dab_host.h"

#include <cstdlib>

namespace dab_host {

const char kUsage[] =
    "usage: dab-host [--engine \"COMMAND\"] [--engine-opens] [--line-ms MS] [--seed N]\n"
    "                [--settings FILE] [--open FILE.jsonl [--game N]]\n"
    "                [--lines AAA,BCA,...] [--screenshot FILE.bmp] [--exit-at-end]\n"
    "--lines holds line codes to click and the words new, second, undo, hint, play,\n"
    "level N, save FILE, open FILE [GAME], step +|-|home|end and close.\n";

namespace {

// The strongest Vantry beside the program.
std::string DefaultEngine() {
    std::string dir = win32_host::ProgramDir();
    std::string strong = dir + "\\VantryStrong.exe";
    DWORD attributes = GetFileAttributesA(strong.c_str());
    bool present =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    return "\"" + (present ? strong : dir + "\\Vantry.exe") + "\"";
}

} // namespace

bool ParseOptions(int argc, char** argv, Options* opt) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--engine" && hasValue) {
            opt->engine = argv[++i];
        } else if (a == "--engine-opens") {
            opt->engineOpens = true;
        } else if (a == "--line-ms" && hasValue) {
            opt->lineMs = std::atoi(argv[++i]);
            if (opt->lineMs < 100 || opt->lineMs > 600000) return false;
        } else if (a == "--lines" && hasValue) {
            for (const std::string& item : win32_host::SplitCommas(argv[++i]))
                opt->script.push_back(item);
        } else if (a == "--screenshot" && hasValue) {
            opt->screenshot = argv[++i];
        } else if (a == "--exit-at-end") {
            opt->exitAtEnd = true;
        } else if (a == "--settings" && hasValue) {
            opt->settings = argv[++i];
            opt->settingsGiven = true;
        } else if (a == "--seed" && hasValue) {
            char* end = nullptr;
            opt->seed = std::strtoll(argv[++i], &end, 10);
            if (*end != 0 || opt->seed < 0 || opt->seed > 4294967295LL) return false;
        } else if (a == "--open" && hasValue) {
            opt->open = argv[++i];
        } else if (a == "--game" && hasValue) {
            char* end = nullptr;
            opt->openGame = std::strtoll(argv[++i], &end, 10);
            if (*end != 0 || opt->openGame < 0) return false;
        } else {
            return false;
        }
    }
    if (opt->engine.empty()) opt->engine = DefaultEngine();
    // A script keeps the person's settings file as it is unless it names one.
    if (!opt->settingsGiven && opt->script.empty())
        opt->settings = win32_host::DefaultSettingsPath("dab-host.ini");
    return true;
}

} // namespace dab_host
