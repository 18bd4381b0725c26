// Exports, the slot table, construction with Config.ini, clicks, FetchMove, CancelMove,
// engine move text and sounds.
#include "module_test_support.h"

namespace {

// The host's view: the object is a pointer to a table of eight functions taking `this` first.
void** Table(void* obj) {
    return *static_cast<void***>(obj);
}

template <typename R, typename... A> R CallSlot(void* obj, int slot, A... args) {
    using Fn = R(ORBELLO_THISCALL*)(void*, A...);
    return reinterpret_cast<Fn>(Table(obj)[slot])(obj, args...);
}

} // namespace

TEST(Exports, CheckModuleIsConstant) {
    for (int round = 0; round < 2; ++round) {
        char tag[64], name[64];
        std::memset(tag, 'x', sizeof tag);
        std::memset(name, 'x', sizeof name);
        int extra = 42;
        CheckModule(tag, name, &extra);
        EXPECT_STREQ(tag, "Arvek Game Platform chessType");
        EXPECT_EQ(std::memcmp(name, "Orbello\xC6\xE5", 10), 0); // with the NUL
        EXPECT_EQ(extra, 0);
    }
}

TEST(Exports, EntryPointRecordsInstance) {
    HINSTANCE saved = g_hModuleInstance;
    auto* fake = reinterpret_cast<HINSTANCE>(0x4400);
    EXPECT_TRUE(DllMain(fake, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(g_hModuleInstance, fake);
    EXPECT_TRUE(DllMain(reinterpret_cast<HINSTANCE>(0x4500), DLL_THREAD_ATTACH, nullptr));
    EXPECT_EQ(g_hModuleInstance, reinterpret_cast<HINSTANCE>(0x4500));
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(g_hModuleInstance, reinterpret_cast<HINSTANCE>(0x4500));
    g_hModuleInstance = saved;
}

class Interface : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Create();
        game->SetBoardRect(0, 0, 330, 330);
        standin::clearCalls();
        paints = 0;
    }
    std::string Fetch(int expected) {
        char out[15];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(game->FetchMove(out), expected);
        return out;
    }
    int Receive(const char* text, std::string& reply, std::string& opponent) {
        char r[15], o[15];
        std::memset(r, 'x', sizeof r);
        std::memset(o, 'x', sizeof o);
        int result = game->ReceiveMove(text, r, o);
        reply = r;
        opponent = o;
        return result;
    }
};

TEST_F(Interface, EverySlotThroughTheRawTable) {
    void* obj = static_cast<CChess*>(game);
    CallSlot<void>(obj, SLOT_SET_BOARD_RECT, 0, 0, 440, 440);
    EXPECT_EQ(game->m_nBoardWidth, 440);
    standin::clearCalls();
    CallSlot<void>(obj, SLOT_DRAW_BOARD, paintDC);
    EXPECT_EQ(standin::callsNamed("BitBlt").size(), 48u);
    EXPECT_NE(CallSlot<int>(obj, SLOT_NEW_GAME), 0);
    // Black selects (0,1) and steps to (0,2); 440 / 11 = 40 pixels a unit.
    EXPECT_EQ(CallSlot<int>(obj, SLOT_ON_BOARD_CLICK, 120, 160), 0);
    EXPECT_EQ(CallSlot<int>(obj, SLOT_CANCEL_MOVE), 1);
    EXPECT_EQ(CallSlot<int>(obj, SLOT_ON_BOARD_CLICK, 120, 160), 0);
    EXPECT_EQ(CallSlot<int>(obj, SLOT_ON_BOARD_CLICK, 120, 200), 1);
    char out[15];
    EXPECT_EQ(CallSlot<int>(obj, SLOT_FETCH_MOVE, out), 1);
    EXPECT_STREQ(out, "move ABAC\n");
    char reply[15], opponent[15];
    EXPECT_EQ(CallSlot<int>(obj, SLOT_RECEIVE_MOVE, static_cast<const char*>("move AEAD"),
                            static_cast<char*>(reply), static_cast<char*>(opponent)),
              1);
    EXPECT_STREQ(opponent, "move AEAD\n");
    // Slot 0 with bit 0 clear destroys without freeing; with it set the memory goes too.
    EXPECT_EQ(CallSlot<void*>(obj, SLOT_DESTRUCTOR, 1u), obj);
    game = nullptr;
    EXPECT_EQ(standin::liveGdiObjects(), 0);
    EXPECT_TRUE(standin::misuses().empty());
}

