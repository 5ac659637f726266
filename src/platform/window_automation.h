// WindowAutomation port: driving the VoIP client's own windows from outside:
// finding them by class name, asking whether they are visible, posting and
// sending window messages to them, and synthesising keyboard input.
#pragma once
#include <cstdint>
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
    // One key transition into the focused window (virtual key, scan code).
    virtual void SendKeyInput(uint8_t virtualKey, uint8_t scanCode, bool keyUp) = 0;
};

}  // namespace vocastra
