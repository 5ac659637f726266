// The program's face as the user meets it: the tray icon's menu in each
// language, the settings sheet and its pages, Apply and Cancel, start at
// log-on, and the program ending with the sheet open. The user's clicks and
// keys are real input (SendInput) where the program must react to them;
// pictures of the menu and of every page are kept (menu-*.bmp, sheet-*.bmp
// in the scenario's folder) to be looked at.
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "harness.h"
#include "screen.h"
#include "tray_icons.h"

namespace {

constexpr UINT kTrayNotify = 0x800A;
constexpr int kLanguageCommands[5] = {32780, 32787, 32781, 32788, 32789};
constexpr int kPageCommands[5] = {32782, 32783, 32784, 32785, 32786};
constexpr int kExitCommand = 32775;
const wchar_t* const kLanguageFiles[5] = {L"Eng.ini", L"Chs.ini", L"Cht.ini", L"Pol.ini",
                                          L"Ita.ini"};
// A control only each page has, and a text on it, by page.
constexpr int kPageMarker[5] = {1023, 1033, 1038, 1041, 1045};
const wchar_t* const kPageMarkerKey[5] = {L"Volume_Setting", L"LCM", L"RingTone_Setting",
                                          L"Language", nullptr};
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kAutorunValue[] = L"ORMA_VOCASTRA";

std::wstring DirOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// A text of the shipped language file, read as the program reads it.
std::wstring LanguageText(const e2e::Context& ctx, int language, const wchar_t* key) {
    const std::wstring file = e2e::Join(e2e::Join(e2e::Join(ctx.sourceDir, L"data"), L"Language"),
                                        kLanguageFiles[language]);
    wchar_t buf[255] = {};
    ::GetPrivateProfileStringW(L"Language", key, L"", buf, 255, file.c_str());
    return buf;
}

// The settings file as text.
std::wstring SettingsText(const std::wstring& dir) {
    return e2e::WideFromUtf8(e2e::ReadTextFile(e2e::Join(dir, L"Vocastra.ini")));
}

std::wstring WindowText(HWND w) {
    wchar_t buf[512] = {};
    DWORD_PTR n = 0;
    if (!w || !::SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf),
                                     SMTO_ABORTIFHUNG, 5000, &n))
        return {};
    return std::wstring(buf, std::min<DWORD_PTR>(n, 511));
}

LRESULT SendTo(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

void MouseAt(int x, int y, DWORD down, DWORD up) {
    ::SetCursorPos(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    ::SendInput(2, in, sizeof(INPUT));
}

void ClickCentre(HWND w, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    RECT r{};
    ::GetWindowRect(w, &r);
    MouseAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, down, up);
}

void Keys(std::initializer_list<WORD> keys) {
    for (WORD vk : keys) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, in, sizeof(INPUT));
    }
}

// The visible popup menus on screen, the first one opened first.
std::vector<HWND> Menus() {
    std::vector<HWND> menus;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr))
        if (::IsWindowVisible(w))
            menus.push_back(w);
    std::reverse(menus.begin(), menus.end());
    return menus;
}

// A picture once the screen has stopped changing there (the same for a
// number of looks in a row: windows paint in steps).
e2e::Picture SettledPicture(const RECT& r) {
    e2e::Picture last = e2e::GrabRect(r);
    int same = 0;
    e2e::WaitUntil(
        [&] {
            e2e::Picture now = e2e::GrabRect(r);
            same = now == last ? same + 1 : 0;
            last = std::move(now);
            return same >= 15 && !last.pixels.empty();
        },
        10000);
    return last;
}

// Keeps what the screen shows of `window` as PREFIX<lang>-<page>.bmp in `dir`.
void KeepPicture(HWND window, const std::wstring& dir, const std::wstring& prefix, int lang,
                 int page) {
    RECT r{};
    ::GetWindowRect(window, &r);
    e2e::SaveBmp(SettledPicture(r), e2e::Join(dir, prefix + std::to_wstring(lang) + L"-" +
                                                       std::to_wstring(page) + L".bmp"));
}

