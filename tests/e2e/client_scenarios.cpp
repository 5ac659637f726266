// The program with the stand-in client (skype-sim.exe) as a real process:
// discovery, attach answers, the attach sequence and the keep-alive, all over
// real window messages.
#include <sstream>
#include <string>
#include <vector>

#include "client_control.h"
#include "handset_server.h"
#include "harness.h"

namespace {

struct Pair {
    std::wstring dir;
    std::wstring commands;  // what the client received, one per line
    std::wstring log;       // the program's log
    e2e::Process client;
    e2e::Process program;
};

using e2e::ClientWindow;
using e2e::Control;

// Starts the client (answering discoveries with `attach`), then the program.
void Start(const e2e::Context& ctx, const wchar_t* name, const wchar_t* attach, Pair& p,
           const std::vector<std::wstring>& extraEnv = {}) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    E2E_CHECK_MSG(ClientWindow() == nullptr, "a stand-in client is already running");
    const std::wstring exe = e2e::PrepareInstall(ctx, name);
    p.dir = exe.substr(0, exe.find_last_of(L'\\'));
    p.commands = e2e::Join(p.dir, L"client-commands.txt");
    p.log = e2e::Join(p.dir, L"vocastra.log");
    p.client = e2e::Process::Start(
        ctx.skypeSimExe, L"--attach " + std::wstring(attach) + L" --log " + e2e::Quote(p.commands),
        p.dir);
    E2E_CHECK_MSG(e2e::WaitUntil([] { return ClientWindow() != nullptr; }, 20000),
                  "the stand-in client's window did not appear");
    std::vector<std::wstring> env = {L"VOCASTRA_LOG_FILE=" + p.log};
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    p.program = e2e::Process::Start(exe, L"", p.dir, env);
    E2E_CHECK_MSG(e2e::WaitForMainWindow(p.program.Id(), 20000) != nullptr,
                  "the main window did not appear");
}

std::vector<std::string> Lines(const std::wstring& path) {
    std::vector<std::string> out;
    std::istringstream in(e2e::FileExists(path) ? e2e::ReadFileBytes(path) : std::string());
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

int CountLine(const std::wstring& path, const std::string& line) {
    int n = 0;
    for (const auto& l : Lines(path))
        n += l == line;
    return n;
}

bool LogHas(const Pair& p, const std::string& text) {
    return e2e::FileExists(p.log) && e2e::ReadFileBytes(p.log).find(text) != std::string::npos;
}

void ExpectAttachSequence(Pair& p) {
    const std::vector<std::string> expected{
        "GET UI_LANGUAGE",  "GET PROFILE PSTN_BALANCE",      "GET CURRENTUSERHANDLE",
        "GET SKYPEVERSION", "GET PREDICTIVE_DIALER_COUNTRY", "SET RINGTONE 1 STATUS OFF"};
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return CountLine(p.commands, expected.back()) > 0; }, 20000),
                  "the attach sequence never reached the client; it received:\n"
                      << (e2e::FileExists(p.commands) ? e2e::ReadFileBytes(p.commands) : "")
                      << "\nlog:\n"
                      << (e2e::FileExists(p.log) ? e2e::ReadFileBytes(p.log) : ""));
    // In order, as the client recorded them (other commands may fall between).
    size_t next = 0;
    for (const auto& line : Lines(p.commands))
        if (next < expected.size() && line == expected[next])
            ++next;
    E2E_CHECK_MSG(next == expected.size(), "out of order at \"" << expected[next] << "\":\n"
                                                                << e2e::ReadFileBytes(p.commands));
}

}  // namespace

E2E_SCENARIO(client_attach_sequence_in_order) {
    Pair p;
    Start(ctx, L"client_attach_sequence", L"success", p);
    ExpectAttachSequence(p);
    E2E_CHECK(LogHas(p, "SKYPECONTROLAPI_ATTACH_SUCCESS"));
    E2E_CHECK(p.client.Running());
}