TEST_F(Interface, ConstructedState) {
    EXPECT_EQ(game->m_nSide, BLACK);
    EXPECT_EQ(game->m_nState, STATE_IDLE);
    EXPECT_TRUE(game->m_history.empty());
    EXPECT_EQ(game->m_nBaseX, 65);
    EXPECT_EQ(game->m_nAnimSide, 2);
    // Before the first SetBoardRect: empty rectangle, and a click cannot hit the board.
    Destroy();
    Create();
    EXPECT_EQ(game->m_nBoardWidth, 0);
    EXPECT_EQ(game->m_rcBoard.right, 0);
    EXPECT_EQ(game->OnBoardClick(100, 100), 2);
    EXPECT_EQ(game->OnBoardClick(0, 0), 2);
    // The window DC used as a model for the memory DCs is given back.
    EXPECT_EQ(standin::heldWindowDCs(), 0);
}

TEST_F(Interface, ClickMapping) {
    // Each point catches clicks half a unit (15 pixels) around it.
    EXPECT_EQ(game->OnBoardClick(74, 90), 2);
    EXPECT_EQ(game->OnBoardClick(75, 75), 0); // selects (0,0)
    EXPECT_EQ(game->m_history.back().fromX, 0);
    EXPECT_EQ(game->m_history.back().fromY, 0);
    game->CancelMove();
    EXPECT_EQ(game->OnBoardClick(104, 104), 0);
    EXPECT_EQ(game->m_history.back().fromX, 0);
    game->CancelMove();
    EXPECT_EQ(game->OnBoardClick(105, 105), 0);
    EXPECT_EQ(game->m_history.back().fromX, 1);
    EXPECT_EQ(game->m_history.back().fromY, 1);
    game->CancelMove();
    EXPECT_EQ(game->OnBoardClick(254, 90), 0); // (5,0)
    game->CancelMove();
    EXPECT_EQ(game->OnBoardClick(255, 90), 2);
    EXPECT_EQ(game->OnBoardClick(90, 255), 2);
    EXPECT_EQ(game->OnBoardClick(-2000000000, 2000000000), 2);
    // The rectangle's origin moves the grid with it.
    game->SetBoardRect(100, 50, 430, 380);
    EXPECT_EQ(game->OnBoardClick(190, 170), 0); // (0,1)
    EXPECT_EQ(game->m_history.back().fromY, 1);
}