RECT Union(const std::vector<HWND>& windows) {
    RECT all{};
    for (HWND w : windows) {
        RECT r{};
        ::GetWindowRect(w, &r);
        ::UnionRect(&all, &all, &r);
    }
    return all;
}

// The desktop as on Windows, for what the scenarios look at. Read by each
// process at its start, so this precedes starting the program.
// - The fonts of a Windows desktop.
// - A Windows with East Asian fonts links them to the dialog and menu fonts,
//   so Chinese text shows in menus and dialogs of an English system. Wine's
//   prefix links only to fonts it does not have: the CJK font the system has
//   (through fontconfig) is linked the same way.
// - Without a window manager on the X display, Wine draws the windows'
//   captions itself, so the pictures show them.
void PrepareDesktop() {
    // Wine's own Tahoma (the dialog and menu font) and Marlett (the caption
    // buttons), from the fonts package, where every process finds them.
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    for (const wchar_t* font : {L"tahoma.ttf", L"marlett.ttf"}) {
        const std::wstring to = e2e::Join(e2e::Join(windows, L"Fonts"), font);
        if (!e2e::FileExists(to))
            ::CopyFileW(e2e::Join(L"Z:\\usr\\share\\wine\\fonts", font).c_str(), to.c_str(), TRUE);
    }
    HKEY x11 = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &x11, nullptr) == ERROR_SUCCESS) {
        const wchar_t no[] = L"N";
        ::RegSetValueExW(x11, L"Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>(no),
                         sizeof(no));
        ::RegCloseKey(x11);
    }
    constexpr wchar_t kLinks[] =
        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
    const std::wstring entry = L"wqy-microhei.ttc,WenQuanYi Micro Hei";
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLinks, 0, nullptr, 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const wchar_t* font : {L"Tahoma", L"Microsoft Sans Serif", L"Arial"}) {
        std::vector<wchar_t> buf(8192, L'\0');
        DWORD size = static_cast<DWORD>(buf.size() * sizeof(wchar_t)) - 4;
        DWORD type = 0;
        std::wstring list;  // zero-separated, without the final terminator
        if (::RegQueryValueExW(key, font, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                               &size) == ERROR_SUCCESS &&
            type == REG_MULTI_SZ)
            list.assign(buf.data(), size / sizeof(wchar_t));
        while (!list.empty() && list.back() == L'\0')
            list.pop_back();
        // Last, as a fall-back: the font's own glyphs come first.
        if (list.size() >= entry.size() &&
            list.compare(list.size() - entry.size(), entry.size(), entry) == 0)
            continue;
        for (std::size_t at; (at = list.find(entry)) != std::wstring::npos;)
            list.erase(at, entry.size() + (at + entry.size() < list.size() ? 1 : 0));
        while (!list.empty() && list.back() == L'\0')
            list.pop_back();
        list += (list.empty() ? L"" : std::wstring(1, L'\0')) + entry;
        list.append(2, L'\0');
        ::RegSetValueExW(key, font, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                         static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    }
    ::RegCloseKey(key);
}

// A window of another program, for clicking "elsewhere".
struct OtherWindow {
    HWND hwnd =
        ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE | WS_BORDER,
                          700, 500, 200, 150, nullptr, nullptr, nullptr, nullptr);
    ~OtherWindow() { ::DestroyWindow(hwnd); }
};

// One running program with its tray icon.
struct Running {
    std::wstring exe, dir;
    e2e::Process process;
    HWND main = nullptr;
    HWND icon = nullptr;

