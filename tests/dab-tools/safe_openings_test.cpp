// Openings of Dots-and-Boxes matches: the check of a given opening (codes, lines drawn
// twice, safety at the board's edges and between two boxes), random safe openings, and the
// shipped file of balanced openings (each line must pass the check the match runner makes).
#include "safe_openings.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace {

using namespace dabtools;

std::vector<std::string> split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

TEST(SafeOpenings, Check) {
    struct Case {
        const char* moves;
        const char* why; // "" when accepted
    } cases[] = {
        {"", ""},
        // Box 11 in the middle: ACB and ADB are its top and bottom, BCC its left.
        {"ACB BCC ADE", ""},
        {"ACB ADB BCC", "move 3 'BCC': not safe: it gives a box its third side"},
        // Box 0 in the top-left corner: top AAA and left BAA are two sides, its bottom ABA
        // would be the third.
        {"AAA BAA", ""},
        {"AAA BAA ABA", "move 3 'ABA': not safe: it gives a box its third side"},
        // Box 24 in the bottom-right corner: bottom AFE, right BFE, then its left BEE.
        {"AFE BFE BEE", "move 3 'BEE': not safe: it gives a box its third side"},
        // The line between boxes 0 and 1 (BBA) is unsafe when either box has two sides.
        {"AAB ABB BBA", "move 3 'BBA': not safe: it gives a box its third side"},
        {"AAA ABA BBA", "move 3 'BBA': not safe: it gives a box its third side"},
        {"AAA ABB BBA", ""},
        {"ACB ACB", "move 2 'ACB': drawn before"},
        {"CCB", "move 1 'CCB': not a line code (A or B, a letter A to F, a letter A to E)"},
        {"AGA", "move 1 'AGA': not a line code (A or B, a letter A to F, a letter A to E)"},
        {"BAF", "move 1 'BAF': not a line code (A or B, a letter A to F, a letter A to E)"},
        {"AAAA", "move 1 'AAAA': not a line code (A or B, a letter A to F, a letter A to E)"},
        {"AAA AA", "move 2 'AA': not a line code (A or B, a letter A to F, a letter A to E)"},
        {"aaa", "move 1 'aaa': not a line code (A or B, a letter A to F, a letter A to E)"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(check_opening(split(c.moves), why), *c.why == 0) << c.moves;
        EXPECT_EQ(why, c.why) << c.moves;
    }
}

TEST(SafeOpenings, RandomOpeningsAreSafeAndRepeatBySeed) {
    for (uint64_t seed : {0ull, 1ull, 12345678901234ull}) {
        for (int plies : {0, 1, 8, 12}) {
            const std::vector<std::string> a = random_opening(plies, seed);
            EXPECT_EQ(a, random_opening(plies, seed));
            EXPECT_EQ(static_cast<int>(a.size()), plies);
            std::string why;
            EXPECT_TRUE(check_opening(a, why)) << why;
        }
        // Asked for more than the board holds, it stops where no safe line is left.
        const std::vector<std::string> all = random_opening(60, seed);
        std::string why;
        EXPECT_TRUE(check_opening(all, why)) << why;
        EXPECT_LT(all.size(), 60u);
        Board b;
        for (int line : opening_lines(all)) b.draw(line, 1);
        for (int line = 0; line < LINES; ++line) EXPECT_FALSE(is_safe_line(b, line)) << line;
    }
    EXPECT_NE(random_opening(12, 1), random_opening(12, 2));
}

#ifdef DAB_BALANCED_OPENINGS
TEST(SafeOpenings, ShippedFileIsSafe) {
    std::ifstream in(DAB_BALANCED_OPENINGS);
    ASSERT_TRUE(in.good());
    int lines = 0, openings = 0;
    bool made_by = false;
    for (std::string line; std::getline(in, line);) {
        ++lines;
        if (line.rfind("# Made by: dab-make-openings ", 0) == 0) made_by = true;
        if (line.empty() || line[0] == '#') continue;
        std::string why;
        EXPECT_TRUE(check_opening(split(line), why)) << "line " << lines << ": " << why;
        ++openings;
    }
    EXPECT_TRUE(made_by);
    EXPECT_GE(openings, 50);
    EXPECT_LE(openings, 100);
}
#endif

} // namespace
