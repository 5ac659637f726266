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
    void SetRect(WindowId window, const WindowRect& rect);
    // The text last set into the window (or its title).
    std::string Text(WindowId window) const;

    // What a window did with a message or text it was given; a fake of the
    // client's windows reacts to it (outside the desktop's lock).
    struct Delivery {
        WindowId window;
        std::string className;
        uint32_t msg;  // kWmSetText for a text set
        uintptr_t wParam;
        intptr_t lParam;
        std::string text;
    };
    static constexpr uint32_t kWmSetText = 0x000C;
    void SetReaction(std::function<void(const Delivery&)> react);

    // "POST <class> <msg> <wParam hex> <lParam hex>", "SEND ...", "KEY <vk> down|up",
    // "SETTEXT <class> <text>".
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
    std::vector<WindowId> FindChildWindows(WindowId parent, const std::string& className) override;
    std::string GetWindowTitle(WindowId window) override;
    std::optional<WindowRect> GetWindowRect(WindowId window) override;
    bool SetText(WindowId window, const std::string& text) override;

  private:
    struct Window {
        WindowId id;
        WindowId parent;
        std::string className;
        std::string title;
        bool visible;
        WindowRect rect{0, 0, 200, 100};
    };
    void React(const Delivery& d);
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
    std::function<void(const Delivery&)> m_react;  // set before use, not while delivering
};

}  // namespace vocastra
