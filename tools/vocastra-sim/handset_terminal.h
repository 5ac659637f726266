// The virtual handset at the terminal: typed keys become the handset's input
// reports, the handset's LED, ring and contrast are shown as they change, and
// the handset can be unplugged and plugged in again. Key map: see
// HandsetKeyMapHelp() and the README.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vocastra {
class Application;
struct SimPlatform;
}  // namespace vocastra

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

// Runs until the user quits: plugs the handset in, lets it announce its
// start, then turns typed keys into reports. Returns the exit code.
int RunHandsetTerminal(SimPlatform& sim, Application& app);

}  // namespace vocastra::sim
