#include "in_process_games.h"

#include <climits>
#include <cstdio>

#include "dab_board.h"
#include "driver/game_start.h"
#include "driver/line_codes.h"
#include "model/line_placement.h"
#include "search/search.h"
#include "search/transposition_table.h"
#include "strategy.h"

namespace {

constexpr uint32_t GAMES_SEED = 12345;

// The opponents keep their own plain board, drawn in step with the engine's; lines cross
// between the two by their codes.
Move engine_move(int line) {
    return decode_move(dabtools::line_code(line).c_str());
}
int board_line(const Move& m) {
    char code[4];
    encode_move(m, code);
    return dabtools::parse_line_code(code);
}

} // namespace

int play_games(int games, int depth) {
    long long nodes = 0;
    int empty = 0;
    int bad_lines = 0;
    int won = 0;
    int engine_lines = 0;
    for (int g = 0; g < games; ++g) {
        const bool engine_opens = g % 2 == 0;
        const bool greedy = (g / 2) % 2 == 1;
        dabtools::Strategy opponent(greedy ? dabtools::Kind::Greedy : dabtools::Kind::Random,
                                    static_cast<uint32_t>(1000 + g));
        dabtools::Board board;
        set_opener(engine_opens ? ENGINE : OPPONENT);
        start_game(GAMES_SEED + static_cast<uint32_t>(g));
        tt_clear();
        bool engine_turn = engine_opens;
        while (round1 <= LINE_COUNT) {
            Move m;
            if (engine_turn) {
                SearchLimits limits;
                limits.budget_ms = INT_MAX;
                limits.max_depth = depth;
                if (limits.min_depth > depth) limits.min_depth = depth;
                m = choose_move(limits);
                nodes += search_stats.nodes;
                empty += search_stats.empty_lists;
                engine_lines += 1;
                if (!is_on_board(m) || is_drawn(m)) {
                    bad_lines += 1;
                    break;
                }
            } else {
                m = engine_move(opponent.choose(board, !engine_opens));
            }
            board.draw(board_line(m), engine_turn ? 1 : 2);
            const int completed = place_line(engine_turn ? ENGINE : OPPONENT, m);
            round1 += 1;
            if (!completed) engine_turn = !engine_turn;
        }
        if (score_engine > score_opponent) won += 1;
        std::printf("game %3d  %s opens  %-6s  engine %2d : %2d  opponent\n", g + 1,
                    engine_opens ? "engine  " : "opponent", greedy ? "greedy" : "random",
                    score_engine, score_opponent);
    }
    std::printf("games %d  won %d  engine lines %d  nodes %lld\n", games, won, engine_lines, nodes);
    std::printf("empty lists %d\n", empty);
    std::printf("drawn or off-board lines chosen %d\n", bad_lines);
    std::fflush(stdout);
    return bad_lines == 0 ? 0 : 1;
}