E2E_SCENARIO(client_pending_then_success_attaches) {
    Pair p;
    Start(ctx, L"client_pending", L"pending", p);
    ExpectAttachSequence(p);
    E2E_CHECK(LogHas(p, "SKYPECONTROLAPI_ATTACH_PENDING_AUTHORIZATION"));
    E2E_CHECK(LogHas(p, "SKYPECONTROLAPI_ATTACH_SUCCESS"));
}

E2E_SCENARIO(client_signs_in_late_then_attaches) {
    Pair p;
    Start(ctx, L"client_not_available", L"notavailable", p);
    ExpectAttachSequence(p);
    E2E_CHECK(LogHas(p, "SKYPECONTROLAPI_ATTACH_NOT_AVAILABLE"));
    E2E_CHECK(LogHas(p, "SKYPECONTROLAPI_ATTACH_API_AVAILABLE"));
}

E2E_SCENARIO(client_keep_alive_ping) {
    Pair p;
    Start(ctx, L"client_ping", L"success", p);
    ExpectAttachSequence(p);
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return CountLine(p.commands, "PING") > 0; }, 20000),
                  "no keep-alive reached the client:\n"
                      << e2e::ReadFileBytes(p.commands));
}

E2E_SCENARIO(client_refuses_attach) {
    Pair p;
    Start(ctx, L"client_refused", L"refused", p);
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return LogHas(p, "SKYPECONTROLAPI_ATTACH_REFUSED"); }, 20000),
        "the refusal was not seen; log:\n"
            << (e2e::FileExists(p.log) ? e2e::ReadFileBytes(p.log) : ""));
    // Refused: the program sends nothing (the client would answer every
    // command with an error).
    E2E_CHECK_MSG(Lines(p.commands).empty(), "sent after a refusal:\n"
                                                 << e2e::ReadFileBytes(p.commands));
    E2E_CHECK(p.program.Running());
}

namespace {

int CountText(const std::wstring& path, const std::string& text) {
    int n = 0;
    for (const auto& l : Lines(path))
        n += l.find(text) != std::string::npos;
    return n;
}

// The program with a started handset and an attached client, once the
// replies to the sign-in commands have been processed.
void StartSignedIn(const e2e::Context& ctx, const wchar_t* name, e2e::HandsetServer& server,
                   Pair& p) {
    Start(ctx, name, L"success", p, {server.EnvEntry()});
    E2E_CHECK(e2e::WaitUntil([&] { return server.Count("HANDSET <- CMD_CONNECT") > 0; }, 20000));
    server.handset().Start();
    ExpectAttachSequence(p);
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          return LogHas(p, "USER echo123 FULLNAME") &&
                                 LogHas(p, "PSTN_BALANCE_CURRENCY EUR");
                      },
                      20000),
                  "sign-in never completed; log:\n"
                      << e2e::ReadFileBytes(p.log));
}

}  // namespace

