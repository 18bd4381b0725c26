// Loads Orbello.dll and drives its game object through the binary contract alone: the two
// exported functions by name and the object's virtual table by slot index. Nothing here
// comes from the module's own headers, so a host built on this proves the slot layout.
#pragma once

#include <windows.h>

#include <string>

namespace orbello_host {

// Member functions of the object follow the Windows compiler's convention: thiscall on
// 32-bit x86, the one calling convention on x64.
#if defined(__i386__) || defined(_M_IX86)
#define ORBELLO_SLOTCALL __attribute__((thiscall))
#else
#define ORBELLO_SLOTCALL
#endif

enum Slot {
    SLOT_DESTROY = 0,
    SLOT_SET_BOARD_RECT = 1,
    SLOT_DRAW_BOARD = 2,
    SLOT_NEW_GAME = 3,
    SLOT_RECEIVE_MOVE = 4,
    SLOT_ON_BOARD_CLICK = 5,
    SLOT_FETCH_MOVE = 6,
    SLOT_CANCEL_MOVE = 7,
};

const UINT MSG_MOVE_TEXT = 0x1012;
const UINT MSG_GAME_OVER = 0x1013;

typedef void(__cdecl* CheckModuleFn)(char* typeTag, char* displayName, int* extraInfo);
typedef void*(__cdecl* InitModuleFn)(HWND hostWindow, const char* dataDir);

// The library and its two exports.
class ModuleLibrary {
  public:
    ModuleLibrary() = default;
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;
    ~ModuleLibrary() {
        if (dll_) FreeLibrary(dll_);
    }

    // Loads the library by name (the system search finds it beside the program); returns
    // false with a reason when the library or an export is missing.
    bool Load(const char* name, std::string* why) {
        dll_ = LoadLibraryA(name);
        if (!dll_) {
            *why = std::string("cannot load ") + name + " (error " +
                   std::to_string(GetLastError()) + ")";
            return false;
        }
        check_ = reinterpret_cast<CheckModuleFn>(
            reinterpret_cast<void*>(GetProcAddress(dll_, "CheckModule")));
        init_ = reinterpret_cast<InitModuleFn>(
            reinterpret_cast<void*>(GetProcAddress(dll_, "InitModule")));
        if (!check_ || !init_) {
            *why =
                std::string(name) + " lacks the export " + (check_ ? "InitModule" : "CheckModule");
            return false;
        }
        return true;
    }

    CheckModuleFn check() const { return check_; }
    InitModuleFn init() const { return init_; }

  private:
    HMODULE dll_ = nullptr;
    CheckModuleFn check_ = nullptr;
    InitModuleFn init_ = nullptr;
};

// One game object, called through its virtual table by slot index.
class GameObject {
  public:
    explicit GameObject(void* object) : object_(object) {}
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;
    ~GameObject() { Destroy(); }

    bool valid() const { return object_ != nullptr; }

    void SetBoardRect(int left, int top, int right, int bottom) {
        typedef void(ORBELLO_SLOTCALL * Fn)(void*, int, int, int, int);
        slot<Fn>(SLOT_SET_BOARD_RECT)(object_, left, top, right, bottom);
    }
    void DrawBoard(HDC hdc) {
        typedef void(ORBELLO_SLOTCALL * Fn)(void*, HDC);
        slot<Fn>(SLOT_DRAW_BOARD)(object_, hdc);
    }
    int NewGame() {
        typedef int(ORBELLO_SLOTCALL * Fn)(void*);
        return slot<Fn>(SLOT_NEW_GAME)(object_);
    }
    int ReceiveMove(const char* text, char* replyToSender, char* textToOpponent) {
        typedef int(ORBELLO_SLOTCALL * Fn)(void*, const char*, char*, char*);
        return slot<Fn>(SLOT_RECEIVE_MOVE)(object_, text, replyToSender, textToOpponent);
    }
    int OnBoardClick(int x, int y) {
        typedef int(ORBELLO_SLOTCALL * Fn)(void*, int, int);
        return slot<Fn>(SLOT_ON_BOARD_CLICK)(object_, x, y);
    }
    int FetchMove(char* out) {
        typedef int(ORBELLO_SLOTCALL * Fn)(void*, char*);
        return slot<Fn>(SLOT_FETCH_MOVE)(object_, out);
    }
    int CancelMove() {
        typedef int(ORBELLO_SLOTCALL * Fn)(void*);
        return slot<Fn>(SLOT_CANCEL_MOVE)(object_);
    }
    // The deleting destructor: flags bit 0 asks the module to free the object itself.
    void Destroy() {
        if (!object_) return;
        typedef void(ORBELLO_SLOTCALL * Fn)(void*, unsigned);
        slot<Fn>(SLOT_DESTROY)(object_, 1u);
        object_ = nullptr;
    }

  private:
    template <typename Fn> Fn slot(int index) const {
        void** vtbl = *static_cast<void***>(object_);
        return reinterpret_cast<Fn>(vtbl[index]);
    }

    void* object_;
};

// Pixel of grid point (x, y) for a board rectangle of width w: the module's layout.
inline POINT GridPixel(const RECT& board, int x, int y) {
    int w = board.right - board.left;
    POINT p = {board.left + (x + 3) * w / 11, board.top + (y + 3) * w / 11};
    return p;
}

} // namespace orbello_host
