// vocastra-setup.exe as a user runs it: silent install, upgrade over an
// install with hand-edited settings, uninstall while the program runs. Each
// scenario starts with no install in the prefix and leaves none behind.
#include <windows.h>
// After windows.h, which they build on.
#include <shlobj.h>
#include <winver.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "tray_icons.h"
#include "version.h"

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vocastra";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"ORMA_VOCASTRA";
// Setup and uninstall write to disk and registry only; a few seconds each.
constexpr DWORD kSetupMs = 60000;

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        throw e2e::Failure{"no shell folder " + std::to_string(csidl)};
    return path;
}

// Where a per-user install goes by default.
std::wstring InstallDir() {
    return e2e::Join(ShellFolder(CSIDL_LOCAL_APPDATA), L"Programs\\Vocastra");
}
std::wstring StartMenuEntry() {
    return e2e::Join(ShellFolder(CSIDL_PROGRAMS), L"Vocastra.lnk");
}

std::optional<std::wstring> RegString(const wchar_t* key, const wchar_t* value) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

bool UninstallKeyExists() {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(k);
    return true;
}

bool PathExists(const std::wstring& p) {
    return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whatever an earlier scenario left, removed by hand (not by the uninstaller
// under test).
void RemoveAnyInstall() {
    std::error_code ec;
    std::filesystem::remove_all(InstallDir(), ec);
    ::DeleteFileW(StartMenuEntry().c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
}

struct CleanPrefix {
    CleanPrefix() { RemoveAnyInstall(); }
    ~CleanPrefix() { RemoveAnyInstall(); }
};

// Runs the installer with `args` to its end; its exit code.
DWORD RunSetup(const e2e::Context& ctx, const std::wstring& args) {
    // Wine's desktop-menu helper is not what is tested and only costs time.
    e2e::Process setup = e2e::Process::Start(
        ctx.setupExe, args, L"", {L"WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"});
    E2E_CHECK_MSG(setup.WaitExit(kSetupMs), "the installer did not end");
    return setup.ExitCode();
}

// The uninstaller hands over to a copy of itself and returns at once; what
// counts is what is gone afterwards.
void RunUninstallAndWait(const std::wstring& dir) {
    e2e::Process un = e2e::Process::Start(e2e::Join(dir, L"uninstall.exe"), L"/S", dir);
    E2E_CHECK_MSG(un.WaitExit(kSetupMs), "the uninstaller did not end");
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return !UninstallKeyExists() && !PathExists(dir); }, kSetupMs),
        "the uninstall did not finish: key " << UninstallKeyExists() << ", folder "
                                             << PathExists(dir));
}

std::string ProductVersionOf(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<char> info(size);
    wchar_t* text = nullptr;
    UINT len = 0;
    if (size == 0 || !::GetFileVersionInfoW(file.c_str(), 0, size, info.data()) ||
        !::VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductVersion",
                          reinterpret_cast<void**>(&text), &len))
        return {};
    return e2e::Narrow(std::wstring(text, len && text[len - 1] == 0 ? len - 1 : len));
}

std::wstring Lower(std::wstring s) {
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return std::towlower(c); });
    return s;
}

// The build's data folder, which the installer packs: beside the installer.
std::filesystem::path BuildDataDir(const e2e::Context& ctx) {
    return std::filesystem::path(ctx.setupExe).parent_path() / L"data";
}

}  // namespace

