// Drives the real Orbello.dll the way the platform's host does: loaded by name, identified,
// created, painted into a visible window and played through its virtual table by slot,
// with clicks for Black and engine text for White. Message boxes the module shows are read
// and closed by a CBT hook, so nothing ever waits for a person.
#include "host_support.h"
#include "message_box_closer.h"
#include "module_slots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace orbello_host;

namespace {

const int kBoard = 330; // board rectangle (0, 0, 330, 330): one grid unit is 30 pixels
const RECT kBoardRect = {0, 0, kBoard, kBoard};
const COLORREF kBackground = RGB(200, 160, 100);

struct MoveText {
    std::string text;
    LPARAM side;
};

// Everything the host window saw, and the last frame it painted.
struct HostState {
    HWND hwnd = nullptr;
    GameObject* game = nullptr;
    HDC backDc = nullptr;
    HBITMAP backBitmap = nullptr;
    const uint32_t* bits = nullptr;
    int paints = 0;
    std::vector<MoveText> moveTexts;
    std::vector<std::pair<WPARAM, LPARAM>> gameOvers;
    std::vector<MessageBoxSeen> boxes;
    // Pixels sampled from every painted frame, for the animation checks.
    std::vector<POINT> probes;
    std::vector<std::vector<COLORREF>> probed;
};
HostState host;
std::unique_ptr<MessageBoxCloser> boxCloser;

COLORREF PixelAt(int x, int y) {
    GdiFlush();
    uint32_t v = host.bits[y * 400 + x];
    return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        // The whole frame is painted off screen and then shown, so the back buffer holds
        // exactly what the window shows.
        RECT all = {0, 0, 400, 400};
        HBRUSH brush = CreateSolidBrush(kBackground);
        FillRect(host.backDc, &all, brush);
        DeleteObject(brush);
        if (host.game) host.game->DrawBoard(host.backDc);
        BitBlt(hdc, 0, 0, 400, 400, host.backDc, 0, 0, SRCCOPY);
        EndPaint(hwnd, &ps);
        ++host.paints;
        if (!host.probes.empty()) {
            std::vector<COLORREF> sample;
            for (const POINT& p : host.probes) sample.push_back(PixelAt(p.x, p.y));
            host.probed.push_back(sample);
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    if (msg == MSG_MOVE_TEXT) {
        host.moveTexts.push_back({reinterpret_cast<const char*>(wParam), lParam});
        return 0;
    }
    if (msg == MSG_GAME_OVER) {
        host.gameOvers.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class HostEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrbelloTestHost";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
        RECT r = {0, 0, 400, 400};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        host.hwnd = CreateWindowA("OrbelloTestHost", "Orbello test host", WS_OVERLAPPEDWINDOW, 0, 0,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        ASSERT_NE(host.hwnd, nullptr);
        ShowWindow(host.hwnd, SW_SHOW);

        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 400;
        bi.bmiHeader.biHeight = -400; // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(host.hwnd);
        host.backDc = CreateCompatibleDC(screen);
        host.backBitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(host.hwnd, screen);
        ASSERT_NE(host.backBitmap, nullptr);
        host.bits = static_cast<const uint32_t*>(bits);
        SelectObject(host.backDc, host.backBitmap);
        UpdateWindow(host.hwnd);
        PumpMessages();
        // Each message box the module shows is read into host.boxes and closed with OK.
        boxCloser = std::make_unique<MessageBoxCloser>(&host.boxes);
    }
    void TearDown() override {
        boxCloser.reset();
        DestroyWindow(host.hwnd);
        DeleteDC(host.backDc);
        DeleteObject(host.backBitmap);
    }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new HostEnvironment);

ModuleLibrary& Library() {
    static ModuleLibrary library;
    static bool loaded = false;
    if (!loaded) {
        std::string why;
        loaded = library.Load("Orbello.dll", &why);
        EXPECT_TRUE(loaded) << why;
    }
    return library;
}

// The host's side of one game object: created in the test window, destroyed by slot 0.
class ModuleTest : public ::testing::Test {
  protected:
    void Create(const std::string& dataDir) {
        ASSERT_NE(Library().init(), nullptr);
        game_.reset(new GameObject(Library().init()(host.hwnd, dataDir.c_str())));
        ASSERT_TRUE(game_->valid());
        host.game = game_.get();
        game_->SetBoardRect(kBoardRect.left, kBoardRect.top, kBoardRect.right, kBoardRect.bottom);
        Reset();
        EXPECT_NE(game_->NewGame(), 0);
        PumpMessages();
    }
    void TearDown() override {
        host.game = nullptr;
        game_.reset(); // slot 0 with the delete flag
        PumpMessages();
    }
    void Reset() {
        PumpMessages();
        host.paints = 0;
        host.moveTexts.clear();
        host.gameOvers.clear();
        host.boxes.clear();
        host.probed.clear();
    }

    int Click(int x, int y) {
        POINT p = GridPixel(kBoardRect, x, y);
        return game_->OnBoardClick(p.x, p.y);
    }

    std::unique_ptr<GameObject> game_;
};

// ---- pixel classification ------------------------------------------------------------

bool IsBlackPiece(COLORREF c) {
    return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
}
bool IsWhitePiece(COLORREF c) {
    return GetRValue(c) > 190 && GetGValue(c) > 190 && GetBValue(c) > 190;
}
// Some pixel within one pixel of (x, y) has exactly this colour (arcs may round either way).
bool ColourNear(int x, int y, COLORREF want) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (PixelAt(x + dx, y + dy) == want) return true;
    return false;
}
// The mark is a yellow ring inside the piece square of a point.
bool HasMark(int gx, int gy) {
    POINT c = GridPixel(kBoardRect, gx, gy);
    for (int y = c.y - 9; y < c.y + 9; ++y)
        for (int x = c.x - 9; x < c.x + 9; ++x) {
            COLORREF p = PixelAt(x, y);
            if (GetRValue(p) > 200 && GetGValue(p) > 200 && GetBValue(p) < 80) return true;
        }
    return false;
}
COLORREF PointColour(int gx, int gy) {
    POINT c = GridPixel(kBoardRect, gx, gy);
    return PixelAt(c.x, c.y);
}

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

void ExpectInitialPosition() {
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 6; ++y) {
            COLORREF c = PointColour(x, y);
            if (y < 2)
                EXPECT_TRUE(IsBlackPiece(c)) << "black piece missing at " << x << "," << y;
            else if (y > 3)
                EXPECT_TRUE(IsWhitePiece(c)) << "white piece missing at " << x << "," << y;
            else
                EXPECT_FALSE(IsBlackPiece(c) || IsWhitePiece(c)) << "piece at " << x << "," << y;
        }
}

// ---- identification --------------------------------------------------------------------

TEST(OrbelloDll, CheckModuleIdentifiesTheGameByteForByte) {
    ASSERT_NE(Library().check(), nullptr);
    const char tag[] = "Arvek Game Platform chessType";
    const char name[] = "Orbello\xC6\xE5"; // the display name in GBK
    for (int round = 0; round < 2; ++round) {
        char tagOut[64], nameOut[64];
        memset(tagOut, 0x5A, sizeof tagOut);
        memset(nameOut, 0x5A, sizeof nameOut);
        int extra = 12345;
        Library().check()(tagOut, nameOut, &extra);
        EXPECT_EQ(0, memcmp(tagOut, tag, sizeof tag));
        EXPECT_EQ(0, memcmp(nameOut, name, sizeof name));
        EXPECT_EQ(extra, 0);
        EXPECT_EQ(static_cast<unsigned char>(tagOut[sizeof tag]), 0x5A) << "wrote past the tag";
        EXPECT_EQ(static_cast<unsigned char>(nameOut[sizeof name]), 0x5A) << "wrote past the name";
    }
}

// ---- drawing -----------------------------------------------------------------------------

TEST_F(ModuleTest, NewGameDrawsFrameLoopsAndPiecesWhereTheyBelong) {
    Create(ProgramDir() + "\\data");
    host.paints = 0;
    EXPECT_NE(game_->NewGame(), 0);
    EXPECT_EQ(host.paints, 1) << "NewGame repaints once, synchronously";
    // Grid square 90..240; small loop on lines 120 and 210, large loop on 150 and 180;
    // checked between the pieces and away from crossings.
    EXPECT_EQ(PixelAt(105, 90), kRed);
    EXPECT_EQ(PixelAt(90, 165), kRed);
    EXPECT_EQ(PixelAt(240, 165), kRed);
    EXPECT_EQ(PixelAt(165, 240), kRed);
    EXPECT_EQ(PixelAt(120, 165), kGreen);
    EXPECT_EQ(PixelAt(210, 165), kGreen);
    EXPECT_EQ(PixelAt(105, 120), kGreen);
    EXPECT_EQ(PixelAt(150, 165), kBlue);
    EXPECT_EQ(PixelAt(165, 150), kBlue);
    EXPECT_EQ(PixelAt(165, 180), kBlue);
    // The arcs swing outside the grid square around each corner, at 135 degrees out.
    int r1 = 30 * 707 / 1000, r2 = 60 * 707 / 1000;
    EXPECT_TRUE(ColourNear(90 - r1, 90 - r1, kGreen));
    EXPECT_TRUE(ColourNear(240 + r1, 240 + r1, kGreen));
    EXPECT_TRUE(ColourNear(90 - r2, 90 - r2, kBlue));
    EXPECT_TRUE(ColourNear(240 + r2, 90 - r2, kBlue));
    // Nothing is painted in the far corners of the rectangle: the host's background shows.
    EXPECT_EQ(PixelAt(2, 2), kBackground);
    EXPECT_EQ(PixelAt(327, 327), kBackground);
    ExpectInitialPosition();
    EXPECT_FALSE(HasMark(0, 1));
    EXPECT_TRUE(host.boxes.empty());
    // The window itself shows the frame the host painted.
    HDC window = GetDC(host.hwnd);
    for (POINT p : {POINT{105, 90}, POINT{120, 165}, POINT{150, 165}, POINT{90, 90}, POINT{90, 240},
                    POINT{2, 2}})
        EXPECT_EQ(GetPixel(window, p.x, p.y), PixelAt(p.x, p.y)) << p.x << "," << p.y;
    ReleaseDC(host.hwnd, window);
}

TEST_F(ModuleTest, BoardFollowsTheRectangleGivenLast) {
    Create(ProgramDir() + "\\data");
    game_->SetBoardRect(0, 0, 220, 220); // one unit is 20 pixels
    RedrawWindow(host.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(PixelAt(70, 60), kRed);
    EXPECT_EQ(PixelAt(80, 110), kGreen);
    EXPECT_EQ(PixelAt(100, 110), kBlue);
    EXPECT_TRUE(IsBlackPiece(PixelAt(60, 60)));
    EXPECT_TRUE(IsWhitePiece(PixelAt(60 + 100, 60 + 100)));
    EXPECT_EQ(PixelAt(240, 240), kBackground); // where the larger board used to reach
    // Clicks follow the new rectangle too.
    EXPECT_EQ(game_->OnBoardClick(60, 80), 0);
    EXPECT_EQ(game_->CancelMove(), 1);
}

// ---- clicks, fetch, cancel ----------------------------------------------------------------

TEST_F(ModuleTest, ClicksSelectMoveAndCancelThroughTheSlots) {
    Create(ProgramDir() + "\\data");
    EXPECT_EQ(game_->OnBoardClick(2, 2), 2) << "outside the board";
    EXPECT_EQ(game_->CancelMove(), 0) << "nothing to take back";
    char out[32];
    memset(out, 0x5A, sizeof out);
    EXPECT_EQ(game_->FetchMove(out), 0);
    EXPECT_EQ(out[0], '\0');

    EXPECT_EQ(Click(0, 4), -1) << "White is not to move";
    host.paints = 0;
    EXPECT_EQ(Click(0, 1), 0);
    EXPECT_EQ(host.paints, 1);
    EXPECT_TRUE(HasMark(0, 1)) << "the selected piece is marked";
    EXPECT_EQ(Click(0, 3), -1) << "two points away";
    EXPECT_EQ(game_->CancelMove(), 1);
    EXPECT_FALSE(HasMark(0, 1));

    EXPECT_EQ(Click(0, 1), 0);
    EXPECT_EQ(Click(0, 2), 1);
    EXPECT_TRUE(IsBlackPiece(PointColour(0, 2)));
    EXPECT_TRUE(HasMark(0, 2)) << "the last move's target is marked";
    EXPECT_EQ(Click(3, 1), 0) << "clicks wait for the move to be fetched";
    memset(out, 0x5A, sizeof out);
    EXPECT_EQ(game_->FetchMove(out), 1);
    EXPECT_STREQ(out, "move ABAC\n");
    ASSERT_EQ(host.moveTexts.size(), 1u);
    EXPECT_EQ(host.moveTexts[0].text, "Black: ABAC");
    EXPECT_EQ(host.moveTexts[0].side, 0);
    EXPECT_EQ(Click(0, 4), 0) << "White to move now";
    EXPECT_TRUE(host.boxes.empty());
}

// ---- engine text -----------------------------------------------------------------------

TEST_F(ModuleTest, EngineTextIsJudgedAndRepliesStayInTheirBuffers) {
    Create(ProgramDir() + "\\data");
    char reply[32], other[32];
    auto receive = [&](const char* text) {
        memset(reply, 0x5A, sizeof reply);
        memset(other, 0x5A, sizeof other);
        int r = game_->ReceiveMove(text, reply, other);
        for (int i = 15; i < 32; ++i) {
            EXPECT_EQ(static_cast<unsigned char>(reply[i]), 0x5A) << "reply overflow: " << text;
            EXPECT_EQ(static_cast<unsigned char>(other[i]), 0x5A) << "text overflow: " << text;
        }
        return r;
    };
    EXPECT_EQ(receive("hello"), 0);
    EXPECT_STREQ(reply, "");
    EXPECT_STREQ(other, "");
    EXPECT_EQ(receive("move abac"), -1);
    EXPECT_STREQ(reply, "error\n");
    EXPECT_STREQ(other, "");
    EXPECT_EQ(receive("move AB"), -1);
    EXPECT_STREQ(reply, "error\n");
    EXPECT_EQ(receive("move AEAD"), -1) << "a White piece while Black is to move";
    EXPECT_TRUE(host.moveTexts.empty());

    EXPECT_EQ(receive("xmove-ABAC"), 1);
    EXPECT_STREQ(reply, "");
    EXPECT_STREQ(other, "move ABAC\n");
    ASSERT_EQ(host.moveTexts.size(), 1u);
    EXPECT_EQ(host.moveTexts[0].text, "Black: ABAC");
    EXPECT_EQ(host.moveTexts[0].side, 0);

    // What follows the four characters goes on to the status text, cut to its 50 bytes.
    std::string longText = "move AEAD" + std::string(80, '!');
    EXPECT_EQ(receive(longText.c_str()), 1);
    EXPECT_STREQ(other, "move AEAD\n");
    ASSERT_EQ(host.moveTexts.size(), 2u);
    EXPECT_EQ(host.moveTexts[1].side, 1);
    EXPECT_EQ(host.moveTexts[1].text.compare(0, 11, "White: AEAD"), 0);
    EXPECT_LE(host.moveTexts[1].text.size(), 49u);
    EXPECT_TRUE(IsWhitePiece(PointColour(0, 3)));
    EXPECT_TRUE(HasMark(0, 3));
    EXPECT_TRUE(host.boxes.empty());
}

// ---- sounds ------------------------------------------------------------------------------

TEST_F(ModuleTest, MissingSoundsShowOneMessageBoxEachAndTheGameGoesOn) {
    // A data folder with the pictures and settings but no "wav" folder.
    std::string full = ProgramDir() + "\\data";
    std::string bare = ProgramDir() + "\\data-without-sounds";
    CreateDirectoryA(bare.c_str(), nullptr);
    CreateDirectoryA((bare + "\\bmp").c_str(), nullptr);
    for (const char* name :
         {"\\Config.ini", "\\bmp\\black.bmp", "\\bmp\\white.bmp", "\\bmp\\mark.bmp"})
        ASSERT_TRUE(CopyFileA((full + name).c_str(), (bare + name).c_str(), FALSE)) << name;
    Create(bare);

    host.paints = 0;
    EXPECT_EQ(Click(0, 1), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, "error");
    const std::string prefix = "PlaySound failed\n\nerror: ";
    const std::string& text = host.boxes[0].text;
    ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
    std::string code = text.substr(prefix.size());
    if (!code.empty() && code[0] == '-') code.erase(0, 1);
    EXPECT_FALSE(code.empty());
    EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << text;
    EXPECT_GE(host.paints, 1) << "the selection was shown";

    // The selection stands and the move goes through, with one more box for its sound.
    EXPECT_EQ(Click(0, 2), 1);
    EXPECT_EQ(host.boxes.size(), 2u);
    char out[16];
    EXPECT_EQ(game_->FetchMove(out), 1);
    EXPECT_STREQ(out, "move ABAC\n");
}

// ---- whole games -----------------------------------------------------------------------

// One ply: the move in default move text and the frames its capture animates (-1: a step).
struct Ply {
    const char* move;
    int frames;
};

// Black wins: every White piece is taken by loop captures made with clicks.
const Ply kBlackWins[] = {{"FBEC", -1}, {"EEDD", -1}, {"ECFD", -1}, {"BECD", -1}, {"FDDF", 15},
                          {"FEED", -1}, {"DFED", 17}, {"CEBD", -1}, {"EDDE", 19}, {"FFEE", -1},
                          {"DEDD", 21}, {"BFCE", -1}, {"DDCD", 25}, {"EEFD", -1}, {"DBFD", 23},
                          {"BDAC", -1}, {"DAAC", 25}, {"CFBF", -1}, {"CDCE", 21}, {"AEBE", -1},
                          {"CEEF", 23}, {"AFAE", -1}, {"EFBE", 25}, {"AEAF", -1}, {"BEBF", 19},
                          {"AFBE", -1}, {"BFBE", 19}};
// White wins through engine text; one capture goes once around the large loop.
const Ply kWhiteWins[] = {{"EBEC", -1}, {"EEFD", -1}, {"ABBC", -1}, {"FDFC", -1}, {"DBEB", -1},
                          {"FCDA", 15}, {"CBCC", -1}, {"DAEC", 17}, {"CCBD", -1}, {"DFBD", 23},
                          {"EBDA", -1}, {"ECDA", 17}, {"EAEB", -1}, {"DABC", 23}, {"CADB", -1},
                          {"BCDB", 25}, {"BACB", -1}, {"DBCB", 44}, {"FBFC", -1}, {"CBFC", 27},
                          {"EBDA", -1}, {"EFBB", 35}, {"AABA", -1}, {"FCDA", 15}, {"BACB", -1},
                          {"BBCB", 23}, {"FAEB", -1}, {"FEEB", 25}};

class GameTest : public ModuleTest {
  protected:
    // Plies [begin, end) of a game of `count` plies: Black plays by clicks and FetchMove,
    // White by ReceiveMove; every reply, status message and repaint is checked, and the
    // game's last ply must end it.
    template <size_t count> void Play(const Ply (&plies)[count], size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            SCOPED_TRACE(std::string("ply ") + std::to_string(i + 1) + " " + plies[i].move);
            const char* m = plies[i].move;
            int fx = m[0] - 'A', fy = m[1] - 'A', tx = m[2] - 'A', ty = m[3] - 'A';
            bool last = i + 1 == count;
            int side = static_cast<int>(i % 2);
            std::string line = std::string("move ") + m + "\n";
            // Engine text is passed on from its first coordinate to its end, line end included.
            std::string status =
                std::string(side == 0 ? "Black: " : "White: ") + m + (side ? "\n" : "");
            int expectPaints = plies[i].frames < 0 ? 1 : plies[i].frames + 1;
            host.moveTexts.clear();

            if (side == 0) {
                ASSERT_EQ(Click(fx, fy), 0);
                host.paints = 0;
                ASSERT_EQ(Click(tx, ty), 1);
                EXPECT_EQ(host.paints, expectPaints) << "repaints of the move";
                char out[16];
                ASSERT_EQ(game_->FetchMove(out), last ? 2 : 1);
                EXPECT_EQ(std::string(out), last ? line + "end\n" : line);
            } else {
                char reply[16], other[16];
                host.paints = 0;
                ASSERT_EQ(game_->ReceiveMove(line.c_str(), reply, other), last ? 2 : 1);
                EXPECT_EQ(host.paints, expectPaints) << "repaints of the move";
                EXPECT_EQ(std::string(reply), last ? "end\n" : "");
                EXPECT_EQ(std::string(other), last ? line + "end\n" : line);
            }
            ASSERT_EQ(host.moveTexts.size(), 1u);
            EXPECT_EQ(host.moveTexts[0].text, status);
            EXPECT_EQ(host.moveTexts[0].side, side);
            EXPECT_TRUE(PointColour(fx, fy) != PointColour(tx, ty));
            EXPECT_TRUE(side == 0 ? IsBlackPiece(PointColour(tx, ty))
                                  : IsWhitePiece(PointColour(tx, ty)));
            EXPECT_TRUE(HasMark(tx, ty));
            if (!last) {
                PumpMessages();
                EXPECT_TRUE(host.gameOvers.empty()) << "game over too early";
            }
        }
        PumpMessages();
    }
};

TEST_F(GameTest, WholeGamesByClicksAndEngineTextWithAnimatedCaptures) {
    Create(ProgramDir() + "\\data");
    // The first four plies, then Black's capture from (5,3) round the corner (5,5) onto
    // (3,5), taken back once before it is fetched.
    Play(kBlackWins, 0, 4);
    ASSERT_EQ(Click(5, 3), 0);
    ASSERT_EQ(Click(3, 5), 1);
    EXPECT_TRUE(IsBlackPiece(PointColour(3, 5)));
    EXPECT_EQ(game_->CancelMove(), 1);
    EXPECT_TRUE(IsBlackPiece(PointColour(5, 3))) << "the mover is back on its source";
    EXPECT_TRUE(IsWhitePiece(PointColour(3, 5))) << "the captured piece is back";
    char out[16] = "x";
    EXPECT_EQ(game_->FetchMove(out), 0);
    EXPECT_STREQ(out, "");

    // Again, with the source, the target and the first arc sample probed in every frame.
    ASSERT_EQ(Click(5, 3), 0);
    double theta = 1 * 0.1 * 3.1415926;
    POINT arc1 = {static_cast<int>((5 + 2 * std::sin(theta) + 3.0) * kBoard / 11.0),
                  static_cast<int>((5 - 2 * std::cos(theta) + 3.0) * kBoard / 11.0)};
    host.probes = {GridPixel(kBoardRect, 5, 3), GridPixel(kBoardRect, 3, 5), arc1};
    host.probed.clear();
    ASSERT_EQ(Click(3, 5), 1);
    host.probes.clear();
    ASSERT_EQ(host.probed.size(), 16u) << "15 arc frames and the final repaint";
    for (const auto& frame : host.probed)
        EXPECT_FALSE(IsBlackPiece(frame[0])) << "the source is empty while the piece travels";
    EXPECT_TRUE(IsBlackPiece(host.probed[0][2])) << "first frame: the piece on the arc";
    EXPECT_TRUE(IsWhitePiece(host.probed[0][1])) << "the captured piece stands until the end";
    EXPECT_TRUE(IsBlackPiece(host.probed.back()[1]));
    EXPECT_FALSE(IsBlackPiece(host.probed.back()[2])) << "no travelling piece after the end";
    EXPECT_TRUE(HasMark(3, 5));
    EXPECT_EQ(game_->FetchMove(out), 1);
    EXPECT_STREQ(out, "move FDDF\n");

    Play(kBlackWins, 5, std::size(kBlackWins));
    ASSERT_EQ(host.gameOvers.size(), 1u);
    EXPECT_EQ(host.gameOvers[0].first, static_cast<WPARAM>(14 * 65536 + 13));
    EXPECT_EQ(host.gameOvers[0].second, 0);
    EXPECT_EQ(Click(0, 0), 0) << "the finished game waits for NewGame";
    EXPECT_TRUE(host.boxes.empty()) << "every sound played";

    // A new game on the same object starts over, counts included.
    host.gameOvers.clear();
    EXPECT_NE(game_->NewGame(), 0);
    ExpectInitialPosition();
    EXPECT_FALSE(HasMark(3, 5));
    Play(kWhiteWins, 0, std::size(kWhiteWins));
    ASSERT_EQ(host.gameOvers.size(), 1u);
    EXPECT_EQ(host.gameOvers[0].first, static_cast<WPARAM>(14 * 65536 + 14));
    EXPECT_EQ(host.gameOvers[0].second, 1);
    EXPECT_TRUE(host.boxes.empty());
}

// ---- damaged data folders ----------------------------------------------------------------

const char* const kDataFiles[] = {"\\Config.ini",
                                  "\\bmp\\black.bmp",
                                  "\\bmp\\white.bmp",
                                  "\\bmp\\mark.bmp",
                                  "\\wav\\\xD1\xA1\xD7\xD3.wav",
                                  "\\wav\\\xC2\xE4\xD7\xD3.wav",
                                  "\\wav\\\xB3\xD4\xD7\xD3.wav"};

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n) bytes.append(buffer, n);
    CloseHandle(f);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(f);
    return ok && n == bytes.size();
}

