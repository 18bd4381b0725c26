#include "driver/history_command.h"

#include <cstdio>
#include <cstring>

#include "driver/game_start.h"
#include "driver/line_codes.h"
#include "model/line_placement.h"

const char* read_history(const char* colour, CountResult count_read, int count, const char* codes,
                         GameHistory& history, char* why, int size) {
    const size_t room = static_cast<size_t>(size);
    if (std::strcmp(colour, "black") == 0)
        history.opener = ENGINE;
    else if (std::strcmp(colour, "white") == 0)
        history.opener = OPPONENT;
    else {
        std::snprintf(why, room, "colour \"%.20s\" is neither black nor white", colour);
        return why;
    }
    // At most 59: a history of all sixty lines would be a finished game.
    if (count_read != CountResult::ok || count < 0 || count >= LINE_COUNT) {
        std::snprintf(why, room, "the number of lines must be 0 to %d", LINE_COUNT - 1);
        return why;
    }
    history.count = count;
    const size_t length = std::strlen(codes);
    if (count == 0) {
        if (std::strcmp(codes, "-") == 0) return nullptr;
        std::snprintf(why, room, "no lines, so the codes must be \"-\", not \"%.20s\"", codes);
        return why;
    }
    if (length != 3 * static_cast<size_t>(count)) {
        std::snprintf(why, room, "%d lines need %d letters of codes, not %d", count, 3 * count,
                      static_cast<int>(length));
        return why;
    }
    bool drawn[2][36] = {};
    for (int i = 0; i < count; ++i) {
        const Move m = decode_move(codes + 3 * i);
        if (!is_on_board(m)) {
            std::snprintf(why, room, "line %d \"%.3s\" names no line of the board", i + 1,
                          codes + 3 * i);
            return why;
        }
        bool& seen = drawn[m.orient][key_index(m)];
        if (seen) {
            std::snprintf(why, room, "line %d \"%.3s\" was already drawn", i + 1, codes + 3 * i);
            return why;
        }
        seen = true;
        history.lines[i] = m;
    }
    return nullptr;
}

int replay_history(const GameHistory& history, uint32_t seed) {
    set_opener(history.opener);
    start_game(seed);
    int side = history.opener;
    for (int i = 0; i < history.count; ++i) {
        if (place_line(side, history.lines[i]) == 0) side = -side;
        round1 += 1;
    }
    return side;
}
