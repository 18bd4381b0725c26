// Board, loops, legality, capture paths, applying and taking back, end of game.
#include "module_test_support.h"

#include <random>

namespace {

int CountLoop(const BoardPoint* loop, BoardPoint p) {
    int n = 0;
    for (int i = 0; i < LOOP_LENGTH; ++i) n += loop[i] == p;
    return n;
}

std::vector<BoardPoint> Path(const COrbello* g) {
    return g->m_capturePath;
}

std::vector<BoardPoint> Pts(std::initializer_list<BoardPoint> l) {
    return l;
}

} // namespace

TEST(Loops, OccurrencesAndArcs) {
    // Corners appear once per loop, as arcs; crossing points twice; other loop points once.
    for (const BoardPoint* loop : {SmallLoop, LargeLoop}) {
        int arcs = 0;
        for (int i = 0; i < LOOP_LENGTH; ++i) {
            arcs += IsCornerPoint(loop[i]);
            EXPECT_LE(CountLoop(loop, loop[i]), 2);
            // Consecutive entries are grid neighbours along a line, or an arc's two ends.
            BoardPoint a = loop[i], b = loop[(i + 1) % LOOP_LENGTH];
            if (!IsCornerPoint(a) && !IsCornerPoint(b)) {
                EXPECT_EQ(std::abs(a.x - b.x) + std::abs(a.y - b.y), 1) << i;
            }
        }
        EXPECT_EQ(arcs, 4);
        for (BoardPoint c : {BoardPoint{0, 0}, {0, 5}, {5, 0}, {5, 5}})
            EXPECT_EQ(CountLoop(loop, c), 1);
    }
    EXPECT_EQ(SmallLoop[26], (BoardPoint{0, 0}));
    EXPECT_EQ(LargeLoop[25], (BoardPoint{0, 0}));
    EXPECT_EQ(CountLoop(SmallLoop, {0, 1}), 1);
    EXPECT_EQ(SmallLoop[25], (BoardPoint{0, 1}));
    EXPECT_EQ(CountLoop(LargeLoop, {0, 1}), 0);
    EXPECT_EQ(SmallLoop[1], (BoardPoint{1, 2}));
    EXPECT_EQ(LargeLoop[23], (BoardPoint{1, 2}));
    for (BoardPoint p : {BoardPoint{1, 1}, {1, 4}, {4, 4}, {4, 1}})
        EXPECT_EQ(CountLoop(SmallLoop, p), 2);
    for (BoardPoint p : {BoardPoint{2, 2}, {2, 3}, {3, 3}, {3, 2}})
        EXPECT_EQ(CountLoop(LargeLoop, p), 2);
}

class Rules : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Create();
    }
};

TEST_F(Rules, InitialPositionHasSixteenSteps) {
    for (int x = 0; x < 6; ++x) {
        const int expected[6] = {BLACK, BLACK, EMPTY, EMPTY, WHITE, WHITE};
        for (int y = 0; y < 6; ++y) EXPECT_EQ(game->m_board[x][y], expected[y]) << x << "," << y;
    }
    int legal = 0;
    for (int fx = 0; fx < 6; ++fx)
        for (int fy = 0; fy < 6; ++fy)
            for (int tx = 0; tx < 6; ++tx)
                for (int ty = 0; ty < 6; ++ty)
                    if (Legal(fx, fy, tx, ty, BLACK)) {
                        ++legal;
                        EXPECT_EQ(fy, 1);
                        EXPECT_EQ(ty, 2);
                    }
    EXPECT_EQ(legal, 16);
    // Coordinates off the board and a selection record are never legal.
    EXPECT_FALSE(Legal(0, 1, -1, -1, BLACK));
    EXPECT_FALSE(Legal(0, 1, 0, 6, BLACK));
    EXPECT_FALSE(Legal(0, 4, 0, 3, BLACK)); // not Black's piece
}

TEST_F(Rules, CornerArcCaptureTakesForwardWalkFirst) {
    SetBoard({{{1, 5}, BLACK}, {{0, 4}, WHITE}});
    ASSERT_TRUE(Legal(1, 5, 0, 4, BLACK));
    EXPECT_EQ(Path(game), Pts({{1, 5}, {0, 5}, {0, 4}}));
}