// A copy of the build's data folder at `dir` (made, with its parents, if need be), with the
// files of `replaced` given other contents; a null content leaves the file out.
void MakeDataFolder(const std::string& dir,
                    const std::vector<std::pair<std::string, const std::string*>>& replaced) {
    for (size_t i = 3; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == '\\') CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
    CreateDirectoryA((dir + "\\bmp").c_str(), nullptr);
    CreateDirectoryA((dir + "\\wav").c_str(), nullptr);
    const std::string source = ProgramDir() + "\\data";
    for (const char* name : kDataFiles) {
        const std::string* content = nullptr;
        bool replace = false;
        for (const auto& r : replaced)
            if (r.first == name) replace = true, content = r.second;
        DeleteFileA((dir + name).c_str());
        if (!replace) {
            ASSERT_TRUE(CopyFileA((source + name).c_str(), (dir + name).c_str(), FALSE)) << name;
        } else if (content) {
            ASSERT_TRUE(WriteFileBytes(dir + name, *content)) << name;
        }
    }
}

class DamagedData : public ModuleTest {
  protected:
    // Black's first step by clicks; returns the fetched text.
    std::string FirstStep() {
        EXPECT_EQ(Click(0, 1), 0);
        EXPECT_EQ(Click(1, 2), 1);
        char out[16];
        EXPECT_EQ(game_->FetchMove(out), 1);
        return out;
    }
};

