// Sizes, pens, font, labels and blits against the recording stand-in; marks, the travelling
// piece, the animation's points, and GDI ownership.
#include "module_test_support.h"

#include <cmath>

namespace {

std::vector<double> Args(std::initializer_list<double> l) {
    return l;
}

// The calls of one DrawBoard, without the DC argument where it is the host's.
struct Drawn {
    std::vector<standin::Call> calls;
    std::vector<standin::Call> named(const std::string& fn) const {
        std::vector<standin::Call> out;
        for (const auto& c : calls)
            if (c.fn == fn) out.push_back(c);
        return out;
    }
};

} // namespace

class Rendering : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Create();
    }
    Drawn Draw() {
        standin::clearCalls();
        game->DrawBoard(paintDC);
        return Drawn{standin::calls()};
    }
    double H(const void* h) const { return standin::handleValue(h); }
    // The two blits of one piece or mark: mask with AND, then picture with OR.
    void ExpectBlit(const standin::Call& mask, const standin::Call& picture, int x, int y, int p,
                    HDC source) {
        EXPECT_EQ(mask.args, Args({H(paintDC), double(x), double(y), double(p), double(p),
                                   H(source), double(p), 0, SRCAND}));
        EXPECT_EQ(picture.args, Args({H(paintDC), double(x), double(y), double(p), double(p),
                                      H(source), 0, 0, SRCPAINT}));
    }
};