    std::wstring Log() const {
        const std::wstring log = e2e::Join(dir, L"vocastra.log");
        return e2e::FileExists(log) ? e2e::WideFromUtf8(e2e::ReadFileBytes(log)) : L"";
    }
    void Command(int id) const { ::PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // The open settings sheet: the main window's own dialog.
    HWND Sheet() const {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
             w = ::FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (w != main && ::IsWindowVisible(w) && ::GetWindow(w, GW_OWNER) == main)
                return w;
        return nullptr;
    }
    int SheetCount() const {
        int n = 0;
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
             w = ::FindWindowExW(nullptr, w, L"#32770", nullptr))
            n += w != main && ::IsWindowVisible(w) && ::GetWindow(w, GW_OWNER) == main;
        return n;
    }
    HWND WaitSheet() const {
        HWND s = nullptr;
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return (s = Sheet()) != nullptr; }, 20000),
                      "no settings sheet appeared; log:\n"
                          << e2e::Narrow(Log()));
        return s;
    }
    HWND CurrentPage() const {
        HWND s = Sheet();
        return s ? reinterpret_cast<HWND>(SendTo(s, PSM_GETCURRENTPAGEHWND)) : nullptr;
    }
    // Waits until page `page` is the shown one; returns its window.
    HWND WaitPage(int page) const {
        HWND p = nullptr;
        E2E_CHECK_MSG(e2e::WaitUntil(
                          [&] {
                              p = CurrentPage();
                              return p && ::GetDlgItem(p, kPageMarker[page]) != nullptr &&
                                     ::IsWindowVisible(p);
                          },
                          20000),
                      "page " << page << " is not shown");
        return p;
    }
    void CloseSheet(int button) const {
        HWND s = Sheet();
        E2E_CHECK(s != nullptr);
        ::PostMessageW(::GetDlgItem(s, button), BM_CLICK, 0, 0);
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return Sheet() == nullptr; }, 20000),
                      "the sheet did not close");
    }
    // Right-clicks the tray icon and waits for the menu.
    HWND OpenMenu() const {
        ClickCentre(icon, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        std::vector<HWND> m;
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return !(m = Menus()).empty(); }, 20000),
                      "no menu after a right click on the tray icon");
        return m.front();
    }
    void WaitMenuClosed() const {
        E2E_CHECK_MSG(e2e::WaitUntil([] { return Menus().empty(); }, 20000),
                      "the menu stayed open");
    }
    // The tip the tray shows when the mouse rests on the icon is `want`
    // (a tip shown before the change may linger: the mouse leaves and comes
    // back). `shown` gets the last tip seen.
    bool TipBecomes(const std::wstring& want, std::wstring* shown = nullptr) const {
        RECT r{};
        ::GetWindowRect(icon, &r);
        std::wstring tip;
        for (int attempt = 0; attempt < 5 && tip != want; ++attempt) {
            ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            e2e::WaitUntil([&] { return !(tip = e2e::ShownTip()).empty(); }, 5000);
            ::SetCursorPos(r.right + 300, r.bottom + 300);
            e2e::WaitUntil([] { return e2e::ShownTip().empty(); }, 5000);
        }
        if (shown)
            *shown = tip;
        return tip == want;
    }
    void Quit(const e2e::Context& ctx) {
        E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"quit") == 0);
        E2E_CHECK_MSG(process.WaitExit(10000), "the program did not end after the quit request");
    }
};

Running Start(const e2e::Context& ctx, const std::wstring& name, const std::string& settings = "") {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    PrepareDesktop();
    Running r;
    r.exe = e2e::PrepareInstall(ctx, name);
    r.dir = DirOf(r.exe);
    if (!settings.empty())
        e2e::WriteFileBytes(e2e::Join(r.dir, L"Vocastra.ini"), settings);
    const std::set<HWND> before = e2e::TrayIcons();
    r.process = e2e::Process::Start(r.exe, L"", r.dir,
                                    {L"VOCASTRA_LOG_FILE=" + e2e::Join(r.dir, L"vocastra.log")});
    r.main = e2e::WaitForMainWindow(r.process.Id(), 20000);
    E2E_CHECK_MSG(r.main != nullptr, "the main window did not appear");
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return (r.icon = e2e::NewTrayIcon(before)) != nullptr; }, 20000),
        "no icon of the program's in the tray");
    return r;
}

