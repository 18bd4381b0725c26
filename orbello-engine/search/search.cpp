#include "search/search.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orbello_engine {

namespace {

constexpr std::uint8_t BOUND_EXACT = 0, BOUND_LOWER = 1, BOUND_UPPER = 2;

int ToTable(int score, int ply) {
    return score > WIN_BOUND ? score + ply : score < -WIN_BOUND ? score - ply : score;
}
int FromTable(int score, int ply) {
    return score > WIN_BOUND ? score - ply : score < -WIN_BOUND ? score + ply : score;
}

} // namespace

Searcher::Searcher(int tableBits)
    : table_(static_cast<Entry*>(std::calloc(std::size_t{1} << tableBits, sizeof(Entry)))),
      tableMask_((std::uint64_t{1} << tableBits) - 1) {
    if (!table_) throw std::bad_alloc();
    NewGame();
}

void Searcher::NewGame() {
    std::memset(killers_, 0, sizeof killers_);
    std::memset(history_, 0, sizeof history_);
}

bool Searcher::TimeUp() {
    if (!timed_ || (nodes_ & 255) != 0) return stopped_;
    if (std::chrono::steady_clock::now() >= deadline_) stopped_ = true;
    return stopped_;
}

bool Searcher::Repeated() const {
    const int top = static_cast<int>(keys_.size()) - 1;
    const int run = irreversible_[top];
    for (int k = 2; k <= run; k += 2)
        if (keys_[top - k] == keys_[top]) return true;
    return false;
}

void Searcher::OrderMoves(const Position& p, Move* moves, int n, Move tableMove, int ply) {
    int keys[MAX_MOVES];
    for (int i = 0; i < n; ++i) {
        const Move m = moves[i];
        int k;
        if (m == tableMove)
            k = 1 << 30;
        else if (IsCapture(m))
            k = (1 << 24) - 8 * PopCount(LoopReach(p, MoveTo(m)) & p.pieces[1 - p.side]);
        else if (ply < MAX_PLY && m == killers_[ply][0])
            k = 1 << 22;
        else if (ply < MAX_PLY && m == killers_[ply][1])
            k = (1 << 22) - 1;
        else
            k = history_[p.side][MoveFrom(m)][MoveTo(m)];
        keys[i] = k;
    }
    // Insertion sort: lists are short.
    for (int i = 1; i < n; ++i) {
        const Move m = moves[i];
        const int k = keys[i];
        int j = i - 1;
        while (j >= 0 && keys[j] < k) {
            moves[j + 1] = moves[j];
            keys[j + 1] = keys[j];
            --j;
        }
        moves[j + 1] = m;
        keys[j + 1] = k;
    }
}

int Searcher::Quiesce(const Position& p, int alpha, int beta, int ply) {
    ++nodes_;
    if (p.pieces[p.side] == 0) return -(WIN - ply);
    if (TimeUp()) return 0;
    // Exchanges reach the same position in many orders: the table answers the repeats.
    Entry& entry = table_[p.key & tableMask_];
    Move tableMove = NO_MOVE;
    if (entry.key == p.key) {
        const int score = FromTable(entry.score, ply);
        if (entry.bound == BOUND_EXACT || (entry.bound == BOUND_LOWER && score >= beta) ||
            (entry.bound == BOUND_UPPER && score <= alpha))
            return score;
        if (IsCapture(entry.move)) tableMove = entry.move;
    }
    const int standPat = Evaluate(p);
    if (standPat >= beta || ply >= MAX_PLY - 1) return standPat;
    const int alphaIn = alpha;
    alpha = std::max(alpha, standPat);
    int best = standPat;
    Move bestMove = NO_MOVE;
    Move moves[MAX_MOVES];
    const int n = GenerateMoves(p, moves, true);
    OrderMoves(p, moves, n, tableMove, MAX_PLY);
    for (int i = 0; i < n; ++i) {
        const int score = -Quiesce(MakeMoveOn(p, moves[i]), -beta, -alpha, ply + 1);
        if (stopped_) return 0;
        if (score > best) {
            best = score;
            bestMove = moves[i];
        }
        if (score >= beta) break;
        alpha = std::max(alpha, score);
    }
    // Never over an entry of a real depth: those are dearer to find again.
    if (entry.depth <= 0) {
        const std::uint8_t bound = best >= beta     ? BOUND_LOWER
                                   : best > alphaIn ? BOUND_EXACT
                                                    : BOUND_UPPER;
        entry = Entry{p.key, bestMove, static_cast<std::int16_t>(ToTable(best, ply)), 0, bound};
    }
    return best;
}