TEST_F(Rules, AdjacentEnemyOnlyByLoop) {
    // (1,4) and (2,4) are neighbours on row 4; every journey between them is blocked.
    SetBoard({{{1, 4}, BLACK},
              {{2, 4}, WHITE},
              {{1, 3}, WHITE},
              {{1, 5}, WHITE},
              {{0, 4}, WHITE},
              {{2, 3}, WHITE}});
    EXPECT_FALSE(Legal(1, 4, 2, 4, BLACK));
    // Clearing (1,5) and (0,4) opens the walk from index 3 around the arc at (0,5).
    game->m_board[0][4] = EMPTY;
    game->m_board[1][5] = EMPTY;
    EXPECT_TRUE(Legal(1, 4, 2, 4, BLACK));
    // Forward from index 3: (1,5), arc (0,5), (0,4), then (1,4) itself again (passable),
    // then (2,4): the target.
    EXPECT_EQ(Path(game), Pts({{1, 4}, {1, 5}, {0, 5}, {0, 4}, {1, 4}, {2, 4}}));
}

TEST_F(Rules, ForwardWalkWithoutArcFailsBackwardSucceeds) {
    SetBoard({{{0, 4}, BLACK}, {{3, 4}, WHITE}});
    EXPECT_TRUE(Legal(0, 4, 3, 4, BLACK));
    // The backward walk from (0,4) goes through the arc at (0,5) and around the whole loop.
    std::vector<BoardPoint> p = Path(game);
    ASSERT_GE(p.size(), 3u);
    EXPECT_EQ(p.front(), (BoardPoint{0, 4}));
    EXPECT_EQ(p[1], (BoardPoint{0, 5}));
    EXPECT_EQ(p.back(), (BoardPoint{3, 4}));
    // Block the far side of the loop: only the arcless walk remains, which is illegal.
    game->m_board[1][2] = WHITE;
    EXPECT_FALSE(Legal(0, 4, 3, 4, BLACK));
}

TEST_F(Rules, CornerPiecesStartFromArcsAndNeverBlockOrFall) {
    // From (0,0) only SmallLoop's forward walk is open, and it meets (1,3) before any arc:
    // the corner the piece starts from does not count.
    SetBoard({{{0, 0}, BLACK}, {{1, 3}, WHITE}, {{0, 1}, WHITE}, {{2, 0}, WHITE}, {{0, 2}, WHITE}});
    EXPECT_FALSE(Legal(0, 0, 1, 3, BLACK));
    // Opening the backward walk lets it round the three other corners.
    game->m_board[0][1] = EMPTY;
    ASSERT_TRUE(Legal(0, 0, 1, 3, BLACK));
    EXPECT_EQ(Path(game).size(), 25u);
    EXPECT_EQ(Path(game)[0], (BoardPoint{0, 0}));
    EXPECT_EQ(Path(game)[1], (BoardPoint{0, 1}));

    // A piece standing on a corner never blocks the arc around it.
    SetBoard({{{1, 5}, BLACK}, {{0, 5}, BLACK}, {{0, 4}, WHITE}});
    EXPECT_TRUE(Legal(1, 5, 0, 4, BLACK));
    // And it cannot be captured from anywhere, neither by a journey nor by a step.
    for (int fx = 0; fx < 6; ++fx)
        for (int fy = 0; fy < 6; ++fy) {
            if (fx == 0 && fy == 5) continue;
            SetBoard({{{fx, fy}, WHITE}, {{0, 5}, BLACK}});
            EXPECT_FALSE(Legal(fx, fy, 0, 5, WHITE)) << fx << "," << fy;
        }
}

TEST_F(Rules, CrossingPointPassesItsOwnPoint) {
    // From (1,1) (indices 0 and 24 of SmallLoop) backward from 0: (1,0), arc (0,0), (0,1),
    // (1,1) again, (2,1): the target.
    SetBoard({{{1, 1}, BLACK}, {{2, 1}, WHITE}, {{1, 2}, WHITE}});
    EXPECT_TRUE(Legal(1, 1, 2, 1, BLACK));
    EXPECT_EQ(Path(game), Pts({{1, 1}, {1, 0}, {0, 0}, {0, 1}, {1, 1}, {2, 1}}));
}

