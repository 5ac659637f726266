#include "handset_terminal.h"

#include "display_view.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <mutex>

#include "app/application.h"
#include "app/messages.h"
#include "device/report_protocol.h"
#include "platform/sim/sim_platform.h"

namespace vocastra::sim {
namespace {

constexpr uint32_t kTapMs = 120;        // a typed key is held this long
constexpr uint32_t kLongHoldMs = 1500;  // past the 1300 ms long press
constexpr uint32_t kIdlePollMs = 1000;

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

// What the handset shows, from its trace lines (the trace sink runs inside
// the handset model, so the model itself is not asked).
struct Shown {
    bool plugged = false;
    bool led = false;
    bool ring = false;
    std::string contrast = "-";
};

void Apply(Shown& s, const std::string& line) {
    auto is = [&](const char* prefix) { return line.rfind(prefix, 0) == 0; };
    if (is("HANDSET <- CMD_LED_ON"))
        s.led = true;
    if (is("HANDSET <- CMD_LED_OFF"))
        s.led = false;
    if (is("HANDSET <- CMD_RING_STOP"))
        s.ring = false;
    else if (is("HANDSET <- CMD_RING"))
        s.ring = true;
    if (is("HANDSET <- CMD_SET_CONTRAST "))
        s.contrast = line.substr(28);
    if (line == "HANDSET plugged")
        s.plugged = true;
    if (line == "HANDSET unplugged")
        s.plugged = false, s.led = false, s.ring = false;
}

class RawTerminal {
  public:
    RawTerminal() {
        m_ok = ::tcgetattr(STDIN_FILENO, &m_saved) == 0;
        if (!m_ok)
            return;
        termios raw = m_saved;
        raw.c_lflag &= ~(ICANON | ECHO | ISIG);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    ~RawTerminal() {
        if (m_ok)
            ::tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
    }

  private:
    termios m_saved{};
    bool m_ok = false;
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

int RunHandsetTerminal(SimPlatform& sim, Application& app) {
    VirtualHandset& handset = sim.hidBus.handset();
    std::mutex outMutex;
    Shown shown;
    std::atomic<bool> displayChanged{false};
    auto statusLine = [&] {
        std::printf("\r\x1b[K[handset %s | LED %s | ring %s | contrast %s] ",
                    shown.plugged ? "plugged" : "unplugged", shown.led ? "ON " : "off",
                    shown.ring ? "yes" : "no", shown.contrast.c_str());
        std::fflush(stdout);
    };
    handset.SetTraceSink([&](const std::string& line) {
        std::lock_guard lock(outMutex);
        Apply(shown, line);
        // The flasher's toggles show in the status line only; display pages
        // are shown as the picture they make, once the batch is written.
        const bool led = line.rfind("HANDSET <- CMD_LED_", 0) == 0;
        if (line.rfind("HANDSET <- PAGE", 0) == 0)
            displayChanged = true;
        else if (!led)
            std::printf("\r\x1b[K%s\r\n", line.c_str());
        statusLine();
    });

    RawTerminal raw;
    std::printf("%s", HandsetKeyMapHelp().c_str());
    sim.hidBus.Plug();
    handset.Start();

    Clock& clock = sim.clock();
    bool longNext = false;
    bool holding = false;
    uint32_t releaseAt = 0;
    for (bool quit = false; !quit;) {
        const uint32_t now = clock.GetTickCount();
        uint32_t wait = std::min(sim.mainWindow.MsUntilNextTimer(), kIdlePollMs);
        if (holding) {
            const auto left = static_cast<int32_t>(releaseAt - now);
            wait = std::min<uint32_t>(wait, left > 0 ? static_cast<uint32_t>(left) : 0);
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, static_cast<int>(wait)) > 0) {
            char buf[16];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0)
                break;  // end of input
            for (const std::string& key :
                 SplitKeys(std::string(buf, static_cast<std::size_t>(n)))) {
                const auto action = MapTerminalKey(key);
                if (!action)
                    continue;
                switch (action->kind) {
                    case TerminalAction::Kind::Key: {
                        if (holding)
                            handset.Release();
                        const int scan = KeyToScan(app.g_Settings, action->keyCode);
                        if (scan < 0)
                            break;
                        handset.Press(scan);
                        holding = true;
                        releaseAt = clock.GetTickCount() + (longNext ? kLongHoldMs : kTapMs);
                        longNext = false;
                        break;
                    }
                    case TerminalAction::Kind::LongNext:
                        longNext = true;
                        break;
                    case TerminalAction::Kind::Plug:
                        holding = false;
                        if (sim.hidBus.IsPlugged()) {
                            sim.hidBus.Unplug();
                        } else {
                            sim.hidBus.Plug();
                            handset.Start();
                        }
                        break;
                    case TerminalAction::Kind::Quit:
                        quit = true;
                        break;
                    case TerminalAction::Kind::Help: {
                        std::lock_guard lock(outMutex);
                        std::printf("\r\x1b[K%s", HandsetKeyMapHelp().c_str());
                        statusLine();
                        break;
                    }
                }
            }
        }
        if (holding && static_cast<int32_t>(clock.GetTickCount() - releaseAt) >= 0) {
            handset.Release();
            holding = false;
        }
        sim.mainWindow.Pump();
        if (displayChanged.exchange(false)) {
            // The picture is taken before the output lock: the trace sink
            // holds that lock and is called by the handset.
            const std::string view = RenderHalfBlocks(
                handset.FrameText(), "mode " + std::to_string(app.modes.CurrentMode()));
            std::lock_guard lock(outMutex);
            std::printf("\r\x1b[K%s", view.c_str());
            statusLine();
        }
    }
    handset.SetTraceSink(nullptr);
    std::printf("\r\n");
    sim.mainWindow.Post(WM_QUIT_REQUEST, 0, 0);
    sim.mainWindow.Pump();
    return 0;
}

}  // namespace vocastra::sim
