// e2e_runner: runs one end-to-end scenario (or lists them).
//   e2e_runner --list
//   e2e_runner SCENARIO --exe VOCASTRA.EXE --probe E2E_PROBE.EXE --work DIR --source DIR
//              [--skype-sim SKYPE-SIM.EXE] [--setup VOCASTRA-SETUP.EXE]
// Paths may be given the Unix way (/work/...): they are reached through
// Wine's Z: drive.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>

#include "harness.h"

namespace {

std::wstring WinPath(std::wstring p) {
    if (!p.empty() && p[0] == L'/')
        p = L"Z:" + p;
    for (auto& c : p)
        if (c == L'/')
            c = L'\\';
    return p;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"--list") == 0) {
        for (const auto& s : e2e::Scenarios())
            std::printf("%s\n", s.name);
        return 0;
    }
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: e2e_runner SCENARIO --exe P --probe P --work D --source D --skype-sim P\n");
        return 2;
    }
    const std::string name = e2e::Narrow(argv[1]);
    e2e::Context ctx;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::wstring opt = argv[i], val = WinPath(argv[i + 1]);
        if (opt == L"--exe")
            ctx.vocastraExe = val;
        else if (opt == L"--probe")
            ctx.probeExe = val;
        else if (opt == L"--work")
            ctx.workRoot = val;
        else if (opt == L"--source")
            ctx.sourceDir = val;
        else if (opt == L"--skype-sim")
            ctx.skypeSimExe = val;
        else if (opt == L"--setup")
            ctx.setupExe = val;
    }
    for (const auto& s : e2e::Scenarios()) {
        if (name != s.name)
            continue;
        std::string failure;
        try {
            s.fn(ctx);
        } catch (const e2e::Failure& f) {
            failure = f.message;
        } catch (const std::exception& e) {
            failure = std::string("unexpected exception: ") + e.what();
        }
        // Nothing the scenario started may outlive the runner: it would hold
        // the runner's output open after the result.
        if (!e2e::EndAllProcesses(30000))
            failure += std::string(failure.empty() ? "" : "; ") +
                       "processes it started were still there 30 s after being ended";
        if (!failure.empty()) {
            std::printf("FAIL %s: %s\n", s.name, failure.c_str());
            return 1;
        }
        std::printf("ok %s\n", s.name);
        return 0;
    }
    std::printf("unknown scenario %s\n", name.c_str());
    return 2;
}