// Several walks can reach the target; the route shown is fixed by the walk order: SmallLoop
// before LargeLoop, the lower start index first, and forward before backward for each index.
TEST_F(Rules, WalkOrderFixesTheRoute) {
    // (1,2) lies on both loops and both reach (4,3): the small loop's route wins.
    SetBoard({{{1, 2}, BLACK}, {{4, 3}, WHITE}});
    ASSERT_TRUE(Legal(1, 2, 4, 3, BLACK));
    EXPECT_EQ(Path(game), Pts({{1, 2},
                               {1, 3},
                               {1, 4},
                               {1, 5},
                               {0, 5},
                               {0, 4},
                               {1, 4},
                               {2, 4},
                               {3, 4},
                               {4, 4},
                               {5, 4},
                               {5, 5},
                               {4, 5},
                               {4, 4},
                               {4, 3}}));
    // Only the large loop reaches (0,3), around the arc of radius two.
    SetBoard({{{2, 4}, BLACK}, {{0, 3}, WHITE}});
    ASSERT_TRUE(Legal(2, 4, 0, 3, BLACK));
    EXPECT_EQ(Path(game), Pts({{2, 4}, {2, 5}, {0, 5}, {0, 3}}));
    // (1,1) starts at indices 0 and 24. Forward from 0 meets (1,2) before any arc; the
    // backward walk from 0 comes before the forward walk from 24 (which would take six
    // entries), so the route is the whole circuit of 28 entries.
    SetBoard({{{1, 1}, BLACK}, {{1, 2}, WHITE}});
    ASSERT_TRUE(Legal(1, 1, 1, 2, BLACK));
    const std::vector<BoardPoint> route = Path(game);
    ASSERT_EQ(route.size(), 28u);
    EXPECT_EQ(route[1], (BoardPoint{1, 0}));
    EXPECT_EQ(route[2], (BoardPoint{0, 0}));
    EXPECT_EQ(route[27], (BoardPoint{1, 2}));
}

TEST_F(Rules, ApplyAndTakeBack) {
    standin::setSoundMode(standin::SoundMode::Succeed);
    // A step: no capture, placing sound, target filled.
    game->m_history.push_back(MoveRecord{0, 1, 0, 2, false, BLACK});
    ASSERT_TRUE(game->IsLegalMove());
    game->ApplyMove();
    EXPECT_EQ(game->m_board[0][1], EMPTY);
    EXPECT_EQ(game->m_board[0][2], BLACK);
    EXPECT_FALSE(game->m_history.back().captured);
    game->TakeBackMove();
    EXPECT_EQ(game->m_board[0][1], BLACK);
    EXPECT_EQ(game->m_board[0][2], EMPTY);
    EXPECT_TRUE(game->m_history.empty());

    // A capture: taking it back restores the enemy on the target and the mover on the source.
    SetBoard({{{1, 5}, BLACK}, {{0, 4}, WHITE}, {{3, 3}, WHITE}});
    game->m_history.push_back(MoveRecord{1, 5, 0, 4, false, BLACK});
    ASSERT_TRUE(game->IsLegalMove());
    game->ApplyMove();
    EXPECT_TRUE(game->m_history.back().captured);
    EXPECT_EQ(game->m_board[0][4], BLACK);
    EXPECT_EQ(game->m_board[1][5], EMPTY);
    game->TakeBackMove();
    EXPECT_EQ(game->m_board[0][4], WHITE);
    EXPECT_EQ(game->m_board[1][5], BLACK);

    // A selection record leaves the board unchanged.
    game->m_history.push_back(MoveRecord{1, 5, -1, -1, false, BLACK});
    game->TakeBackMove();
    EXPECT_EQ(game->m_board[1][5], BLACK);
}

