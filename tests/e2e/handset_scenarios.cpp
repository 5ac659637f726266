// The program with a handset: served on a pipe by the runner itself, and
// without one (the real HID class walk under Wine).
#include <string>

#include "device/handset_device.h"
#include "device/usb_hid_device.h"
#include "handset_server.h"
#include "harness.h"
#include "platform/win32/win32_hid_bus.h"

namespace {

struct Running {
    e2e::Process process;
    HWND window = nullptr;
};

Running StartWith(const std::wstring& exe, const std::vector<std::wstring>& env) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr,
                  "a Vocastra window is already open (left over by an earlier run?)");
    const std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    Running r;
    r.process = e2e::Process::Start(exe, L"", dir, env);
    r.window = e2e::WaitForMainWindow(r.process.Id(), 20000);
    E2E_CHECK_MSG(r.window != nullptr, "the main window did not appear");
    return r;
}

void Quit(const e2e::Context& ctx, e2e::Process& p) {
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"quit") == 0);
    E2E_CHECK_MSG(p.WaitExit(10000), "the program did not end after the quit request");
}

std::wstring PipeName(const char* scenario) {
    return L"vocastra-e2e-" + e2e::WideFromUtf8(scenario) + L"-" +
           std::to_wstring(::GetCurrentProcessId());
}

// Waits until the handset has seen `line` at least `count` times.
void WaitFor(e2e::HandsetServer& server, const std::string& line, int count = 1) {
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return server.Count(line) >= count; }, 20000),
                  "the handset never saw \"" << line << "\" x" << count << "; it saw:\n"
                                             << server.TraceText());
}

// Start-up connects; the start report initialises; the default contrast
// level (1) is 162, 35, 37.
void ExpectInitialised(e2e::HandsetServer& server, int times) {
    server.handset().Start();
    WaitFor(server, "HANDSET <- CMD_DEVICE_INIT 80 4 0", times);
    WaitFor(server, "HANDSET <- CMD_SET_CONTRAST 162 35 37", times);
}

}  // namespace

E2E_SCENARIO(handset_connects_and_initialises) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"handset_connects");
    e2e::HandsetServer server(PipeName("connect"), /*plugged=*/true);
    Running r = StartWith(exe, {server.EnvEntry()});
    WaitFor(server, "HANDSET <- CMD_CONNECT");
    ExpectInitialised(server, 1);
    // A second start report while connected initialises nothing more.
    server.handset().Start();
    server.handset().Press(8);  // a key after it proves the report was read
    server.handset().Release();
    E2E_CHECK(e2e::WaitUntil([&] { return server.Count("HANDSET -> RELEASE") == 1; }, 5000));
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(r.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    E2E_CHECK_MSG(server.Count("HANDSET <- CMD_DEVICE_INIT 80 4 0") == 1,
                  "initialised twice:\n"
                      << server.TraceText());
    Quit(ctx, r.process);
}

E2E_SCENARIO(handset_replug_reconnects) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"handset_replug");
    e2e::HandsetServer server(PipeName("replug"), /*plugged=*/true);
    Running r = StartWith(exe, {server.EnvEntry()});
    WaitFor(server, "HANDSET <- CMD_CONNECT");
    ExpectInitialised(server, 1);

    server.Unplug();
    server.Plug();
    // Two arrivals (one per collection): the connect command after each reopen.
    WaitFor(server, "HANDSET <- CMD_CONNECT", 3);
    // The re-plugged handset starts afresh and is initialised again, contrast included.
    ExpectInitialised(server, 2);
    Quit(ctx, r.process);
}

E2E_SCENARIO(handset_plugged_in_after_start) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"handset_late");
    e2e::HandsetServer server(PipeName("late"), /*plugged=*/false);
    Running r = StartWith(exe, {server.EnvEntry()});
    E2E_CHECK(e2e::WaitUntil([&] { return server.Connected(); }, 20000));
    server.Plug();
    WaitFor(server, "HANDSET <- CMD_CONNECT");
    // Both interfaces of the handset arrive, and each arrival reopens the read
    // side: a start report sent between them is lost, as with a real handset.
    // The handset announces itself once the reconnecting has settled.
    std::size_t seen = 0;
    E2E_CHECK(e2e::WaitUntil(
        [&] {
            const std::size_t now = server.TraceText().size();
            const bool quiet = now == seen;
            seen = now;
            ::Sleep(300);
            return quiet;
        },
        20000));
    ExpectInitialised(server, 1);
    Quit(ctx, r.process);
}

E2E_SCENARIO(starts_without_handset) {
    const std::wstring exe = e2e::PrepareInstall(ctx, L"no_handset");
    Running r = StartWith(exe, {});
    DWORD_PTR result = 0;
    E2E_CHECK_MSG(::SendMessageTimeoutW(r.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result),
                  "the program does not answer without a handset");
    Quit(ctx, r.process);
}

// The real HID class walk in this Wine prefix: Wine's own mouse and keyboard
// are listed, and neither is taken for the handset.
E2E_SCENARIO(hid_walk_takes_no_wine_device_for_a_handset) {
    (void)ctx;
    auto bus = vocastra::win32::CreateSetupApiHidBus();
    const auto interfaces = bus->EnumerateInterfaces();
    std::string seen;
    for (const auto& i : interfaces) {
        char line[400];
        std::snprintf(line, sizeof line, "  %04x:%04x page %04x usage %04x %s\n", i.vendorId,
                      i.productId, i.usagePage, i.usage, i.path.c_str());
        seen += line;
    }
    std::printf("HID interfaces:\n%s", seen.c_str());
    vocastra::HidTransport transport(*bus, vocastra::kHandsetVendorId, vocastra::kHandsetProductId);
    E2E_CHECK_MSG(!transport.WriteDeviceFirst(), "a Wine device was taken for the output side:\n"
                                                     << seen);
    E2E_CHECK_MSG(!transport.ReadDeviceFirst(), "a Wine device was taken for the input side:\n"
                                                    << seen);
    E2E_CHECK(!transport.IsReadHandleValid() && !transport.IsWriteHandleValid());
}
