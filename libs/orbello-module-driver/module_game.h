// One game object of the real Orbello module, driven through its exports and its virtual
// table by slot index, as the platform host drives it. Natively the module is the shared
// library built against the recording Win32 stand-in; on Windows it is Orbello.dll.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace orbello_module {

struct ModulePaths {
    std::string library; // liborbello.so or Orbello.dll
    std::string data;    // the module's data folder (Config.ini, pictures, sounds)
};

// Where the module and its data are by default: beside the running program.
ModulePaths default_module_paths();

class ModuleGame {
  public:
    ModuleGame();
    ~ModuleGame();
    ModuleGame(const ModuleGame&) = delete;
    ModuleGame& operator=(const ModuleGame&) = delete;

    // Loads the module (natively a private copy per game object, since the stand-in keeps
    // its record of calls in the library's own globals) and creates a game object in the
    // initial position. False with the reason on failure.
    bool open(const ModulePaths& paths, std::string& why);

    // The host's ReceiveMove: the result (0 no move in the text, -1 refused, 1 accepted,
    // 2 accepted and the game is over), the reply for the sender and the text for the other
    // side, as the module wrote them.
    int receive(const std::string& text, std::string& reply, std::string& to_opponent);

    // The host's OnBoardClick, FetchMove, CancelMove and NewGame; the board is 440 pixels
    // wide at the window's corner.
    int click(int x, int y);
    int fetch(std::string& out);
    int cancel();
    int new_game();

    // Texts of message boxes the module showed (and the referee closed), since the last call.
    std::vector<std::string> take_messages();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The characters of column 0 and row 0 in the module's move text (from its Config.ini), found
// by playing Black's step from (0, 1) to (0, 2) by clicks and reading the text FetchMove
// writes; the game is then started anew. False when the module does not write it.
bool learn_bases(ModuleGame& game, int& base_x, int& base_y);

// Whether the side to move has a legal move from one of the given points, asked of the
// module by clicks (select, target) each taken back at once.
bool has_legal_move(ModuleGame& game, const std::vector<std::pair<int, int>>& pieces);

} // namespace orbello_module
