#include "terminal_ui.h"

#include <chrono>
#include <clocale>
#include <csignal>
#include <deque>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/messages.h"
#include "app/text_util.h"
#include "app/tray_menu.h"
#include "handset_terminal.h"
#include "session.h"
#include "settings_view.h"

// Last: its key macros (KEY_UP, KEY_DOWN) clash with the handset's key names.
#include <ncurses.h>

namespace vocastra::sim {
namespace {

constexpr uint32_t kTapMs = 120;        // a typed key is held this long
constexpr uint32_t kLongHoldMs = 1500;  // past the long-press time
constexpr std::size_t kLogLines = 300;

volatile std::sig_atomic_t g_quit = 0;
void OnSignal(int) {
    g_quit = 1;
}

// Restores the terminal whatever way the front end is left.
struct Curses {
    Curses() {
        std::setlocale(LC_ALL, "");
        initscr();
        raw();  // Ctrl-C arrives as a key: the loop ends and the terminal is restored
        noecho();
        keypad(stdscr, TRUE);
        curs_set(0);
        timeout(50);
        set_escdelay(50);  // Escape closes menus without a second's wait
        if (has_colors()) {
            start_color();
            use_default_colors();
            init_pair(1, COLOR_GREEN, -1);
            init_pair(2, COLOR_YELLOW, -1);
            init_pair(3, COLOR_CYAN, -1);
        }
    }
    ~Curses() { endwin(); }
};

// ncurses key codes back to the bytes the handset key map knows.
std::string KeyBytes(int ch) {
    switch (ch) {
        case KEY_UP:
            return "\x1b[A";
        case KEY_DOWN:
            return "\x1b[B";
        case KEY_F(1):
            return "\x1bOP";
        case KEY_F(2):
            return "\x1bOQ";
        case KEY_F(3):
            return "\x1bOR";
        case KEY_BACKSPACE:
            return "\x7f";
        case KEY_DC:
            return "\x1b[3~";
        default:
            return ch >= 0 && ch < 256 ? std::string(1, static_cast<char>(ch)) : std::string();
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

void Put(int y, int x, const std::string& s, int width, attr_t attr = 0) {
    if (y < 0 || y >= LINES || x >= COLS || width <= 0)
        return;
    width = std::min(width, COLS - x);
    attron(attr);
    mvaddstr(y, x, CutCodePoints(s, static_cast<std::size_t>(width)).c_str());
    attroff(attr);
}

class TerminalUi {
  public:
    explicit TerminalUi(const std::string& dir) : m_session(dir) {
        m_session.SetTraceObserver([this](const std::string& line) {
            auto& log = line.rfind("CLIENT <- ", 0) == 0   ? m_commands
                        : line.rfind("CLIENT -> ", 0) == 0 ? m_notifications
                                                           : m_events;
            log.push_back(line.rfind("CLIENT ", 0) == 0 ? line.substr(10) : line);
            while (log.size() > kLogLines)
                log.pop_front();
        });
        const LocalTime now = SystemClock().GetLocalTime();
        m_session.SetLocalTime(now);
        // The tray menu and the settings sheet are modal, as on Windows:
        // each runs its own loop until it closes, the telephone going on.
        m_session.sim().popupMenu.SetChooser([this](const TrayMenuContent& menu) {
            TrayMenuView view(menu);
            int chosen = 0;
            RunModal([&] { return view.Lines(); },
                     [&](ViewInput in) {
                         const auto r = view.OnKey(in);
                         chosen = r.value_or(0);
                         return r.has_value();
                     });
            return chosen;
        });
        // The ring-tone page's Browse asks for a path typed in.
        m_session.sim().fileDialog.SetChooser([this](const FileOpenRequest& r) {
            std::string typed;
            bool ok = false;
            RunModal(
                [&] {
                    return std::vector<std::string>{
                        "Open a wave file (" + r.filterName + "), from " + r.initialFolder, "",
                        "path: " + typed + "_"};
                },
                [&](ViewInput in) {
                    if (in.key == ViewKey::Enter)
                        return ok = true;
                    if (in.key == ViewKey::Escape)
                        return true;
                    if (in.key == ViewKey::Space)
                        typed += ' ';
                    else if (in.key == ViewKey::Char && (in.ch == 127 || in.ch == 8))
                        typed = typed.substr(0, typed.empty() ? 0 : typed.size() - 1);
                    else if (in.key == ViewKey::Char && static_cast<unsigned char>(in.ch) >= 32)
                        typed += in.ch;
                    return false;
                },
                "type the path, Enter opens, Esc cancels");
            return ok && !typed.empty() ? std::optional<std::string>(typed) : std::nullopt;
        });
        m_session.sim().settingSheet.SetUser([this](SimSettingSheet& sheet) {
            SheetView view;
            RunModal([&] { return view.Lines(sheet); },
                     [&](ViewInput in) {
                         if (in.key == ViewKey::Char && in.ch == 'o')
                             RightClickTray();
                         else
                             view.OnKey(sheet, in);
                         return !sheet.IsOpen();
                     },
                     SheetView::KeyHelp());
        });
    }

    int Run() {
        Curses curses;
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGHUP, OnSignal);
        m_session.Start();
        m_t0 = std::chrono::steady_clock::now();
        m_tick0 = m_session.Now();
        while (!g_quit && !m_quit && !m_session.Ended()) {
            Draw();
            const int ch = getch();
            if (ch != ERR)
                OnKey(ch);
            KeepTime();
        }
        return 0;
    }

  private:
    void KeepTime() {
        const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - m_t0)
                              .count();
        m_session.AdvanceTo(m_tick0 + static_cast<uint32_t>(real));
    }

    void RightClickTray() {
        m_session.app().HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, kRButtonUp);
    }

