// Data folders a user or another program has damaged: settings, pictures and sounds that are
// garbage or missing, and directories at and past the length that every path still fits.
// Whatever the files hold, the module loads and plays; each test names what the user sees.
#include "module_test_support.h"

// Named, not anonymous: the fixture is the base of the test classes, which live outside it.
namespace hostile_files {

// A whole game as engine text with the default bases: White wins on the 28th ply.
const char* const kGame[] = {"EBEC", "EEFD", "ABBC", "FDFC", "DBEB", "FCDA", "CBCC",
                             "DAEC", "CCBD", "DFBD", "EBDA", "ECDA", "EAEB", "DABC",
                             "CADB", "BCDB", "BACB", "DBCB", "FBFC", "CBFC", "EBDA",
                             "EFBB", "AABA", "FCDA", "BACB", "BBCB", "FAEB", "FEEB"};

class HostileFiles : public ModuleTest {
  protected:
    // Plays kGame through ReceiveMove with the object's own bases; returns the plies taken.
    int PlayGame() {
        int plies = 0;
        for (const char* m : kGame) {
            char text[16], reply[15], other[15];
            std::snprintf(text, sizeof text, "move %c%c%c%c", game->m_nBaseX + m[0] - 'A',
                          game->m_nBaseY + m[1] - 'A', game->m_nBaseX + m[2] - 'A',
                          game->m_nBaseY + m[3] - 'A');
            int r = game->ReceiveMove(text, reply, other);
            if (r != 1 && r != 2) break;
            ++plies;
            EXPECT_EQ(std::string(other).substr(0, 10), std::string(text) + "\n");
        }
        return plies;
    }
};

} // namespace hostile_files

using hostile_files::HostileFiles;

TEST_F(HostileFiles, ConfigValuesThatWouldGarbleMoveTextFallBackToA) {
    struct Case {
        const char* content;
        int x, y;
    };
    const Case cases[] = {
        // Printable bases are kept, down to the blank and up to the six characters ending at ~.
        {"[COORDINATE]\nX=97\nY=49\n", 97, 49},
        {"[COORDINATE]\nX=32\nY=121\n", 32, 121},
        // A NUL would end the text early, a control character or a byte above ~ garbles it.
        {"[COORDINATE]\nX=0\nY=0\n", 65, 65},
        {"[COORDINATE]\nX=10\nY=31\n", 65, 65},
        {"[COORDINATE]\nX=122\nY=200\n", 65, 65},
        {"[COORDINATE]\nX=-3\nY=-65\n", 65, 65},
        {"[COORDINATE]\nX=99999999999999999999\nY=4294967361\n", 65, 65},
        // Text where a number belongs reads as 0.
        {"[COORDINATE]\nX=abc\nY=\n", 65, 65},
        {"\x01\xff\xfe garbage \x80\n[COORD\nX=97\n=\n[]\n", 65, 65},
        {"", 65, 65},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        dir.write("Config.ini", c.content);
        Create();
        EXPECT_EQ(game->m_nBaseX, c.x);
        EXPECT_EQ(game->m_nBaseY, c.y);
        game->SetBoardRect(0, 0, 330, 330);
        // The move text carries four characters whatever the file held.
        EXPECT_EQ(Click(0, 1), 0);
        EXPECT_EQ(Click(1, 2), 1);
        char out[15];
        EXPECT_EQ(game->FetchMove(out), 1);
        EXPECT_EQ(std::strlen(out), 10u);
        EXPECT_EQ(out[5], static_cast<char>(c.x));
        EXPECT_EQ(out[8], static_cast<char>(c.y + 2));
        // White's answer from (0,4) to (0,3), written with the same bases, is read back.
        const char reply[] = {'m',
                              'o',
                              'v',
                              'e',
                              ' ',
                              static_cast<char>(c.x),
                              static_cast<char>(c.y + 4),
                              static_cast<char>(c.x),
                              static_cast<char>(c.y + 3),
                              '\0'};
        char toSender[15], toOpponent[15];
        EXPECT_EQ(game->ReceiveMove(reply, toSender, toOpponent), 1);
        EXPECT_EQ(std::string(toOpponent), std::string(reply) + "\n");
        Destroy();
    }
    // A settings file far larger than any real one.
    dir.write("Config.ini", "[COORDINATE]\n" + std::string(1 << 20, 'X') + "\nX=98\n");
    Create();
    EXPECT_EQ(game->m_nBaseX, 98);
    EXPECT_EQ(game->m_nBaseY, 65);
}