std::optional<std::wstring> RunValue() {
    wchar_t buf[2048] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kAutorunValue, RRF_RT_REG_SZ, nullptr, buf,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

void DeleteRunValue() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, kAutorunValue);
        ::RegCloseKey(key);
    }
}

}  // namespace

// The menu in each language, with the check on the current one: each round
// opens the menu and its language submenu with the mouse and the keys, keeps
// a picture, and chooses the next language, which the file and the tip show
// at once.
E2E_SCENARIO(tray_menu_in_every_language) {
    Running p = Start(ctx, L"tray_menu");
    // Left and middle clicks do nothing: by the time the right click's menu
    // shows, they have been handled, and opened no menu and no sheet.
    ClickCentre(p.icon);
    ClickCentre(p.icon, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    for (int round = 0; round < 5; ++round) {
        const int next = (round + 1) % 5;
        p.OpenMenu();
        E2E_CHECK_MSG(Menus().size() == 1 && p.Sheet() == nullptr,
                      "a left or middle click did something");
        Keys({VK_DOWN, VK_RIGHT});  // the language submenu
        std::vector<HWND> menus;
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return (menus = Menus()).size() == 2; }, 20000),
                      "the language submenu did not open");
        e2e::SaveBmp(SettledPicture(Union(menus)),
                     e2e::Join(p.dir, L"menu-" + std::to_wstring(round) + L".bmp"));
        // The submenu opens on its first entry.
        for (int i = 0; i < next; ++i)
            Keys({VK_DOWN});
        Keys({VK_RETURN});
        p.WaitMenuClosed();
        const std::wstring want = L"VAL_LANGUAGE=" + std::to_wstring(next);
        E2E_CHECK_MSG(
            e2e::WaitUntil([&] { return SettingsText(p.dir).find(want) != std::wstring::npos; },
                           20000),
            "choosing language " << next << " did not write it; log:\n"
                                 << e2e::Narrow(p.Log()));
        std::wstring tip;
        E2E_CHECK_MSG(p.TipBecomes(LanguageText(ctx, next, L"Tray_Tip_Info_2"), &tip),
                      "the tip \"" << e2e::Narrow(tip) << "\" did not follow language " << next);
    }
    // A click elsewhere closes the menu without choosing anything.
    OtherWindow other;
    RECT shown{};
    ::GetWindowRect(p.OpenMenu(), &shown);
    SettledPicture(shown);  // the menu is up and tracking the mouse
    ClickCentre(other.hwnd);
    p.WaitMenuClosed();
    E2E_CHECK(p.Sheet() == nullptr);
    p.Quit(ctx);
}

