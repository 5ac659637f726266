// e2e_runner: runs one end-to-end scenario (or lists them).
//   e2e_runner --list
//   e2e_runner SCENARIO --exe VOCASTRA.EXE --probe E2E_PROBE.EXE --work DIR --source DIR
//              [--skype-sim SKYPE-SIM.EXE]
// Paths may be given the Unix way (/work/...): they are reached through
// Wine's Z: drive.
#include <windows.h>

#include <cstdio>
#include <cwchar>
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
    }
    for (const auto& s : e2e::Scenarios()) {
        if (name != s.name)
            continue;
        try {
            s.fn(ctx);
        } catch (const e2e::Failure& f) {
            std::printf("FAIL %s: %s\n", s.name, f.message.c_str());
            return 1;
        }
        std::printf("ok %s\n", s.name);
        return 0;
    }
    std::printf("unknown scenario %s\n", name.c_str());
    return 2;
}
