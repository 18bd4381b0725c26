// Orbello.dll, loaded once for the whole match. Each game object gets a hidden window of its
// own on the thread that plays the game, so the module's messages and repaints go to that
// thread, and a hook on the thread closes any message box the module shows.
#include "module_game.h"

#include "child_process.h"
#include "message_box_closer.h"
#include "module_slots.h"

#include <memory>
#include <mutex>

namespace orbello_module {

using orbello_host::GameObject;
using orbello_host::MessageBoxCloser;
using orbello_host::MessageBoxSeen;
using orbello_host::ModuleLibrary;

namespace {

const char* const kWindowClass = "OrbelloRefereeBoard";

ModuleLibrary* shared_library(const std::string& path, std::string& why) {
    static std::mutex mutex;
    static ModuleLibrary* library = nullptr;
    static std::string failure;
    std::lock_guard<std::mutex> lock(mutex);
    if (!library && failure.empty()) {
        auto* l = new ModuleLibrary;
        if (l->Load(path.c_str(), &failure)) {
            library = l;
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = kWindowClass;
            RegisterClassA(&wc);
        } else {
            delete l;
        }
    }
    why = failure;
    return library;
}

void drain_messages(HWND window) {
    MSG m;
    while (PeekMessageA(&m, window, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

} // namespace

ModulePaths default_module_paths() {
    std::string dir = dabtools::program_directory();
    return {dir + "\\Orbello.dll", dir + "\\data"};
}

struct ModuleGame::Impl {
    HWND window = nullptr;
    std::unique_ptr<GameObject> object;
    std::vector<MessageBoxSeen> messages;
    std::unique_ptr<MessageBoxCloser> closer;
    ~Impl() {
        object.reset();
        if (window) {
            drain_messages(window);
            DestroyWindow(window);
        }
    }
};

ModuleGame::ModuleGame() : impl_(new Impl) {}
ModuleGame::~ModuleGame() = default;

bool ModuleGame::open(const ModulePaths& paths, std::string& why) {
    ModuleLibrary* library = shared_library(paths.library, why);
    if (!library) return false;
    impl_->window = CreateWindowExA(0, kWindowClass, "Orbello referee", WS_OVERLAPPEDWINDOW, 0, 0,
                                    480, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!impl_->window) {
        why = "cannot create a window (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    impl_->closer = std::make_unique<MessageBoxCloser>(&impl_->messages);
    impl_->object =
        std::make_unique<GameObject>(library->init()(impl_->window, paths.data.c_str()));
    if (!impl_->object->valid()) {
        why = "InitModule gave no game object";
        return false;
    }
    impl_->object->SetBoardRect(0, 0, 440, 440);
    return true;
}

int ModuleGame::receive(const std::string& text, std::string& reply, std::string& to_opponent) {
    char replyBuf[64] = {0}, opponentBuf[64] = {0};
    int r = impl_->object->ReceiveMove(text.c_str(), replyBuf, opponentBuf);
    drain_messages(impl_->window);
    reply = replyBuf;
    to_opponent = opponentBuf;
    return r;
}

int ModuleGame::click(int x, int y) {
    int r = impl_->object->OnBoardClick(x, y);
    drain_messages(impl_->window);
    return r;
}

int ModuleGame::fetch(std::string& out) {
    char buf[64] = {0};
    int r = impl_->object->FetchMove(buf);
    drain_messages(impl_->window);
    out = buf;
    return r;
}

int ModuleGame::cancel() {
    int r = impl_->object->CancelMove();
    drain_messages(impl_->window);
    return r;
}

int ModuleGame::new_game() {
    int r = impl_->object->NewGame();
    drain_messages(impl_->window);
    return r;
}

std::vector<std::string> ModuleGame::take_messages() {
    std::vector<std::string> out;
    for (const MessageBoxSeen& m : impl_->messages) out.push_back(m.text);
    impl_->messages.clear();
    return out;
}

} // namespace orbello_module