int Searcher::Negamax(const Position& p, int depth, int alpha, int beta, int ply, bool pvNode) {
    if (p.pieces[p.side] == 0) return -(WIN - ply);
    if (ply > 0 && Repeated()) return 0;
    if (depth <= 0 || ply >= MAX_PLY - 1) return Quiesce(p, alpha, beta, ply);
    ++nodes_;
    if (TimeUp()) return 0;

    Entry& entry = table_[p.key & tableMask_];
    Move tableMove = NO_MOVE;
    if (entry.key == p.key) {
        tableMove = entry.move;
        const int score = FromTable(entry.score, ply);
        if (!pvNode && entry.depth >= depth &&
            (entry.bound == BOUND_EXACT || (entry.bound == BOUND_LOWER && score >= beta) ||
             (entry.bound == BOUND_UPPER && score <= alpha)))
            return score;
    }

    Move moves[MAX_MOVES];
    const int n = GenerateMoves(p, moves);
    if (n == 0) return 0; // pieces that cannot move: the game stalls
    OrderMoves(p, moves, n, tableMove, ply);

    const int alphaIn = alpha;
    int best = -WIN - 1;
    Move bestMove = moves[0];
    for (int i = 0; i < n; ++i) {
        const Move m = moves[i];
        const Position child = MakeMoveOn(p, m);
        keys_.push_back(child.key);
        irreversible_.push_back(IsCapture(m) ? 0 : irreversible_.back() + 1);
        int score;
        if (i == 0) {
            score = -Negamax(child, depth - 1, -beta, -alpha, ply + 1, pvNode);
        } else {
            // Late quiet moves are first tried one ply shallower.
            const bool reduce = depth >= 3 && i >= 3 && !IsCapture(m) && m != killers_[ply][0] &&
                                m != killers_[ply][1];
            score =
                -Negamax(child, depth - 1 - (reduce ? 1 : 0), -alpha - 1, -alpha, ply + 1, false);
            if (score > alpha && reduce)
                score = -Negamax(child, depth - 1, -alpha - 1, -alpha, ply + 1, false);
            if (score > alpha && score < beta)
                score = -Negamax(child, depth - 1, -beta, -alpha, ply + 1, true);
        }
        keys_.pop_back();
        irreversible_.pop_back();
        if (stopped_) return 0;
        if (score > best) {
            best = score;
            bestMove = m;
        }
        if (score > alpha) alpha = score;
        if (alpha >= beta) {
            if (!IsCapture(m)) {
                if (killers_[ply][0] != m) {
                    killers_[ply][1] = killers_[ply][0];
                    killers_[ply][0] = m;
                }
                int& h = history_[p.side][MoveFrom(m)][MoveTo(m)];
                h = std::min(h + depth * depth, 1 << 20);
            }
            break;
        }
    }
    const std::uint8_t bound = best >= beta     ? BOUND_LOWER
                               : best > alphaIn ? BOUND_EXACT
                                                : BOUND_UPPER;
    if (entry.key != p.key || depth >= entry.depth || bound == BOUND_EXACT)
        entry = Entry{p.key, bestMove, static_cast<std::int16_t>(ToTable(best, ply)),
                      static_cast<std::int8_t>(depth), bound};
    return best;
}

SearchResult Searcher::Search(const Position& root, const std::vector<std::uint64_t>& history,
                              const SearchLimits& limits, const std::vector<Move>& excluded,
                              std::uint32_t seed) {
    const auto start = std::chrono::steady_clock::now();
    timed_ = limits.moveTimeMs > 0;
    // A little is kept back for writing the move.
    deadline_ = start + std::chrono::microseconds(std::max(500, limits.moveTimeMs * 1000 - 1500));
    stopped_ = false;
    nodes_ = 0;
    keys_ = history;
    keys_.push_back(root.key);
    irreversible_.clear();
    for (std::size_t i = 0; i < keys_.size(); ++i) irreversible_.push_back(static_cast<int>(i));

    SearchResult result;
    Move moves[MAX_MOVES];
    int n = GenerateMoves(root, moves);
    n = static_cast<int>(std::remove_if(moves, moves + n,
                                        [&](Move m) {
                                            return std::find(excluded.begin(), excluded.end(), m) !=
                                                   excluded.end();
                                        }) -
                         moves);
    if (n == 0) {
        // Nothing new to offer: the best refused move is still better than silence.
        if (!excluded.empty()) result.best = excluded.front();
        return result;
    }
    // The seed only breaks ties between equal moves.
    std::uint32_t state = seed * 2654435761u + 1;
    for (int i = n - 1; i > 0; --i) {
        state = state * 1664525u + 1013904223u;
        std::swap(moves[i], moves[(state >> 8) % static_cast<std::uint32_t>(i + 1)]);
    }
    result.best = moves[0];

    for (int depth = 1; depth <= limits.maxDepth && depth < MAX_PLY - 1; ++depth) {
        Move tableMove = result.best;
        OrderMoves(root, moves, n, tableMove, 0);
        int alpha = -WIN - 1;
        const int beta = WIN + 1;
        Move best = NO_MOVE;
        int bestScore = -WIN - 1;
        for (int i = 0; i < n; ++i) {
            const Position child = MakeMoveOn(root, moves[i]);
            keys_.push_back(child.key);
            irreversible_.push_back(IsCapture(moves[i]) ? 0 : irreversible_.back() + 1);
            int score;
            if (i == 0) {
                score = -Negamax(child, depth - 1, -beta, -alpha, 1, true);
            } else {
                score = -Negamax(child, depth - 1, -alpha - 1, -alpha, 1, false);
                if (score > alpha && !stopped_)
                    score = -Negamax(child, depth - 1, -beta, -alpha, 1, true);
            }
            keys_.pop_back();
            irreversible_.pop_back();
            if (stopped_) break;
            if (score > bestScore) {
                bestScore = score;
                best = moves[i];
            }
            alpha = std::max(alpha, score);
        }
        if (stopped_) {
            // The first move searched is the last iteration's choice; anything that beat it
            // in a finished search is better.
            if (best != NO_MOVE) result.best = best;
            break;
        }
        result.best = best;
        result.score = bestScore;
        result.depth = depth;
        Entry& entry = table_[root.key & tableMask_];
        entry = Entry{root.key, best, static_cast<std::int16_t>(ToTable(bestScore, 0)),
                      static_cast<std::int8_t>(depth), BOUND_EXACT};
        if (bestScore > WIN_BOUND || bestScore < -WIN_BOUND) break; // decided
        if (timed_) {
            const auto elapsed = std::chrono::steady_clock::now() - start;
            // The next depth costs a few times this one. One started past half the budget
            // rarely gets beyond its first moves; before that, whatever it finishes (the last
            // choice first) counts.
            if (elapsed * 2 > deadline_ - start) break;
        }
    }
    result.nodes = nodes_;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

} // namespace orbello_engine
