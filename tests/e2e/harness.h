// End-to-end harness under Wine: each scenario starts vocastra.exe (and
// helper programs) as real processes and checks what another process or the
// user would see. Scenarios register themselves with E2E_SCENARIO; the runner
// (runner_main.cpp) runs one per invocation, as ctest asks.
#pragma once
#include <windows.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

// Paths and settings the runner hands to every scenario.
struct Context {
    std::wstring vocastraExe;  // the exe under test, as built
    std::wstring probeExe;     // the window probe helper
    std::wstring workRoot;     // scratch root; each scenario gets a fresh folder
    std::wstring sourceDir;    // the repository, for test data
    std::wstring skypeSimExe;  // the stand-in client (tools/skype-sim)
    std::wstring setupExe;     // vocastra-setup.exe, as built
};

// Thrown by the checks; the runner reports the message and fails.
struct Failure {
    std::string message;
};

#define E2E_CHECK(cond)                                                                   \
    do {                                                                                  \
        if (!(cond))                                                                      \
            throw ::e2e::Failure{std::string(__FILE__) + ":" + std::to_string(__LINE__) + \
                                 ": check failed: " #cond};                               \
    } while (0)

#define E2E_CHECK_MSG(cond, msg)                                   \
    do {                                                           \
        if (!(cond)) {                                             \
            std::ostringstream e2e_os_;                            \
            e2e_os_ << __FILE__ << ":" << __LINE__ << ": " << msg; \
            throw ::e2e::Failure{e2e_os_.str()};                   \
        }                                                          \
    } while (0)

// A child process. Ended (TerminateProcess) on destruction if still running,
// so a failing scenario leaves nothing behind. Every child, and whatever it
// starts in turn, belongs to one job of the runner's: when the runner ends,
// however it ends, none of them outlives it and keeps its output pipe open
// (the test driver waits for that pipe's end).
class Process {
  public:
    Process() = default;
    Process(Process&& o) noexcept;
    Process& operator=(Process&& o) noexcept;
    ~Process();

    // Starts `exe` with `args` (already quoted as needed) in `workDir`.
    // Extra environment entries ("NAME=value") are added to this process's.
    // Its input and output are the null device; its error output is the
    // runner's, so what a helper complains about lands in the test's log.
    static Process Start(const std::wstring& exe, const std::wstring& args = L"",
                         const std::wstring& workDir = L"",
                         const std::vector<std::wstring>& env = {});

    bool Running() const;
    // Waits up to `ms`; true when the process has ended.
    bool WaitExit(DWORD ms) const;
    DWORD ExitCode() const;  // STILL_ACTIVE while running
    DWORD Id() const { return m_pi.dwProcessId; }
    // Ends the process and returns once it is gone.
    void Kill();

  private:
    PROCESS_INFORMATION m_pi{};
};

// Ends every process the runner started, and theirs, and waits until they
// are gone: false when some are still there after `ms`.
bool EndAllProcesses(DWORD ms);

// Runs a helper to its end (at most `ms`) and returns its exit code, or -1
// when it did not end in time.
int RunHelper(const std::wstring& exe, const std::wstring& args, DWORD ms = 10000);

// The program's hidden main window, found by its title as a second instance
// would; nullptr when there is none.
HWND FindMainWindow();
// Polls `pred` until it holds or `ms` pass; true when it held. For waiting on
// other processes only (windows appearing, processes ending).
bool WaitUntil(const std::function<bool()>& pred, DWORD ms);
// Waits for the main window of process `pid` to appear.
HWND WaitForMainWindow(DWORD pid, DWORD ms);

// A fresh folder for one scenario, holding a copy of vocastra.exe and of the
// repository's data folder, as installed. Returns the exe's path.
std::wstring PrepareInstall(const Context& ctx, const std::wstring& name);

std::wstring Join(const std::wstring& dir, const std::wstring& name);
bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// A text file (INI) as UTF-8, whether it is UTF-16LE with a byte-order mark
// (as the shipped settings and language files are) or 8-bit; and text added
// at its end in the file's own encoding.
std::string ReadTextFile(const std::wstring& path);
void AppendTextFile(const std::wstring& path, const std::string& utf8);
std::string Narrow(const std::wstring& w);
std::wstring WideFromUtf8(const std::string& s);
std::wstring Quote(const std::wstring& arg);

// Scenario registry.
using ScenarioFn = void (*)(const Context&);
struct Scenario {
    const char* name;
    ScenarioFn fn;
};
std::vector<Scenario>& Scenarios();
struct Registrar {
    Registrar(const char* name, ScenarioFn fn) { Scenarios().push_back({name, fn}); }
};

#define E2E_SCENARIO(name)                                                     \
    static void e2e_scenario_##name(const ::e2e::Context&);                    \
    static ::e2e::Registrar e2e_registrar_##name(#name, &e2e_scenario_##name); \
    static void e2e_scenario_##name(const ::e2e::Context& ctx)

// The window title and message the program answers to.
inline constexpr wchar_t kMainWindowTitle[] = L"ORMA-VOCASTRA";
inline constexpr UINT kQuitRequest = WM_USER + 1;

}  // namespace e2e
