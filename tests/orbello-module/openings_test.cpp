// Openings of Orbello matches: the check of a given opening (text, side to move, legality),
// random legal openings, and the shipped file of balanced openings.
#include "rules/openings.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace {

using namespace orbello_rules;

std::vector<std::string> Split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

const char* const NOT_A_MOVE =
    "not a move (four letters A to F: source column and row, target column and row)";

TEST(Openings, Check) {
    struct Case {
        const char* moves;
        std::string why; // "" when accepted
    } cases[] = {
        {"", ""},
        // Black (rows A, B) steps down from column A row B; White (rows E, F) steps up.
        {"ABAC AEAD", ""},
        {"FBFC FEFD EBEC", ""},
        // White may not move first, nor Black twice, nor onto its own piece.
        {"AEAD", "move 1 'AEAD': not a legal move of Black"},
        {"ABAC ACAD", "move 2 'ACAD': not a legal move of White"},
        {"AAAB", "move 1 'AAAB': not a legal move of Black"},
        // A step of two rows is no step.
        {"ABAD", "move 1 'ABAD': not a legal move of Black"},
        {"ABA", std::string("move 1 'ABA': ") + NOT_A_MOVE},
        {"ABAG", std::string("move 1 'ABAG': ") + NOT_A_MOVE},
        {"abac", std::string("move 1 'abac': ") + NOT_A_MOVE},
        {"ABAC AEADX", std::string("move 2 'AEADX': ") + NOT_A_MOVE},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(check_opening(Split(c.moves), why), c.why.empty()) << c.moves;
        EXPECT_EQ(why, c.why) << c.moves;
    }
}

TEST(Openings, RandomOpeningsAreLegalAndRepeatBySeed) {
    for (std::uint64_t seed : {0ull, 7ull, 98765432109ull}) {
        for (int plies : {0, 1, 2, 6, 40}) {
            const std::vector<std::string> a = random_opening(plies, seed);
            EXPECT_EQ(a, random_opening(plies, seed));
            EXPECT_LE(static_cast<int>(a.size()), plies);
            if (plies <= 6) {
                EXPECT_EQ(static_cast<int>(a.size()), plies);
            }
            std::string why;
            EXPECT_TRUE(check_opening(a, why)) << why;
            Cells board;
            int side = -1;
            play_opening(a, board, side);
            EXPECT_EQ(side, static_cast<int>(a.size() % 2)); // Black 0 after an even count
        }
    }
    EXPECT_NE(random_opening(6, 1), random_opening(6, 2));
}

#ifdef ORBELLO_BALANCED_OPENINGS
TEST(Openings, ShippedFileIsLegal) {
    std::ifstream in(ORBELLO_BALANCED_OPENINGS);
    ASSERT_TRUE(in.good());
    int lines = 0, openings = 0;
    bool made_by = false;
    for (std::string line; std::getline(in, line);) {
        ++lines;
        if (line.rfind("# Made by: orbello-make-openings ", 0) == 0) made_by = true;
        if (line.empty() || line[0] == '#') continue;
        std::string why;
        EXPECT_TRUE(check_opening(Split(line), why)) << "line " << lines << ": " << why;
        ++openings;
    }
    EXPECT_TRUE(made_by);
    EXPECT_GE(openings, 50);
    EXPECT_LE(openings, 100);
}
#endif

} // namespace
