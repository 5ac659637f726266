// The interactive front end: the handset as it looks (display, LED, keypad
// map) beside the stand-in client (user, contacts, calls, command and
// notification logs), on ncurses.
#pragma once
#include <string>

namespace vocastra::sim {

int RunTerminalUi(const std::string& programDir);

}  // namespace vocastra::sim