TEST_F(Rendering, SizesPensFontAndBitmapsAt330) {
    standin::clearCalls();
    game->SetBoardRect(0, 0, 330, 330);
    EXPECT_EQ(game->m_nUnit, 30);
    EXPECT_EQ(game->m_nPieceSize, 18);
    EXPECT_EQ(game->m_nPenWidth, 1);
    EXPECT_EQ(game->m_nFontWidth, 10);
    EXPECT_EQ(game->m_nFontHeight, 20);
    auto pens = standin::callsNamed("CreatePen");
    ASSERT_EQ(pens.size(), 3u);
    EXPECT_EQ(pens[0].args[2], RGB(255, 0, 0));
    EXPECT_EQ(pens[1].args[2], RGB(0, 255, 0));
    EXPECT_EQ(pens[2].args[2], RGB(0, 0, 255));
    for (const auto& p : pens) {
        EXPECT_EQ(p.args[0], PS_SOLID);
        EXPECT_EQ(p.args[1], 1);
    }
    auto fonts = standin::callsNamed("CreateFontA");
    ASSERT_EQ(fonts.size(), 1u);
    fonts[0].args.pop_back(); // the new handle
    EXPECT_EQ(fonts[0].args, Args({20, 10, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
    auto loads = standin::callsNamed("LoadImageA");
    ASSERT_EQ(loads.size(), 3u);
    const std::string base = dir.path().string();
    EXPECT_EQ(loads[0].text, base + "\\bmp\\black.bmp");
    EXPECT_EQ(loads[1].text, base + "\\bmp\\white.bmp");
    EXPECT_EQ(loads[2].text, base + "\\bmp\\mark.bmp");
    for (const auto& l : loads) {
        EXPECT_EQ(l.args[1], IMAGE_BITMAP);
        EXPECT_EQ(l.args[2], 36);
        EXPECT_EQ(l.args[3], 18);
        EXPECT_EQ(l.args[4], LR_LOADFROMFILE);
        EXPECT_NE(l.args[5], 0);
    }
    // Each bitmap goes into its own DC.
    auto selects = standin::callsNamed("SelectObject");
    ASSERT_EQ(selects.size(), 3u);
    EXPECT_EQ(selects[0].args[0], H(game->m_hdcBlack));
    EXPECT_EQ(selects[0].args[1], loads[0].args[5]);
    EXPECT_EQ(selects[1].args[0], H(game->m_hdcWhite));
    EXPECT_EQ(selects[2].args[0], H(game->m_hdcMark));
    EXPECT_EQ(selects[2].args[1], loads[2].args[5]);

    for (int w : {440, 219}) {
        game->SetBoardRect(0, 0, w, w);
        EXPECT_EQ(game->m_nPenWidth, w == 440 ? 2 : 1);
        EXPECT_EQ(standin::callsNamed("CreatePen").back().args[1], w == 440 ? 2 : 1);
    }
    EXPECT_EQ(game->m_nPieceSize, 11); // 19 * 0.6 truncated
}

TEST_F(Rendering, BoardAt330) {
    game->SetBoardRect(0, 0, 330, 330);
    Drawn d = Draw();
    const double dc = H(paintDC);

    auto moves = d.named("MoveToEx");
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[0].args, Args({dc, 90, 90, 0}));
    EXPECT_EQ(moves[1].args, Args({dc, 120, 90, 0}));
    EXPECT_EQ(moves[2].args, Args({dc, 150, 90, 0}));
    auto lines = d.named("LineTo");
    ASSERT_EQ(lines.size(), 12u);
    const double frame[4][2] = {{240, 90}, {240, 240}, {90, 240}, {90, 90}};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[i].args, Args({dc, frame[i][0], frame[i][1]}));
    auto arcs = d.named("AngleArc");
    ASSERT_EQ(arcs.size(), 8u);
    for (int loop = 0; loop < 2; ++loop) {
        const double r = loop == 0 ? 30 : 60;
        const double L = 90, T = 90, R = 240, B = 240;
        const double lineEnds[4][2] = {{R, T + r}, {R - r, B}, {L, B - r}, {L + r, T}};
        const double centres[4][2] = {{L, T}, {R, T}, {R, B}, {L, B}};
        const double starts[4] = {0, 270, 180, 90};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(arcs[loop * 4 + k].args,
                      Args({dc, centres[k][0], centres[k][1], r, starts[k], 270}));
            EXPECT_EQ(lines[4 + loop * 4 + k].args, Args({dc, lineEnds[k][0], lineEnds[k][1]}));
        }
    }
    // Each figure is drawn with its pen, and the host's pen and font are restored.
    std::vector<double> selected;
    for (const auto& c : d.named("SelectObject")) {
        EXPECT_EQ(c.args[0], dc);
        selected.push_back(c.args[1]);
    }
    ASSERT_EQ(selected.size(), 8u);
    EXPECT_EQ(selected[0], H(game->m_hPenFrame));
    EXPECT_EQ(selected[2], H(game->m_hPenSmallLoop));
    EXPECT_EQ(selected[4], H(game->m_hPenLargeLoop));
    EXPECT_EQ(selected[6], H(game->m_hFont));
    auto sel = d.named("SelectObject");
    EXPECT_EQ(selected[1], sel[0].args[2]);
    EXPECT_EQ(selected[7], sel[6].args[2]);
    ASSERT_EQ(d.named("SetTextColor").size(), 1u);
    EXPECT_EQ(d.named("SetTextColor")[0].args[1], 0);

    auto labels = d.named("TextOutA");
    ASSERT_EQ(labels.size(), 24u);
    for (int i = 0; i < 6; ++i) {
        const std::string letter(1, char('A' + i)), digit(1, char('1' + i));
        const double y = 80 + 30 * i, x = 85 + 30 * i;
        EXPECT_EQ(labels[4 * i].args, Args({dc, 10, y, 1}));
        EXPECT_EQ(labels[4 * i].text, letter);
        EXPECT_EQ(labels[4 * i + 1].args, Args({dc, 310, y, 1}));
        EXPECT_EQ(labels[4 * i + 1].text, digit);
        EXPECT_EQ(labels[4 * i + 2].args, Args({dc, x, 5, 1}));
        EXPECT_EQ(labels[4 * i + 2].text, letter);
        EXPECT_EQ(labels[4 * i + 3].args, Args({dc, x, 305, 1}));
        EXPECT_EQ(labels[4 * i + 3].text, digit);
    }

    // Pieces column by column, each row within; no mark on a fresh game.
    auto blits = d.named("BitBlt");
    ASSERT_EQ(blits.size(), 48u);
    size_t b = 0;
    for (int x = 0; x < 6; ++x)
        for (int y : {0, 1, 4, 5}) {
            ExpectBlit(blits[b], blits[b + 1], 81 + 30 * x, 81 + 30 * y, 18,
                       y < 2 ? game->m_hdcBlack : game->m_hdcWhite);
            b += 2;
        }
    // Any other cell value draws nothing.
    game->m_board[2][0] = 7;
    EXPECT_EQ(Draw().named("BitBlt").size(), 46u);
    EXPECT_TRUE(standin::misuses().empty());
}

