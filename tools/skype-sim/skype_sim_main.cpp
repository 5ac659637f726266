// skype-sim.exe: a stand-in VoIP client for end-to-end runs under Wine. It
// speaks the desktop API over real window messages (answers the discovery
// with the attach message, takes commands by WM_COPYDATA and replies the same
// way); what it replies and its call model come from SimSkypeClient.
//
//   skype-sim.exe [--attach success|pending|refused|notavailable] [--log FILE]
//                 [--displaynames on|off] [--outgoing ring|answer|busy|refuse|fail]
//                 [--version V] [--dialpad accept|ignore] [--countrypopup on|off]
//                 [--callpopup on|off] [--docked on|off]
//   skype-sim.exe /uri:skype:TARGET?call
//
// --displaynames off: the sign-in names no contact's display name;
// --outgoing: what the far end of a call the program places does;
// --version: the SKYPEVERSION it reports; --dialpad, --countrypopup,
// --callpopup, --docked: how its windows react (see skype_sim_desk.h).
// Started with a call URI while another instance runs, it hands the URI to
// that one (logged as "URI skype:..." and dialled) and ends, as the client
// does when the shell opens it with a URI.
// Every received command is appended to FILE as one line, in order. A test
// drives it with WM_COPYDATA carrying kControlTag and one control line:
//   ring p2p HANDLE | ring pstn NUMBER (either with " cancelled": the caller
//   hangs up at once) | answer | hangup | giveup (the caller gives up: MISSED)
//   | dump-commands | exit
//   | quit (the client quits: every command fails, but the window stays so
//     it can come back) | return (the client is back and says API_AVAILABLE)
//   | form CLASS (opens a hidden top-level form of that window class, as the
//     client does for a call)
//   | notify TEXT (an unsolicited notification, e.g. "CONTACTS FOCUSED bob")
//   | dialpad accept|ignore | countrypopup on|off | callpopup on|off | docked on|off
//   | vanish CLASS (the client's windows of that class disappear)
// Its windows are the ones the program drives from outside: the main window
// (shown by "SET WINDOWSTATE NORMAL", hidden by "MINIMIZE") holds a
// TConversationsControl child, whose Alt+digit tab keys are logged to FILE as
// "WINDOW <- ALT+1"; forms log "WINDOW closed CLASS" when asked to close.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/sim/fake_clock.h"
#include "platform/sim/sim_skype_client.h"
#include "skype_sim_desk.h"

namespace {

using vocastra::SimSkypeClient;

constexpr wchar_t kClass[] = L"tSkMainForm";
constexpr ULONG_PTR kControlTag = 0x53494D43;  // "SIMC"
constexpr ULONG_PTR kUriTag = 0x53494D55;      // "SIMU": a URI a second start hands on
constexpr wchar_t kUriPrefix[] = L"/uri:";
constexpr UINT WM_APP_DELIVER = WM_APP + 1;
constexpr wchar_t kConversationsClass[] = L"TConversationsControl";
constexpr size_t kMaxFormClass = 64;
// Often enough that a call's DURATION goes out about every second.
constexpr UINT_PTR kDurationTimer = 1;
constexpr UINT kDurationPollMs = 250;

struct State {
    HWND self = nullptr;
    HWND program = nullptr;
    UINT attachMsg = 0;
    UINT discoverMsg = 0;
    std::wstring logPath;
    std::string lastCall;
    bool delivering = false;
    vocastra::SystemClock clock;
    SimSkypeClient client;
    skypesim::ClientDesk* desk = nullptr;
};
State* g = nullptr;

void AppendLog(const std::string& line) {
    if (g->logPath.empty())
        return;
    FILE* f = _wfopen(g->logPath.c_str(), L"ab");
    if (!f)
        return;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
    std::fclose(f);
}

// The tab control: Alt+digit selects the contacts (1) or the recent (2) tab.
LRESULT CALLBACK ConversationsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSKEYDOWN && (lParam & 0x20000000) && wParam >= '0' && wParam <= '9')
        AppendLog(std::string("WINDOW <- ALT+") + static_cast<char>(wParam));
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A form of the client's (a call window, a call-quality survey): it says when
// it is asked to close, then closes.
LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        wchar_t cls[kMaxFormClass + 1] = {};
        ::GetClassNameW(hwnd, cls, static_cast<int>(kMaxFormClass + 1));
        std::string narrow;
        for (const wchar_t* c = cls; *c; ++c)
            narrow += static_cast<char>(*c < 128 ? *c : '?');
        AppendLog("WINDOW closed " + narrow);
        ::DestroyWindow(hwnd);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void OpenForm(const std::string& className) {
    if (className.empty() || className.size() > kMaxFormClass)
        return;
    const std::wstring cls(className.begin(), className.end());
    WNDCLASSW wc{};
    if (!::GetClassInfoW(::GetModuleHandleW(nullptr), cls.c_str(), &wc)) {
        wc.lpfnWndProc = FormProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = cls.c_str();
        if (!::RegisterClassW(&wc))
            return;
    }
    ::CreateWindowW(cls.c_str(), L"form", WS_OVERLAPPEDWINDOW, 600, 400, 100, 100, nullptr, nullptr,
                    ::GetModuleHandleW(nullptr), nullptr);
}

