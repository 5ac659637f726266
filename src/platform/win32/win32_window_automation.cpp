#include "platform/win32/win32_window_automation.h"

#include <windows.h>

#include "app/text_util.h"

namespace vocastra {

namespace {

HWND ToHwnd(WindowId id) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(id));
}
WindowId ToId(HWND hwnd) {
    return static_cast<WindowId>(reinterpret_cast<uintptr_t>(hwnd));
}

std::wstring Wide(const std::string& s) {
    const std::u16string u = Utf8ToUtf16(s);
    return std::wstring(u.begin(), u.end());
}

bool HasClass(HWND hwnd, const std::wstring& className) {
    wchar_t buf[256] = {};
    const int n = GetClassNameW(hwnd, buf, 256);
    return n > 0 && className == std::wstring(buf, size_t(n));
}

struct EnumState {
    std::wstring className;
    std::vector<WindowId> found;
    bool firstOnly = false;
};

BOOL CALLBACK CollectByClass(HWND hwnd, LPARAM lParam) {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    if (HasClass(hwnd, state->className)) {
        state->found.push_back(ToId(hwnd));
        if (state->firstOnly)
            return FALSE;
    }
    return TRUE;
}

}  // namespace

WindowId Win32WindowAutomation::FindTopLevelWindow(const std::string& className,
                                                   const std::string& title) {
    const std::wstring cls = Wide(className);
    const std::wstring ttl = Wide(title);
    return ToId(FindWindowW(cls.c_str(), title.empty() ? nullptr : ttl.c_str()));
}

std::vector<WindowId> Win32WindowAutomation::FindTopLevelWindows(const std::string& className) {
    EnumState state{Wide(className), {}, false};
    EnumWindows(CollectByClass, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

WindowId Win32WindowAutomation::FindChildWindow(WindowId parent, const std::string& className) {
    if (parent == 0)
        return 0;
    // EnumChildWindows walks every descendant, not only direct children.
    EnumState state{Wide(className), {}, true};
    EnumChildWindows(ToHwnd(parent), CollectByClass, reinterpret_cast<LPARAM>(&state));
    return state.found.empty() ? 0 : state.found.front();
}

bool Win32WindowAutomation::IsWindowVisible(WindowId window) {
    return window != 0 && ::IsWindowVisible(ToHwnd(window));
}

bool Win32WindowAutomation::PostWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                                              intptr_t lParam) {
    return window != 0 && PostMessageW(ToHwnd(window), msg, wParam, lParam);
}

intptr_t Win32WindowAutomation::SendWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                                                  intptr_t lParam) {
    if (window == 0)
        return 0;
    return SendMessageW(ToHwnd(window), msg, wParam, lParam);
}

std::vector<WindowId> Win32WindowAutomation::FindChildWindows(WindowId parent,
                                                              const std::string& className) {
    if (parent == 0)
        return {};
    EnumState state{Wide(className), {}, false};
    EnumChildWindows(ToHwnd(parent), CollectByClass, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::string Win32WindowAutomation::GetWindowTitle(WindowId window) {
    if (window == 0)
        return {};
    // A title longer than the buffer is cut by the call itself; the client's
    // titles are display names, far shorter.
    wchar_t buf[512] = {};
    const int n = GetWindowTextW(ToHwnd(window), buf, 512);
    if (n <= 0)
        return {};
    const std::u16string u(reinterpret_cast<const char16_t*>(buf), size_t(n));
    return Utf16ToUtf8(u);
}

std::optional<WindowRect> Win32WindowAutomation::GetWindowRect(WindowId window) {
    RECT r{};
    if (window == 0 || !::GetWindowRect(ToHwnd(window), &r))
        return std::nullopt;
    return WindowRect{r.left, r.top, r.right, r.bottom};
}

bool Win32WindowAutomation::SetText(WindowId window, const std::string& text) {
    if (window == 0)
        return false;
    const std::wstring w = Wide(text);
    // WM_SETTEXT is marshalled across processes; a hung client must not hang us.
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(ToHwnd(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()),
                               SMTO_ABORTIFHUNG, 5000, &result) != 0 &&
           result != 0;
}

void Win32WindowAutomation::SendKeyInput(uint8_t virtualKey, uint8_t scanCode, bool keyUp) {
    keybd_event(virtualKey, scanCode, keyUp ? KEYEVENTF_KEYUP : 0, 0);
}

}  // namespace vocastra