TEST_F(Rendering, NonSquareRectScalesWithWidth) {
    game->SetBoardRect(10, 20, 340, 400);
    Drawn d = Draw();
    auto lines = d.named("LineTo");
    EXPECT_EQ(lines[1].args[1], 250); // R
    EXPECT_EQ(lines[1].args[2], 310); // B from bottom
    EXPECT_EQ(d.named("MoveToEx")[0].args[2], 110);
    auto labels = d.named("TextOutA");
    EXPECT_EQ(labels[0].args[2], 110 - 10); // row 0 from T
    EXPECT_EQ(labels[3].args[2], 400 - 25); // bottom labels from bottom
    auto blits = d.named("BitBlt");
    EXPECT_EQ(blits[0].args[1], 10 + 90 - 9);
    EXPECT_EQ(blits[0].args[2], 20 + 90 - 9);
    EXPECT_EQ(blits[2].args[2], 20 + 120 - 9);
    // Clicks map with the width too.
    EXPECT_EQ(game->OnBoardClick(10 + 90, 20 + 120), 0);
    EXPECT_EQ(game->m_history.back().fromY, 1);
}

TEST_F(Rendering, MarkFollowsSelectionAndLastMove) {
    game->SetBoardRect(0, 0, 330, 330);
    ASSERT_EQ(Click(2, 1), 0);
    auto blits = Draw().named("BitBlt");
    ASSERT_EQ(blits.size(), 50u);
    ExpectBlit(blits[48], blits[49], 81 + 60, 81 + 30, 18, game->m_hdcMark);
    ASSERT_EQ(Click(3, 2), 1);
    blits = Draw().named("BitBlt");
    ASSERT_EQ(blits.size(), 50u);
    ExpectBlit(blits[48], blits[49], 81 + 90, 81 + 60, 18, game->m_hdcMark);
    // A selection record without a source draws no mark.
    game->m_history.push_back(MoveRecord{-1, -1, -1, -1, false, BLACK});
    EXPECT_EQ(Draw().named("BitBlt").size(), 48u);
}

// A capture by clicks: every frame is a repaint with the travelling piece at the next point
// and no mark, the captured piece still standing and the source empty; then the sound, then
// the final position with the mark on the target.
TEST_F(Rendering, CaptureAnimationFrames) {
    game->SetBoardRect(0, 0, 330, 330);
    SetBoard({{{1, 3}, WHITE}, {{0, 4}, BLACK}, {{3, 3}, BLACK}});
    game->m_nSide = WHITE;
    // A previous move, so that a completed record tops the history during the travel.
    game->m_history.push_back(MoveRecord{3, 2, 3, 3, false, BLACK});
    ASSERT_EQ(Click(1, 3), 0);

    struct Frame {
        int x, y, blits;
        std::int8_t source, target;
        double lastSource;
    };
    std::vector<Frame> frames;
    onPaint = [&] {
        auto blits = standin::callsNamed("BitBlt");
        frames.push_back(Frame{game->m_nAnimX, game->m_nAnimY, static_cast<int>(blits.size()),
                               game->m_board[1][3], game->m_board[0][4],
                               blits.empty() ? 0 : blits.back().args[5]});
        standin::clearCalls();
    };
    standin::clearCalls();
    ASSERT_EQ(Click(0, 4), 1);
    std::vector<BoardPoint> route{{1, 3}, {1, 4}, {1, 5}, {0, 5}, {0, 4}};
    EXPECT_EQ(game->m_capturePath, route);
    ASSERT_EQ(frames.size(), 22u); // 21 frames and the final repaint
    std::vector<PixelPoint> points;
    game->BuildAnimationPath(points);
    ASSERT_EQ(points.size(), 21u);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(frames[i].x, points[i].x);
        EXPECT_EQ(frames[i].y, points[i].y);
        // Two pieces and the travelling one; the source is empty, the target not yet taken.
        EXPECT_EQ(frames[i].blits, 2 * 2 + 2);
        EXPECT_EQ(frames[i].lastSource, H(game->m_hdcWhite));
        EXPECT_EQ(frames[i].source, EMPTY);
        EXPECT_EQ(frames[i].target, BLACK);
    }
    EXPECT_EQ(frames[21].x, -1);
    EXPECT_EQ(frames[21].target, WHITE);
    EXPECT_EQ(frames[21].lastSource, H(game->m_hdcMark));
    EXPECT_EQ(game->m_nAnimX, -1);
    EXPECT_EQ(game->m_nAnimY, -1);
    EXPECT_EQ(game->m_nAnimSide, WHITE);
}