// What the client's own window does with the window commands.
void FollowWindowCommand(const std::string& command) {
    if (command == "SET WINDOWSTATE NORMAL")
        ::ShowWindow(g->self, SW_SHOWNOACTIVATE);
    else if (command == "MINIMIZE")
        ::ShowWindow(g->self, SW_HIDE);  // to its tray, as the real one does
}

// Carries what SimSkypeClient hands to "the program" over the real wire.
class WireOut : public vocastra::SkypeWireListener {
  public:
    void OnAttachStatus(vocastra::SkypePeer, uint32_t status) override {
        if (g->program)
            ::SendMessageTimeoutW(g->program, g->attachMsg, reinterpret_cast<WPARAM>(g->self),
                                  static_cast<LPARAM>(status), SMTO_NORMAL, 5000, nullptr);
    }
    void OnCopyData(vocastra::SkypePeer, std::string_view text) override {
        if (!g->program)
            return;
        std::string z(text);
        COPYDATASTRUCT cds{};
        cds.cbData = static_cast<DWORD>(z.size() + 1);
        cds.lpData = z.data();
        DWORD_PTR res = 0;
        ::SendMessageTimeoutW(g->program, WM_COPYDATA, reinterpret_cast<WPARAM>(g->self),
                              reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &res);
    }
    void OnTimer(uint32_t) override {}
};
WireOut g_out;

// Delivery happens from the message loop, never inside a sent message: the
// program answers our texts with commands of its own while we wait.
void ScheduleDeliver() {
    ::PostMessageW(g->self, WM_APP_DELIVER, 0, 0);
}

// "ring p2p|pstn WHO [cancelled]".
void Ring(const std::string& rest, bool pstn) {
    const std::string suffix = " cancelled";
    const bool cancelled = rest.size() > suffix.size() &&
                           rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string who = cancelled ? rest.substr(0, rest.size() - suffix.size()) : rest;
    g->lastCall = g->client.IncomingCall(who, pstn, cancelled);
}

// "skype:TARGET?call", as the shell hands it on: the client calls TARGET.
void OpenUri(const std::string& uri) {
    AppendLog("URI " + uri);
    const std::string scheme = "skype:", action = "?call";
    if (uri.rfind(scheme, 0) != 0 || uri.size() <= scheme.size() + action.size() ||
        uri.compare(uri.size() - action.size(), action.size(), action) != 0)
        return;
    const std::string target =
        uri.substr(scheme.size(), uri.size() - scheme.size() - action.size());
    g->client.DialFromWindow(target);
    AppendLog("WINDOW call " + target);
    ScheduleDeliver();
}

