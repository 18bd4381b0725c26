// Long-run resource check of the real Orbello.dll: many board rectangles with a repaint each,
// then many whole games on one object, then the object destroyed. The GDI objects and window
// DCs the module holds must stay the same from round to round and fall to none at the end,
// and the process's memory must stay flat.
//
// Wine's GetGuiResources always says 0, so the module's own GDI calls are counted instead:
// the library's import address table is patched to go through counting wrappers. Memory is
// read as the bytes in use on every heap of the process (a heap walk) and as the process's
// private bytes.
//
//   orbello_resources.exe [--cycles N] [--games N] [--sound-games N] [--objects N]
// The warm-up and the first --sound-games games (default 10) play their sounds; later ones
// answer the module's PlaySoundA without playing (the sounds are synchronous, so every game
// with sounds takes their whole length). Prints the figures; exit status 1 when a count
// moved or memory grew by more than the bound.
#include "host_support.h"
#include "message_box_closer.h"
#include "module_slots.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace orbello_host;

namespace {

// ---- counting the module's GDI and window-DC calls ------------------------------------

std::set<HGDIOBJ> liveObjects; // pens, fonts and bitmaps the module created
std::set<HDC> liveMemoryDCs;   // its memory DCs
int heldWindowDCs = 0;         // GetDC without ReleaseDC
long created = 0, deleted = 0, refusedDeletes = 0, soundsPlayed = 0, soundsSilent = 0;
bool playSounds = true;

void Created(HGDIOBJ h) {
    if (!h) return;
    liveObjects.insert(h);
    ++created;
}

HPEN WINAPI CountCreatePen(int style, int width, COLORREF color) {
    HPEN h = CreatePen(style, width, color);
    Created(h);
    return h;
}
HFONT WINAPI CountCreateFontA(int h, int w, int esc, int orient, int weight, DWORD italic,
                              DWORD underline, DWORD strike, DWORD charset, DWORD outPrec,
                              DWORD clipPrec, DWORD quality, DWORD pitch, LPCSTR face) {
    HFONT f = CreateFontA(h, w, esc, orient, weight, italic, underline, strike, charset, outPrec,
                          clipPrec, quality, pitch, face);
    Created(f);
    return f;
}
HANDLE WINAPI CountLoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    HANDLE h = LoadImageA(inst, name, type, cx, cy, flags);
    if (type == IMAGE_BITMAP) Created(static_cast<HGDIOBJ>(h));
    return h;
}
BOOL WINAPI CountDeleteObject(HGDIOBJ h) {
    BOOL ok = DeleteObject(h);
    if (liveObjects.count(h)) {
        if (ok) {
            liveObjects.erase(h);
            ++deleted;
        } else {
            ++refusedDeletes; // e.g. still selected into a DC
        }
    }
    return ok;
}
HDC WINAPI CountCreateCompatibleDC(HDC model) {
    HDC h = CreateCompatibleDC(model);
    if (h) {
        liveMemoryDCs.insert(h);
        ++created;
    }
    return h;
}
BOOL WINAPI CountDeleteDC(HDC h) {
    BOOL ok = DeleteDC(h);
    if (ok && liveMemoryDCs.erase(h)) ++deleted;
    return ok;
}
HDC WINAPI CountGetDC(HWND w) {
    HDC h = GetDC(w);
    if (h) ++heldWindowDCs;
    return h;
}
int WINAPI CountReleaseDC(HWND w, HDC h) {
    int ok = ReleaseDC(w, h);
    if (ok) --heldWindowDCs;
    return ok;
}
BOOL WINAPI CountPlaySoundA(LPCSTR name, HMODULE module, DWORD flags) {
    if (playSounds) {
        ++soundsPlayed;
        return PlaySoundA(name, module, flags);
    }
    ++soundsSilent;
    return TRUE;
}

struct Hook {
    const char* name;
    void* replacement;
};

// Points the library's import slots for the named functions at the wrappers; returns how
// many slots were patched.
int PatchImports(HMODULE module, const Hook* hooks, int count) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int patched = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (int i = 0; i < count; ++i) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), hooks[i].name))
                    continue;
                DWORD old;
                VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(hooks[i].replacement);
                VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
                ++patched;
            }
        }
    }
    return patched;
}

// ---- memory ----------------------------------------------------------------------------

// Bytes in busy blocks over every heap of the process.
long long HeapBytesInUse() {
    HANDLE heaps[256];
    DWORD n = GetProcessHeaps(256, heaps);
    long long total = 0;
    for (DWORD i = 0; i < n && i < 256; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY e = {};
        while (HeapWalk(heaps[i], &e))
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += e.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

long long PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                         sizeof pmc);
    // Wine leaves PrivateUsage at 0; the commit charge stands in for it there.
    return static_cast<long long>(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage);
}

