// The interface the host knows: one virtual table of eight slots, called by index.
#ifndef ORBELLO_BINDING_CHESS_INTERFACE_H
#define ORBELLO_BINDING_CHESS_INTERFACE_H

#include <windows.h>

// The host's compiler passes `this` in ECX on 32-bit x86; elsewhere there is one convention.
#if defined(_WIN32) && defined(__i386__)
#define ORBELLO_THISCALL __thiscall
#else
#define ORBELLO_THISCALL
#endif

// Messages to the host window.
constexpr UINT MSG_MOVE_TEXT = 0x1012;
constexpr UINT MSG_GAME_OVER = 0x1013;

// A C++ virtual destructor would take two slots in GCC's table, where the host expects one
// deleting destructor in slot 0. So slot 0 is declared as an ordinary virtual function with
// that destructor's signature, and the destructor itself is protected and non-virtual: the
// only way to destroy an object is through slot 0.
class CChess {
  public:
    // Slot 0: runs the destructor, frees the memory when bit 0 of flags is set, returns this.
    virtual CChess* ORBELLO_THISCALL DeletingDestructor(unsigned int flags) = 0;
    virtual void ORBELLO_THISCALL SetBoardRect(int left, int top, int right, int bottom) = 0;
    virtual void ORBELLO_THISCALL DrawBoard(HDC hdc) = 0;
    virtual int ORBELLO_THISCALL NewGame() = 0;
    virtual int ORBELLO_THISCALL ReceiveMove(const char* text, char* replyToSender,
                                             char* textToOpponent) = 0;
    virtual int ORBELLO_THISCALL OnBoardClick(int x, int y) = 0;
    virtual int ORBELLO_THISCALL FetchMove(char* out) = 0;
    virtual int ORBELLO_THISCALL CancelMove() = 0;

  protected:
    CChess() = default;
    ~CChess() = default;
    CChess(const CChess&) = delete;
    CChess& operator=(const CChess&) = delete;
};

// Slot numbers, for callers that go through the table as the host does.
enum ChessSlot {
    SLOT_DESTRUCTOR = 0,
    SLOT_SET_BOARD_RECT = 1,
    SLOT_DRAW_BOARD = 2,
    SLOT_NEW_GAME = 3,
    SLOT_RECEIVE_MOVE = 4,
    SLOT_ON_BOARD_CLICK = 5,
    SLOT_FETCH_MOVE = 6,
    SLOT_CANCEL_MOVE = 7,
};

#endif
