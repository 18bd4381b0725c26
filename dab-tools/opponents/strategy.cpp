#include "strategy.h"

#include <algorithm>

namespace dabtools {

bool parse_kind(const std::string& word, Kind& kind) {
    if (word == "random")
        kind = Kind::Random;
    else if (word == "greedy")
        kind = Kind::Greedy;
    else if (word == "chain")
        kind = Kind::Chain;
    else
        return false;
    return true;
}

namespace {

// The undrawn side of a box with three sides, else -1.
int missing_side(const Board& board, int box) {
    if (board.owner[box] != 0 || board.sides_drawn(box) != 3) return -1;
    for (int s : Board::sides(box))
        if (!board.drawn[s]) return s;
    return -1;
}

// The box on the other side of a line from box, or -1 at the border.
int across(int line, int box) {
    std::array<int, 2> b = Board::boxes_of(line);
    return b[0] == box ? b[1] : b[0];
}

int take_all(Board& board, int player) {
    int taken = 0;
    for (bool again = true; again;) {
        again = false;
        for (int box = 0; box < BOXES; ++box) {
            int line = missing_side(board, box);
            if (line >= 0) {
                taken += board.draw(line, player);
                again = true;
            }
        }
    }
    return taken;
}

// Sizes of the groups of unowned boxes joined by undrawn shared lines.
std::vector<int> components(const Board& board, const std::array<bool, BOXES>& skip) {
    std::array<bool, BOXES> seen = skip;
    std::vector<int> sizes;
    for (int start = 0; start < BOXES; ++start) {
        if (seen[start] || board.owner[start] != 0) continue;
        int size = 0;
        std::vector<int> stack{start};
        seen[start] = true;
        while (!stack.empty()) {
            int box = stack.back();
            stack.pop_back();
            ++size;
            for (int s : Board::sides(box)) {
                int next = across(s, box);
                if (board.drawn[s] || next < 0 || seen[next] || board.owner[next] != 0) continue;
                seen[next] = true;
                stack.push_back(next);
            }
        }
        sizes.push_back(size);
    }
    return sizes;
}

} // namespace

std::vector<int> completing_lines(const Board& board) {
    std::vector<int> lines;
    for (int box = 0; box < BOXES; ++box) {
        int line = missing_side(board, box);
        if (line >= 0 && std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(line);
    }
    return lines;
}

std::vector<int> safe_lines(const Board& board) {
    std::vector<int> lines;
    for (int line = 0; line < LINES; ++line) {
        if (board.drawn[line]) continue;
        bool safe = true;
        for (int box : Board::boxes_of(line))
            if (box >= 0 && board.sides_drawn(box) >= 2) safe = false;
        if (safe) lines.push_back(line);
    }
    return lines;
}

int boxes_given(const Board& board, int line) {
    Board after = board;
    after.draw(line, 1);
    return take_all(after, 2);
}

int long_chains(const Board& board) {
    std::array<bool, BOXES> seen{};
    int chains = 0;
    for (int start = 0; start < BOXES; ++start) {
        if (seen[start] || board.owner[start] != 0 || board.sides_drawn(start) != 2) continue;
        int size = 0;
        bool closed = true; // every box of the group has both open sides inside the group
        std::vector<int> stack{start};
        seen[start] = true;
        while (!stack.empty()) {
            int box = stack.back();
            stack.pop_back();
            ++size;
            for (int s : Board::sides(box)) {
                if (board.drawn[s]) continue;
                int next = across(s, box);
                if (next < 0 || board.owner[next] != 0 || board.sides_drawn(next) != 2) {
                    closed = false;
                    continue;
                }
                if (!seen[next]) {
                    seen[next] = true;
                    stack.push_back(next);
                }
            }
        }
        if (size >= 3 && !closed) ++chains; // a closed group is a loop: no parity
    }
    return chains;
}

int Strategy::pick(const std::vector<int>& lines) {
    return lines[rng_() % lines.size()];
}

int Strategy::choose(const Board& board, bool we_opened) {
    if (kind_ == Kind::Chain) return choose_chain(board, we_opened);
    if (kind_ == Kind::Greedy) {
        std::vector<int> take = completing_lines(board);
        if (!take.empty()) return pick(take);
        std::vector<int> safe = safe_lines(board);
        if (!safe.empty()) return pick(safe);
    }
    std::vector<int> open;
    for (int line = 0; line < LINES; ++line)
        if (!board.drawn[line]) open.push_back(line);
    return pick(open);
}

int Strategy::choose_chain(const Board& board, bool we_opened) {
    std::vector<int> safe = safe_lines(board);
    std::vector<int> take = completing_lines(board);
    if (!take.empty()) {
        if (!safe.empty()) return pick(take);
        // Endgame: take freely, except the last two boxes of an offered chain when more
        // long groups remain, which go back with one line (the other side must then open
        // the next group for us).
        std::vector<int> plain;
        int deal = -1;
        std::array<bool, BOXES> domino{};
        for (int line : take) {
            int b0 = -1;
            for (int box : Board::boxes_of(line))
                if (box >= 0 && board.owner[box] == 0 && board.sides_drawn(box) == 3) b0 = box;
            int b1 = across(line, b0);
            if (b1 < 0 || board.owner[b1] != 0 || board.sides_drawn(b1) != 2) {
                plain.push_back(line);
                continue;
            }
            int far = -1;
            for (int s : Board::sides(b1))
                if (!board.drawn[s] && s != line) far = s;
            int b2 = across(far, b1);
            if (b2 >= 0 && board.owner[b2] == 0 && board.sides_drawn(b2) >= 2) {
                plain.push_back(line); // the chain goes on beyond b1
                continue;
            }
            deal = far;
            domino[b0] = domino[b1] = true;
        }
        if (!plain.empty()) return pick(plain);
        std::vector<int> rest = components(board, domino);
        bool long_group = std::any_of(rest.begin(), rest.end(), [](int n) { return n >= 3; });
        if (deal >= 0 && long_group) return deal;
        return pick(take);
    }
    if (!safe.empty()) {
        // Steer the number of long chains to our parity: on 6 x 6 dots the opener wants it
        // odd, the other side even.
        int want = we_opened ? 1 : 0;
        std::vector<int> good;
        for (int line : safe) {
            Board after = board;
            after.draw(line, 1);
            if (long_chains(after) % 2 == want) good.push_back(line);
        }
        return pick(good.empty() ? safe : good);
    }
    // Every line gives something away: give the fewest boxes, and a pair of boxes with its
    // middle line, so the other side cannot hand them back and keep control.
    int best_cost = BOXES + 1, best_ready = -1;
    std::vector<int> best;
    for (int line = 0; line < LINES; ++line) {
        if (board.drawn[line]) continue;
        int cost = boxes_given(board, line);
        Board after = board;
        after.draw(line, 1);
        int ready_boxes = 0;
        for (int box = 0; box < BOXES; ++box)
            ready_boxes += after.owner[box] == 0 && after.sides_drawn(box) == 3;
        if (cost < best_cost || (cost == best_cost && ready_boxes > best_ready)) {
            best_cost = cost;
            best_ready = ready_boxes;
            best.clear();
        }
        if (cost == best_cost && ready_boxes == best_ready) best.push_back(line);
    }
    return pick(best);
}

} // namespace dabtools