TEST_F(DamagedData, SettingsWithGarbageHugeOrNegativeValuesGivePlainLetters) {
    struct Case {
        const char* content;
        const char* text; // what Black's first step (0,1) to (1,2) is written as
    };
    const Case cases[] = {
        {"[COORDINATE]\r\nX=97\r\nY=49\r\n", "move a2b3\n"},
        {"[COORDINATE]\r\nX=0\r\nY=0\r\n", "move ABBC\n"},
        {"[COORDINATE]\r\nX=-5\r\nY=7\r\n", "move ABBC\n"},
        {"[COORDINATE]\r\nX=99999999999999999999\r\nY=200\r\n", "move ABBC\n"},
        {"[COORDINATE]\r\nX=abc\r\nY=\r\n", "move ABBC\n"},
        {"\x01\xff\xfe\x80 garbage\r\n[COORD\r\n", "move ABBC\n"},
    };
    const std::string dir = ProgramDir() + "\\data-settings";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string content = c.content;
        MakeDataFolder(dir, {{"\\Config.ini", &content}});
        Create(dir);
        EXPECT_EQ(FirstStep(), c.text);
        EXPECT_TRUE(host.boxes.empty());
        TearDown();
    }
}

TEST_F(DamagedData, CorruptPictureLeavesThosePiecesUndrawnAndTheGamePlays) {
    const std::string good = ReadBytes(ProgramDir() + "\\data\\bmp\\black.bmp");
    ASSERT_GT(good.size(), 200u);
    const std::string empty, truncated = good.substr(0, 100), text = "not a picture at all\n";
    const std::string wave = ReadBytes(ProgramDir() + "\\data\\wav\\\xC2\xE4\xD7\xD3.wav");
    // What the user sees at Black's points. A piece is round: the corners of its 18-pixel
    // square show the board. A picture that does not load (empty, text, a sound, missing)
    // leaves its memory DC empty and nothing shows. A picture cut short after its header
    // loads with the missing rows dark: a dark square.
    enum Shows { kRoundPiece, kNothing, kDarkSquare };
    const std::pair<const std::string*, Shows> cases[] = {
        {&good, kRoundPiece}, {&empty, kNothing},  {&text, kNothing},
        {&wave, kNothing},    {nullptr, kNothing}, {&truncated, kDarkSquare}};
    const std::string dir = ProgramDir() + "\\data-pictures";
    for (const auto& [black, shows] : cases) {
        SCOPED_TRACE(black ? black->size() : 0);
        MakeDataFolder(dir, {{"\\bmp\\black.bmp", black}});
        Create(dir);
        EXPECT_EQ(PixelAt(105, 90), kRed);
        for (int x = 0; x < 6; ++x) {
            POINT c = GridPixel(kBoardRect, x, 0);
            EXPECT_EQ(IsBlackPiece(PixelAt(c.x, c.y)), shows != kNothing) << x;
            EXPECT_EQ(IsBlackPiece(PixelAt(c.x - 8, c.y - 8)), shows == kDarkSquare) << x;
            EXPECT_TRUE(IsWhitePiece(PointColour(x, 5))) << x;
        }
        EXPECT_EQ(FirstStep(), "move ABBC\n");
        EXPECT_TRUE(HasMark(1, 2)) << "the mark still shows where Black went";
        EXPECT_TRUE(host.boxes.empty());
        TearDown();
    }
}