TEST_F(Interface, ClickStateMachine) {
    // IDLE: a White piece or an empty point is refused and changes nothing.
    EXPECT_EQ(Click(0, 4), -1);
    EXPECT_EQ(Click(0, 2), -1);
    EXPECT_EQ(game->m_nState, STATE_IDLE);
    EXPECT_TRUE(game->m_history.empty());
    EXPECT_TRUE(standin::callsNamed("PlaySoundA").empty());
    // IDLE, own piece: selection record, repaint, then the selection sound.
    EXPECT_EQ(Click(0, 1), 0);
    EXPECT_EQ(game->m_nState, STATE_SELECTED);
    ASSERT_EQ(game->m_history.size(), 1u);
    const MoveRecord sel = game->m_history.back();
    EXPECT_EQ(sel.fromX, 0);
    EXPECT_EQ(sel.fromY, 1);
    EXPECT_EQ(sel.toX, -1);
    EXPECT_EQ(sel.toY, -1);
    auto sounds = standin::callsNamed("PlaySoundA");
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].text, dir.path().string() + "\\wav\\\xD1\xA1\xD7\xD3.wav");
    EXPECT_EQ(sounds[0].args[1], 0x22000);
    // The mark is painted before the sound starts.
    const auto& all = standin::calls();
    ASSERT_EQ(all.back().fn, "PlaySoundA");
    EXPECT_EQ(paints, 1);
    // SELECTED, outside the board: 2, unchanged.
    EXPECT_EQ(game->OnBoardClick(5, 5), 2);
    EXPECT_EQ(game->m_nState, STATE_SELECTED);
    // SELECTED, illegal: empty point two steps away, own piece, the piece itself.
    EXPECT_EQ(Click(0, 3), -1);
    EXPECT_EQ(Click(1, 1), -1);
    EXPECT_EQ(Click(0, 1), -1);
    EXPECT_EQ(game->m_nState, STATE_SELECTED);
    EXPECT_EQ(game->m_history.size(), 1u);
    // SELECTED, legal: the move replaces the selection and waits for FetchMove.
    EXPECT_EQ(Click(0, 2), 1);
    EXPECT_EQ(game->m_nState, STATE_PENDING);
    ASSERT_EQ(game->m_history.size(), 1u);
    EXPECT_EQ(game->m_history.back().toY, 2);
    EXPECT_EQ(game->m_board[0][2], BLACK);
    // PENDING: clicks are ignored until the move is fetched.
    EXPECT_EQ(Click(1, 1), 0);
    EXPECT_EQ(game->OnBoardClick(5, 5), 0);
    // FetchMove: text, status message naming Black, count, turn to White.
    EXPECT_EQ(Fetch(1), "move ABAC\n");
    auto texts = MessagesOf(MSG_MOVE_TEXT);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Black: ABAC");
    EXPECT_EQ(texts[0].lParam, BLACK);
    EXPECT_FALSE(texts[0].posted);
    EXPECT_EQ(game->m_nMoveCount[BLACK], 1);
    EXPECT_EQ(game->m_nSide, WHITE);
    EXPECT_EQ(game->m_nState, STATE_IDLE);
    // IDLE and SELECTED: nothing to fetch.
    EXPECT_EQ(Fetch(0), "");
    EXPECT_EQ(Click(0, 4), 0);
    EXPECT_EQ(Fetch(0), "");
    // CancelMove from SELECTED withdraws the selection; from IDLE there is nothing.
    EXPECT_EQ(game->CancelMove(), 1);
    EXPECT_EQ(game->m_nState, STATE_IDLE);
    EXPECT_EQ(game->m_history.size(), 1u);
    EXPECT_EQ(game->CancelMove(), 0);
    // NewGame from any state resets everything.
    EXPECT_EQ(Click(0, 4), 0);
    EXPECT_NE(game->NewGame(), 0);
    EXPECT_EQ(game->m_nState, STATE_IDLE);
    EXPECT_EQ(game->m_nSide, BLACK);
    EXPECT_EQ(game->m_nMoveCount[BLACK], 0);
    EXPECT_TRUE(game->m_history.empty());
}

TEST_F(Interface, CancelCaptureBeforeFetch) {
    SetBoard({{{1, 5}, BLACK}, {{0, 4}, WHITE}, {{3, 3}, WHITE}});
    EXPECT_EQ(Click(1, 5), 0);
    EXPECT_EQ(Click(0, 4), 1);
    EXPECT_EQ(game->m_board[0][4], BLACK);
    EXPECT_EQ(game->CancelMove(), 1);
    EXPECT_EQ(game->m_board[0][4], WHITE);
    EXPECT_EQ(game->m_board[1][5], BLACK);
    EXPECT_EQ(game->m_nMoveCount[BLACK], 0);
    EXPECT_EQ(Fetch(0), "");
    EXPECT_EQ(game->m_nSide, BLACK);
}

TEST_F(Interface, FetchEndsTheGame) {
    SetBoard({{{1, 5}, BLACK}, {{0, 4}, WHITE}});
    game->m_nMoveCount[BLACK] = 3;
    game->m_nMoveCount[WHITE] = 3;
    EXPECT_EQ(Click(1, 5), 0);
    EXPECT_EQ(Click(0, 4), 1);
    EXPECT_EQ(Fetch(2), "move BFAE\nend\n");
    auto over = MessagesOf(MSG_GAME_OVER);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(over[0].wParam, 4u * 65536u + 3u);
    EXPECT_EQ(over[0].lParam, BLACK);
    // The game is over: the state stays pending, the side is unchanged, clicks are ignored.
    EXPECT_EQ(game->m_nState, STATE_PENDING);
    EXPECT_EQ(game->m_nSide, BLACK);
    EXPECT_EQ(Click(1, 5), 0);
}