TEST_F(HostileFiles, WholeGameWithPrintableBasesAndWithFallBack) {
    for (const char* content : {"[COORDINATE]\nX=97\nY=49\n", "[COORDINATE]\nX=0\nY=-1\n"}) {
        dir.write("Config.ini", content);
        Create();
        EXPECT_EQ(PlayGame(), 28) << content;
        EXPECT_EQ(MessagesOf(MSG_GAME_OVER).size(), 1u);
        messages.clear();
        Destroy();
    }
}

TEST_F(HostileFiles, WithoutPicturesNoPiecesShowAndTheGamePlays) {
    fs::remove_all(dir.path() / "bmp");
    Create();
    game->SetBoardRect(0, 0, 330, 330);
    // Nothing is loaded; the blits draw whatever the empty memory DCs hold: no pieces.
    EXPECT_EQ(standin::callsNamed("LoadImageA").size(), 3u);
    EXPECT_EQ(game->m_hbmBlack, nullptr);
    EXPECT_EQ(PlayGame(), 28);
    EXPECT_TRUE(standin::misuses().empty());
    Destroy();
    EXPECT_EQ(standin::liveGdiObjects(), 0);
}

TEST_F(HostileFiles, WithoutSoundsEveryMoveShowsOneMessageBox) {
    standin::setSoundMode(standin::SoundMode::FileExists);
    fs::remove_all(dir.path() / "wav");
    Create();
    game->SetBoardRect(0, 0, 330, 330);
    EXPECT_EQ(PlayGame(), 28);
    auto boxes = standin::callsNamed("MessageBoxA");
    ASSERT_EQ(boxes.size(), 28u);
    for (const auto& b : boxes) EXPECT_EQ(b.text, "PlaySound failed\n\nerror: 2|error");
}

TEST_F(HostileFiles, DataDirectoryAtAndPastTheLimit) {
    // 245: every path fits. 246 and 259: the settings, the mark and the sounds still fit, the
    // two piece pictures do not, so no pieces are drawn. 260 and more: the directory is cut,
    // nothing is read from it and every sound reports a name too long.
    struct Case {
        size_t length;
        size_t configReads, loads;
        bool sounds;
    };
    for (const Case& c : {Case{245, 2, 3, true}, Case{246, 2, 1, true}, Case{259, 0, 0, false},
                          Case{260, 0, 0, false}, Case{1000, 0, 0, false}}) {
        SCOPED_TRACE(c.length);
        standin::clearCalls();
        Create(std::string(c.length, 'd'));
        EXPECT_EQ(std::strlen(game->m_szDataDir), std::min<size_t>(c.length, 259));
        EXPECT_EQ(standin::callsNamed("GetPrivateProfileIntA").size(), c.configReads);
        game->SetBoardRect(0, 0, 330, 330);
        auto loads = standin::callsNamed("LoadImageA");
        EXPECT_EQ(loads.size(), c.loads);
        for (const auto& l : loads) EXPECT_LT(l.text.size(), 260u);
        EXPECT_EQ(PlayGame(), 28);
        EXPECT_EQ(standin::callsNamed("PlaySoundA").size(), c.sounds ? 28u : 0u);
        EXPECT_EQ(standin::callsNamed("MessageBoxA").size(), c.sounds ? 0u : 28u);
        Destroy();
    }
}
