// The simulator's script language: one step per line, for reproducing what a
// person did and for regression tests. The syntax is published in the README;
// steps are only ever added, never renamed.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vocastra::sim {

struct Step {
    enum class Kind {
        Press,     // press KEY [MS]       press and release after MS (default 100)
        Down,      // down KEY             press and keep holding
        Up,        // up [KEY]             release
        Hook,      // hook up|down         lift or put down the handset
        Plug,      // plug                 connect the handset
        Unplug,    // unplug               disconnect the handset
        Notify,    // notify TEXT          a raw notification from the client
        Client,    // client ACTION [ARGS] ring p2p|pstn WHO [cancelled], answer, hangup, busy,
                   // refuse, giveup, exit, return, status WHO STATUS, displaynames on|off,
                   // countrypopup on|off
        Wait,      // wait MS              advance the clock
        Set,       // set NAME VALUE       change a setting in memory
        Display,   // display              print the handset display as text art
        Expect,    // expect TEXT          the trace so far contains TEXT (scripts as tests)
        Say,       // say TEXT             print a heading into the output
        Log,       // log on|off           the program's log lines in the trace
        Show,      // show NAME            a setting's current value
        Contacts,  // contacts             the program's contact list, in its order
        Led,       // led on|off           every LED write in the trace, the flasher's too
        Mixer,     // mixer                the handset's levels and mute states
    };
    Kind kind{};
    std::string key;  // Press/Down/Up: canonical key name
    int ms = 0;       // Press/Wait
    std::string
        text;  // Notify/Expect: the rest of the line; Hook: "up"/"down"; Log/Led: "on"/"off"
    std::vector<std::string> args;  // Client/Set/Show
    int line = 0;                   // 1-based source line
};

// The key names scripts and the keyboard map use, and their key codes.
struct KeyName {
    const char* name;
    int code;
};
const std::vector<KeyName>& KeyNames();
// Accepts the names above case-insensitively and a few aliases ("*", "#",
// "star", "sharp", "vol+", "vol-"); empty optional for anything else.
std::optional<int> KeyCodeFromName(const std::string& name);
std::string KeyNameFromCode(int code);

struct ParseResult {
    std::vector<Step> steps;
    std::vector<std::string> errors;  // "line N: what is wrong"
};
ParseResult ParseScript(const std::string& text);

}  // namespace vocastra::sim