TEST_F(Rules, GameOverPostsCountsAndWinner) {
    EXPECT_FALSE(game->CheckGameOver());
    EXPECT_TRUE(MessagesOf(MSG_GAME_OVER).empty());
    SetBoard({{{0, 0}, BLACK}});
    game->m_nMoveCount[0] = 7;
    game->m_nMoveCount[1] = 6;
    EXPECT_TRUE(game->CheckGameOver());
    auto over = MessagesOf(MSG_GAME_OVER);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_TRUE(over[0].posted);
    EXPECT_EQ(over[0].wParam, 7u * 65536u + 6u);
    EXPECT_EQ(over[0].lParam, BLACK);
    SetBoard({{{3, 3}, WHITE}});
    EXPECT_TRUE(game->CheckGameOver());
    EXPECT_EQ(MessagesOf(MSG_GAME_OVER).back().lParam, WHITE);
}

// Random games: every legal move is checked against the rules' invariants, and applying and
// taking it back restores the board exactly.
TEST_F(Rules, RandomPlayoutsKeepInvariants) {
    std::mt19937 rng(12345);
    long steps = 0, captures = 0, finished = 0;
    for (int gameNo = 0; gameNo < 60; ++gameNo) {
        game->NewGame();
        for (int ply = 0; ply < 300; ++ply) {
            const int side = game->m_nSide;
            std::vector<MoveRecord> moves;
            for (int fx = 0; fx < 6; ++fx)
                for (int fy = 0; fy < 6; ++fy) {
                    if (game->m_board[fx][fy] != side) continue;
                    for (int tx = 0; tx < 6; ++tx)
                        for (int ty = 0; ty < 6; ++ty) {
                            game->m_history.push_back(MoveRecord{fx, fy, tx, ty, false, side});
                            bool legal = game->IsLegalMove();
                            game->m_history.pop_back();
                            if (!legal) continue;
                            moves.push_back(MoveRecord{fx, fy, tx, ty, false, side});
                            int dx = tx - fx, dy = ty - fy;
                            if (game->m_board[tx][ty] == EMPTY) {
                                EXPECT_LT(dx * dx + dy * dy, 4);
                            } else {
                                ASSERT_EQ(game->m_board[tx][ty], 1 - side);
                                EXPECT_FALSE(IsCornerPoint({tx, ty}));
                                const auto& p = game->m_capturePath;
                                ASSERT_GE(p.size(), 3u);
                                EXPECT_EQ(p.front(), (BoardPoint{fx, fy}));
                                EXPECT_EQ(p.back(), (BoardPoint{tx, ty}));
                                bool arc = false;
                                for (size_t i = 1; i + 1 < p.size(); ++i) {
                                    arc |= IsCornerPoint(p[i]);
                                    if (!IsCornerPoint(p[i]) && !(p[i] == p.front())) {
                                        EXPECT_EQ(game->m_board[p[i].x][p[i].y], EMPTY);
                                    }
                                }
                                EXPECT_TRUE(arc);
                            }
                        }
                }
            if (moves.empty()) break; // possible: a side with pieces but no move
            // Prefer captures half of the time, so that games reach their end.
            std::vector<MoveRecord> caps;
            for (const auto& m : moves)
                if (game->m_board[m.toX][m.toY] != EMPTY) caps.push_back(m);
            const auto& pool = !caps.empty() && rng() % 2 ? caps : moves;
            MoveRecord m = pool[rng() % pool.size()];

            std::int8_t before[6][6];
            std::memcpy(before, game->m_board, sizeof before);
            const bool capture = game->m_board[m.toX][m.toY] != EMPTY;
            game->m_history.push_back(m);
            ASSERT_TRUE(game->IsLegalMove());
            game->ApplyMove();
            EXPECT_EQ(game->m_history.back().captured, capture);
            (capture ? captures : steps)++;
            game->TakeBackMove();
            EXPECT_EQ(std::memcmp(before, game->m_board, sizeof before), 0);
            game->m_history.push_back(m);
            ASSERT_TRUE(game->IsLegalMove());
            game->ApplyMove();
            game->m_nMoveCount[side]++;
            if (game->CheckGameOver()) {
                ++finished;
                break;
            }
            game->m_nSide = 1 - side;
            standin::clearCalls();
        }
    }
    EXPECT_GT(steps, 1000);
    EXPECT_GT(captures, 100);
    EXPECT_GT(finished, 10);
}