// Every page in every language, opened the way the menu opens them; a
// second request only switches the page of the one sheet; Cancel writes
// nothing.
E2E_SCENARIO(settings_pages_in_every_language) {
    Running p = Start(ctx, L"settings_pages");
    for (int lang = 0; lang < 5; ++lang) {
        p.Command(kLanguageCommands[lang]);
        const std::wstring before = [&] {
            std::wstring t;
            e2e::WaitUntil(
                [&] {
                    t = SettingsText(p.dir);
                    return t.find(L"VAL_LANGUAGE=" + std::to_wstring(lang)) != std::wstring::npos;
                },
                20000);
            return t;
        }();
        p.Command(kPageCommands[0]);
        HWND sheet = p.WaitSheet();
        E2E_CHECK_MSG(
            e2e::WaitUntil(
                [&] { return WindowText(sheet) == LanguageText(ctx, lang, L"Dlg_Caption"); },
                20000),
            "caption \"" << e2e::Narrow(WindowText(sheet)) << "\" in language " << lang);
        E2E_CHECK(WindowText(::GetDlgItem(sheet, IDCANCEL)) ==
                  LanguageText(ctx, lang, L"Button_Cancel"));
        for (int page = 0; page < 5; ++page) {
            p.Command(kPageCommands[page]);
            HWND shown = p.WaitPage(page);
            E2E_CHECK_MSG(p.SheetCount() == 1, "a second sheet opened");
            if (kPageMarkerKey[page])
                E2E_CHECK_MSG(WindowText(::GetDlgItem(shown, kPageMarker[page])) ==
                                  LanguageText(ctx, lang, kPageMarkerKey[page]),
                              "page "
                                  << page << " language " << lang << ": \""
                                  << e2e::Narrow(WindowText(::GetDlgItem(shown, kPageMarker[page])))
                                  << "\"");
            KeepPicture(sheet, p.dir, L"sheet-", lang, page);
        }
        p.CloseSheet(IDCANCEL);
        E2E_CHECK_MSG(SettingsText(p.dir) == before, "Cancel changed the settings file");
    }
    p.Quit(ctx);
}

// Apply writes what the pages hold; Cancel after a change writes nothing;
// start at log-on on and off writes and deletes the Run value.
E2E_SCENARIO(settings_apply_cancel_and_autorun) {
    DeleteRunValue();
    Running p = Start(ctx, L"settings_apply");
    p.Command(kPageCommands[0]);
    p.WaitSheet();
    HWND audio = p.WaitPage(0);
    HWND slider = ::GetDlgItem(audio, 1003);
    HWND apply = ::GetDlgItem(p.Sheet(), 0x3021);
    E2E_CHECK(!::IsWindowEnabled(apply));
    // The slider has the focus: a key moves it a step, and the change
    // enables Apply.
    Keys({VK_LEFT});
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return ::IsWindowEnabled(apply) != FALSE; }, 20000),
                  "moving the slider did not enable Apply");
    const int level = static_cast<int>(SendTo(slider, TBM_GETPOS));
    E2E_CHECK_MSG(level == 24, "slider at " << level);
    ::PostMessageW(apply, BM_CLICK, 0, 0);
    const std::wstring want = L"VAL_AUDIO_OUT_VOLUME=" + std::to_wstring(level);
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return SettingsText(p.dir).find(want) != std::wstring::npos; }, 20000),
        "Apply did not write " << e2e::Narrow(want));

    E2E_CHECK(e2e::WaitUntil([&] { return !::IsWindowEnabled(apply); }, 20000));
    // Changed again with the mouse (a click left of the thumb moves it down
    // a page), then cancelled: the file stays as it was.
    const std::wstring applied = SettingsText(p.dir);
    RECT r{};
    ::GetWindowRect(slider, &r);
    MouseAt(r.left + (r.right - r.left) / 4, (r.top + r.bottom) / 2, MOUSEEVENTF_LEFTDOWN,
            MOUSEEVENTF_LEFTUP);
    E2E_CHECK(e2e::WaitUntil([&] { return SendTo(slider, TBM_GETPOS) < level; }, 20000));
    E2E_CHECK(e2e::WaitUntil([&] { return ::IsWindowEnabled(apply) != FALSE; }, 20000));
    p.CloseSheet(IDCANCEL);
    E2E_CHECK_MSG(SettingsText(p.dir) == applied, "Cancel wrote the settings file");

    // Start at log-on: off deletes the Run value, on writes the program's path.
    HKEY key = nullptr;
    E2E_CHECK(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key, nullptr) == ERROR_SUCCESS);
    const wchar_t old[] = L"C:\\old\\vocastra.exe";
    ::RegSetValueExW(key, kAutorunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(old),
                     sizeof(old));
    ::RegCloseKey(key);
    p.Command(kPageCommands[3]);
    p.WaitSheet();
    HWND advanced = p.WaitPage(3);
    HWND autorun = ::GetDlgItem(advanced, 1043);
    E2E_CHECK(SendTo(autorun, BM_GETCHECK) == BST_CHECKED);
    apply = ::GetDlgItem(p.Sheet(), 0x3021);
    // Posted presses overtake the mouse's clicks: each click is seen
    // through before the next press.
    ClickCentre(autorun);
    E2E_CHECK(e2e::WaitUntil([&] { return SendTo(autorun, BM_GETCHECK) == BST_UNCHECKED; }, 20000));
    E2E_CHECK(e2e::WaitUntil([&] { return ::IsWindowEnabled(apply) != FALSE; }, 20000));
    ::PostMessageW(apply, BM_CLICK, 0, 0);
    E2E_CHECK_MSG(e2e::WaitUntil([] { return !RunValue(); }, 20000),
                  "autorun off left the Run value");
    E2E_CHECK(e2e::WaitUntil(
        [&] { return SettingsText(p.dir).find(L"VAL_AUTORUN_API=0") != std::wstring::npos; },
        20000));
    E2E_CHECK(e2e::WaitUntil([&] { return !::IsWindowEnabled(apply); }, 20000));
    ClickCentre(autorun);
    E2E_CHECK(e2e::WaitUntil([&] { return SendTo(autorun, BM_GETCHECK) == BST_CHECKED; }, 20000));
    p.CloseSheet(IDOK);
    std::optional<std::wstring> run;
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return (run = RunValue()).has_value(); }, 20000),
                  "autorun on wrote no Run value");
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(p.exe.c_str(), MAX_PATH, full, nullptr);
    E2E_CHECK_MSG(::CompareStringOrdinal(run->c_str(), -1, full, -1, TRUE) == CSTR_EQUAL,
                  "Run value " << e2e::Narrow(*run));
    E2E_CHECK(SettingsText(p.dir).find(L"VAL_AUTORUN_API=1") != std::wstring::npos);
    p.Quit(ctx);
    DeleteRunValue();
}

