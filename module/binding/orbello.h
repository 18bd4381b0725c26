// The game object: the one implementation of CChess.
#ifndef ORBELLO_BINDING_ORBELLO_H
#define ORBELLO_BINDING_ORBELLO_H

#include "binding/chess_interface.h"
#include "presentation/animation.h"
#include "presentation/sounds.h"
#include "rules/board.h"
#include "rules/rules.h"

#include <cstdint>
#include <deque>
#include <vector>

// Click states.
constexpr int STATE_IDLE = 0;
constexpr int STATE_SELECTED = 1;
constexpr int STATE_PENDING = -1;

// Every path built from the data directory fits this buffer; the directory keeps one less.
constexpr int PATH_BUFFER = 260;
// Status text sent with MSG_MOVE_TEXT: prefix, move text and NUL.
constexpr int STATUS_BUFFER = 50;

// The host sees only CChess. Fields and internal steps are public so that the native tests
// can set up positions and look at the state directly.
class COrbello : public CChess {
  public:
    COrbello(HWND hostWindow, const char* dataDir);

    CChess* ORBELLO_THISCALL DeletingDestructor(unsigned int flags) override;
    void ORBELLO_THISCALL SetBoardRect(int left, int top, int right, int bottom) override;
    void ORBELLO_THISCALL DrawBoard(HDC hdc) override;
    int ORBELLO_THISCALL NewGame() override;
    int ORBELLO_THISCALL ReceiveMove(const char* text, char* replyToSender,
                                     char* textToOpponent) override;
    int ORBELLO_THISCALL OnBoardClick(int x, int y) override;
    int ORBELLO_THISCALL FetchMove(char* out) override;
    int ORBELLO_THISCALL CancelMove() override;

    // Host interface.
    int ClickCell(int col, int row);
    void ReportMove(const char* moveText);

    // The rules core on this object's board, history and capture path.
    void SetInitialPosition();
    bool IsLegalMove();
    bool FindCapturePath(int fromX, int fromY, int toX, int toY, int side);
    void BuildCapturePath(const BoardPoint* loop, int startIndex, int endIndex, bool forward);
    void ApplyMove();
    void TakeBackMove();
    bool CheckGameOver();

    // Presentation.
    void LoadBitmaps();
    void RequestRepaint();
    bool PlayMoveSound(int kind);
    void BuildAnimationPath(std::vector<PixelPoint>& points);
    void AnimateCapture();

    // Writes the data directory followed by suffix into a PATH_BUFFER buffer; false when the
    // whole path does not fit (the buffer then holds a cut, NUL-terminated path).
    bool BuildDataPath(char* path, const char* suffix) const;

    HINSTANCE m_hInstance;
    HWND m_hWnd;
    char m_szDataDir[PATH_BUFFER];
    RECT m_rcBoard;
    std::int32_t m_nBoardWidth;
    std::int32_t m_nMoveCount[2];
    std::int32_t m_nState;
    std::int32_t m_nBaseX;
    std::int32_t m_nBaseY;
    std::int32_t m_nSide;
    std::int8_t m_board[BOARD_SIZE][BOARD_SIZE]; // [column][row]
    std::deque<MoveRecord> m_history;
    std::vector<BoardPoint> m_capturePath;
    std::int32_t m_nAnimX;
    std::int32_t m_nAnimY;
    std::int32_t m_nAnimSide;
    HPEN m_hPenFrame;
    HPEN m_hPenSmallLoop;
    HPEN m_hPenLargeLoop;
    HFONT m_hFont;
    HDC m_hdcMark;
    HDC m_hdcBlack;
    HDC m_hdcWhite;
    std::int32_t m_nUnit;
    std::int32_t m_nPenWidth;
    std::int32_t m_nFontWidth;
    std::int32_t m_nFontHeight;
    std::int32_t m_nPieceSize;
    // The bitmaps we loaded into the three memory DCs (null until one loads), kept so that
    // exactly those are deleted, never the DC's original one.
    HBITMAP m_hbmBlack;
    HBITMAP m_hbmWhite;
    HBITMAP m_hbmMark;

  private:
    ~COrbello();
};

#endif