TEST_F(Rendering, CaptureSoundAfterTravelBeforeFinalPaint) {
    game->SetBoardRect(0, 0, 330, 330);
    SetBoard({{{1, 5}, BLACK}, {{0, 4}, WHITE}, {{3, 3}, WHITE}});
    ASSERT_EQ(Click(1, 5), 0);
    standin::clearCalls();
    ASSERT_EQ(Click(0, 4), 1);
    std::vector<std::string> order;
    for (const auto& c : standin::calls())
        if (c.fn == "UpdateWindow" || c.fn == "PlaySoundA") order.push_back(c.fn);
    // 17 frames of the shortest route, the capture sound, the final repaint.
    ASSERT_EQ(order.size(), 19u);
    EXPECT_EQ(order[16], "UpdateWindow");
    EXPECT_EQ(order[17], "PlaySoundA");
    EXPECT_EQ(order[18], "UpdateWindow");
    EXPECT_EQ(standin::callsNamed("PlaySoundA")[0].text,
              dir.path().string() + "\\wav\\\xB3\xD4\xD7\xD3.wav");
}

class Animation : public Rendering {
  protected:
    std::vector<PixelPoint> Points(std::vector<BoardPoint> route) {
        game->m_capturePath = std::move(route);
        std::vector<PixelPoint> points{{7, 7}};
        game->BuildAnimationPath(points);
        return points;
    }
    static void ExpectNear(const PixelPoint& p, double ux, double uy) {
        EXPECT_NEAR(p.x, (ux + 3) * 30, 1.0) << ux << "," << uy;
        EXPECT_NEAR(p.y, (uy + 3) * 30, 1.0) << ux << "," << uy;
    }
    void SetUp() override {
        Rendering::SetUp();
        game->SetBoardRect(0, 0, 330, 330);
    }
};

TEST_F(Animation, StraightAndShortRoutes) {
    auto p = Points({{1, 1}, {1, 2}, {1, 3}});
    ASSERT_EQ(p.size(), 4u);
    const int ys[4] = {135, 150, 165, 180};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p[i].x, 120);
        EXPECT_EQ(p[i].y, ys[i]);
    }
    // Shortest: fifteen samples of the small arc around (0,5), then half steps to (0,4).
    p = Points({{1, 5}, {0, 5}, {0, 4}});
    ASSERT_EQ(p.size(), 17u);
    ExpectNear(p[4], 0, 6);  // 90 degrees: straight below the corner
    ExpectNear(p[9], -1, 5); // 180 degrees: left of the corner
    ExpectNear(p[14], 0, 4); // just short of 270 degrees
    EXPECT_EQ(p[15].x, 90);
    EXPECT_EQ(p[15].y, 225);
    EXPECT_EQ(p[16].x, 90);
    EXPECT_EQ(p[16].y, 210);
    // Every sample lies on the circle of one unit around the corner.
    for (int k = 0; k < 15; ++k) {
        double dx = p[k].x - 90.0, dy = p[k].y - 240.0;
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 30, 1.5) << k;
    }
}

// The pixels are truncated, not rounded, and the angle uses 3.1415926 for pi: the last arc
// sample of the shortest route lands one pixel short of the grid line at x = 90.
TEST_F(Animation, ExactPixelsOfTheShortestRoute) {
    const std::vector<std::pair<int, int>> expected{
        {118, 249}, {114, 257}, {107, 264}, {99, 268}, {90, 270}, {80, 268},
        {72, 264},  {65, 257},  {61, 249},  {60, 240}, {61, 230}, {65, 222},
        {72, 215},  {80, 211},  {89, 210},  {90, 225}, {90, 210}};
    auto p = Points({{1, 5}, {0, 5}, {0, 4}});
    ASSERT_EQ(p.size(), expected.size());
    for (size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].x, expected[i].first) << i;
        EXPECT_EQ(p[i].y, expected[i].second) << i;
    }
}