    static ViewInput ViewKeyOf(int ch) {
        switch (ch) {
            case KEY_UP:
                return {ViewKey::Up};
            case KEY_DOWN:
                return {ViewKey::Down};
            case KEY_LEFT:
                return {ViewKey::Left};
            case KEY_RIGHT:
                return {ViewKey::Right};
            case KEY_ENTER:
            case '\n':
            case '\r':
                return {ViewKey::Enter};
            case 27:
                return {ViewKey::Escape};
            case '\t':
                return {ViewKey::Tab};
            case ' ':
                return {ViewKey::Space};
            case KEY_BACKSPACE:
                return {ViewKey::Char, 127};
            default:
                return {ViewKey::Char, static_cast<char>(ch)};
        }
    }

    // Shows `lines` over the telephone and hands each key to `onKey` until
    // it returns true (or the program or the front end ends).
    void RunModal(const std::function<std::vector<std::string>()>& lines,
                  const std::function<bool(ViewInput)>& onKey, const char* help = nullptr) {
        while (!g_quit && !m_quit && !m_session.Ended()) {
            Draw();
            const auto text = lines();
            int w = 62;  // over the handset's display
            for (const auto& l : text)
                w = std::max(w, static_cast<int>(CodePointCount(l)) + 4);
            const int h = static_cast<int>(text.size()) + 2, y = 2, x = 4;
            for (int r = 0; r < h && y + r < LINES; ++r)
                Put(y + r, x, std::string(static_cast<std::size_t>(w), ' '), w, A_REVERSE);
            for (std::size_t i = 0; i < text.size(); ++i)
                Put(y + 1 + static_cast<int>(i), x + 2, text[i], w - 4, A_REVERSE);
            if (help)
                Put(LINES - 1, 0, help, COLS, A_REVERSE);
            refresh();
            const int ch = getch();
            if (ch == 3 || ch == 4)  // Ctrl-C, Ctrl-D
                m_quit = true;
            else if (ch != ERR && ch != KEY_RESIZE && onKey(ViewKeyOf(ch)))
                return;
            KeepTime();
        }
    }

