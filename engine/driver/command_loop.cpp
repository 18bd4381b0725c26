#include "driver/command_loop.h"

#include <cstring>

#include "driver/board_printer.h"
#include "driver/game_start.h"
#include "driver/history_command.h"
#include "driver/line_codes.h"
#include "model/line_placement.h"

LineChooser line_chooser = choose_move;

namespace {

// The opponent's lines reach the model only when they name an undrawn line of the board;
// anything else is skipped, so round1 keeps counting drawn lines.
bool playable(const Move& m) {
    return is_on_board(m) && !is_drawn(m);
}

// The engine's own line: the search's choice, or the first undrawn line should it ever
// come back with a line that cannot be drawn.
Move engine_line(const SearchLimits& limits) {
    Move m = line_chooser(limits);
    if (playable(m)) return m;
    Move open[LINE_COUNT];
    return undrawn_lines(open) > 0 ? open[0] : m; // callers only ask while a line is undrawn
}

void new_game(WordInput& in, std::FILE* out, const SearchLimits& limits, const char* colour) {
    in.drop_pending();
    set_opener(std::strcmp(colour, "black") == 0 ? ENGINE : OPPONENT);
    start_game(limits.seed);
    if (engine_first) {
        Move m = engine_line(limits);
        place_line(ENGINE, m);
        char code[4];
        encode_move(m, code);
        std::fprintf(out, "move 1 %s\n", code);
        round1 += 1;
    }
    print_board(out);
}

// The engine's turn while a line is undrawn: lines until one completes no box or the board
// is full, then the reply and the board.
void engine_turn(std::FILE* out, const SearchLimits& limits) {
    char reply[3 * LINE_COUNT + 1];
    int replied = 0;
    int completed;
    do {
        Move m = engine_line(limits);
        completed = place_line(ENGINE, m);
        encode_move(m, reply + 3 * replied);
        replied += 1;
        round1 += 1;
    } while (completed == 1 && round1 <= LINE_COUNT);
    reply[3 * replied] = 0;
    std::fprintf(out, "round1=%d\n", round1);
    std::fprintf(out, "move %d %s\n", replied, reply);
    print_board(out);
}

// Returns false when the game's last line has been drawn and the program ends.
bool opponent_turn(WordInput& in, std::FILE* out, const SearchLimits& limits, int count,
                   const char* codes) {
    in.drop_pending();
    // Only complete codes of the word are read, however large the count claims to be.
    int available = static_cast<int>(std::strlen(codes)) / 3;
    int n = count < available ? count : available;
    for (int i = 0; i < n; ++i) {
        Move m = decode_move(codes + 3 * i);
        if (!playable(m)) continue;
        place_line(OPPONENT, m);
        round1 += 1;
    }
    print_board(out);
    if (round1 > LINE_COUNT) return false;
    std::fflush(out);
    engine_turn(out, limits);
    return true;
}

// Reads the rest of a "history" command and answers it: the game it gives and, when that
// leaves the engine to move, the engine's turn; refused, the game stays as it was.
void history(WordInput& in, std::FILE* out, std::FILE* err, const SearchLimits& limits) {
    char colour[WORD_BUFFER], codes[WORD_BUFFER];
    int count = -1;
    if (!in.read_word(colour)) return;
    const CountResult count_read = in.read_count(count);
    if (count_read == CountResult::end_of_input || !in.read_word(codes)) return;
    in.drop_pending();
    GameHistory h;
    char why[160];
    if (read_history(colour, count_read, count, codes, h, why, static_cast<int>(sizeof why))) {
        std::fprintf(err, "vantry: history refused: %s\n", why);
        std::fflush(err);
        std::fputs("history refused\n", out);
        return;
    }
    std::fputs("history ok\n", out);
    if (replay_history(h, limits.seed) == ENGINE)
        engine_turn(out, limits);
    else
        print_board(out);
}

} // namespace

int run_command_loop(WordInput& in, std::FILE* out, const SearchLimits& limits) {
    return run_command_loop(in, out, stderr, limits);
}

int run_command_loop(WordInput& in, std::FILE* out, std::FILE* err, const SearchLimits& limits) {
    start_game(limits.seed);
    char word[WORD_BUFFER];
    for (;;) {
        std::fflush(out);
        if (!in.read_word(word)) return 0;
        if (std::strcmp(word, "move") == 0) {
            // A count that is not a number counts as 0: no opponent line, the engine plays.
            int count = 0;
            if (in.read_count(count) == CountResult::end_of_input) return 0;
            if (!in.read_word(word)) return 0;
            if (!opponent_turn(in, out, limits, count, word)) {
                std::fflush(out);
                return 0;
            }
        } else if (std::strcmp(word, "new") == 0) {
            if (!in.read_word(word)) return 0;
            new_game(in, out, limits, word);
        } else if (std::strcmp(word, "history") == 0) {
            history(in, out, err, limits);
        } else if (std::strcmp(word, "error") == 0 || std::strcmp(word, "end") == 0) {
            in.drop_pending();
        } else if (std::strcmp(word, "name?") == 0) {
            in.drop_pending();
            std::fputs("name xxxx\n", out);
        } else if (std::strcmp(word, "quit") == 0) {
            in.drop_pending();
            std::fputs("Quit!\n", out);
            std::fflush(out);
            return 0;
        }
    }
}
