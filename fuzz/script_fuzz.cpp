// Fuzz target: the parser of `vocastra-sim --script` files. Nothing may
// crash; every step it accepts must be one the runner can carry out without
// looking past what it checked (a key it can map, the arguments it indexes),
// every step and error must name a line of the input, in order, and a
// script written back from the steps must parse to the same steps. Running
// the scripts on the whole program is script_run_fuzz.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script.h"

namespace {

using vocastra::sim::KeyCodeFromName;
using vocastra::sim::ParseResult;
using vocastra::sim::Step;

// A line of the input, in the parser's sense: a final line without a newline
// still counts, an empty tail after the last newline does not.
int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines + (!text.empty() && text.back() != '\n');
}

bool IsOnOff(const std::string& s) {
    return s == "on" || s == "off";
}

// What RunSteps relies on, step kind by step kind.
bool Runnable(const Step& s) {
    switch (s.kind) {
        case Step::Kind::Press:
        case Step::Kind::Down:
            return KeyCodeFromName(s.key).has_value() && s.ms >= 0;
        case Step::Kind::Up:
            return s.key.empty() || KeyCodeFromName(s.key).has_value();
        case Step::Kind::Hook:
            return s.text == "up" || s.text == "down";
        case Step::Kind::Notify:
        case Step::Kind::Expect:
        case Step::Kind::Say:
            return !s.text.empty();
        case Step::Kind::Client:
            if (s.args.empty())
                return false;
            if (s.args[0] == "ring")
                return s.args.size() >= 3 && (s.args[1] == "p2p" || s.args[1] == "pstn");
            if (s.args[0] == "countrypopup" || s.args[0] == "displaynames")
                return s.args.size() >= 2;
            return true;
        case Step::Kind::Wait:
            return s.ms >= 0;
        case Step::Kind::Set:
            return s.args.size() == 2;
        case Step::Kind::Show:
            return s.args.size() == 1;
        case Step::Kind::Log:
        case Step::Kind::Led:
            return IsOnOff(s.text);
        case Step::Kind::Plug:
        case Step::Kind::Unplug:
        case Step::Kind::Display:
        case Step::Kind::Contacts:
        case Step::Kind::Mixer:
            return true;
    }
    return false;
}

// The step as a person would write it. Lines end in CR LF: the parser takes
// one CR off a line, so a text that itself ends in CR keeps it.
std::string Written(const Step& s) {
    std::string l;
    switch (s.kind) {
        case Step::Kind::Press:
            l = "press " + s.key + " " + std::to_string(s.ms);
            break;
        case Step::Kind::Down:
            l = "down " + s.key;
            break;
        case Step::Kind::Up:
            l = s.key.empty() ? "up" : "up " + s.key;
            break;
        case Step::Kind::Hook:
            l = "hook " + s.text;
            break;
        case Step::Kind::Plug:
            l = "plug";
            break;
        case Step::Kind::Unplug:
            l = "unplug";
            break;
        case Step::Kind::Notify:
            l = "notify " + s.text;
            break;
        case Step::Kind::Expect:
            l = "expect " + s.text;
            break;
        case Step::Kind::Say:
            l = "say " + s.text;
            break;
        case Step::Kind::Client:
            l = "client";
            for (const auto& a : s.args)
                l += " " + a;
            break;
        case Step::Kind::Wait:
            l = "wait " + std::to_string(s.ms);
            break;
        case Step::Kind::Set:
            l = "set " + s.args[0] + " " + s.args[1];
            break;
        case Step::Kind::Display:
            l = "display";
            break;
        case Step::Kind::Log:
            l = "log " + s.text;
            break;
        case Step::Kind::Led:
            l = "led " + s.text;
            break;
        case Step::Kind::Show:
            l = "show " + s.args[0];
            break;
        case Step::Kind::Contacts:
            l = "contacts";
            break;
        case Step::Kind::Mixer:
            l = "mixer";
            break;
    }
    return l + "\r\n";
}

bool Same(const Step& a, const Step& b) {
    return a.kind == b.kind && a.key == b.key && a.ms == b.ms && a.text == b.text &&
           a.args == b.args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ParseResult parsed = vocastra::sim::ParseScript(text);
    const int lines = CountLines(text);
    int last = 0;
    for (const Step& s : parsed.steps) {
        if (s.line <= last || s.line > lines || !Runnable(s))
            __builtin_trap();
        last = s.line;
    }
    for (const std::string& e : parsed.errors) {
        // "line N: why", N a line of the input.
        if (e.rfind("line ", 0) != 0)
            __builtin_trap();
        const int n = std::atoi(e.c_str() + 5);
        if (n < 1 || n > lines)
            __builtin_trap();
    }
    std::string written;
    for (const Step& s : parsed.steps)
        written += Written(s);
    const ParseResult again = vocastra::sim::ParseScript(written);
    if (!again.errors.empty() || again.steps.size() != parsed.steps.size())
        __builtin_trap();
    for (std::size_t i = 0; i < again.steps.size(); ++i)
        if (!Same(again.steps[i], parsed.steps[i]) || again.steps[i].line != int(i) + 1)
            __builtin_trap();
    return 0;
}
