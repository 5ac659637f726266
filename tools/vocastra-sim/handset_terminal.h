// The simulator's keyboard map for the handset: which typed key is which
// handset key (see the README).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vocastra::sim {

// What one typed key asks of the handset.
struct TerminalAction {
    enum class Kind { Key, LongNext, Plug, Quit, Help };
    Kind kind = Kind::Key;
    int keyCode = -1;  // Kind::Key: the program's key code (KEY_*)
};

// Maps the bytes of one key as the terminal sends it ("5", "\x1b[A", "\x1bOP")
// to an action; empty for unmapped keys.
std::optional<TerminalAction> MapTerminalKey(const std::string& bytes);

// Splits what one read of the terminal returned into keys (several may come
// at once when typed fast or pasted).
std::vector<std::string> SplitKeys(const std::string& bytes);

std::string HandsetKeyMapHelp();

}  // namespace vocastra::sim
