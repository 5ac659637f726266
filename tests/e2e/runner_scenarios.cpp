// The runner itself: what it starts sees the environment it was given, and
// nothing it started, nor anything those started, outlives it.
#include <windows.h>

#include <string>

#include "harness.h"

namespace {

int CountKeepers() {
    int n = 0;
    ::EnumWindows(
        [](HWND h, LPARAM count) -> BOOL {
            wchar_t title[64] = {};
            ::GetWindowTextW(h, title, 64);
            if (std::wstring(title) == L"e2e desktop keeper")
                ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace

E2E_SCENARIO(runner_gives_children_the_environment_asked_for) {
    // Set here under one spelling, asked for under another: Windows names
    // are one whatever their case, so the child has the new value only.
    ::SetEnvironmentVariableW(L"VOCASTRA_E2E_PROBE", L"inherited");
    e2e::Process p = e2e::Process::Start(ctx.probeExe, L"env VOCASTRA_E2E_PROBE given", L"",
                                         {L"Vocastra_E2E_Probe=given"});
    E2E_CHECK_MSG(p.WaitExit(10000), "the probe did not end");
    E2E_CHECK_MSG(p.ExitCode() == 0, "the child did not get the value it was given");
}

E2E_SCENARIO(runner_leaves_no_process_behind) {
    const int before = CountKeepers();
    ::CreateDirectoryW(ctx.workRoot.c_str(), nullptr);  // fails harmlessly when it exists
    const std::wstring ready = e2e::Join(ctx.workRoot, L"runner-grandchild.ready");
    ::DeleteFileW(ready.c_str());
    // A child that starts a grandchild and ends: the runner holds no handle
    // on the grandchild, and must end it all the same.
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"spawn " + e2e::Quote(ready)) == 0);
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return e2e::FileExists(ready); }, 20000),
                  "the grandchild never started");
    E2E_CHECK(e2e::WaitUntil([&] { return CountKeepers() == before + 1; }, 20000));
    E2E_CHECK_MSG(e2e::EndAllProcesses(30000), "processes were still there after being ended");
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return CountKeepers() == before; }, 5000),
                  "the grandchild's window is still there");
}
