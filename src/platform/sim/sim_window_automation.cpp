#include "platform/sim/sim_window_automation.h"

#include "app/text_util.h"

namespace vocastra {

namespace {

std::string MessageName(uint32_t msg) {
    switch (msg) {
        case kWmClose:
            return "WM_CLOSE";
        case kWmKeyDown:
            return "WM_KEYDOWN";
        case kWmSysKeyDown:
            return "WM_SYSKEYDOWN";
        case kWmSysKeyUp:
            return "WM_SYSKEYUP";
        case kWmKeyUp:
            return "WM_KEYUP";
        case kWmLButtonDown:
            return "WM_LBUTTONDOWN";
        case kWmLButtonUp:
            return "WM_LBUTTONUP";
        default:
            return StrPrintf("0x%04x", msg);
    }
}

}  // namespace

WindowId SimWindowAutomation::AddWindow(const std::string& className, const std::string& title,
                                        bool visible, WindowId parent) {
    std::lock_guard lock(m_mutex);
    const WindowId id = ++m_nextId;
    m_windows.push_back({id, parent, className, title, visible});
    return id;
}

void SimWindowAutomation::RemoveLocked(WindowId id) {
    std::vector<WindowId> children;
    for (const auto& w : m_windows)
        if (w.parent == id)
            children.push_back(w.id);
    for (WindowId c : children)
        RemoveLocked(c);
    std::erase_if(m_windows, [id](const Window& w) { return w.id == id; });
}

void SimWindowAutomation::RemoveWindow(WindowId window) {
    std::lock_guard lock(m_mutex);
    RemoveLocked(window);
}

void SimWindowAutomation::SetVisible(WindowId window, bool visible) {
    std::lock_guard lock(m_mutex);
    for (auto& w : m_windows)
        if (w.id == window)
            w.visible = visible;
}

void SimWindowAutomation::SetRect(WindowId window, const WindowRect& rect) {
    std::lock_guard lock(m_mutex);
    for (auto& w : m_windows)
        if (w.id == window)
            w.rect = rect;
}

std::string SimWindowAutomation::Text(WindowId window) const {
    std::lock_guard lock(m_mutex);
    const Window* w = Get(window);
    return w ? w->title : std::string();
}

void SimWindowAutomation::SetReaction(std::function<void(const Delivery&)> react) {
    m_react = std::move(react);
}

void SimWindowAutomation::React(const Delivery& d) {
    if (m_react)
        m_react(d);
}

bool SimWindowAutomation::Exists(WindowId window) const {
    std::lock_guard lock(m_mutex);
    return Get(window) != nullptr;
}

const SimWindowAutomation::Window* SimWindowAutomation::Get(WindowId id) const {
    for (const auto& w : m_windows)
        if (w.id == id)
            return &w;
    return nullptr;
}

std::vector<std::string> SimWindowAutomation::Records() const {
    std::lock_guard lock(m_mutex);
    return m_records;
}

void SimWindowAutomation::ClearRecords() {
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

WindowId SimWindowAutomation::FindTopLevelWindow(const std::string& className,
                                                 const std::string& title) {
    std::lock_guard lock(m_mutex);
    for (const auto& w : m_windows)
        if (w.parent == 0 && w.className == className && (title.empty() || w.title == title))
            return w.id;
    return 0;
}

std::vector<WindowId> SimWindowAutomation::FindTopLevelWindows(const std::string& className) {
    std::lock_guard lock(m_mutex);
    std::vector<WindowId> ids;
    for (const auto& w : m_windows)
        if (w.parent == 0 && w.className == className)
            ids.push_back(w.id);
    return ids;
}

WindowId SimWindowAutomation::FindChildWindow(WindowId parent, const std::string& className) {
    std::lock_guard lock(m_mutex);
    // Breadth-first over the descendants, like a recursive child search.
    std::vector<WindowId> level{parent};
    while (!level.empty()) {
        std::vector<WindowId> next;
        for (WindowId p : level)
            for (const auto& w : m_windows)
                if (w.parent == p) {
                    if (w.className == className)
                        return w.id;
                    next.push_back(w.id);
                }
        level = std::move(next);
    }
    return 0;
}

bool SimWindowAutomation::IsWindowVisible(WindowId window) {
    std::lock_guard lock(m_mutex);
    const Window* w = Get(window);
    return w && w->visible;
}

std::string SimWindowAutomation::Record(const char* verb, const Window& w, uint32_t msg,
                                        uintptr_t wParam, intptr_t lParam) {
    m_records.push_back(StrPrintf("%s %s %s 0x%llx 0x%llx", verb, w.className.c_str(),
                                  MessageName(msg).c_str(), (unsigned long long)wParam,
                                  (unsigned long long)(uint32_t)lParam));
    // Context bit 29: the key came with Alt held.
    const bool altDigit = (msg == kWmSysKeyDown || msg == kWmSysKeyUp) && (lParam & 0x20000000) &&
                          wParam >= '0' && wParam <= '9';
    if (altDigit)
        return m_records.back() + " (Alt+" + static_cast<char>(wParam) + ")";
    // A click's point is in the low and high words, each signed (client coordinates).
    if (msg == kWmLButtonDown || msg == kWmLButtonUp) {
        const auto x = static_cast<int16_t>(static_cast<uint32_t>(lParam) & 0xFFFF);
        const auto y = static_cast<int16_t>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFF);
        return m_records.back() + StrPrintf(" (at %d,%d)", x, y);
    }
    return m_records.back();
}

void SimWindowAutomation::SetObserver(std::function<void(const std::string&)> fn) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(fn);
}