// A language chosen from the tray switches the open sheet at once; a second
// request from the menu only switches its page; Exit from the menu with the
// sheet open cancels it and ends the program cleanly.
E2E_SCENARIO(language_switch_and_exit_with_the_sheet_open) {
    Running p = Start(ctx, L"sheet_exit");
    p.OpenMenu();
    Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // Advanced settings
    HWND sheet = p.WaitSheet();
    p.WaitPage(3);
    E2E_CHECK(WindowText(sheet) == LanguageText(ctx, 0, L"Dlg_Caption"));
    HWND autorun = ::GetDlgItem(p.CurrentPage(), 1043);
    ClickCentre(autorun);  // changed, never applied
    E2E_CHECK(e2e::WaitUntil([&] { return SendTo(autorun, BM_GETCHECK) == BST_UNCHECKED; }, 20000));

    p.OpenMenu();
    Keys({VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // Polski
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return WindowText(sheet) == LanguageText(ctx, 3, L"Dlg_Caption"); },
                       20000),
        "the open sheet did not switch to Polish: \"" << e2e::Narrow(WindowText(sheet)) << "\"");
    E2E_CHECK(WindowText(::GetDlgItem(sheet, IDCANCEL)) == LanguageText(ctx, 3, L"Button_Cancel"));
    E2E_CHECK(WindowText(autorun) == LanguageText(ctx, 3, L"Auto_Run"));
    E2E_CHECK(SendTo(::GetDlgItem(p.CurrentPage(), 1007), CB_GETCURSEL) == 3);
    E2E_CHECK(SettingsText(p.dir).find(L"VAL_LANGUAGE=3") != std::wstring::npos);
    E2E_CHECK_MSG(p.TipBecomes(LanguageText(ctx, 3, L"Tray_Tip_Info_2")), "the tip did not follow");

    p.OpenMenu();
    Keys({VK_UP, VK_UP, VK_RETURN});  // About, just above Exit
    p.WaitPage(4);
    E2E_CHECK_MSG(p.SheetCount() == 1, "the second request opened a second sheet");

    p.OpenMenu();
    Keys({VK_UP, VK_RETURN});  // Exit, the last item
    E2E_CHECK_MSG(p.process.WaitExit(20000), "Exit with the sheet open did not end the program");
    E2E_CHECK_MSG(p.process.ExitCode() == 0, "exit code " << p.process.ExitCode());
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return !::IsWindow(p.icon); }, 20000),
                  "the icon stayed in the tray");
    // The sheet was cancelled: its unapplied change is not in the file.
    const std::wstring text = SettingsText(p.dir);
    E2E_CHECK_MSG(text.find(L"VAL_AUTORUN_API=1") != std::wstring::npos,
                  "the cancelled change was saved:\n"
                      << e2e::Narrow(text));
    E2E_CHECK(text.find(L"VAL_LANGUAGE=3") != std::wstring::npos);
}

