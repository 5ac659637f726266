// WindowAutomation port: driving the VoIP client's own windows from outside:
// finding them by class name, asking whether they are visible, posting and
// sending window messages to them, and synthesising keyboard input.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vocastra {

// Opaque handle of a foreign window; 0 is "no window".
using WindowId = uint64_t;

// Standard message numbers used on foreign windows.
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uintptr_t kMkLButton = 0x0001;

// A window's rectangle in screen coordinates.
struct WindowRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

class WindowAutomation {
  public:
    virtual ~WindowAutomation() = default;
    // First top-level window of `className` (and `title` when not empty), or 0.
    virtual WindowId FindTopLevelWindow(const std::string& className,
                                        const std::string& title = {}) = 0;
    // Every top-level window of `className`, in Z order.
    virtual std::vector<WindowId> FindTopLevelWindows(const std::string& className) = 0;
    // First descendant of `parent` of `className`, or 0.
    virtual WindowId FindChildWindow(WindowId parent, const std::string& className) = 0;
    virtual bool IsWindowVisible(WindowId window) = 0;
    // Queues a message for the window's thread; false when it is gone.
    virtual bool PostWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                                   intptr_t lParam) = 0;
    // Delivers a message and waits for the window to handle it.
    virtual intptr_t SendWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                                       intptr_t lParam) = 0;
    // Every descendant of `parent` of `className`, in Z order.
    virtual std::vector<WindowId> FindChildWindows(WindowId parent,
                                                   const std::string& className) = 0;
    // The window's title (UTF-8); empty when it has none or is gone.
    virtual std::string GetWindowTitle(WindowId window) = 0;
    // Empty when the window is gone.
    virtual std::optional<WindowRect> GetWindowRect(WindowId window) = 0;
    // Sets the window's text and waits until its thread took it (WM_SETTEXT);
    // false when the window is gone or refused it.
    virtual bool SetText(WindowId window, const std::string& text) = 0;
    // One key transition into the focused window (virtual key, scan code).
    virtual void SendKeyInput(uint8_t virtualKey, uint8_t scanCode, bool keyUp) = 0;
};

}  // namespace vocastra
