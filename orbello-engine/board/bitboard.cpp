#include "board/bitboard.h"

#include "rules/board.h"

#include <cassert>

namespace orbello_engine {

namespace {

constexpr std::uint32_t CIRCUIT_MASK = (1u << LOOP_LENGTH) - 1;

struct Tables {
    bool ready = false;
    Bits steps[SQUARES];
    // Circuit bits of a square in each loop: its one or two entries; none for a corner,
    // whose entry is an arc that never blocks and never holds a target.
    std::uint32_t circuitBits[LOOPS][SQUARES];
    // Where walks from a square start: up to two entries per loop (a corner's arc entry).
    int starts[LOOPS][SQUARES][2];
    int startCount[LOOPS][SQUARES];
    // Steps from an entry to the first arc ahead, forward and backward.
    int arcAhead[LOOPS][LOOP_LENGTH];
    int arcBehind[LOOPS][LOOP_LENGTH];
    int entrySquare[LOOPS][LOOP_LENGTH];
    std::uint64_t zobrist[2][SQUARES];
    std::uint64_t zobristSide;
};

Tables tables;

std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint32_t Rotate(std::uint32_t word, int by) {
    return ((word >> by) | (word << (LOOP_LENGTH - by))) & CIRCUIT_MASK;
}

} // namespace

void InitTables() {
    if (tables.ready) return;
    Tables& t = tables;
    for (int sq = 0; sq < SQUARES; ++sq) {
        t.steps[sq] = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                int x = SquareX(sq) + dx, y = SquareY(sq) + dy;
                if ((dx || dy) && x >= 0 && x < 6 && y >= 0 && y < 6)
                    t.steps[sq] |= Bit(Square(x, y));
            }
    }
    const BoardPoint* loops[LOOPS] = {SmallLoop, LargeLoop};
    for (int l = 0; l < LOOPS; ++l) {
        for (int sq = 0; sq < SQUARES; ++sq) {
            t.circuitBits[l][sq] = 0;
            t.startCount[l][sq] = 0;
        }
        for (int i = 0; i < LOOP_LENGTH; ++i) {
            const BoardPoint& e = loops[l][i];
            int sq = Square(e.x, e.y);
            t.entrySquare[l][i] = sq;
            t.starts[l][sq][t.startCount[l][sq]++] = i;
            if (!IsCornerPoint(e)) t.circuitBits[l][sq] |= 1u << i;
        }
        for (int i = 0; i < LOOP_LENGTH; ++i) {
            int k = 1;
            while (!IsCornerPoint(loops[l][(i + k) % LOOP_LENGTH])) ++k;
            t.arcAhead[l][i] = k;
            k = 1;
            while (!IsCornerPoint(loops[l][(i + LOOP_LENGTH - k) % LOOP_LENGTH])) ++k;
            t.arcBehind[l][i] = k;
        }
    }
    std::uint64_t seed = 0x0B7E110ull;
    for (int c = 0; c < 2; ++c)
        for (int sq = 0; sq < SQUARES; ++sq) t.zobrist[c][sq] = SplitMix(seed);
    t.zobristSide = SplitMix(seed);
    t.ready = true;
}

Bits StepTargets(int sq) {
    return tables.steps[sq];
}

Bits LoopReach(const Position& p, int sq) {
    Bits reach = 0;
    for (int l = 0; l < LOOPS; ++l) {
        // The mover's own entries are passable: it has left them.
        const std::uint32_t word = p.circuit[l] & ~tables.circuitBits[l][sq];
        if (!word) continue;
        for (int n = 0; n < tables.startCount[l][sq]; ++n) {
            const int s = tables.starts[l][sq][n];
            // Bit k of r is the entry k steps ahead of s; bit 28 - k the entry k steps behind.
            const std::uint32_t r = Rotate(word, s);
            const int ahead = __builtin_ctz(r);
            if (ahead > tables.arcAhead[l][s])
                reach |= Bit(tables.entrySquare[l][(s + ahead) % LOOP_LENGTH]);
            const int behind = LOOP_LENGTH - (31 - __builtin_clz(r));
            if (behind > tables.arcBehind[l][s])
                reach |= Bit(tables.entrySquare[l][(s + LOOP_LENGTH - behind) % LOOP_LENGTH]);
        }
    }
    return reach;
}

std::uint64_t ComputeKey(const Position& p) {
    std::uint64_t key = p.side ? tables.zobristSide : 0;
    for (int c = 0; c < 2; ++c)
        for (Bits b = p.pieces[c]; b; b &= b - 1) key ^= tables.zobrist[c][LowestSquare(b)];
    return key;
}