    void OnKey(int ch) {
        if (ch == KEY_RESIZE) {
            clear();
            return;
        }
        m_status.clear();
        const auto contacts = m_session.sim().skypeClient.Contacts();
        const std::string selected =
            contacts.empty() ? std::string() : contacts[m_selected % contacts.size()].handle;
        switch (ch) {  // the client's side: capitals
            case 'R':
                m_session.ClientRing(false, selected);
                return;
            case 'T':
                m_session.ClientRing(true, "+441632960123");
                return;
            case 'A':
                m_session.ClientAnswer();
                return;
            case 'H':
                m_session.ClientHangUp();
                return;
            case 'B':
                m_session.ClientBusy();
                return;
            case 'F':
                m_session.ClientRefuse();
                return;
            case 'E':
                m_session.ClientExit();
                return;
            case 'G':
                m_session.ClientReturn();
                return;
            case 'J':
                ++m_selected;
                return;
            case 'K':
                m_selected = m_selected == 0 ? contacts.size() - 1 : m_selected - 1;
                return;
            case 'S': {
                static const char* kCycle[] = {"ONLINE", "AWAY", "DND", "NA", "OFFLINE"};
                if (!contacts.empty()) {
                    const std::string& cur = contacts[m_selected % contacts.size()].onlineStatus;
                    std::size_t i = 0;
                    while (i < 5 && cur != kCycle[i])
                        ++i;
                    m_session.ClientSetStatus(selected, kCycle[(i + 1) % 5]);
                }
                return;
            }
            case 'C':
                if (!selected.empty())
                    m_session.ClientNotify("CONTACTS FOCUSED " + selected);
                return;
            case 'o':  // the tray icon: right click, and double click
                RightClickTray();
                return;
            case 'O':
                m_session.app().HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, kLButtonDblClk);
                return;
            default:
                break;
        }
        const auto action = MapTerminalKey(KeyBytes(ch));
        if (!action) {
            m_status = "that key does nothing here (? lists the keys)";
            return;
        }
        switch (action->kind) {
            case TerminalAction::Kind::Key:
                m_session.PressKey(action->keyCode, m_longNext ? kLongHoldMs : kTapMs);
                m_longNext = false;
                break;
            case TerminalAction::Kind::LongNext:
                m_longNext = true;
                m_status = "the next key is held (long press)";
                break;
            case TerminalAction::Kind::Plug:
                if (m_session.Plugged())
                    m_session.Unplug();
                else
                    m_session.Plug();
                break;
            case TerminalAction::Kind::Quit:
                m_quit = true;
                break;
            case TerminalAction::Kind::Help:
                m_status = "every key is listed on the left";
                break;
        }
    }

    void Box(int y, int x, int h, int w, const std::string& title) {
        if (y >= LINES || x >= COLS)
            return;
        const int hh = std::min(h, LINES - y), ww = std::min(w, COLS - x);
        for (int i = 1; i < ww - 1; ++i) {
            mvaddch(y, x + i, ACS_HLINE);
            if (hh == h)
                mvaddch(y + h - 1, x + i, ACS_HLINE);
        }
        for (int j = 1; j < hh - 1; ++j) {
            mvaddch(y + j, x, ACS_VLINE);
            if (ww == w)
                mvaddch(y + j, x + w - 1, ACS_VLINE);
        }
        mvaddch(y, x, ACS_ULCORNER);
        if (ww == w)
            mvaddch(y, x + w - 1, ACS_URCORNER);
        if (hh == h) {
            mvaddch(y + h - 1, x, ACS_LLCORNER);
            if (ww == w)
                mvaddch(y + h - 1, x + w - 1, ACS_LRCORNER);
        }
        Put(y, x + 2, " " + title + " ", w - 4, A_BOLD);
    }

    void Draw() {
        erase();
        const bool tall = LINES >= 52;
        const auto art = Lines(tall ? m_session.DisplayArt() : m_session.DisplayArtBraille());
        const int dispH = static_cast<int>(art.size()) + 2;
        Box(0, 0, dispH, 66, "handset display");
        for (std::size_t i = 0; i < art.size(); ++i)
            Put(1 + static_cast<int>(i), 1, art[i], 64);

        int y = dispH;
        const int period = m_session.LedFlashPeriod();
        const bool ledOn = m_session.LedOn();
        std::string led = period > 0 ? "flashing every " + std::to_string(period) + " ms"
                                     : (ledOn ? "on" : "off");
        Put(y, 1, "LED ", 4);
        Put(y, 5, ledOn ? "(*)" : "( )", 3, ledOn ? COLOR_PAIR(1) | A_BOLD : 0);
        Put(y, 9, led, 30);
        Put(y + 1, 1,
            "mode " + ModeName(m_session.app().modes.CurrentMode()) + "   handset " +
                (m_session.Plugged() ? "plugged" : "unplugged"),
            64);
        const std::string tone = m_session.PlayingTone();
        Put(y + 2, 1, "earpiece " + (tone.empty() ? std::string("silent") : "plays " + tone), 64,
            tone.empty() ? 0 : COLOR_PAIR(1) | A_BOLD);
        Put(y + 3, 1, m_session.MixerLine().substr(6), 66);
        y += 2;
        ++y;
        ++y;
        static const char* kHandsetHelp[] = {
            "handset: 0-9 * #  keypad    u / d  lift / put down the handset",
            "         [ / ]  left / right soft key   z x c (F1-F3)  hot keys",
            "         w / s (arrows)  up / down   + / -  volume   m  mute",
            "         Backspace  clear   l  hold the next key (long press)",
            "         p  unplug / plug the handset   q (Ctrl-C)  quit",
        };
        for (const char* l : kHandsetHelp)
            Put(++y, 1, l, 66, COLOR_PAIR(3));
        y += 1;
        Put(++y, 1, "client: R ring from selected contact  T ring from a telephone", 66,
            COLOR_PAIR(2));
        Put(++y, 1, "        A far end answers  H far end hangs up  B busy  F refuses", 66,
            COLOR_PAIR(2));
        Put(++y, 1, "        J/K select contact  S change its status  C focus it", 66,
            COLOR_PAIR(2));
        Put(++y, 1, "        E client exits  G client comes back", 66, COLOR_PAIR(2));
        Put(++y, 1, "tray:   o menu (language, settings, exit)  O settings", 66);
        Put(++y, 1, "        tip: " + m_session.sim().trayIcon.Tip(), 66);
        DrawProgramLog(y + 2, LINES - 1 - (y + 2));
        if (!m_status.empty())
            Put(LINES - 1, 0, m_status, COLS, A_REVERSE);

        DrawClient(68);
        refresh();
    }

