// orbello-tuner: fits the Orbello engine's evaluation weights to the results of its games.
//   orbello-tuner positions [--skip N] LOG.jsonl...   labelled quiet positions, one a line
//   orbello-tuner fit [options] POSITIONS              the fitted weight table
#include "fitting.h"
#include "positions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace orbello_tuner;
using orbello_engine::Position;

const char* const USAGE =
    "usage: orbello-tuner positions [--skip N] LOG.jsonl...\n"
    "         the positions of the referee's games (after the first N plies, default 4),\n"
    "         each resolved to a quiet one by a capture search, with the game's result:\n"
    "         \"POSITION BLACK_POINTS GAME\" lines on standard output\n"
    "       orbello-tuner fit [--hold-out N] [--ridge R] [--iterations N] [--scale K]\n"
    "                         [--freeze TERM]... [--write FILE] POSITIONS\n"
    "         fits the weights to the positions' results from the engine's weights (every\n"
    "         Nth game held out to check the fit, default 10; ridge default 1e-7), prints\n"
    "         the table and, with --write, puts it into FILE (the evaluation's source).\n"
    "         --freeze PIECE keeps a term's two weights; --scale fixes k instead of\n"
    "         fitting it to the engine's weights first.\n";

int Fail(const std::string& why) {
    std::fprintf(stderr, "orbello-tuner: %s\n", why.c_str());
    return 2;
}

bool ReadNumber(const char* text, double lo, double hi, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

int Positions(const std::vector<std::string>& args) {
    int skip = 4;
    std::vector<std::string> logs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        double v = 0;
        if (args[i] == "--skip" && i + 1 < args.size() &&
            ReadNumber(args[i + 1].c_str(), 0, 1000, v)) {
            skip = static_cast<int>(v);
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            return Fail("unknown option " + args[i] + "\n" + USAGE);
        } else {
            logs.push_back(args[i]);
        }
    }
    if (logs.empty()) return Fail(std::string("no log given\n") + USAGE);
    int game = 0;
    long long written = 0, skipped = 0;
    for (const std::string& path : logs) {
        std::ifstream in(path);
        if (!in) return Fail("cannot read " + path);
        std::string line, why;
        int lineNumber = 0;
        while (std::getline(in, line)) {
            ++lineNumber;
            GameRecord record;
            std::vector<Position> positions;
            if (!ReadGameRecord(line, record, why) || !ReplayGame(record, positions, why)) {
                if (!why.empty()) {
                    std::fprintf(stderr, "orbello-tuner: %s:%d: %s; game left out\n", path.c_str(),
                                 lineNumber, why.c_str());
                    ++skipped;
                }
                continue;
            }
            ++game;
            for (std::size_t ply = skip; ply < positions.size(); ++ply) {
                const Position leaf = QuietLeaf(positions[ply]);
                if (leaf.pieces[0] == 0 || leaf.pieces[1] == 0) continue; // decided
                std::cout << FormatLabelled(Labelled{leaf, record.blackPoints, game}) << '\n';
                ++written;
            }
        }
    }
    std::fprintf(stderr, "orbello-tuner: %lld positions from %d games (%lld left out)\n", written,
                 game, skipped);
    return 0;
}

int Fit(const std::vector<std::string>& args) {
    int holdOut = 10, iterations = 50;
    double ridge = 1e-7, scale = 0;
    std::vector<int> frozen;
    std::string input, write;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool more = i + 1 < args.size();
        double v = 0;
        if (a == "--hold-out" && more && ReadNumber(args[i + 1].c_str(), 0, 1e6, v)) {
            holdOut = static_cast<int>(v);
            ++i;
        } else if (a == "--iterations" && more && ReadNumber(args[i + 1].c_str(), 0, 1e6, v)) {
            iterations = static_cast<int>(v);
            ++i;
        } else if (a == "--ridge" && more && ReadNumber(args[i + 1].c_str(), 0, 1, v)) {
            ridge = v;
            ++i;
        } else if (a == "--scale" && more && ReadNumber(args[i + 1].c_str(), 1e-4, 20, v)) {
            scale = v;
            ++i;
        } else if (a == "--write" && more) {
            write = args[++i];
        } else if (a == "--freeze" && more) {
            const std::string name = args[++i];
            int term = -1;
            for (int t = 0; t < orbello_engine::TERM_COUNT; ++t)
                if (name == orbello_engine::WEIGHTS[t].name) term = t;
            if (term < 0) return Fail("no term named " + name);
            frozen.push_back(2 * term);
            frozen.push_back(2 * term + 1);
        } else if (a.rfind("--", 0) == 0 || !input.empty()) {
            return Fail("unexpected argument " + a + "\n" + USAGE);
        } else {
            input = a;
        }
    }
    if (input.empty()) return Fail(std::string("no positions file given\n") + USAGE);
    std::ifstream in(input);
    if (!in) return Fail("cannot read " + input);
    std::vector<Sample> train, check;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        Labelled l;
        if (!ParseLabelled(line, l))
            return Fail(input + ":" + std::to_string(lineNumber) + ": not a labelled position");
        orbello_engine::Terms terms;
        orbello_engine::CountTerms(l.position, terms);
        (holdOut > 0 && l.game % holdOut == 0 ? check : train)
            .push_back(MakeSample(terms, MoverPoints(l)));
    }
    if (train.empty()) return Fail("no positions to fit in " + input);

    Params w = EngineWeights();
    const double k = scale > 0 ? scale : FitScale(train, w);
    std::printf("%zu positions to fit, %zu held out; k %.4f\n", train.size(), check.size(), k);
    std::printf("engine's weights: loss %.6f, held out %.6f\n", Loss(train, w, k),
                Loss(check, w, k));
    const FitReport r = FitWeights(train, w, k, frozen, ridge, iterations);
    std::printf("fitted weights:   loss %.6f, held out %.6f (%d Newton steps)\n", r.loss,
                Loss(check, w, k), r.iterations);
    std::printf("%s\n", WeightTable(w).c_str());
    if (!write.empty()) {
        std::ifstream source(write);
        std::stringstream text;
        text << source.rdbuf();
        std::string s = text.str();
        if (!source || !ReplaceWeightTable(s, w)) return Fail("no weight table in " + write);
        std::ofstream out(write, std::ios::trunc);
        out << s;
        if (!out) return Fail("cannot write " + write);
        std::printf("written to %s\n", write.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail(std::string("no command\n") + USAGE);
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "positions") return Positions(args);
    if (command == "fit") return Fit(args);
    if (command == "--help" || command == "-h") {
        std::fputs(USAGE, stdout);
        return 0;
    }
    return Fail("unknown command " + command + "\n" + USAGE);
}
