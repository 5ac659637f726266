// What the screen shows, for scenarios that check and keep pictures of the
// program's windows (the tray icon, its menu, the settings sheet).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    bool operator==(const Picture& o) const {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
    int RedPixels() const;
};

// The screen's pixels inside `r` (screen coordinates).
Picture GrabRect(const RECT& r);
// What the screen shows where `window` is.
Picture Grab(HWND window);
// A 24-bit bottom-up BMP, which every viewer and converter reads.
void SaveBmp(const Picture& pic, const std::wstring& path);

// The text of the tooltip on screen, if one is shown.
std::wstring ShownTip();

}  // namespace e2e