TEST_F(Animation, LongerRoutesAndCorners) {
    auto p = Points({{1, 3}, {1, 4}, {1, 5}, {0, 5}, {0, 4}});
    ASSERT_EQ(p.size(), 21u);
    EXPECT_EQ(p[0].y, 195);
    EXPECT_EQ(p[3].y, 240);
    EXPECT_EQ(p[20].y, 210);
    // Large loop: radius 2, and the pair (corner, (0,3)) adds nothing.
    p = Points({{2, 4}, {2, 5}, {0, 5}, {0, 3}});
    ASSERT_EQ(p.size(), 17u);
    ExpectNear(p[0], 2, 4.5);
    ExpectNear(p[1], 2, 5);
    ExpectNear(p[6], 0, 7);   // 90 degrees
    ExpectNear(p[11], -2, 5); // 180 degrees
    ExpectNear(p[16], 0, 3);
    // Each corner turns away from the board: top-right corner from row 0 to column 5.
    p = Points({{4, 0}, {5, 0}, {5, 1}});
    ASSERT_EQ(p.size(), 17u);
    ExpectNear(p[4], 5, -1);
    ExpectNear(p[9], 6, 0);
    ExpectNear(p[14], 5, 1);
    // Bottom-right from column 5 to row 5; top-left from column 0 to row 0.
    p = Points({{5, 3}, {5, 5}, {3, 5}});
    ASSERT_EQ(p.size(), 15u);
    ExpectNear(p[4], 7, 5);
    ExpectNear(p[9], 5, 7);
    ExpectNear(p[14], 3, 5);
    p = Points({{0, 1}, {0, 0}, {1, 0}});
    ASSERT_EQ(p.size(), 17u);
    ExpectNear(p[4], -1, 0);
    ExpectNear(p[9], 0, -1);
    ExpectNear(p[14], 1, 0);
    // Starting on a corner: half steps to a neighbour, nothing to a point two away.
    p = Points({{0, 0}, {1, 0}, {1, 1}});
    ASSERT_EQ(p.size(), 4u);
    ExpectNear(p[0], 0.5, 0);
    p = Points({{0, 0}, {2, 0}, {2, 1}});
    ASSERT_EQ(p.size(), 2u);
    ExpectNear(p[0], 2, 0.5);
    // Too short a route gives no points.
    EXPECT_TRUE(Points({{1, 1}}).empty());
    EXPECT_TRUE(Points({}).empty());
}

TEST_F(Rendering, NoGdiLeaksOrMisuse) {
    // Out of a fresh object's own: three memory DCs.
    const int base = standin::liveGdiObjects();
    for (int i = 0; i < 200; ++i) game->SetBoardRect(i, i, 200 + 3 * i, 200 + 3 * i);
    // Three pens, a font, three bitmaps on top of the DCs, whatever the number of calls.
    EXPECT_EQ(standin::liveGdiObjects(), base + 7);
    // A picture that no longer loads: its DC keeps the previous one, alive and drawable.
    fs::remove(dir.path() / "bmp" / "black.bmp");
    HBITMAP kept = game->m_hbmBlack;
    game->SetBoardRect(0, 0, 330, 330);
    EXPECT_EQ(game->m_hbmBlack, kept);
    EXPECT_EQ(Draw().named("BitBlt").size(), 48u);
    EXPECT_EQ(standin::liveGdiObjects(), base + 7);
    Destroy();
    EXPECT_EQ(standin::liveGdiObjects(), 0);
    EXPECT_EQ(standin::heldWindowDCs(), 0);
    EXPECT_TRUE(standin::misuses().empty()) << standin::misuses().front();
    // Without any picture at all nothing is loaded, selected or deleted.
    fs::remove_all(dir.path() / "bmp");
    Create();
    game->SetBoardRect(0, 0, 330, 330);
    game->SetBoardRect(0, 0, 440, 440);
    Draw();
    Destroy();
    EXPECT_EQ(standin::liveGdiObjects(), 0);
    EXPECT_TRUE(standin::misuses().empty());
}
