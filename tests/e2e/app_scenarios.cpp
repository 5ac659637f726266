// The program as a whole process: one instance only, the quit request from
// another process, the never-visible main window.
#include <string>
#include <vector>

#include "handset_server.h"
#include "harness.h"

namespace {

// Starts the installed exe and waits for its main window. A window left over
// by an earlier, aborted run would be found instead: refuse to go on then.
e2e::Process StartVocastra(const std::wstring& exe, HWND* window,
                           const std::vector<std::wstring>& env = {}) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr,
                  "a Vocastra window is already open (left over by an earlier run?)");
    const std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    e2e::Process p = e2e::Process::Start(exe, L"", dir, env);
    *window = e2e::WaitForMainWindow(p.Id(), 20000);
    E2E_CHECK_MSG(*window != nullptr, "the main window did not appear");
    return p;
}

// Ends the program the way another process may, and checks it ended cleanly.
void RequestQuit(const e2e::Context& ctx, e2e::Process& p) {
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"quit") == 0);
    E2E_CHECK_MSG(p.WaitExit(10000), "the program did not end after the quit request");
    E2E_CHECK_MSG(p.ExitCode() == 0, "exit code " << p.ExitCode());
}

std::wstring DirOf(const std::wstring& exe) {
    return exe.substr(0, exe.find_last_of(L'\\'));
}

}  // namespace

E2E_SCENARIO(second_instance_ends_at_once) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"second_instance");
    const std::wstring dir = DirOf(exe);
    // Both instances are offered the same handset.
    e2e::HandsetServer handset(L"vocastra-e2e-second-" + std::to_wstring(::GetCurrentProcessId()),
                               /*plugged=*/true);
    HWND first = nullptr;
    e2e::Process a = StartVocastra(
        exe, &first, {handset.EnvEntry(), L"VOCASTRA_LOG_FILE=" + e2e::Join(dir, L"first.log")});
    E2E_CHECK(e2e::WaitUntil([&] { return handset.Connected(); }, 20000));

    const std::wstring secondLog = e2e::Join(dir, L"second.log");
    e2e::Process b =
        e2e::Process::Start(exe, L"", dir, {handset.EnvEntry(), L"VOCASTRA_LOG_FILE=" + secondLog});
    E2E_CHECK_MSG(b.WaitExit(10000), "the second instance keeps running");
    E2E_CHECK_MSG(b.ExitCode() == 0, "second instance exit code " << b.ExitCode());
    // It did nothing at all: not a line logged (it would have tried the
    // handset the first one holds).
    E2E_CHECK_MSG(!e2e::FileExists(secondLog), "the second instance logged:\n"
                                                   << e2e::ReadFileBytes(secondLog));

    // The first one is untouched: same window, same handset link, still
    // running, still answering.
    E2E_CHECK(handset.Connected());
    E2E_CHECK(a.Running());
    E2E_CHECK(e2e::FindMainWindow() == first);
    DWORD_PTR result = 0;
    E2E_CHECK_MSG(::SendMessageTimeoutW(first, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result),
                  "the first instance does not answer");
    RequestQuit(ctx, a);
}

E2E_SCENARIO(quit_request_saves_settings_beside_exe) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"quit_request");
    const std::wstring ini = e2e::Join(DirOf(exe), L"Vocastra.ini");
    const std::wstring log = e2e::Join(DirOf(exe), L"vocastra.log");
    // A file a person has edited: a comment, a changed volume, a contrast
    // table of their own. The save must keep all of it.
    e2e::WriteFileBytes(ini,
                        "[SETTING]\r\n"
                        "; tuned by hand\r\n"
                        "VAL_AUDIO_OUT_VOLUME=17\r\n"
                        "[LCM]\r\n"
                        "VAL_CONTRAST_0A=150\r\n"
                        "[Mine]\r\n"
                        "note=keep me\r\n");
    HWND window = nullptr;
    e2e::Process p = StartVocastra(exe, &window, {L"VOCASTRA_LOG_FILE=" + log});
    RequestQuit(ctx, p);
    E2E_CHECK_MSG(e2e::ReadFileBytes(log).find("Received quit message\n") != std::string::npos,
                  "log:\n"
                      << e2e::ReadFileBytes(log));

    const std::string text = e2e::ReadFileBytes(ini);
    E2E_CHECK_MSG(text.find("VAL_LANGUAGE=0") != std::string::npos, "not saved:\n" << text);
    E2E_CHECK_MSG(text.find("VAL_RINGTONE_VOLUME=31") != std::string::npos, "not saved:\n" << text);
    E2E_CHECK_MSG(text.find("VAL_AUDIO_OUT_VOLUME=17") != std::string::npos, "volume not kept:\n"
                                                                                 << text);
    for (const char* kept : {"; tuned by hand", "[LCM]", "VAL_CONTRAST_0A=150", "note=keep me"})
        E2E_CHECK_MSG(text.find(kept) != std::string::npos, "lost \"" << kept << "\":\n" << text);
}

E2E_SCENARIO(main_window_never_visible) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"never_visible");
    HWND window = nullptr;
    e2e::Process p = StartVocastra(exe, &window);
    // Give the dialog manager's own show (when its queue first runs empty) a
    // chance to happen: a round trip through the window's thread.
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    E2E_CHECK_MSG(e2e::RunHelper(ctx.probeExe, L"visible") == 1, "visible after start");
    // Asked to show by another process: still hidden.
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"show") == 0);
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    E2E_CHECK_MSG(e2e::RunHelper(ctx.probeExe, L"visible") == 1, "visible after a show request");
    E2E_CHECK(!::IsWindowVisible(window));
    RequestQuit(ctx, p);
}
