// ReceiveMove on any text in any reachable position.
// Input: two bytes for the move-text bases (any of the printable ones), one for the number of
// legal plies to play first and one per ply choosing among the legal moves; the rest is the
// text handed to ReceiveMove, then to ReceiveMove again in the position it left.
#include "fuzz_module_host.h"

using namespace fuzz_module;

namespace {

struct Snapshot {
    std::int8_t board[BOARD_SIZE][BOARD_SIZE];
    size_t history;
    int side, state, moves[2];

    explicit Snapshot(const COrbello& g)
        : history(g.m_history.size()), side(g.m_nSide),
          state(g.m_nState), moves{g.m_nMoveCount[0], g.m_nMoveCount[1]} {
        std::memcpy(board, g.m_board, sizeof board);
    }
    bool Same(const COrbello& g) const {
        return std::memcmp(board, g.m_board, sizeof board) == 0 && history == g.m_history.size() &&
               side == g.m_nSide && state == g.m_nState && moves[0] == g.m_nMoveCount[0] &&
               moves[1] == g.m_nMoveCount[1];
    }
};

// One ReceiveMove with every reply and effect checked against the text. Returns its result.
int Receive(Host& host, const char* text) {
    COrbello& g = *host.game;
    const Snapshot before(g);
    const int statusBefore = host.statusTexts, oversBefore = host.gameOvers;
    Reply toSender, toOpponent;
    const int r = g.ReceiveMove(text, toSender.data(), toOpponent.data());
    host.Settle();
    host.CheckInvariants();
    const std::string reply = toSender.str(), other = toOpponent.str();
    const char* keyword = std::strstr(text, "move");

    if (r == 0 || r == -1) {
        FUZZ_CHECK(r == 0 ? !keyword : keyword != nullptr, "0 exactly when there is no keyword");
        FUZZ_CHECK(reply == (r == 0 ? "" : "error\n") && other.empty(), "refusal replies");
        FUZZ_CHECK(before.Same(g), "a refused text changes nothing");
        FUZZ_CHECK(host.statusTexts == statusBefore && host.gameOvers == oversBefore,
                   "a refused text sends nothing");
        return r;
    }
    FUZZ_CHECK(r == 1 || r == 2, "result is 0, -1, 1 or 2");
    FUZZ_CHECK(keyword != nullptr, "accepted text has the keyword");
    // The four characters received, passed on as they came.
    const std::string line = std::string("move ") + std::string(keyword + 5, 4) + "\n";
    FUZZ_CHECK(g.m_history.size() == before.history + 1, "one record more");
    FUZZ_CHECK(g.m_nMoveCount[before.side] == before.moves[before.side] + 1, "move counted");
    FUZZ_CHECK(host.statusTexts == statusBefore + 1 && host.lastMover == before.side,
               "one status text naming the mover");
    if (r == 1) {
        FUZZ_CHECK(reply.empty() && other == line, "acceptance replies");
        FUZZ_CHECK(g.m_nSide == 1 - before.side, "turn passes");
        FUZZ_CHECK(host.Pieces(BLACK) > 0 && host.Pieces(WHITE) > 0, "game goes on");
    } else {
        FUZZ_CHECK(reply == "end\n" && other == line + "end\n", "game-over replies");
        FUZZ_CHECK(g.m_nSide == before.side, "turn stays after the end");
        FUZZ_CHECK(host.Pieces(1 - before.side) == 0, "the loser has no pieces");
        FUZZ_CHECK(host.gameOvers == oversBefore + 1 && host.lastWinner == before.side,
                   "game over names the mover");
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    Host host(standin::SoundMode::Succeed);
    COrbello& g = *host.game;
    // Bases whose six characters are all printable, as the settings allow.
    g.m_nBaseX = 32 + in.byte() % 90;
    g.m_nBaseY = 32 + in.byte() % 90;
    g.SetBoardRect(0, 0, 330, 330);
    host.Settle();

    const int plies = in.byte() % 64;
    for (int i = 0; i < plies; ++i) {
        MoveRecord m;
        if (!host.PickLegalMove(in.byte(), &m)) break;
        const std::vector<char> text = host.MoveText(m);
        const int r = Receive(host, text.data());
        FUZZ_CHECK(r == 1 || r == 2, "a legal move is accepted");
        if (r == 2) break;
    }

    const std::vector<char> text = in.text(in.left());
    if (Receive(host, text.data()) != 2) Receive(host, text.data());
    return 0;
}