struct Figures {
    long long gdi, heap, privateBytes;
    int windowDCs;
    DWORD guiGdi, guiUser;
};

Figures Measure() {
    Figures f;
    f.gdi = static_cast<long long>(liveObjects.size() + liveMemoryDCs.size());
    f.windowDCs = heldWindowDCs;
    f.heap = HeapBytesInUse();
    f.privateBytes = PrivateBytes();
    f.guiGdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    f.guiUser = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return f;
}

void Print(const char* when, const Figures& f) {
    std::printf("%-22s module GDI objects %3lld, window DCs held %d, heap bytes in use %10lld, "
                "private bytes %10lld, GetGuiResources GDI %lu USER %lu\n",
                when, f.gdi, f.windowDCs, f.heap, f.privateBytes,
                static_cast<unsigned long>(f.guiGdi), static_cast<unsigned long>(f.guiUser));
}

// ---- the host --------------------------------------------------------------------------

GameObject* current = nullptr;
HWND window = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        if (current) current->DrawBoard(hdc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == MSG_MOVE_TEXT || msg == MSG_GAME_OVER) return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Two whole games in default move text, every ply given as engine text: Black wins the first,
// White the second; both take pieces round the loops, so the animation runs too.
const char* const kGames[2][28] = {
    {"FBEC", "EEDD", "ECFD", "BECD", "FDDF", "FEED", "DFED", "CEBD", "EDDE", "FFEE",
     "DEDD", "BFCE", "DDCD", "EEFD", "DBFD", "BDAC", "DAAC", "CFBF", "CDCE", "AEBE",
     "CEEF", "AFAE", "EFBE", "AEAF", "BEBF", "AFBE", "BFBE", nullptr},
    {"EBEC", "EEFD", "ABBC", "FDFC", "DBEB", "FCDA", "CBCC", "DAEC", "CCBD", "DFBD",
     "EBDA", "ECDA", "EAEB", "DABC", "CADB", "BCDB", "BACB", "DBCB", "FBFC", "CBFC",
     "EBDA", "EFBB", "AABA", "FCDA", "BACB", "BBCB", "FAEB", "FEEB"},
};

