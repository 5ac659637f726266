// WindowAutomation on the real desktop: FindWindow/EnumWindows by class,
// PostMessage/SendMessage, and keybd_event for synthesised keys.
#pragma once
#include "platform/window_automation.h"

namespace vocastra {

class Win32WindowAutomation : public WindowAutomation {
  public:
    WindowId FindTopLevelWindow(const std::string& className, const std::string& title) override;
    std::vector<WindowId> FindTopLevelWindows(const std::string& className) override;
    WindowId FindChildWindow(WindowId parent, const std::string& className) override;
    bool IsWindowVisible(WindowId window) override;
    bool PostWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                           intptr_t lParam) override;
    intptr_t SendWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                               intptr_t lParam) override;
    void SendKeyInput(uint8_t virtualKey, uint8_t scanCode, bool keyUp) override;
    std::vector<WindowId> FindChildWindows(WindowId parent, const std::string& className) override;
    std::string GetWindowTitle(WindowId window) override;
    std::optional<WindowRect> GetWindowRect(WindowId window) override;
    bool SetText(WindowId window, const std::string& text) override;
};

}  // namespace vocastra