// A silent install into a prefix that never had one: the exe, every file and
// folder of the build's data folder, the Start-menu entry, the uninstall
// entry with the program's version and the log-on start are in place, and
// the program started from there shows its tray icon.
E2E_SCENARIO(installer_silent_install_runs_the_program) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    CleanPrefix clean;
    E2E_CHECK_MSG(RunSetup(ctx, L"/S") == 0, "the silent install failed");

    const std::wstring dir = InstallDir();
    const std::wstring exe = e2e::Join(dir, L"vocastra.exe");
    E2E_CHECK_MSG(e2e::ReadFileBytes(exe) == e2e::ReadFileBytes(ctx.vocastraExe),
                  "vocastra.exe is not the one built, in " << e2e::Narrow(dir));
    E2E_CHECK(e2e::FileExists(e2e::Join(dir, L"uninstall.exe")));
    const auto data = BuildDataDir(ctx);
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
        const auto rel = std::filesystem::relative(entry.path(), data);
        const std::wstring installed = e2e::Join(dir, rel.wstring());
        if (entry.is_directory()) {
            E2E_CHECK_MSG(PathExists(installed), "folder " << rel.string() << " not installed");
            continue;
        }
        ++files;
        // The installer records the log-on choice in the settings file.
        if (Lower(rel.wstring()) == L"vocastra.ini")
            E2E_CHECK_MSG(e2e::FileExists(installed), "the default settings were not installed");
        else
            E2E_CHECK_MSG(e2e::ReadFileBytes(installed) == e2e::ReadFileBytes(entry.path()),
                          rel.string() << " is not installed as built");
    }
    E2E_CHECK_MSG(files > 0, "the build's data folder " << data.string() << " is empty");
    E2E_CHECK_MSG(e2e::ReadTextFile(e2e::Join(dir, L"Vocastra.ini")).find("VAL_AUTORUN_API=1") !=
                      std::string::npos,
                  "the settings do not say the program starts at log-on");

    std::string link = e2e::ReadFileBytes(StartMenuEntry());
    E2E_CHECK_MSG(!link.empty(), "no Start-menu entry at " << e2e::Narrow(StartMenuEntry()));
    std::transform(link.begin(), link.end(), link.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    E2E_CHECK_MSG(link.find("vocastra.exe") != std::string::npos,
                  "the Start-menu entry does not lead to vocastra.exe");

    E2E_CHECK(RegString(kUninstallKey, L"DisplayName") == L"Vocastra");
    E2E_CHECK(RegString(kUninstallKey, L"InstallLocation") == dir);
    E2E_CHECK(RegString(kUninstallKey, L"UninstallString") ==
              e2e::Quote(e2e::Join(dir, L"uninstall.exe")));
    // One version for the exe, its installer and the uninstall entry.
    E2E_CHECK_MSG(ProductVersionOf(exe) == VOCASTRA_VERSION_STR,
                  "the exe says version " << ProductVersionOf(exe));
    E2E_CHECK_MSG(ProductVersionOf(ctx.setupExe) == VOCASTRA_VERSION_STR,
                  "the installer says version " << ProductVersionOf(ctx.setupExe));
    E2E_CHECK(RegString(kUninstallKey, L"DisplayVersion") ==
              e2e::WideFromUtf8(VOCASTRA_VERSION_STR));
    // The program's own autorun writes the same value.
    E2E_CHECK_MSG(RegString(kRunKey, kRunValue) == exe, "the log-on start is not the program");

    const std::set<HWND> before = e2e::TrayIcons();
    e2e::Process program = e2e::Process::Start(exe, L"", dir);
    E2E_CHECK_MSG(e2e::WaitForMainWindow(program.Id(), 20000) != nullptr,
                  "the installed program did not start");
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return e2e::NewTrayIcon(before) != nullptr; }, 20000),
                  "the installed program shows no tray icon");
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"quit") == 0);
    E2E_CHECK_MSG(program.WaitExit(10000), "the program did not end after the quit request");
}

// An upgrade over an install whose settings the user edited by hand, with the
// log-on start switched off: the edits survive, the start stays off, and the
// program, the uninstall entry and the Start-menu entry are there again.
E2E_SCENARIO(installer_upgrade_keeps_the_edited_settings) {
    CleanPrefix clean;
    E2E_CHECK(RunSetup(ctx, L"/S") == 0);
    const std::wstring dir = InstallDir();
    const std::wstring ini = e2e::Join(dir, L"Vocastra.ini");
    const std::string edit =
        "\r\n[KEY]\r\nVAL_KEYSCAN_5=21 ; mute on the fifth key, by hand\r\n"
        "[SETTING]\r\nVAL_HANDSET_VID=0d8c\r\n";
    e2e::AppendTextFile(ini, edit);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
    const std::string edited = e2e::ReadTextFile(ini);

    E2E_CHECK_MSG(RunSetup(ctx, L"/S") == 0, "the silent upgrade failed");
    const std::string after = e2e::ReadTextFile(ini);
    E2E_CHECK_MSG(
        after.find("VAL_KEYSCAN_5=21 ; mute on the fifth key, by hand") != std::string::npos &&
            after.find("VAL_HANDSET_VID=0d8c") != std::string::npos,
        "the edited settings did not survive the upgrade:\n"
            << edited << "\n-- became --\n"
            << after);
    E2E_CHECK_MSG(!RegString(kRunKey, kRunValue), "the upgrade switched the log-on start on");
    E2E_CHECK_MSG(after.find("VAL_AUTORUN_API=0") != std::string::npos,
                  "the settings do not say the log-on start is off:\n"
                      << after);
    E2E_CHECK(e2e::FileExists(e2e::Join(dir, L"vocastra.exe")));
    E2E_CHECK(e2e::FileExists(e2e::Join(dir, L"uninstall.exe")));
    E2E_CHECK(RegString(kUninstallKey, L"InstallLocation") == dir);
    E2E_CHECK(e2e::FileExists(StartMenuEntry()));
}

// Uninstalling while the program runs ends it first (the quit request), then
// removes the files, the folder, the Start-menu entry, the log-on start and
// the uninstall entry.
E2E_SCENARIO(installer_uninstall_ends_the_running_program) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    CleanPrefix clean;
    E2E_CHECK(RunSetup(ctx, L"/S") == 0);
    const std::wstring dir = InstallDir();
    E2E_CHECK(RegString(kRunKey, kRunValue).has_value());
    e2e::Process program = e2e::Process::Start(e2e::Join(dir, L"vocastra.exe"), L"", dir);
    E2E_CHECK_MSG(e2e::WaitForMainWindow(program.Id(), 20000) != nullptr,
                  "the installed program did not start");

    RunUninstallAndWait(dir);
    E2E_CHECK_MSG(program.WaitExit(10000), "the program still runs after the uninstall");
    E2E_CHECK(e2e::FindMainWindow() == nullptr);
    E2E_CHECK_MSG(!RegString(kRunKey, kRunValue), "the log-on start is left");
    E2E_CHECK_MSG(!PathExists(StartMenuEntry()), "the Start-menu entry is left");
}