namespace {

// The system DPI for programs started from now on, put back on destruction.
class SystemDpi {
  public:
    explicit SystemDpi(DWORD dpi) {
        Set(HKEY_CURRENT_USER, L"Control Panel\\Desktop", dpi);
        Set(HKEY_CURRENT_CONFIG, L"Software\\Fonts", dpi);
    }
    ~SystemDpi() { Restore(); }
    void Restore() {
        if (m_restored)
            return;
        m_restored = true;
        Set(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 96);
        Set(HKEY_CURRENT_CONFIG, L"Software\\Fonts", 96);
    }

  private:
    static void Set(HKEY root, const wchar_t* path, DWORD dpi) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                         sizeof(dpi));
        ::RegCloseKey(key);
    }
    bool m_restored = false;
};

SIZE SheetSize(const Running& p) {
    RECT r{};
    ::GetWindowRect(p.Sheet(), &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

// At 144 DPI the program, declared aware of the DPI, lays its sheet out in
// proportion (dialog units follow the larger font) instead of being
// stretched; every page in every language is kept as a picture.
E2E_SCENARIO(settings_sheet_at_144_dpi) {
    ::SetProcessDPIAware();  // this process measures in real pixels too
    SIZE at96{};
    {
        Running p = Start(ctx, L"settings_dpi96");
        p.Command(kPageCommands[0]);
        p.WaitSheet();
        p.WaitPage(0);
        at96 = SheetSize(p);
        p.CloseSheet(IDCANCEL);
        p.Quit(ctx);
    }
    SystemDpi dpi(144);
    Running p = Start(ctx, L"settings_dpi144");
    dpi.Restore();  // the program has read it; nothing else started later gets it
    for (int lang = 0; lang < 5; ++lang) {
        p.Command(kLanguageCommands[lang]);
        p.Command(kPageCommands[0]);
        HWND sheet = p.WaitSheet();
        E2E_CHECK(e2e::WaitUntil(
            [&] { return WindowText(sheet) == LanguageText(ctx, lang, L"Dlg_Caption"); }, 20000));
        const SIZE at144 = SheetSize(p);
        E2E_CHECK_MSG(at144.cx * 10 >= at96.cx * 14 && at144.cx * 10 <= at96.cx * 16 &&
                          at144.cy * 10 >= at96.cy * 14 && at144.cy * 10 <= at96.cy * 16,
                      "the sheet is " << at144.cx << "x" << at144.cy << " at 144 DPI, " << at96.cx
                                      << "x" << at96.cy << " at 96");
        for (int page = 0; page < 5; ++page) {
            p.Command(kPageCommands[page]);
            p.WaitPage(page);
            KeepPicture(sheet, p.dir, L"sheet144-", lang, page);
        }
        p.CloseSheet(IDCANCEL);
    }
    p.Quit(ctx);
}