TEST_F(DamagedData, CorruptSoundShowsItsMessageBoxEachTimeAndTheGamePlays) {
    const std::string good = ReadBytes(ProgramDir() + "\\data\\wav\\\xC2\xE4\xD7\xD3.wav");
    ASSERT_GT(good.size(), 100u);
    const std::string empty, truncated = good.substr(0, 30);
    const std::string dir = ProgramDir() + "\\data-sounds";
    for (const std::string* place : {&empty, &truncated}) {
        SCOPED_TRACE(place->size());
        // The placing sound is damaged; selecting still sounds as it should.
        MakeDataFolder(dir, {{"\\wav\\\xC2\xE4\xD7\xD3.wav", place}});
        Create(dir);
        EXPECT_EQ(FirstStep(), "move ABBC\n");
        char reply[16], other[16];
        EXPECT_EQ(game_->ReceiveMove("move AEAD", reply, other), 1);
        // What the user sees: one message box for each placing sound, none for the selection.
        ASSERT_EQ(host.boxes.size(), 2u);
        for (const MessageBoxSeen& b : host.boxes) {
            EXPECT_EQ(b.caption, "error");
            EXPECT_EQ(b.text.compare(0, 25, "PlaySound failed\n\nerror: "), 0) << b.text;
        }
        TearDown();
    }
}