TEST_F(Interface, ReceiveMoveReplies) {
    std::string reply, opponent;
    EXPECT_EQ(Receive("hello", reply, opponent), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(opponent, "");
    EXPECT_EQ(Receive(nullptr, reply, opponent), 0);
    // Lower-case letters are off the board with the default bases.
    EXPECT_EQ(Receive("move abac", reply, opponent), -1);
    EXPECT_EQ(reply, "error\n");
    EXPECT_EQ(opponent, "");
    // Text that ends early is illegal, however far it got.
    for (const char* shortText : {"move", "move ", "move A", "move AB", "move ABA"}) {
        EXPECT_EQ(Receive(shortText, reply, opponent), -1) << shortText;
        EXPECT_EQ(reply, "error\n");
    }
    // Wrong side, empty source, blocked target.
    EXPECT_EQ(Receive("move AEAD", reply, opponent), -1);
    EXPECT_EQ(Receive("move ACAD", reply, opponent), -1);
    EXPECT_EQ(Receive("move AAAB", reply, opponent), -1);
    EXPECT_TRUE(game->m_history.empty());
    EXPECT_EQ(game->m_nSide, BLACK);
    EXPECT_TRUE(MessagesOf(MSG_MOVE_TEXT).empty());

    // Accepted; the keyword may sit inside a word and the separator may be anything.
    EXPECT_EQ(Receive("xmove-ABAC", reply, opponent), 1);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(opponent, "move ABAC\n");
    EXPECT_EQ(game->m_nSide, WHITE);
    EXPECT_EQ(game->m_nMoveCount[BLACK], 1);
    EXPECT_EQ(MessagesOf(MSG_MOVE_TEXT).back().text, "Black: ABAC");
    EXPECT_EQ(game->m_nState, STATE_IDLE);

    // An illegal move leaves the history as it was: the last move keeps its mark.
    auto history = game->m_history;
    EXPECT_EQ(Receive("move AEAC", reply, opponent), -1);
    ASSERT_EQ(game->m_history.size(), history.size());
    EXPECT_EQ(game->m_history.back().toY, 2);

    // Whatever follows the coordinates goes to the host, cut to the status buffer.
    std::string longText = "move AEAD" + std::string(60, 'z');
    EXPECT_EQ(Receive(longText.c_str(), reply, opponent), 1);
    EXPECT_EQ(opponent, "move AEAD\n");
    const std::string status = MessagesOf(MSG_MOVE_TEXT).back().text;
    EXPECT_EQ(status.size(), static_cast<size_t>(STATUS_BUFFER - 1));
    EXPECT_EQ(status.substr(0, 11), "White: AEAD");
    EXPECT_EQ(MessagesOf(MSG_MOVE_TEXT).back().lParam, WHITE);
}

TEST_F(Interface, ReceiveMoveEndsTheGame) {
    SetBoard({{{1, 5}, BLACK}, {{0, 4}, WHITE}});
    game->m_nSide = WHITE;
    game->m_nMoveCount[BLACK] = 2;
    game->m_nMoveCount[WHITE] = 1;
    std::string reply, opponent;
    // White's (0,4) takes Black's last piece on (1,5) along the small loop.
    EXPECT_EQ(Receive("move AEBF", reply, opponent), 2);
    EXPECT_EQ(reply, "end\n");
    EXPECT_EQ(opponent, "move AEBF\nend\n");
    auto over = MessagesOf(MSG_GAME_OVER);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(over[0].lParam, WHITE);
    EXPECT_EQ(over[0].wParam, 2u * 65536u + 2u);
    EXPECT_EQ(game->m_nSide, WHITE);
}

TEST_F(Interface, ConfigBasesAndMissingConfig) {
    Destroy();
    dir.write("Config.ini", "; bases\n[other]\nX=1\n[COORDINATE]\n x = 65 \nY=49\n");
    Create();
    EXPECT_EQ(game->m_nBaseX, 65);
    EXPECT_EQ(game->m_nBaseY, 49);
    auto reads = standin::callsNamed("GetPrivateProfileIntA");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].text, "COORDINATE|X|" + dir.path().string() + "\\Config.ini");
    game->SetBoardRect(0, 0, 330, 330);
    EXPECT_EQ(Click(0, 1), 0);
    EXPECT_EQ(Click(0, 2), 1);
    EXPECT_EQ(Fetch(1), "move A2A3\n");
    std::string reply, opponent;
    EXPECT_EQ(Receive("move A5A4", reply, opponent), 1);
    EXPECT_EQ(opponent, "move A5A4\n");
    EXPECT_EQ(Receive("move AEAD", reply, opponent), -1);

    // Without the file both bases are 65: (0,1) to (1,2) reads ABBC.
    Destroy();
    fs::remove(dir.path() / "Config.ini");
    Create();
    EXPECT_EQ(game->m_nBaseX, 65);
    EXPECT_EQ(game->m_nBaseY, 65);
    game->SetBoardRect(0, 0, 330, 330);
    EXPECT_EQ(Click(0, 1), 0);
    EXPECT_EQ(Click(1, 2), 1);
    EXPECT_EQ(Fetch(1), "move ABBC\n");
}