// An incoming call rings the handset and flashes its LED (on and off in
// turn); lifting the handset answers the call and the LED stays on while it
// goes on; putting it down ends the call, and once the client says so the
// handset is back on its main screen.
E2E_SCENARIO(client_incoming_call_answered_by_hook) {
    e2e::HandsetServer server(L"vocastra-e2e-call-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Pair p;
    StartSignedIn(ctx, L"client_incoming_call", server, p);
    // The main screen with the user's name on its second line, then the
    // ringing screen: pictures of both are kept.
    std::string mainFrame;
    constexpr size_t kRow = 129;  // 128 dots and the line break
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          mainFrame = server.SettledFrame();
                          return mainFrame.size() == 64 * kRow &&
                                 mainFrame.find('#', 16 * kRow) < 32 * kRow;
                      },
                      20000),
                  "the main screen never showed the user's name:\n"
                      << server.handset().FrameText());
    e2e::HandsetServer::SaveFrame(mainFrame, e2e::Join(p.dir, L"handset-main.pbm"));
    const int pages = server.handset().PagesWritten();
    Control("ring p2p alice.w");
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          return server.Count("HANDSET <- CMD_RING") > 0 &&
                                 server.Count("HANDSET <- CMD_LED_ON") >= 2 &&
                                 server.Count("HANDSET <- CMD_LED_OFF") >= 2;
                      },
                      20000),
                  "the handset never rang with its LED flashing; it saw:\n"
                      << server.TraceText() << "\nlog:\n"
                      << e2e::ReadFileBytes(p.log));
    std::string ringingFrame;
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          if (server.handset().PagesWritten() == pages)
                              return false;
                          ringingFrame = server.SettledFrame();
                          return ringingFrame != mainFrame;
                      },
                      20000),
                  "the ringing screen never reached the handset");
    e2e::HandsetServer::SaveFrame(ringingFrame, e2e::Join(p.dir, L"handset-ringing.pbm"));
    server.handset().Press(1);  // the hook switch: lifted
    server.handset().Release();
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return CountLine(p.commands, "SET CALL 1000 STATUS INPROGRESS") > 0; },
                       20000),
        "the call was not answered; the client received:\n"
            << e2e::ReadFileBytes(p.commands) << "\nthe handset saw:\n"
            << server.TraceText());

    // Talking: the flashing stopped, the LED is steady on.
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          return LogHas(p, "SwitchMode:3") &&
                                 server.Count("HANDSET <- CMD_RING_STOP") > 0 &&
                                 server.handset().LedOn();
                      },
                      20000),
                  "the call did not go on with the LED on; the handset saw:\n"
                      << server.TraceText() << "\nlog:\n"
                      << e2e::ReadFileBytes(p.log));
    const int offs = server.Count("HANDSET <- CMD_LED_OFF");
    // The flasher toggles every 100 ms: a few of its periods without a change
    // show it stopped.
    E2E_CHECK_MSG(!e2e::WaitUntil(
                      [&] {
                          return server.Count("HANDSET <- CMD_LED_OFF") != offs ||
                                 !server.handset().LedOn();
                      },
                      400),
                  "the LED still flashes during the call:\n"
                      << server.TraceText());

    const int mainScreens = CountText(p.log, "SwitchMode:0");
    server.handset().HookDown();
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return CountLine(p.commands, "SET CALL 1000 STATUS FINISHED") > 0; },
                       20000),
        "putting the handset down did not end the call; the client received:\n"
            << e2e::ReadFileBytes(p.commands) << "\nthe handset saw:\n"
            << server.TraceText());
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          return CountText(p.log, "SwitchMode:0") > mainScreens &&
                                 !server.handset().LedOn() && !server.handset().Ringing();
                      },
                      20000),
                  "the handset did not go back to its main screen; log:\n"
                      << e2e::ReadFileBytes(p.log) << "\nthe handset saw:\n"
                      << server.TraceText());
    E2E_CHECK(p.program.Running());
}

