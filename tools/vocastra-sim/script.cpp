#include "script.h"

#include <cstdlib>
#include <sstream>

#include "app/text_util.h"
#include "device/key_codes.h"

namespace vocastra::sim {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// The text after the first `n` words, as written.
std::string RestAfter(const std::string& line, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n; ++i) {
        pos = line.find_first_not_of(" \t", pos);
        pos = line.find_first_of(" \t", pos);
        if (pos == std::string::npos)
            return {};
    }
    const auto start = line.find_first_not_of(" \t", pos);
    return start == std::string::npos ? std::string() : line.substr(start);
}

std::optional<int> ParseMs(const std::string& s) {
    if (s.empty() || s.size() > 9)
        return std::nullopt;
    for (char c : s)
        if (c < '0' || c > '9')
            return std::nullopt;
    return std::atoi(s.c_str());
}

}  // namespace

const std::vector<KeyName>& KeyNames() {
    static const std::vector<KeyName> names = {
        {"0", KEY_0},
        {"1", KEY_1},
        {"2", KEY_2},
        {"3", KEY_3},
        {"4", KEY_4},
        {"5", KEY_5},
        {"6", KEY_6},
        {"7", KEY_7},
        {"8", KEY_8},
        {"9", KEY_9},
        {"*", KEY_STAR},
        {"#", KEY_SHARP},
        {"hookup", KEY_HOOKUP},
        {"hookdown", KEY_HOOKDOWN},
        {"left", KEY_LEFT_FUNCTION},
        {"right", KEY_RIGHT_FUNCTION},
        {"hot1", KEY_HOTKEY_1},
        {"hot2", KEY_HOTKEY_2},
        {"hot3", KEY_HOTKEY_3},
        {"up", KEY_UP},
        {"down", KEY_DOWN},
        {"vol+", KEY_VOLUME_UP},
        {"vol-", KEY_VOLUME_DOWN},
        {"mute", KEY_MUTE},
        {"clear", KEY_CLEAR},
    };
    return names;
}

std::optional<int> KeyCodeFromName(const std::string& raw) {
    const std::string name = ToLowerAscii(raw);
    if (name == "star")
        return KEY_STAR;
    if (name == "sharp" || name == "hash")
        return KEY_SHARP;
    for (const auto& k : KeyNames())
        if (name == k.name)
            return k.code;
    return std::nullopt;
}

std::string KeyNameFromCode(int code) {
    for (const auto& k : KeyNames())
        if (code == k.code)
            return k.name;
    return "key" + std::to_string(code);
}

ParseResult ParseScript(const std::string& text) {
    ParseResult result;
    std::istringstream in(text);
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto w = Words(line);
        if (w.empty() || w[0][0] == '#')
            continue;
        auto fail = [&](const std::string& why) {
            result.errors.push_back("line " + std::to_string(lineNo) + ": " + why);
        };
        const std::string verb = ToLowerAscii(w[0]);
        Step s;
        s.line = lineNo;
        if (verb == "press" || verb == "down" || verb == "up") {
            s.kind = verb == "press"  ? Step::Kind::Press
                     : verb == "down" ? Step::Kind::Down
                                      : Step::Kind::Up;
            if (w.size() < 2 && s.kind != Step::Kind::Up) {
                fail(verb + " needs a key name");
                continue;
            }
            if (w.size() >= 2) {
                const auto code = KeyCodeFromName(w[1]);
                if (!code) {
                    fail("unknown key '" + w[1] + "'");
                    continue;
                }
                s.key = KeyNameFromCode(*code);
            }
            s.ms = 100;
            if (s.kind == Step::Kind::Press && w.size() >= 3) {
                const auto ms = ParseMs(w[2]);
                if (!ms) {
                    fail("'" + w[2] + "' is not a number of milliseconds");
                    continue;
                }
                s.ms = *ms;
            }
        } else if (verb == "hook") {
            s.kind = Step::Kind::Hook;
            s.text = w.size() >= 2 ? ToLowerAscii(w[1]) : "";
            if (s.text != "up" && s.text != "down") {
                fail("hook takes 'up' or 'down'");
                continue;
            }
        } else if (verb == "plug" || verb == "unplug") {
            s.kind = verb == "plug" ? Step::Kind::Plug : Step::Kind::Unplug;
        } else if (verb == "notify" || verb == "expect" || verb == "say") {
            s.kind = verb == "notify"   ? Step::Kind::Notify
                     : verb == "expect" ? Step::Kind::Expect
                                        : Step::Kind::Say;
            s.text = RestAfter(line, 1);
            if (s.text.empty()) {
                fail(verb + " needs a text");
                continue;
            }
        } else if (verb == "client") {
            s.kind = Step::Kind::Client;
            s.args.assign(w.begin() + 1, w.end());
            static const char* kActions[] = {"ring",   "answer",       "hangup",      "busy",
                                             "refuse", "exit",         "return",      "status",
                                             "giveup", "displaynames", "countrypopup"};
            bool known = false;
            for (const char* a : kActions)
                known = known || (!s.args.empty() && s.args[0] == a);
            if (!known) {
                fail(
                    "client takes ring, answer, hangup, busy, refuse, giveup, exit, return, "
                    "status, displaynames or countrypopup");
                continue;
            }
            if (s.args[0] == "ring" && (s.args.size() < 3 || s.args.size() > 4 ||
                                        (s.args[1] != "p2p" && s.args[1] != "pstn") ||
                                        (s.args.size() == 4 && s.args[3] != "cancelled"))) {
                fail("client ring takes p2p|pstn, who is calling, and optionally 'cancelled'");
                continue;
            }
            if (s.args[0] == "countrypopup" &&
                (s.args.size() != 2 || (s.args[1] != "on" && s.args[1] != "off"))) {
                fail("client countrypopup takes 'on' or 'off'");
                continue;
            }
            if (s.args[0] == "displaynames" &&
                (s.args.size() != 2 || (s.args[1] != "on" && s.args[1] != "off"))) {
                fail("client displaynames takes 'on' or 'off'");
                continue;
            }
        } else if (verb == "wait") {
            s.kind = Step::Kind::Wait;
            const auto ms = w.size() >= 2 ? ParseMs(w[1]) : std::nullopt;
            if (!ms) {
                fail("wait needs a number of milliseconds");
                continue;
            }
            s.ms = *ms;
        } else if (verb == "set") {
            s.kind = Step::Kind::Set;
            if (w.size() != 3) {
                fail("set takes a setting name and a value");
                continue;
            }
            s.args = {w[1], w[2]};
        } else if (verb == "display") {
            s.kind = Step::Kind::Display;
        } else if (verb == "log" || verb == "led") {
            s.kind = verb == "log" ? Step::Kind::Log : Step::Kind::Led;
            s.text = w.size() == 2 ? ToLowerAscii(w[1]) : "";
            if (s.text != "on" && s.text != "off") {
                fail(verb + " takes 'on' or 'off'");
                continue;
            }
        } else if (verb == "show") {
            s.kind = Step::Kind::Show;
            if (w.size() != 2) {
                fail("show takes a setting name");
                continue;
            }
            s.args = {w[1]};
        } else if (verb == "contacts") {
            s.kind = Step::Kind::Contacts;
        } else if (verb == "mixer") {
            s.kind = Step::Kind::Mixer;
        } else {
            fail("unknown step '" + w[0] + "'");
            continue;
        }
        result.steps.push_back(std::move(s));
    }
    return result;
}

}  // namespace vocastra::sim