TEST_F(DamagedData, DataDirectoryAtAndPastTheLengthLimit) {
    // A folder whose name is exactly `length` characters, under the program's folder.
    auto folder = [](size_t length) {
        std::string dir = ProgramDir() + "\\long";
        while (dir.size() < length) {
            dir += '\\';
            dir += std::string(std::min<size_t>(60, length - dir.size()), 'd');
            if (dir.back() == '\\') dir.back() = 'd';
        }
        return dir;
    };
    // 245: every path fits; the game looks and sounds as usual.
    std::string dir = folder(245);
    ASSERT_EQ(dir.size(), 245u);
    MakeDataFolder(dir, {{"\\Config.ini", nullptr}});
    const std::string letters = "[COORDINATE]\r\nX=97\r\nY=49\r\n";
    ASSERT_TRUE(WriteFileBytes(dir + "\\Config.ini", letters));
    Create(dir);
    ExpectInitialPosition();
    EXPECT_EQ(FirstStep(), "move a2b3\n") << "the settings were read";
    EXPECT_TRUE(host.boxes.empty());
    TearDown();

    // 246: the settings, the mark and the sounds still fit, the piece pictures do not, so
    // what the user sees is a board without pieces that plays and sounds as usual.
    dir = folder(246);
    MakeDataFolder(dir, {{"\\Config.ini", nullptr}});
    ASSERT_TRUE(WriteFileBytes(dir + "\\Config.ini", letters));
    Create(dir);
    for (int x = 0; x < 6; ++x) {
        EXPECT_FALSE(IsBlackPiece(PointColour(x, 0)));
        EXPECT_FALSE(IsWhitePiece(PointColour(x, 5)));
    }
    EXPECT_EQ(FirstStep(), "move a2b3\n");
    EXPECT_TRUE(HasMark(1, 2));
    EXPECT_TRUE(host.boxes.empty());
    TearDown();

    // Far past it: nothing is read from the folder, the bases are the defaults, no pieces are
    // drawn and every sound says its name is too long.
    Create(std::string(300, 'd'));
    EXPECT_EQ(FirstStep(), "move ABBC\n");
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "PlaySound failed\n\nerror: 206");
}

TEST_F(ModuleTest, ClickBeforeTheBoardRectangleIsOutside) {
    ASSERT_NE(Library().init(), nullptr);
    GameObject game(Library().init()(host.hwnd, (ProgramDir() + "\\data").c_str()));
    ASSERT_TRUE(game.valid());
    EXPECT_EQ(game.OnBoardClick(100, 100), 2);
    EXPECT_EQ(game.OnBoardClick(0, 0), 2);
}

} // namespace
