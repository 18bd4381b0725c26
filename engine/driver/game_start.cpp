#include "driver/game_start.h"

#include <ctime>

#include "model/position.h"
#include "search/keys.h"
#include "search/random15.h"
#include "search/transposition_table.h"

void set_opener(int opener) {
    const int was_second = engine_second;
    engine_first = opener == ENGINE ? 1 : 0;
    engine_second = opener == ENGINE ? 0 : 1;
    if (engine_second != was_second) tt_clear();
}

void start_game(uint32_t seed) {
    init_board();
    init_keys();
    seed15(seed != 0 ? seed : static_cast<uint32_t>(std::time(nullptr)));
}
