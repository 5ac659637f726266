// A simulated desktop of foreign windows: a tree of windows with class
// names, titles and visibility. It records every message and key it is asked
// to deliver as a text line, and a posted WM_CLOSE closes the window.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window_automation.h"

namespace vocastra {

class SimWindowAutomation : public WindowAutomation {
  public:
    // Adds a window (top-level when `parent` is 0) and returns its id.
    WindowId AddWindow(const std::string& className, const std::string& title = {},
                       bool visible = true, WindowId parent = 0);
    void RemoveWindow(WindowId window);  // with its children
    void SetVisible(WindowId window, bool visible);
    bool Exists(WindowId window) const;

    // "POST <class> <msg> <wParam hex> <lParam hex>", "SEND ...", "KEY <vk> down|up".
    std::vector<std::string> Records() const;
    void ClearRecords();
    // Called with every record as it is made, outside the lock; Alt+digit
    // keys carry a gloss, "(Alt+1)".
    void SetObserver(std::function<void(const std::string&)> fn);

    WindowId FindTopLevelWindow(const std::string& className, const std::string& title) override;
    std::vector<WindowId> FindTopLevelWindows(const std::string& className) override;
    WindowId FindChildWindow(WindowId parent, const std::string& className) override;
    bool IsWindowVisible(WindowId window) override;
    bool PostWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                           intptr_t lParam) override;
    intptr_t SendWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                               intptr_t lParam) override;
    void SendKeyInput(uint8_t virtualKey, uint8_t scanCode, bool keyUp) override;

  private:
    struct Window {
        WindowId id;
        WindowId parent;
        std::string className;
        std::string title;
        bool visible;
    };
    const Window* Get(WindowId id) const;
    // Returns the line for the observer.
    std::string Record(const char* verb, const Window& w, uint32_t msg, uintptr_t wParam,
                       intptr_t lParam);
    void Tell(const std::string& line);
    void RemoveLocked(WindowId id);

    mutable std::mutex m_mutex;
    std::vector<Window> m_windows;
    std::vector<std::string> m_records;
    std::function<void(const std::string&)> m_observer;
    WindowId m_nextId = 0x1000;
};

}  // namespace vocastra