TEST_F(Interface, DataDirectoryLimits) {
    Destroy();
    // Null: the empty directory, defaults, no crash.
    game = static_cast<COrbello*>(InitModule(hwnd, nullptr));
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->m_nBaseX, 65);
    Destroy();

    // 245 characters: the longest that still holds every path.
    std::string fits(245, 'd');
    Create(fits);
    game->SetBoardRect(0, 0, 330, 330);
    auto loads = standin::callsNamed("LoadImageA");
    ASSERT_EQ(loads.size(), 3u);
    EXPECT_EQ(loads[0].text, fits + "\\bmp\\black.bmp");
    Destroy();

    // Longer: kept to 259 characters, no path built from it is used, the defaults hold and
    // a sound shows why it failed.
    standin::clearCalls();
    std::string tooLong(300, 'd');
    Create(tooLong);
    EXPECT_EQ(std::strlen(game->m_szDataDir), 259u);
    EXPECT_EQ(game->m_nBaseX, 65);
    EXPECT_EQ(game->m_nBaseY, 65);
    EXPECT_TRUE(standin::callsNamed("GetPrivateProfileIntA").empty());
    game->SetBoardRect(0, 0, 330, 330);
    EXPECT_TRUE(standin::callsNamed("LoadImageA").empty());
    EXPECT_EQ(Click(0, 1), 0);
    EXPECT_TRUE(standin::callsNamed("PlaySoundA").empty());
    auto boxes = standin::callsNamed("MessageBoxA");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "PlaySound failed\n\nerror: 206|error");
}

TEST_F(Interface, SoundFailureShowsOneMessage) {
    standin::setSoundMode(standin::SoundMode::FileExists);
    fs::remove_all(dir.path() / "wav");
    EXPECT_EQ(Click(0, 1), 0);
    // The selection happened before the sound failed.
    EXPECT_EQ(game->m_nState, STATE_SELECTED);
    auto boxes = standin::callsNamed("MessageBoxA");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "PlaySound failed\n\nerror: 2|error");
    EXPECT_EQ(boxes[0].args[0], 0);     // no owner window
    EXPECT_EQ(boxes[0].args[1], MB_OK); // type
    // With the files present no message is shown.
    FillDataDir(dir);
    standin::clearCalls();
    EXPECT_EQ(Click(0, 2), 1);
    EXPECT_TRUE(standin::callsNamed("MessageBoxA").empty());
    auto sounds = standin::callsNamed("PlaySoundA");
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].text, dir.path().string() + "\\wav\\\xC2\xE4\xD7\xD3.wav");
}