// One game on the object; false when a ply is refused or the game does not end on its last.
bool PlayGame(GameObject& game, int which) {
    if (!game.NewGame()) return false;
    // A selection withdrawn first, as a user changing their mind would.
    POINT p = GridPixel(RECT{0, 0, 330, 330}, 0, 1);
    if (game.OnBoardClick(p.x, p.y) != 0 || game.CancelMove() != 1) return false;
    const char* const* plies = kGames[which];
    for (int i = 0; i < 28 && plies[i]; ++i) {
        char text[16], reply[16], other[16];
        std::snprintf(text, sizeof text, "move %s\n", plies[i]);
        const bool last = i == 27 || !plies[i + 1];
        if (game.ReceiveMove(text, reply, other) != (last ? 2 : 1)) {
            std::printf("game %d: ply %d (%s) refused\n", which, i + 1, plies[i]);
            return false;
        }
    }
    PumpMessages();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int cycles = 1000, games = 200, soundGames = 10, objects = 50;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--cycles" && i + 1 < argc)
            cycles = std::atoi(argv[++i]);
        else if (a == "--games" && i + 1 < argc)
            games = std::atoi(argv[++i]);
        else if (a == "--objects" && i + 1 < argc)
            objects = std::atoi(argv[++i]);
        else if (a == "--sound-games" && i + 1 < argc)
            soundGames = std::atoi(argv[++i]);
        else {
            std::printf("usage: %s [--cycles N] [--games N] [--sound-games N] [--objects N]\n",
                        argv[0]);
            return 2;
        }
    }
    setvbuf(stdout, nullptr, _IONBF, 0);

    ModuleLibrary library;
    std::string why;
    if (!library.Load("Orbello.dll", &why)) {
        std::printf("%s\n", why.c_str());
        return 1;
    }
    const Hook hooks[] = {
        {"CreatePen", reinterpret_cast<void*>(&CountCreatePen)},
        {"CreateFontA", reinterpret_cast<void*>(&CountCreateFontA)},
        {"LoadImageA", reinterpret_cast<void*>(&CountLoadImageA)},
        {"DeleteObject", reinterpret_cast<void*>(&CountDeleteObject)},
        {"CreateCompatibleDC", reinterpret_cast<void*>(&CountCreateCompatibleDC)},
        {"DeleteDC", reinterpret_cast<void*>(&CountDeleteDC)},
        {"GetDC", reinterpret_cast<void*>(&CountGetDC)},
        {"ReleaseDC", reinterpret_cast<void*>(&CountReleaseDC)},
        {"PlaySoundA", reinterpret_cast<void*>(&CountPlaySoundA)},
    };
    const int wanted = static_cast<int>(sizeof hooks / sizeof hooks[0]);
    const int patched = PatchImports(GetModuleHandleA("Orbello.dll"), hooks, wanted);
    if (patched != wanted) {
        std::printf("patched %d of %d imports of Orbello.dll\n", patched, wanted);
        return 1;
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrbelloResourceHost";
    RegisterClassA(&wc);
    window = CreateWindowA("OrbelloResourceHost", "Orbello resources", WS_OVERLAPPEDWINDOW, 0, 0,
                           480, 520, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PumpMessages();
    // A failing sound shows a message box; each is closed so nothing waits for a person.
    std::vector<MessageBoxSeen> boxes;
    auto closer = std::make_unique<MessageBoxCloser>(&boxes);
    const std::string data = ProgramDir() + "\\data";

    bool ok = true;
    auto expect = [&ok](bool cond, const char* what) {
        if (!cond) {
            std::printf("FAILED: %s\n", what);
            ok = false;
        }
    };

    // Objects created and destroyed one after another leave nothing behind.
    const Figures empty = Measure();
    for (int i = 0; i < objects; ++i) {
        GameObject game(library.init()(window, data.c_str()));
        if (!game.valid()) {
            expect(false, "InitModule returned an object");
            break;
        }
        game.SetBoardRect(0, 0, 330, 330);
    }
    expect(liveObjects.empty() && liveMemoryDCs.empty() && heldWindowDCs == 0,
           "objects created and destroyed leave no GDI object or DC behind");

    {
        GameObject game(library.init()(window, data.c_str()));
        current = &game;
        // One round of everything first: the system's own caches (fonts, sound driver) fill
        // on first use and must not count as growth.
        game.SetBoardRect(0, 0, 330, 330);
        expect(PlayGame(game, 0) && PlayGame(game, 1), "warm-up games");
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
        const Figures before = Measure();
        Print("before:", before);

        for (int i = 0; i < cycles; ++i) {
            const int w = 110 + (i * 37) % 360; // sizes from 110 to 469 pixels
            game.SetBoardRect(i % 5, i % 3, i % 5 + w, i % 3 + w + i % 2);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            if (static_cast<long long>(liveObjects.size() + liveMemoryDCs.size()) != before.gdi) {
                std::printf("cycle %d: %zu GDI objects held instead of %lld\n", i,
                            liveObjects.size() + liveMemoryDCs.size(), before.gdi);
                ok = false;
                break;
            }
            if (i % 64 == 0) PumpMessages();
        }
        game.SetBoardRect(0, 0, 330, 330);
        PumpMessages();
        const Figures afterCycles = Measure();
        Print("after rectangles:", afterCycles);

        for (int g = 0; g < games && ok; ++g) {
            playSounds = g < soundGames;
            expect(PlayGame(game, g % 2), "a whole game");
        }
        const Figures after = Measure();
        Print("after games:", after);
        std::printf("rectangle and repaint cycles %d, games %d, objects created and destroyed "
                    "%d, sounds played %ld, answered silently %ld, message boxes %d\n",
                    cycles, games, objects + 1, soundsPlayed, soundsSilent,
                    static_cast<int>(boxes.size()));

        expect(afterCycles.gdi == before.gdi && after.gdi == before.gdi,
               "the module's GDI objects stay the same in number");
        expect(after.windowDCs == 0, "no window DC held between calls");
        expect(refusedDeletes == 0, "every DeleteObject of the module's objects succeeded");
        // Generous bounds: the heap's own bookkeeping may shift a little; a leak per cycle or
        // per game would show as many times that.
        const long long heapGrowth = after.heap - before.heap;
        const long long privateGrowth = after.privateBytes - before.privateBytes;
        std::printf("growth: heap bytes in use %+lld, private bytes %+lld\n", heapGrowth,
                    privateGrowth);
        expect(heapGrowth < 256 * 1024, "heap bytes in use stay flat (less than 256 KiB)");
        expect(privateGrowth < 8 * 1024 * 1024, "private bytes stay flat (less than 8 MiB)");
        current = nullptr;
    }
    PumpMessages();
    const Figures destroyed = Measure();
    Print("after destruction:", destroyed);
    std::printf("GDI objects created by the module %ld, deleted %ld\n", created, deleted);
    expect(destroyed.gdi == 0 && destroyed.windowDCs == 0 && created == deleted,
           "destroying the object releases everything it created");
    expect(destroyed.heap - empty.heap < 256 * 1024, "heap back to where it was (within 256 KiB)");

    closer.reset();
    DestroyWindow(window);
    std::printf("%s\n", ok ? "resources: PASSED" : "resources: FAILED");
    return ok ? 0 : 1;
}
