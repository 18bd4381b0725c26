// The native module: liborbello.so opened with dlopen. The stand-in inside it keeps one
// record of calls and one set of hooks per loaded copy, so every game object gets a copy of
// its own: games on several threads share nothing, and a game's record goes with it.
#include "module_game.h"

#include "child_process.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace orbello_module {

namespace fs = std::filesystem;

namespace {

enum Slot {
    SLOT_DESTROY = 0,
    SLOT_SET_BOARD_RECT = 1,
    SLOT_NEW_GAME = 3,
    SLOT_RECEIVE_MOVE = 4,
    SLOT_ON_BOARD_CLICK = 5,
    SLOT_FETCH_MOVE = 6,
    SLOT_CANCEL_MOVE = 7,
};

using InitModuleFn = void* (*)(void* hostWindow, const char* dataDir);

template <typename Fn> Fn slot(void* object, int index) {
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Fn>(table[index]);
}

} // namespace

ModulePaths default_module_paths() {
    std::string dir = dabtools::program_directory();
    return {dir + "/liborbello.so", dir + "/data"};
}

struct ModuleGame::Impl {
    void* library = nullptr;
    void* object = nullptr;
    ~Impl() {
        if (object) slot<void* (*)(void*, unsigned)>(object, SLOT_DESTROY)(object, 1u);
        if (library) dlclose(library);
    }
};

ModuleGame::ModuleGame() : impl_(new Impl) {}
ModuleGame::~ModuleGame() = default;

bool ModuleGame::open(const ModulePaths& paths, std::string& why) {
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "orbello-referee-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        why = "cannot make a folder for the module: " + std::string(std::strerror(errno));
        return false;
    }
    const fs::path copy = fs::path(pattern) / "liborbello.so";
    fs::copy_file(paths.library, copy, ec);
    if (!ec) impl_->library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* error = ec ? nullptr : dlerror();
    // Once open, the copy needs no name on disk.
    fs::remove_all(pattern, ec);
    if (!impl_->library) {
        why = "cannot load " + paths.library + (error ? std::string(": ") + error : "");
        return false;
    }
    auto init = reinterpret_cast<InitModuleFn>(dlsym(impl_->library, "InitModule"));
    if (!init || !dlsym(impl_->library, "CheckModule")) {
        why = paths.library + " lacks the export " + (init ? "CheckModule" : "InitModule");
        return false;
    }
    // Any non-null window: the stand-in only records what is sent to it.
    impl_->object = init(reinterpret_cast<void*>(0x6600), paths.data.c_str());
    if (!impl_->object) {
        why = "InitModule gave no game object";
        return false;
    }
    slot<void (*)(void*, int, int, int, int)>(impl_->object, SLOT_SET_BOARD_RECT)(impl_->object, 0,
                                                                                  0, 440, 440);
    return true;
}

int ModuleGame::receive(const std::string& text, std::string& reply, std::string& to_opponent) {
    char replyBuf[64] = {0}, opponentBuf[64] = {0};
    int r = slot<int (*)(void*, const char*, char*, char*)>(impl_->object, SLOT_RECEIVE_MOVE)(
        impl_->object, text.c_str(), replyBuf, opponentBuf);
    reply = replyBuf;
    to_opponent = opponentBuf;
    return r;
}

int ModuleGame::click(int x, int y) {
    return slot<int (*)(void*, int, int)>(impl_->object, SLOT_ON_BOARD_CLICK)(impl_->object, x, y);
}

int ModuleGame::fetch(std::string& out) {
    char buf[64] = {0};
    int r = slot<int (*)(void*, char*)>(impl_->object, SLOT_FETCH_MOVE)(impl_->object, buf);
    out = buf;
    return r;
}

int ModuleGame::cancel() {
    return slot<int (*)(void*)>(impl_->object, SLOT_CANCEL_MOVE)(impl_->object);
}

int ModuleGame::new_game() {
    return slot<int (*)(void*)>(impl_->object, SLOT_NEW_GAME)(impl_->object);
}

std::vector<std::string> ModuleGame::take_messages() {
    return {};
}

} // namespace orbello_module
