// The notification-area icon as the user sees it. Wine shows tray icons in a
// stand-alone tray window, one child window per icon; the scenario picks out
// the program's icon, reads its pixels off the screen in each state and keeps
// them as pictures (tray-*.bmp in the scenario's folder) to be looked at.
// Wine's tray paints a new icon over the old one without clearing it, so a
// picture can hold traces of the state before: the checks look for what the
// state adds, not for an exact image.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <set>
#include <string>

#include "client_control.h"
#include "handset_server.h"
#include "harness.h"
#include "screen.h"
#include "tray_icons.h"

namespace {

using e2e::Grab;
using e2e::NewTrayIcon;
using e2e::Picture;
using e2e::SaveBmp;
using e2e::ShownTip;
using e2e::TrayIcons;

}  // namespace

// No handset: the error icon. The handset starts but no client is there: the
// information icon. The client attaches: the program's own icon. The handset
// is unplugged: the error icon again. The shell drops its icons and makes a
// new taskbar: the icon comes back. On quit the icon goes away.
E2E_SCENARIO(tray_icon_shows_the_three_states) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    const std::wstring exe = e2e::PrepareInstall(ctx, L"tray_icon");
    const std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    const std::wstring log = e2e::Join(dir, L"vocastra.log");
    auto logText = [&] { return e2e::FileExists(log) ? e2e::ReadFileBytes(log) : std::string(); };

    // The client is there but signed out, so the program's discovery goes
    // unanswered until the client comes back.
    e2e::Process client = e2e::Process::Start(ctx.skypeSimExe, L"--attach success", dir);
    E2E_CHECK_MSG(e2e::WaitUntil([] { return e2e::ClientWindow(); }, 20000),
                  "the stand-in client's window did not appear");
    e2e::Control("quit");

    e2e::HandsetServer server(L"vocastra-e2e-tray-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    const std::set<HWND> before = TrayIcons();
    e2e::Process program =
        e2e::Process::Start(exe, L"", dir, {server.EnvEntry(), L"VOCASTRA_LOG_FILE=" + log});
    E2E_CHECK_MSG(e2e::WaitForMainWindow(program.Id(), 20000) != nullptr,
                  "the main window did not appear");

    HWND icon = nullptr;
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return (icon = NewTrayIcon(before)) != nullptr; }, 20000),
                  "no icon of the program's in the tray");

    // Each state is waited for until the screen shows it: the tray draws
    // after the program has set the icon.
    Picture noHandset;
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          noHandset = Grab(icon);
                          return noHandset.RedPixels() >= 20;
                      },
                      20000),
                  "the error icon was not shown without a handset; log:\n"
                      << logText());
    SaveBmp(noHandset, e2e::Join(dir, L"tray-1-no-handset.bmp"));

    E2E_CHECK(e2e::WaitUntil([&] { return server.Count("HANDSET <- CMD_CONNECT") > 0; }, 20000));
    server.handset().Start();
    Picture noClient;
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          noClient = Grab(icon);
                          return logText().find("MODE_UNCONNECTED 222") != std::string::npos &&
                                 !noClient.pixels.empty() && noClient.RedPixels() == 0;
                      },
                      20000),
                  "the information icon was not shown with the handset started; log:\n"
                      << logText());
    SaveBmp(noClient, e2e::Join(dir, L"tray-2-no-client.bmp"));

    e2e::Control("return");
    Picture ready;
    E2E_CHECK_MSG(
        e2e::WaitUntil(
            [&] {
                ready = Grab(icon);
                return logText().find("SKYPECONTROLAPI_ATTACH_SUCCESS") != std::string::npos &&
                       !ready.pixels.empty() && !(ready == noClient) && ready.RedPixels() == 0;
            },
            20000),
        "the program's own icon was not shown once attached; log:\n"
            << logText());
    SaveBmp(ready, e2e::Join(dir, L"tray-3-ready.bmp"));
    // The tip, as the mouse resting on the icon shows it.
    RECT r{};
    ::GetWindowRect(icon, &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    std::wstring tip;
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          tip = ShownTip();
                          return tip == L"Vocastra: handset ready";
                      },
                      20000),
                  "the tip \"" << e2e::Narrow(tip) << "\" is not the ready state's");
    ::SetCursorPos(r.right + 200, r.bottom + 200);

    server.Unplug();
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return Grab(icon).RedPixels() >= 20; }, 20000),
                  "unplugging the handset did not bring the error icon back; log:\n"
                      << logText());

    // The shell loses its icons (as when it restarts) and announces its new
    // taskbar: the icon comes back in the state it was in.
    HWND mainWindow = e2e::FindMainWindow();
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = mainWindow;
    nid.uID = 130;
    E2E_CHECK(::Shell_NotifyIconW(NIM_DELETE, &nid));
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return !::IsWindow(icon); }, 20000),
                  "the icon did not go when the shell dropped it");
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(mainWindow, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 5000, &result);
    HWND again = nullptr;
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          again = NewTrayIcon(before);
                          return again != nullptr && Grab(again).RedPixels() >= 20;
                      },
                      20000),
                  "the icon did not come back with the new taskbar");

    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"quit") == 0);
    E2E_CHECK_MSG(program.WaitExit(10000), "the program did not end after the quit request");
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return !::IsWindow(again); }, 20000),
                  "the icon stayed in the tray after the program ended");
}
