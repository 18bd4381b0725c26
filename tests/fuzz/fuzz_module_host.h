// Shared by the module's fuzz targets: a host window played by the stand-in's hooks (painting
// calls DrawBoard, move texts are checked as they arrive), a data folder made once per
// process, input bytes read as small numbers, and the invariants every call must keep.
#ifndef ORBELLO_FUZZ_MODULE_HOST_H
#define ORBELLO_FUZZ_MODULE_HOST_H

#include "../orbello-module/data_folder.h"
#include "binding/exports.h"
#include "binding/orbello.h"
#include "standin.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fuzz_module {

// A broken invariant is a crash, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond, what)                                                                     \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "invariant broken: %s (%s) at %s:%d\n", what, #cond, __FILE__,    \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Reads the input a byte or a word at a time; zeros once it runs out.
class Bytes {
  public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    size_t left() const { return empty() ? 0 : size_ - pos_; }
    uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    int32_t word() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return static_cast<int32_t>(v);
    }
    // The next n bytes (fewer at the end) as a NUL-terminated text in a buffer of exactly that
    // size, so that reading past its end is caught.
    std::vector<char> text(size_t n) {
        if (n > left()) n = left();
        std::vector<char> t(data_ + pos_, data_ + pos_ + n);
        t.push_back('\0');
        pos_ += n;
        return t;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The data folder: settings with the default bases, pictures and sounds (the stand-in only
// looks for the files).
inline const std::string& DataDir() {
    static TempDir dir;
    static const std::string name = [] {
        FillDataDir(dir);
        return dir.path().string();
    }();
    return name;
}

// The host's side of one game object for one input.
class Host {
  public:
    COrbello* game = nullptr;
    int statusTexts = 0;    // MSG_MOVE_TEXT received
    LPARAM lastMover = -1;  // its lParam
    int gameOvers = 0;      // MSG_GAME_OVER received
    LPARAM lastWinner = -1; // its lParam

    explicit Host(standin::SoundMode sound) {
        standin::reset();
        standin::setSoundMode(sound);
        baseline_ = standin::liveGdiObjects();
        StandinSetHooks(&Host::Paint, &Host::Message, this);
        game = static_cast<COrbello*>(InitModule(hwnd_, DataDir().c_str()));
        FUZZ_CHECK(game != nullptr, "InitModule");
        Settle();
    }
    ~Host() {
        game->DeletingDestructor(1);
        FUZZ_CHECK(standin::liveGdiObjects() == baseline_, "destruction frees every GDI object");
        FUZZ_CHECK(standin::heldWindowDCs() == 0, "no window DC kept");
        FUZZ_CHECK(standin::misuses().empty(), "no GDI misuse");
        standin::reset();
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    HDC paintDC() const { return paintDC_; }

    // Called after every call into the object: the record of calls is dropped so that it
    // cannot grow over a long run, and the GDI rules must still hold.
    void Settle() {
        standin::clearCalls();
        for (const std::string& m : standin::misuses())
            std::fprintf(stderr, "GDI misuse: %s\n", m.c_str());
        FUZZ_CHECK(standin::misuses().empty(), "no GDI misuse");
    }

    // A legal move of the side to move chosen by one input byte: the first legal one from a
    // starting point among the (own piece, target) pairs, trying captures first when bit 0 is
    // set so that games reach their end. False when the side cannot move. Judging every pair
    // would cost most of a run's time.
    bool PickLegalMove(uint8_t choice, MoveRecord* move) {
        const int side = game->m_nSide;
        std::vector<BoardPoint> own;
        for (int x = 0; x < BOARD_SIZE; ++x)
            for (int y = 0; y < BOARD_SIZE; ++y)
                if (game->m_board[x][y] == side) own.push_back({x, y});
        const size_t pairs = own.size() * BOARD_SIZE * BOARD_SIZE;
        for (int pass = choice & 1 ? 0 : 1; pass < 2; ++pass) {
            for (size_t k = 0; k < pairs; ++k) {
                const size_t i = (k + choice / 2 * 7) % pairs;
                const BoardPoint from = own[i / (BOARD_SIZE * BOARD_SIZE)];
                const int to = static_cast<int>(i % (BOARD_SIZE * BOARD_SIZE));
                const int tx = to / BOARD_SIZE, ty = to % BOARD_SIZE;
                if (pass == 0 && game->m_board[tx][ty] != 1 - side) continue;
                game->m_history.push_back(MoveRecord{from.x, from.y, tx, ty, false, side});
                const bool legal = game->IsLegalMove();
                *move = game->m_history.back();
                game->m_history.pop_back();
                if (legal) return true;
            }
        }
        return false;
    }

    // The move text an engine would send for a move, with the object's bases.
    std::vector<char> MoveText(const MoveRecord& m) const {
        std::vector<char> t(16);
        std::snprintf(t.data(), t.size(), "move %c%c%c%c", game->m_nBaseX + m.fromX,
                      game->m_nBaseY + m.fromY, game->m_nBaseX + m.toX, game->m_nBaseY + m.toY);
        return t;
    }

    // The state every call must leave behind: sound values, 0 to 12 pieces a side, no piece in
    // flight, and a history that, replayed from the initial position, gives the board, with a
    // selection record only on top and only while a piece is selected.
    void CheckInvariants() const {
        const COrbello& g = *game;
        FUZZ_CHECK(g.m_nState == STATE_IDLE || g.m_nState == STATE_SELECTED ||
                       g.m_nState == STATE_PENDING,
                   "click state");
        FUZZ_CHECK(g.m_nSide == BLACK || g.m_nSide == WHITE, "side to move");
        FUZZ_CHECK(g.m_nAnimX == -1 && g.m_nAnimY == -1, "no piece travelling between calls");
        int count[3] = {0, 0, 0};
        for (const auto& column : g.m_board)
            for (std::int8_t cell : column) {
                FUZZ_CHECK(cell == BLACK || cell == WHITE || cell == EMPTY, "cell value");
                ++count[cell];
            }
        FUZZ_CHECK(count[BLACK] <= 12 && count[WHITE] <= 12, "at most 12 pieces a side");

        std::int8_t board[BOARD_SIZE][BOARD_SIZE];
        for (int x = 0; x < BOARD_SIZE; ++x)
            for (int y = 0; y < BOARD_SIZE; ++y)
                board[x][y] = static_cast<std::int8_t>(y < 2 ? BLACK : y < 4 ? EMPTY : WHITE);
        auto on = [](int v) { return v >= 0 && v < BOARD_SIZE; };
        for (size_t i = 0; i < g.m_history.size(); ++i) {
            const MoveRecord& r = g.m_history[i];
            const bool top = i + 1 == g.m_history.size();
            FUZZ_CHECK(r.side == BLACK || r.side == WHITE, "record side");
            FUZZ_CHECK(on(r.fromX) && on(r.fromY), "record source on the board");
            FUZZ_CHECK(board[r.fromX][r.fromY] == r.side, "record moves its own piece");
            if (r.toX == -1 && r.toY == -1) {
                FUZZ_CHECK(top && g.m_nState == STATE_SELECTED, "selection only on top");
                FUZZ_CHECK(r.side == g.m_nSide && !r.captured, "selection of the side to move");
                continue;
            }
            FUZZ_CHECK(on(r.toX) && on(r.toY), "record target on the board");
            const int target = board[r.toX][r.toY];
            if (r.captured) {
                FUZZ_CHECK(target == 1 - r.side, "a capture takes an enemy piece");
            } else {
                const int dx = r.toX - r.fromX, dy = r.toY - r.fromY;
                FUZZ_CHECK(target == EMPTY && dx * dx + dy * dy < 4, "a step to a free neighbour");
            }
            board[r.fromX][r.fromY] = EMPTY;
            board[r.toX][r.toY] = static_cast<std::int8_t>(r.side);
        }
        FUZZ_CHECK(std::memcmp(board, g.m_board, sizeof board) == 0, "history gives the board");
        if (g.m_nState == STATE_SELECTED)
            FUZZ_CHECK(!g.m_history.empty() && g.m_history.back().toX == -1, "selection on top");
        if (g.m_nState == STATE_PENDING)
            FUZZ_CHECK(!g.m_history.empty() && g.m_history.back().toX != -1, "pending move on top");
    }

    int Pieces(int side) const {
        int n = 0;
        for (const auto& column : game->m_board)
            for (std::int8_t cell : column) n += cell == side;
        return n;
    }

  private:
    HWND hwnd_ = reinterpret_cast<HWND>(0x7700);
    HDC paintDC_ = reinterpret_cast<HDC>(0x9900);
    int baseline_ = 0;

    static void Paint(HWND, void* context) {
        auto* self = static_cast<Host*>(context);
        if (self->game) self->game->DrawBoard(self->paintDC_);
    }
    static LRESULT Message(HWND, UINT msg, WPARAM wParam, LPARAM lParam, int posted,
                           void* context) {
        auto* self = static_cast<Host*>(context);
        if (msg == MSG_MOVE_TEXT) {
            FUZZ_CHECK(!posted, "move text is sent, not posted");
            const char* text = reinterpret_cast<const char*>(wParam);
            // The status buffer is 50 bytes: its NUL must lie inside them.
            FUZZ_CHECK(text && std::memchr(text, '\0', STATUS_BUFFER), "status text in 50 bytes");
            const char* prefix = lParam == BLACK ? "Black: " : "White: ";
            FUZZ_CHECK(lParam == BLACK || lParam == WHITE, "status names a side");
            FUZZ_CHECK(std::strncmp(text, prefix, 7) == 0, "status prefix names the mover");
            ++self->statusTexts;
            self->lastMover = lParam;
        } else if (msg == MSG_GAME_OVER) {
            FUZZ_CHECK(posted, "game over is posted");
            FUZZ_CHECK(lParam == BLACK || lParam == WHITE, "game over names a winner");
            ++self->gameOvers;
            self->lastWinner = lParam;
        }
        return 0;
    }
};

// A reply buffer of exactly the 15 bytes the host guarantees, filled with garbage first.
struct Reply {
    std::vector<char> bytes = std::vector<char>(15, 'x');
    char* data() { return bytes.data(); }
    std::string str() const {
        FUZZ_CHECK(std::memchr(bytes.data(), '\0', bytes.size()), "reply NUL inside 15 bytes");
        return bytes.data();
    }
};

} // namespace fuzz_module

#endif
