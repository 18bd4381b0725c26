#include "binding/orbello.h"

#include "binding/exports.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The six characters from a base on are written into move text. A NUL would cut the text
// short and control characters or bytes above 126 would garble it for the engines, so a base
// that reaches any of them is replaced by the default.
std::int32_t PrintableBase(UINT value) {
    const std::int64_t base = static_cast<std::int32_t>(value);
    return base >= 32 && base + BOARD_SIZE - 1 <= 126 ? static_cast<std::int32_t>(base) : 65;
}

} // namespace

COrbello::COrbello(HWND hostWindow, const char* dataDir)
    : m_hInstance(g_hModuleInstance), m_hWnd(nullptr), m_szDataDir{}, m_rcBoard{0, 0, 0, 0},
      m_nBoardWidth(0), m_nMoveCount{0, 0}, m_nState(STATE_IDLE), m_nBaseX(65), m_nBaseY(65),
      m_nSide(BLACK), m_board{}, m_nAnimX(-1), m_nAnimY(-1), m_nAnimSide(2), m_hPenFrame(nullptr),
      m_hPenSmallLoop(nullptr), m_hPenLargeLoop(nullptr), m_hFont(nullptr), m_hdcMark(nullptr),
      m_hdcBlack(nullptr), m_hdcWhite(nullptr), m_nUnit(0), m_nPenWidth(0), m_nFontWidth(0),
      m_nFontHeight(0), m_nPieceSize(0), m_hbmBlack(nullptr), m_hbmWhite(nullptr),
      m_hbmMark(nullptr) {
    m_hWnd = hostWindow;
    // A null directory reads as the empty one; a longer one is cut, and BuildDataPath then
    // refuses every path built from it.
    if (dataDir) {
        std::strncpy(m_szDataDir, dataDir, PATH_BUFFER - 1);
        m_szDataDir[PATH_BUFFER - 1] = '\0';
    }

    char config[PATH_BUFFER];
    if (BuildDataPath(config, "\\Config.ini")) {
        m_nBaseX = PrintableBase(GetPrivateProfileIntA("COORDINATE", "X", 65, config));
        m_nBaseY = PrintableBase(GetPrivateProfileIntA("COORDINATE", "Y", 65, config));
    }

    HDC hdc = GetDC(m_hWnd);
    m_hdcBlack = CreateCompatibleDC(hdc);
    m_hdcWhite = CreateCompatibleDC(hdc);
    m_hdcMark = CreateCompatibleDC(hdc);
    // The memory DCs only needed it as a model; holding a window DC for the object's whole
    // life would leak one per game object.
    if (hdc) ReleaseDC(m_hWnd, hdc);

    NewGame();
}

COrbello::~COrbello() {
    if (m_hPenFrame) DeleteObject(m_hPenFrame);
    if (m_hPenSmallLoop) DeleteObject(m_hPenSmallLoop);
    if (m_hPenLargeLoop) DeleteObject(m_hPenLargeLoop);
    if (m_hFont) DeleteObject(m_hFont);
    // Deleting the DC releases its bitmap, which can then be deleted.
    if (m_hdcBlack) DeleteDC(m_hdcBlack);
    if (m_hbmBlack) DeleteObject(m_hbmBlack);
    if (m_hdcWhite) DeleteDC(m_hdcWhite);
    if (m_hbmWhite) DeleteObject(m_hbmWhite);
    if (m_hdcMark) DeleteDC(m_hdcMark);
    if (m_hbmMark) DeleteObject(m_hbmMark);
    // m_capturePath and m_history free themselves.
}

CChess* ORBELLO_THISCALL COrbello::DeletingDestructor(unsigned int flags) {
    this->COrbello::~COrbello(); // the one concrete class: no virtual call needed
    if (flags & 1u) ::operator delete(this);
    return this;
}

bool COrbello::BuildDataPath(char* path, const char* suffix) const {
    int n = std::snprintf(path, PATH_BUFFER, "%s%s", m_szDataDir, suffix);
    return n >= 0 && n < PATH_BUFFER;
}

void COrbello::SetInitialPosition() {
    orbello_rules::SetInitialPosition(m_board);
}

bool COrbello::IsLegalMove() {
    return orbello_rules::IsLegalMove(m_board, m_history.back(), &m_capturePath);
}

bool COrbello::FindCapturePath(int fromX, int fromY, int toX, int toY, int side) {
    return orbello_rules::FindCapturePath(m_board, fromX, fromY, toX, toY, side, &m_capturePath);
}

void COrbello::BuildCapturePath(const BoardPoint* loop, int startIndex, int endIndex,
                                bool forward) {
    orbello_rules::BuildCapturePath(loop, startIndex, endIndex, forward, m_capturePath);
}

void COrbello::ApplyMove() {
    MoveRecord r = m_history.back();
    m_history.pop_back();
    r.captured = orbello_rules::LiftMover(m_board, r);
    if (r.captured) {
        // The record is off the history and the captured piece still stands while the mover
        // travels.
        AnimateCapture();
        orbello_rules::LandMover(m_board, r);
        PlayMoveSound(SOUND_CAPTURE);
    } else {
        orbello_rules::LandMover(m_board, r);
        PlayMoveSound(SOUND_PLACE);
    }
    m_history.push_back(r);
    RequestRepaint();
}

void COrbello::TakeBackMove() {
    MoveRecord r = m_history.back();
    m_history.pop_back();
    orbello_rules::TakeBackMove(m_board, r);
}

bool COrbello::CheckGameOver() {
    const orbello_rules::PieceCount count = orbello_rules::CountPieces(m_board);
    if (count.black != 0 && count.white != 0) return false;
    WPARAM moves =
        static_cast<WPARAM>(m_nMoveCount[0]) * 65536u + static_cast<WPARAM>(m_nMoveCount[1]);
    PostMessageA(m_hWnd, MSG_GAME_OVER, moves, count.black == 0 ? 1 : 0);
    return true;
}
