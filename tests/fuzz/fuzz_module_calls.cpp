// Any sequence of host calls through the eight slots: clicks anywhere, fetching, cancelling,
// new games, engine text, board rectangles of any shape and painting. After each call the
// results must be in range, every text inside its buffer and the game state sound.
// Input: one byte for the sounds (played or failing with a message box), then operations of
// one byte each followed by their arguments.
#include "fuzz_module_host.h"

using namespace fuzz_module;

namespace {

// The host's view of the object: its table of eight slots.
template <typename R, typename... A> R Slot(COrbello* game, int slot, A... args) {
    using Fn = R(ORBELLO_THISCALL*)(void*, A...);
    void* obj = static_cast<CChess*>(game);
    return reinterpret_cast<Fn>((*static_cast<void***>(obj))[slot])(obj, args...);
}

int Click(Host& host, int x, int y) {
    const int r = Slot<int>(host.game, SLOT_ON_BOARD_CLICK, x, y);
    FUZZ_CHECK(r == 0 || r == -1 || r == 1 || r == 2, "click result");
    return r;
}

// Pixel of grid point (x, y) on the current rectangle, as the host would compute it.
std::int64_t GridPixel(std::int64_t origin, int point, std::int64_t width) {
    return origin + (point + 3) * width / 11;
}

int ToInt(std::int64_t v) {
    return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

void Fetch(Host& host) {
    COrbello& g = *host.game;
    const int side = g.m_nSide, statusBefore = host.statusTexts;
    Reply out;
    const int r = Slot<int>(host.game, SLOT_FETCH_MOVE, out.data());
    const std::string text = out.str();
    if (r == 0) {
        FUZZ_CHECK(text.empty() && host.statusTexts == statusBefore, "nothing to fetch");
        return;
    }
    FUZZ_CHECK(r == 1 || r == 2, "fetch result");
    FUZZ_CHECK(text.size() == (r == 1 ? 10u : 14u) && text.compare(0, 5, "move ") == 0 &&
                   text.compare(9, std::string::npos, r == 1 ? "\n" : "\nend\n") == 0,
               "fetched move text");
    FUZZ_CHECK(host.statusTexts == statusBefore + 1 && host.lastMover == side, "status text");
    if (r == 2) FUZZ_CHECK(host.Pieces(BLACK) == 0 || host.Pieces(WHITE) == 0, "game over");
}

void Receive(Host& host, const char* text) {
    Reply toSender, toOpponent;
    const int r = Slot<int>(host.game, SLOT_RECEIVE_MOVE, text, toSender.data(), toOpponent.data());
    FUZZ_CHECK(r == 0 || r == -1 || r == 1 || r == 2, "receive result");
    toSender.str();
    toOpponent.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    Host host(in.byte() & 1 ? standin::SoundMode::Fail : standin::SoundMode::Succeed);
    COrbello* game = host.game;
    host.CheckInvariants();

    for (int calls = 0; calls < 4000 && !in.empty(); ++calls) {
        const std::int64_t w = game->m_nBoardWidth;
        const std::int64_t left = game->m_rcBoard.left, top = game->m_rcBoard.top;
        switch (in.byte() % 12) {
        case 0: { // near a grid point, or just off the board
            const uint8_t p = in.byte();
            const int jitter = static_cast<int8_t>(in.byte()) / 8;
            Click(host, ToInt(GridPixel(left, p % 8 - 1, w) + jitter),
                  ToInt(GridPixel(top, p / 8 % 8 - 1, w) + jitter));
            break;
        }
        case 1: { // anywhere at all
            const int x = in.word(), y = in.word();
            Click(host, x, y);
            break;
        }
        case 2:
            Fetch(host);
            break;
        case 3: {
            const int r = Slot<int>(game, SLOT_CANCEL_MOVE);
            FUZZ_CHECK(r == 0 || r == 1, "cancel result");
            break;
        }
        case 4:
            FUZZ_CHECK(Slot<int>(game, SLOT_NEW_GAME) != 0, "new game repaints");
            break;
        case 5: { // any engine text
            const std::vector<char> text = in.text(in.byte() % 48);
            Receive(host, text.data());
            break;
        }
        case 6:   // a legal move as engine text
        case 7: { // a legal move by two clicks
            const uint8_t pick = in.byte();
            MoveRecord m;
            if (!host.PickLegalMove(pick, &m)) break;
            if (pick & 0x80 || w == 0) {
                Receive(host, host.MoveText(m).data());
            } else {
                Click(host, ToInt(GridPixel(left, m.fromX, w)), ToInt(GridPixel(top, m.fromY, w)));
                Click(host, ToInt(GridPixel(left, m.toX, w)), ToInt(GridPixel(top, m.toY, w)));
            }
            break;
        }
        case 8: { // an ordinary board of some size
            const int size = 11 + in.byte() * 4, x = in.byte(), y = in.byte();
            Slot<void>(game, SLOT_SET_BOARD_RECT, x, y, x + size, y + size + in.byte() % 64);
            break;
        }
        case 9: { // any rectangle at all
            const int l = in.word(), t = in.word(), r = in.word(), b = in.word();
            Slot<void>(game, SLOT_SET_BOARD_RECT, l, t, r, b);
            break;
        }
        case 10:
        case 11:
            Slot<void>(game, SLOT_DRAW_BOARD, host.paintDC());
            break;
        }
        host.Settle();
        host.CheckInvariants();
    }
    return 0;
}
