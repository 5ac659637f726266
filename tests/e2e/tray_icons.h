// The icons in Wine's stand-alone tray window, one child window per icon.
#pragma once
#include <windows.h>

#include <set>

namespace e2e {

inline std::set<HWND> TrayIcons() {
    constexpr wchar_t kTrayWindowClass[] = L"__winex11_standalone_tray";
    constexpr wchar_t kTrayIconClass[] = L"__winex11_tray_icon";
    std::set<HWND> icons;
    HWND tray = ::FindWindowW(kTrayWindowClass, nullptr);
    for (HWND w = tray ? ::FindWindowExW(tray, nullptr, kTrayIconClass, nullptr) : nullptr; w;
         w = ::FindWindowExW(tray, w, kTrayIconClass, nullptr))
        icons.insert(w);
    return icons;
}

// An icon in the tray that was not among `before`: the program's.
inline HWND NewTrayIcon(const std::set<HWND>& before) {
    for (HWND w : TrayIcons())
        if (!before.count(w))
            return w;
    return nullptr;
}

}  // namespace e2e