void SimWindowAutomation::Tell(const std::string& line) {
    std::function<void(const std::string&)> observer;
    {
        std::lock_guard lock(m_mutex);
        observer = m_observer;
    }
    if (observer)
        observer(line);
}

bool SimWindowAutomation::PostWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                                            intptr_t lParam) {
    std::string line;
    Delivery d{window, {}, msg, wParam, lParam, {}};
    {
        std::lock_guard lock(m_mutex);
        const Window* w = Get(window);
        if (!w)
            return false;
        line = Record("POST", *w, msg, wParam, lParam);
        d.className = w->className;
        if (msg == kWmClose)
            RemoveLocked(window);
    }
    Tell(line);
    React(d);
    return true;
}

intptr_t SimWindowAutomation::SendWindowMessage(WindowId window, uint32_t msg, uintptr_t wParam,
                                                intptr_t lParam) {
    std::string line;
    Delivery d{window, {}, msg, wParam, lParam, {}};
    {
        std::lock_guard lock(m_mutex);
        const Window* w = Get(window);
        if (!w)
            return 0;
        line = Record("SEND", *w, msg, wParam, lParam);
        d.className = w->className;
    }
    Tell(line);
    React(d);
    return 0;
}

std::vector<WindowId> SimWindowAutomation::FindChildWindows(WindowId parent,
                                                            const std::string& className) {
    std::lock_guard lock(m_mutex);
    // Depth-first in creation order, as EnumChildWindows walks the tree.
    std::vector<WindowId> found;
    std::function<void(WindowId)> walk = [&](WindowId p) {
        for (const auto& w : m_windows)
            if (w.parent == p) {
                if (w.className == className)
                    found.push_back(w.id);
                walk(w.id);
            }
    };
    if (parent != 0)
        walk(parent);
    return found;
}

std::string SimWindowAutomation::GetWindowTitle(WindowId window) {
    return Text(window);
}

std::optional<WindowRect> SimWindowAutomation::GetWindowRect(WindowId window) {
    std::lock_guard lock(m_mutex);
    const Window* w = Get(window);
    if (!w)
        return std::nullopt;
    return w->rect;
}

bool SimWindowAutomation::SetText(WindowId window, const std::string& text) {
    Delivery d{window, {}, kWmSetText, 0, 0, text};
    std::string line;
    {
        std::lock_guard lock(m_mutex);
        Window* w = nullptr;
        for (auto& x : m_windows)
            if (x.id == window)
                w = &x;
        if (!w)
            return false;
        w->title = text;
        m_records.push_back("SETTEXT " + w->className + " " + text);
        line = m_records.back();
        d.className = w->className;
    }
    Tell(line);
    React(d);
    return true;
}

void SimWindowAutomation::SendKeyInput(uint8_t virtualKey, uint8_t /*scanCode*/, bool keyUp) {
    std::string line = StrPrintf("KEY %u %s", virtualKey, keyUp ? "up" : "down");
    {
        std::lock_guard lock(m_mutex);
        m_records.push_back(line);
    }
    Tell(line);
}

}  // namespace vocastra