Position FromCells(const std::int8_t (&cells)[6][6], int side) {
    InitTables();
    Position p{};
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 6; ++y)
            if (cells[x][y] == 0 || cells[x][y] == 1) p.pieces[cells[x][y]] |= Bit(Square(x, y));
    for (int l = 0; l < LOOPS; ++l) {
        p.circuit[l] = 0;
        for (Bits b = p.Occupied(); b; b &= b - 1)
            p.circuit[l] |= tables.circuitBits[l][LowestSquare(b)];
    }
    p.side = side;
    p.key = ComputeKey(p);
    return p;
}

void ToCells(const Position& p, std::int8_t (&cells)[6][6]) {
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 6; ++y) {
            const Bits b = Bit(Square(x, y));
            cells[x][y] = static_cast<std::int8_t>((p.pieces[0] & b)   ? 0
                                                   : (p.pieces[1] & b) ? 1
                                                                       : 2);
        }
}

Position StartPosition() {
    std::int8_t cells[6][6];
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 6; ++y)
            cells[x][y] = static_cast<std::int8_t>(y < 2 ? 0 : y < 4 ? 2 : 1);
    return FromCells(cells, 0);
}

bool ParsePosition(const std::string& text, Position& out) {
    std::int8_t cells[6][6];
    size_t i = 0;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x, ++i) {
            if (i >= text.size()) return false;
            char c = text[i];
            if (c != 'b' && c != 'w' && c != '.') return false;
            cells[x][y] = static_cast<std::int8_t>(c == 'b' ? 0 : c == 'w' ? 1 : 2);
        }
        if (y < 5 && (i >= text.size() || text[i++] != '/')) return false;
    }
    if (text.size() != i + 2 || text[i] != ' ' || (text[i + 1] != 'b' && text[i + 1] != 'w'))
        return false;
    out = FromCells(cells, text[i + 1] == 'w');
    return true;
}

std::string FormatPosition(const Position& p) {
    std::string s;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            Bits b = Bit(Square(x, y));
            s += (p.pieces[0] & b) ? 'b' : (p.pieces[1] & b) ? 'w' : '.';
        }
        if (y < 5) s += '/';
    }
    s += p.side ? " w" : " b";
    return s;
}

int GenerateMoves(const Position& p, Move* out, bool capturesOnly) {
    int n = 0;
    const Bits own = p.pieces[p.side], enemy = p.pieces[1 - p.side];
    const Bits empty = ALL_SQUARES & ~(own | enemy);
    for (Bits b = own; b; b &= b - 1) {
        const int from = LowestSquare(b);
        for (Bits c = LoopReach(p, from) & enemy; c; c &= c - 1)
            out[n++] = MakeMove(from, LowestSquare(c), true);
        if (capturesOnly) continue;
        for (Bits s = tables.steps[from] & empty; s; s &= s - 1)
            out[n++] = MakeMove(from, LowestSquare(s), false);
    }
    return n;
}

Position MakeMoveOn(const Position& p, Move m) {
    const Tables& t = tables;
    Position q = p;
    const int from = MoveFrom(m), to = MoveTo(m), us = p.side;
    // A generated move: our piece on from; on to, an enemy piece exactly when it captures.
    assert((p.pieces[us] & Bit(from)) != 0 && (p.pieces[us] & Bit(to)) == 0);
    assert(((p.pieces[1 - us] & Bit(to)) != 0) == IsCapture(m));
    q.pieces[us] ^= Bit(from) | Bit(to);
    q.key ^= t.zobrist[us][from] ^ t.zobrist[us][to] ^ t.zobristSide;
    if (IsCapture(m)) {
        q.pieces[1 - us] ^= Bit(to);
        q.key ^= t.zobrist[1 - us][to];
    }
    for (int l = 0; l < LOOPS; ++l)
        q.circuit[l] = (q.circuit[l] & ~t.circuitBits[l][from]) | t.circuitBits[l][to];
    q.side = 1 - us;
    return q;
}

std::uint64_t Perft(const Position& p, int depth) {
    if (depth == 0) return 1;
    Move moves[MAX_MOVES];
    const int n = GenerateMoves(p, moves);
    if (depth == 1) return static_cast<std::uint64_t>(n);
    std::uint64_t total = 0;
    for (int i = 0; i < n; ++i) total += Perft(MakeMoveOn(p, moves[i]), depth - 1);
    return total;
}

} // namespace orbello_engine
