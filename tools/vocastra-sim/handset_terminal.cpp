#include "handset_terminal.h"

#include <algorithm>
#include <cctype>

#include "device/key_codes.h"

namespace vocastra::sim {
namespace {

struct Mapping {
    const char* bytes;
    TerminalAction action;
};

TerminalAction Key(int code) {
    return {TerminalAction::Kind::Key, code};
}

const Mapping kMap[] = {
    {"*", Key(KEY_STAR)},
    {"#", Key(KEY_SHARP)},
    {"u", Key(KEY_HOOKUP)},
    {"d", Key(KEY_HOOKDOWN)},
    {"[", Key(KEY_LEFT_FUNCTION)},
    {"]", Key(KEY_RIGHT_FUNCTION)},
    {"\x1bOP", Key(KEY_HOTKEY_1)},  // F1..F3 (xterm)
    {"\x1bOQ", Key(KEY_HOTKEY_2)},
    {"\x1bOR", Key(KEY_HOTKEY_3)},
    {"\x1b[11~", Key(KEY_HOTKEY_1)},  // F1..F3 (linux console, rxvt)
    {"\x1b[12~", Key(KEY_HOTKEY_2)},
    {"\x1b[13~", Key(KEY_HOTKEY_3)},
    {"z", Key(KEY_HOTKEY_1)},
    {"x", Key(KEY_HOTKEY_2)},
    {"c", Key(KEY_HOTKEY_3)},
    {"\x1b[A", Key(KEY_UP)},
    {"\x1b[B", Key(KEY_DOWN)},
    {"w", Key(KEY_UP)},
    {"s", Key(KEY_DOWN)},
    {"+", Key(KEY_VOLUME_UP)},
    {"=", Key(KEY_VOLUME_UP)},
    {"-", Key(KEY_VOLUME_DOWN)},
    {"m", Key(KEY_MUTE)},
    {"\x7f", Key(KEY_CLEAR)},  // Backspace
    {"\x08", Key(KEY_CLEAR)},
    {"\x1b[3~", Key(KEY_CLEAR)},  // Delete
    {"l", {TerminalAction::Kind::LongNext, -1}},
    {"p", {TerminalAction::Kind::Plug, -1}},
    {"q", {TerminalAction::Kind::Quit, -1}},
    {"\x03", {TerminalAction::Kind::Quit, -1}},  // Ctrl-C
    {"\x04", {TerminalAction::Kind::Quit, -1}},  // Ctrl-D
    {"?", {TerminalAction::Kind::Help, -1}},
};

}  // namespace

std::vector<std::string> SplitKeys(const std::string& bytes) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t end = i + 1;
        // An escape sequence: ESC [ or ESC O, then up to its final letter or '~'.
        if (bytes[i] == '\x1b' && end < bytes.size() && (bytes[end] == '[' || bytes[end] == 'O')) {
            ++end;
            while (end < bytes.size() && !std::isalpha(static_cast<unsigned char>(bytes[end])) &&
                   bytes[end] != '~')
                ++end;
            end = std::min(end + 1, bytes.size());
        }
        keys.push_back(bytes.substr(i, end - i));
        i = end;
    }
    return keys;
}

std::optional<TerminalAction> MapTerminalKey(const std::string& bytes) {
    if (bytes.size() == 1 && bytes[0] >= '0' && bytes[0] <= '9')
        return Key(bytes[0] - '0');
    for (const auto& m : kMap)
        if (bytes == m.bytes)
            return m.action;
    return std::nullopt;
}

std::string HandsetKeyMapHelp() {
    return "keys: 0-9 * #  keypad      u / d  hook up / down     [ / ]  left / right soft key\n"
           "      F1-F3 (or z x c)  hot keys 1-3   arrows (or w s)  up / down\n"
           "      + / -  volume   m  mute   Backspace  clear   l  hold the next key (long press)\n"
           "      p  unplug / plug the handset   ?  this help   q  quit\n";
}

}  // namespace vocastra::sim