void Control(const std::string& line) {
    if (line.rfind("ring p2p ", 0) == 0) {
        Ring(line.substr(9), false);
    } else if (line.rfind("ring pstn ", 0) == 0) {
        Ring(line.substr(10), true);
    } else if (line == "giveup" && !g->lastCall.empty()) {
        g->client.SetCallStatus(g->lastCall, "MISSED");
    } else if (line == "answer" && !g->lastCall.empty()) {
        g->client.SetCallStatus(g->lastCall, "INPROGRESS");
    } else if (line == "hangup" && !g->lastCall.empty()) {
        g->client.SetCallStatus(g->lastCall, "FINISHED");
    } else if (line == "dump-commands") {
        AppendLog("--- dump");
        for (const auto& c : g->client.Commands())
            AppendLog("  " + c);
    } else if (line.rfind("form ", 0) == 0) {
        OpenForm(line.substr(5));
    } else if (line.rfind("notify ", 0) == 0) {
        g->client.Notify(line.substr(7));
    } else if (g->desk && g->desk->Control(line)) {
    } else if (line == "quit") {
        g->client.Exit();
    } else if (line == "return") {
        g->client.Restart();
    } else if (line == "exit") {
        ::DestroyWindow(g->self);
        return;
    }
    ScheduleDeliver();
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g && msg != 0 && msg == g->discoverMsg) {
        g->program = reinterpret_cast<HWND>(wParam);
        g->client.BroadcastDiscover();
        ScheduleDeliver();
        return 0;
    }
    switch (msg) {
        case WM_COPYDATA: {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!cds || !cds->lpData)
                return FALSE;
            // Bounded by cbData, up to the first NUL.
            const char* p = static_cast<const char*>(cds->lpData);
            size_t n = std::min<size_t>(cds->cbData, vocastra::kSkypeMaxText);
            size_t len = 0;
            while (len < n && p[len] != '\0')
                ++len;
            std::string text(p, len);
            if (cds->dwData == kControlTag) {
                Control(text);
                return TRUE;
            }
            if (cds->dwData == kUriTag) {
                OpenUri(text);
                return TRUE;
            }
            if (reinterpret_cast<HWND>(wParam) != g->program)
                return FALSE;
            AppendLog(text);
            const bool ok = g->client.Send(g->client.Peer(), text);
            if (ok) {
                FollowWindowCommand(text);
                if (g->desk)
                    g->desk->OnCommand(text);
            }
            ScheduleDeliver();
            return ok ? TRUE : FALSE;
        }
        case WM_TIMER:
            if (wParam == kDurationTimer && g->client.MsUntilNextDuration() == 0)
                ScheduleDeliver();
            return 0;
        case WM_APP_DELIVER:
            if (!g->delivering) {
                g->delivering = true;
                g->client.Deliver();
                g->delivering = false;
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

namespace {

std::string Narrow(const std::wstring& w) {
    if (w.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr,
                                        0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                          nullptr);
    return s;
}

// A second start with a URI: the running client takes it. False when none runs.
bool HandUriOn(const std::string& uri) {
    const HWND running = ::FindWindowW(kClass, nullptr);
    if (!running)
        return false;
    std::string z = uri.substr(0, vocastra::kSkypeMaxText - 1);
    COPYDATASTRUCT cds{kUriTag, static_cast<DWORD>(z.size() + 1), z.data()};
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                 SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

bool OnOff(const std::wstring& val, bool& out) {
    if (val != L"on" && val != L"off")
        return false;
    out = val == L"on";
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The shell starts the client with the URI as its only argument.
    std::string uri;
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a.rfind(kUriPrefix, 0) == 0)
            uri = Narrow(a.substr(std::wcslen(kUriPrefix)));
        else
            args.push_back(a);
    }
    if (!uri.empty() && HandUriOn(uri))
        return 0;
    State state;
    g = &state;
    SimSkypeClient::AttachAnswer answer = SimSkypeClient::AttachAnswer::Success;
    SimSkypeClient::Outcome outgoing = SimSkypeClient::Outcome::KeepRinging;
    bool displayNames = true;
    std::string version;
    skypesim::DeskReactions reactions;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::wstring opt = args[i], val = args[i + 1];
        if (opt == L"--version" && !val.empty()) {
            version = Narrow(val);
        } else if (opt == L"--dialpad" && (val == L"accept" || val == L"ignore")) {
            reactions.acceptEnter = val == L"accept";
        } else if (opt == L"--countrypopup" && OnOff(val, reactions.countryPopupFirst)) {
        } else if (opt == L"--callpopup" && OnOff(val, reactions.callPopupOnClick)) {
        } else if (opt == L"--docked" && OnOff(val, reactions.docked)) {
        } else if (opt == L"--log") {
            state.logPath = val;
        } else if (opt == L"--attach") {
            if (val == L"pending")
                answer = SimSkypeClient::AttachAnswer::PendingThenSuccess;
            else if (val == L"refused")
                answer = SimSkypeClient::AttachAnswer::Refused;
            else if (val == L"notavailable")
                answer = SimSkypeClient::AttachAnswer::NotAvailableThenApiAvailable;
            else if (val != L"success") {
                std::fwprintf(stderr, L"skype-sim: unknown attach answer %ls\n", val.c_str());
                return 2;
            }
        } else if (opt == L"--displaynames" && (val == L"on" || val == L"off")) {
            displayNames = val == L"on";
        } else if (opt == L"--outgoing") {
            if (val == L"answer")
                outgoing = SimSkypeClient::Outcome::Answer;
            else if (val == L"busy")
                outgoing = SimSkypeClient::Outcome::Busy;
            else if (val == L"refuse")
                outgoing = SimSkypeClient::Outcome::Refuse;
            else if (val == L"fail")
                outgoing = SimSkypeClient::Outcome::Fail;
            else if (val != L"ring") {
                std::fwprintf(stderr, L"skype-sim: unknown outgoing outcome %ls\n", val.c_str());
                return 2;
            }
        } else {
            std::fwprintf(stderr, L"skype-sim: unknown option %ls\n", opt.c_str());
            return 2;
        }
    }
    state.attachMsg = ::RegisterWindowMessageW(L"SkypeControlAPIAttach");
    state.discoverMsg = ::RegisterWindowMessageW(L"SkypeControlAPIDiscover");
    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    if (!::RegisterClassW(&wc))
        return 1;
    // A top-level (hidden) window: the discovery is broadcast to those only.
    // Placed away from the corner where Wine's tray window sits.
    state.self = ::CreateWindowW(kClass, L"skype-sim", WS_OVERLAPPEDWINDOW, 600, 400, 160, 120,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    if (!state.self)
        return 1;
    WNDCLASSW conv{};
    conv.lpfnWndProc = ConversationsProc;
    conv.hInstance = wc.hInstance;
    conv.lpszClassName = kConversationsClass;
    if (!::RegisterClassW(&conv) ||
        !::CreateWindowW(kConversationsClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 60, state.self,
                         nullptr, wc.hInstance, nullptr))
        return 1;
    skypesim::ClientDesk desk(state.client, AppendLog, ScheduleDeliver);
    if (!desk.Register(wc.hInstance))
        return 1;
    desk.Reactions() = reactions;
    desk.SetMainWindow(state.self);
    state.desk = &desk;
    state.client.LoadDefaultSession();
    if (!version.empty())
        state.client.SetVersion(version);
    state.client.SetAttachAnswer(answer);
    state.client.SetOutgoingOutcome(outgoing);
    state.client.SetSignInDisplayNames(displayNames);
    state.client.SetClock(&state.clock);
    ::SetTimer(state.self, kDurationTimer, kDurationPollMs, nullptr);
    state.client.Create(g_out);
    if (!uri.empty())
        OpenUri(uri);  // no client was running: this one dials once it is up
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    state.client.Destroy();
    state.desk = nullptr;
    g = nullptr;
    return 0;
}