    void DrawClient(int x) {
        if (COLS <= x + 20)
            return;
        const int w = COLS - x;
        SimSkypeClient& c = m_session.sim().skypeClient;
        int y = 0;
        Box(y, x, 3, w, "client");
        Put(1, x + 2,
            "user " + c.UserHandle() + " (" + c.UserFullName() + ")   " +
                (c.IsRunning() ? (m_session.app().skype.IsAttached() ? "attached" : "not attached")
                               : "not running"),
            w - 4);
        y = 3;
        const auto contacts = c.Contacts();
        Box(y, x, static_cast<int>(contacts.size()) + 2, w, "contacts");
        for (std::size_t i = 0; i < contacts.size(); ++i) {
            const auto& k = contacts[i];
            const bool sel = !contacts.empty() && i == m_selected % contacts.size();
            const std::string name = k.fullName.empty() ? k.displayName : k.fullName;
            Put(y + 1 + static_cast<int>(i), x + 2,
                (sel ? "> " : "  ") + k.handle + "  " + name + "  [" + k.onlineStatus + "]", w - 4,
                sel ? A_BOLD : 0);
        }
        y += static_cast<int>(contacts.size()) + 2;
        const auto calls = c.Calls();
        Box(y, x, static_cast<int>(calls.size()) + 2, w, "calls");
        int i = 0;
        for (const auto& [id, call] : calls)
            Put(y + 1 + i++, x + 2,
                id + "  " + call.partnerHandle + "  " + call.type + "  " + call.status, w - 4);
        y += static_cast<int>(calls.size()) + 2;
        const int rest = LINES - 1 - y;
        if (rest < 6)
            return;
        const int h1 = rest / 2, h2 = rest - h1;
        DrawLog(y, x, h1, w, "commands the client received", m_commands);
        DrawLog(y + h1, x, h2, w, "notifications the client sent", m_notifications);
    }

    // The program's own log lines, newest at the bottom.
    void DrawProgramLog(int y, int h) {
        if (h < 3)
            return;
        const auto lines = m_session.sim().logSink.LastLines(static_cast<std::size_t>(h - 2));
        DrawLog(y, 0, h, 66, "program log", std::deque<std::string>(lines.begin(), lines.end()));
    }

    void DrawLog(int y, int x, int h, int w, const std::string& title,
                 const std::deque<std::string>& log) {
        Box(y, x, h, w, title);
        const int rows = h - 2;
        const int first = std::max(0, static_cast<int>(log.size()) - rows);
        for (int i = first, r = 0; i < static_cast<int>(log.size()); ++i, ++r)
            Put(y + 1 + r, x + 2, log[static_cast<std::size_t>(i)], w - 4);
    }

    Session m_session;
    std::deque<std::string> m_commands, m_notifications, m_events;
    std::string m_status;
    std::size_t m_selected = 0;
    bool m_longNext = false;
    bool m_quit = false;
    std::chrono::steady_clock::time_point m_t0;
    uint32_t m_tick0 = 0;
};

}  // namespace

int RunTerminalUi(const std::string& programDir) {
    TerminalUi ui(programDir);
    return ui.Run();
}

}  // namespace vocastra::sim