// The client quits while attached: the next keep-alive fails and the program
// forgets the link; when the client comes back (API_AVAILABLE) the program
// attaches again and runs the whole sequence a second time.
E2E_SCENARIO(client_quits_and_returns) {
    Pair p;
    Start(ctx, L"client_quits_and_returns", L"success", p);
    ExpectAttachSequence(p);
    Control("quit");
    // Counted once the quit was taken (the client handles it and the
    // program's commands on one thread): a command sent just before it
    // succeeded and is no sign of anything; nor is a key the program typed
    // into the client's windows ("WINDOW ..." lines), which no command sends.
    const auto commandsSent = [&] {
        size_t n = 0;
        for (const auto& l : Lines(p.commands))
            n += l.rfind("WINDOW ", 0) != 0;
        return n;
    };
    const size_t before = commandsSent();
    // The first command that reaches the gone client fails, and the program
    // forgets it: the keep-alive, or any other command that happened to go first.
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return commandsSent() > before; }, 20000),
                  "no command reached the client after it quit:\n"
                      << e2e::ReadFileBytes(p.commands));
    Control("return");
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return CountLine(p.commands, "SET RINGTONE 1 STATUS OFF") >= 2; },
                       20000),
        "the program did not attach again; the client received:\n"
            << e2e::ReadFileBytes(p.commands) << "\nlog:\n"
            << e2e::ReadFileBytes(p.log));
    for (const char* c : {"GET UI_LANGUAGE", "GET PROFILE PSTN_BALANCE", "GET CURRENTUSERHANDLE",
                          "GET SKYPEVERSION", "GET PREDICTIVE_DIALER_COUNTRY"})
        E2E_CHECK_MSG(CountLine(p.commands, c) == 2, "\"" << c << "\" not sent twice:\n"
                                                          << e2e::ReadFileBytes(p.commands));
    E2E_CHECK(LogHas(p, "SKYPECONTROLAPI_ATTACH_API_AVAILABLE"));
    E2E_CHECK(p.program.Running());
    E2E_CHECK(p.client.Running());
}

// Where the API has no command, the program drives the client's windows from
// outside: the contacts tab by Alt+1 to the client's tab control at attach,
// the star key toggling the tabs (or showing a hidden client), and putting the
// handset down closing leftover call forms.
E2E_SCENARIO(client_windows_driven_from_the_handset) {
    e2e::HandsetServer server(L"vocastra-e2e-windows-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Pair p;
    StartSignedIn(ctx, L"client_windows", server, p);
    auto waitLine = [&](const std::string& line, int count) {
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return CountLine(p.commands, line) >= count; }, 20000),
                      "the client never saw \"" << line << "\" x" << count << "; it saw:\n"
                                                << e2e::ReadFileBytes(p.commands) << "\nlog:\n"
                                                << e2e::ReadFileBytes(p.log));
    };
    // Attached: the client is shown on its contacts tab.
    waitLine("WINDOW <- ALT+1", 1);
    E2E_CHECK(::IsWindowVisible(ClientWindow()));

    constexpr int kStarScan = 5;  // KEY_STAR in the default scan table
    server.handset().Press(kStarScan);
    server.handset().Release();
    waitLine("WINDOW <- ALT+2", 1);
    server.handset().Press(kStarScan);
    server.handset().Release();
    waitLine("WINDOW <- ALT+1", 2);

    Control("form TConversationForm");
    Control("form TCallQualityForm");
    const int shown = CountLine(p.commands, "SET WINDOWSTATE NORMAL");
    server.handset().Press(1);  // lifted: the client comes to the front
    server.handset().Release();
    waitLine("SET WINDOWSTATE NORMAL", shown + 1);
    server.handset().HookDown();
    waitLine("MINIMIZE", 1);
    waitLine("WINDOW closed TConversationForm", 1);
    waitLine("WINDOW closed TCallQualityForm", 1);
    E2E_CHECK_MSG(e2e::WaitUntil([] { return !::IsWindowVisible(ClientWindow()); }, 20000),
                  "the client's window is still shown after MINIMIZE");

    // A hidden client is brought back on its contacts tab.
    server.handset().Press(kStarScan);
    server.handset().Release();
    waitLine("WINDOW <- ALT+1", 3);
    E2E_CHECK(::IsWindowVisible(ClientWindow()));

    // A key held makes a long press while it is still down: the handset's
    // read thread sets the long-press timer on the main window, whose own
    // thread must arm it.
    E2E_CHECK(!LogHas(p, "LONG KEY PRESSED!"));
    server.handset().Press(kStarScan);
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return LogHas(p, "LONG KEY PRESSED!"); }, 20000),
                  "no long press while the key was held; log:\n"
                      << e2e::ReadFileBytes(p.log));
    server.handset().Release();
    E2E_CHECK(p.program.Running());
}
