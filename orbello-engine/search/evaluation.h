// The static evaluation: a weighted sum of terms counted on the board, each term with one
// weight for the opening and one for the ending, blended by the pieces left. Being linear in
// its weights, it can be fitted to game results (orbello-tools/tuner).
#ifndef ORBELLO_ENGINE_SEARCH_EVALUATION_H
#define ORBELLO_ENGINE_SEARCH_EVALUATION_H

#include "board/bitboard.h"

namespace orbello_engine {

// Every term is counted for the side to move: its own count minus the other side's, except
// where the name says whose pieces it counts.
enum Term {
    PIECE,
    CORNER,         // pieces on a corner: on an arc, never captured
    EDGE_BY_CORNER, // edge points next to a corner
    SMALL_CROSSING, // where the small loop crosses itself
    MIXED_CROSSING, // where the two loops cross
    LARGE_CROSSING, // where the large loop crosses itself
    STEP,           // steps to empty neighbours
    ROUTE,          // captures available
    DEFENDED,       // pieces a loop walk of their own side reaches
    HANGING_OWN,    // the mover's attacked, undefended pieces beyond the one it can save
    HANGING_THEIRS, // the waiting side's attacked, undefended pieces
    TEMPO,          // 1: being the side to move
    TERM_COUNT
};

struct TermWeight {
    const char* name;
    int opening; // with every piece on the board
    int ending;  // with none
};

// In hundredths of a piece at the start.
extern const TermWeight WEIGHTS[TERM_COUNT];

constexpr int PHASE_MAX = 24; // pieces at the start

struct Terms {
    int value[TERM_COUNT];
    int phase; // pieces on the board, 0..PHASE_MAX: the opening weights' share
};

void CountTerms(const Position& p, Terms& out);

// Static value for the side to move: the weights applied to the terms.
int Evaluate(const Position& p);

} // namespace orbello_engine

#endif
