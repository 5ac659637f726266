#include "skype/skype_dialler.h"

#include <algorithm>
#include <chrono>

#include "app/log.h"
#include "app/text_util.h"
#include "modes/mode_ids.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "skype/skype_environment.h"
#include "skype/skype_monitor.h"

namespace vocastra {

namespace {

constexpr const char* kMainForm = "tSkMainForm";
constexpr const char* kDialPadForm = "TCallPhonesForm";
constexpr const char* kDialPadHeader = "TCallPhonesHeader";
constexpr const char* kNumberField = "TAccessibleEdit";
constexpr const char* kCountryPopup = "TCountryCodePopup";
constexpr const char* kPopupContainer = "TPopupContainer";
constexpr const char* kConversationForm = "TConversationForm";
constexpr const char* kConversationHeader = "TConversationHeader";
constexpr const char* kCallPopup = "TCallPopup";

constexpr uintptr_t kVkReturn = 13;
// Repeat count 1 and the Enter key's scan code; key-up adds the
// previous-state and transition bits.
constexpr intptr_t kEnterDownLParam = 0x001C0001;
constexpr intptr_t kEnterUpLParam = static_cast<intptr_t>(0xC01C0001u);

constexpr int kGuiTries = 6;
constexpr uint32_t kGuiRetryMs = 500;
constexpr std::size_t kMaxUriParameterChars = 199;

constexpr uint32_t kPollMs = 100;
constexpr uint32_t kCountryTimeoutMs = 10000;
constexpr uint32_t kCallCheckPasses = 5;
constexpr uint32_t kCallCheckMs = 1000;
constexpr uint32_t kReclickAfterMs = 3000;
constexpr uint32_t kClickTimeoutMs = 6000;

using Started = std::vector<std::unique_ptr<CSkypeDialler::Watcher>>;
constexpr uint32_t kIdle = CSkypeDialler::kIdle;

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

intptr_t PointLParam(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(x & 0xFFFF));
}

void PostEnter(WindowAutomation& w, WindowId field) {
    w.PostWindowMessage(field, kWmKeyDown, kVkReturn, kEnterDownLParam);
    w.PostWindowMessage(field, kWmKeyUp, kVkReturn, kEnterUpLParam);
}

void PostClick(WindowAutomation& w, WindowId window, int32_t x, int32_t y) {
    w.PostWindowMessage(window, kWmLButtonDown, kMkLButton, PointLParam(x, y));
    w.PostWindowMessage(window, kWmLButtonUp, 0, PointLParam(x, y));
}

// The first visible top-level window of `cls` that has a `child` (visible
// when asked), and that child.
WindowId FindPopupChild(WindowAutomation& w, const char* cls, const char* child,
                        bool childVisible) {
    for (WindowId top : w.FindTopLevelWindows(cls)) {
        if (!w.IsWindowVisible(top))
            continue;
        const WindowId c = w.FindChildWindow(top, child);
        if (c && (!childVisible || w.IsWindowVisible(c)))
            return c;
    }
    return 0;
}

bool AnyVisible(WindowAutomation& w, const char* cls) {
    for (WindowId top : w.FindTopLevelWindows(cls))
        if (w.IsWindowVisible(top))
            return true;
    return false;
}

// Picks the country the popup offers, then confirms the number with Enter.
class CountryCodeWatcher : public CSkypeDialler::Watcher {
  public:
    CountryCodeWatcher(WindowAutomation& w, WindowId field, uint32_t start)
        : m_w(w), m_field(field), m_start(start) {}

    uint32_t Step(uint32_t now, Started&) override {
        switch (m_phase) {
            case Phase::Look:
                if (now - m_start >= kCountryTimeoutMs)
                    return TimedOut();
                m_container = FindCountryPopupContainer(m_w);
                if (!m_container)
                    return kPollMs;
                m_phase = Phase::Click;
                return 100;
            case Phase::Click:
                return Click(now);
            case Phase::CheckGone:
                if (const WindowId c = FindCountryPopupContainer(m_w)) {
                    m_container = c;
                    return Click(now);
                }
                m_phase = Phase::Settle;
                return 200;
            case Phase::Settle:
                LogRaw(
                    "CheckCountryCodeSettingWindowPopThread found country code setting wnd,set ok");
                m_phase = Phase::Enters;
                [[fallthrough]];
            case Phase::Enters:
                PostEnter(m_w, m_field);
                return ++m_enters < 6 ? 50 : kIdle;
        }
        return kIdle;
    }

  private:
    enum class Phase { Look, Click, CheckGone, Settle, Enters };
    uint32_t TimedOut() {
        LogRaw("CheckCountryCodeSettingWindowPopThread break ,timeout");
        return kIdle;
    }
    uint32_t Click(uint32_t now) {
        // The popup may never go: the clicking ends with the watcher's time.
        if (now - m_start >= kCountryTimeoutMs)
            return TimedOut();
        LogRaw("ClickCountryList");
        const auto rect = m_w.GetWindowRect(m_container);
        if (!rect) {
            m_phase = Phase::Settle;  // gone between find and click
            return 200;
        }
        PostClick(m_w, m_container, rect->Width() / 2, rect->Height() / 2);
        m_phase = Phase::CheckGone;
        return 200;
    }
    WindowAutomation& m_w;
    WindowId m_field;
    uint32_t m_start;
    Phase m_phase = Phase::Look;
    WindowId m_container = 0;
    int m_enters = 0;
};

// Presses Enter again while the number field stays open.
class CallCheckWatcher : public CSkypeDialler::Watcher {
  public:
    CallCheckWatcher(WindowAutomation& w, WindowId field) : m_w(w), m_field(field) {}

    uint32_t Step(uint32_t, Started&) override {
        if (m_pass++ == 0)
            return kCallCheckMs;  // each pass waits first
        if (!m_w.IsWindowVisible(m_field)) {
            LogRaw(
                "CheckCallIfSuccessThread:Call Edit Window Visible=0, call should be successful");
            return kIdle;
        }
        if (FindCountryPopupContainer(m_w)) {
            LogRaw("CheckCallIfSuccessThread:CountryCode Setting Window Pop still be there");
        } else {
            LogRaw(
                "CheckCallIfSuccessThread:Call Edit Window Visible=1, retry to send call command");
            PostEnter(m_w, m_field);
        }
        return m_pass <= kCallCheckPasses ? kCallCheckMs : kIdle;
    }

  private:
    WindowAutomation& m_w;
    WindowId m_field;
    uint32_t m_pass = 0;
};

// Picks the first number the call popup offers.
class PopupClickWatcher : public CSkypeDialler::Watcher {
  public:
    PopupClickWatcher(WindowAutomation& w, WindowId container, uint32_t start)
        : m_w(w), m_container(container), m_start(start) {
        LogRaw("CheckPopupCallWindowThread run");
    }

    uint32_t Step(uint32_t now, Started&) override {
        if (now - m_start >= kClickTimeoutMs) {
            LogRaw("CheckPopupCallWindowThread break,because time out");
            return kIdle;
        }
        if (!AnyVisible(m_w, kCallPopup)) {
            LogRaw("CheckPopupCallWindowThread break,because click success");
            return kIdle;
        }
        PostClick(m_w, m_container, 20, 20);
        return kPollMs;
    }

  private:
    WindowAutomation& m_w;
    WindowId m_container;
    uint32_t m_start;
};

// Clicks a conversation's call button until the client offers its numbers.
class CallButtonWatcher : public CSkypeDialler::Watcher {
  public:
    CallButtonWatcher(WindowAutomation& w, WindowId header, uint32_t start)
        : m_w(w), m_header(header), m_start(start) {}

    uint32_t Step(uint32_t now, Started& started) override {
        if (!m_clicked) {
            m_clicked = true;
            LogRaw("ClickCallPopupWindowThread run");
            const auto rect = m_w.GetWindowRect(m_header);
            if (!rect) {
                // Gone before the first click: nothing to press.
                LogRaw("ClickCallPopupWindowThread break,because the window is gone");
                return kIdle;
            }
            LogPrintA("width=%ld,height=%ld", static_cast<long>(rect->Width()),
                      static_cast<long>(rect->Height()));
            m_x = rect->Width() - 100;
            m_y = rect->Height() / 2 - 5;
            LogPrintA("call button pos x=%ld,y=%ld", static_cast<long>(m_x),
                      static_cast<long>(m_y));
            PostClick(m_w, m_header, m_x, m_y);
            return kPollMs;
        }
        if (const WindowId c = FindPopupChild(m_w, kCallPopup, kPopupContainer, false)) {
            started.push_back(std::make_unique<PopupClickWatcher>(m_w, c, now));
            LogRaw("ClickCallPopupWindowThread break,because ClickCallPopupWindow");
            return kIdle;
        }
        const uint32_t elapsed = now - m_start;
        if (elapsed >= kClickTimeoutMs) {
            LogRaw("ClickCallPopupWindowThread break,because time out");
            return kIdle;
        }
        if (elapsed > kReclickAfterMs)
            PostClick(m_w, m_header, m_x, m_y);
        return kPollMs;
    }

  private:
    WindowAutomation& m_w;
    WindowId m_header;
    uint32_t m_start;
    bool m_clicked = false;
    int32_t m_x = 0, m_y = 0;
};

}  // namespace

WindowId FindCountryPopupContainer(WindowAutomation& windows) {
    return FindPopupChild(windows, kCountryPopup, kPopupContainer, true);
}

CSkypeDialler::CSkypeDialler(const Deps& d)
    : m_windows(d.windows),
      m_clock(d.clock),
      m_shell(d.shell),
      m_monitor(d.monitor),
      m_environment(d.environment) {}

CSkypeDialler::~CSkypeDialler() {
    Stop();
}

bool CSkypeDialler::Stopping() const {
    std::lock_guard lock(m_mutex);
    return m_quit;
}

bool CSkypeDialler::DialCallCommand(const std::string& command) {
    const std::string t = command.size() > 5 ? command.substr(5) : std::string();
    m_monitor.SetLastCallTarget(t);
    if (const auto c = m_monitor.m_ContactList.FindContact(t); c && !c->strDisplayName.empty())
        m_monitor.SetLastCallTarget(c->strDisplayName);
    if (StartsWith(t, "1:")) {
        DialByUri(t);
        m_monitor.points.SwitchMode(MODE_RINGING);
        return true;
    }
    if (DialsThroughSkypeWindow(m_monitor.g_nSkypeMajor.load(), m_monitor.g_nSkypeMinor.load())) {
        WindowWay(t);
        return true;
    }
    m_monitor.points.SwitchMode(MODE_RINGING);
    return false;
}

void CSkypeDialler::WindowWay(const std::string& t) {
    bool dialPad = true;
    std::string displayName;
    if (!StartsWith(t, "+") && !StartsWith(t, "00")) {
        CContactDbInfo record;
        GetSkypeAccountInfoFromDB(t, record, m_monitor.MainDbPath());
        if (record.HasPhone()) {
            dialPad = false;
            displayName = record.szDisplayName.empty() ? t : record.szDisplayName;
        }
    }
    m_monitor.SendMessageToSkype(dialPad ? std::string("OPEN DIALPAD") : "OPEN IM " + t);
    for (int attempt = 0; attempt < kGuiTries; ++attempt) {
        if (Stopping())
            return;
        const int ok = dialPad ? DialByDialPad(t) : CallFromIM(displayName);
        if (ok) {
            m_monitor.points.SwitchMode(MODE_RINGING);
            return;
        }
        m_clock.Sleep(kGuiRetryMs);
    }
    LogRaw("GUI Way failed, call failed");
}

void CSkypeDialler::DialByUri(const std::string& target) {
    LogPrintA("Call [%s] By URI Way", target.c_str());
    const std::string params = "/uri:skype:" + target + "?call";
    // The parameters are the client's command line: a quote or a blank would
    // split it into arguments of the caller's making, and a cut URI names
    // another party.
    const bool unsafe = std::any_of(target.begin(), target.end(), [](char c) {
        return c == '"' || static_cast<unsigned char>(c) <= ' ';
    });
    if (unsafe || Utf8ToUtf16(params).size() > kMaxUriParameterChars) {
        LogPrintA("Call target not usable in a URI, not dialled: [%s]", target.c_str());
        return;
    }
    const std::string path = m_environment.SkypePath();
    if (path.empty() || !m_shell.Open(path, params))
        LogRaw("Could not start the client with the call URI");
}

int CSkypeDialler::DialByDialPad(const std::string& target) {
    const std::string number = StartsWith(target, "00") ? "+" + target.substr(2) : target;
    LogPrintA("Call [%s] By GUI Way", number.c_str());
    m_clock.Sleep(100);
    if (Stopping())
        return 0;
    auto findField = [this](WindowId top) -> WindowId {
        if (!top)
            return 0;
        const WindowId header = m_windows.FindChildWindow(top, kDialPadHeader);
        return header ? m_windows.FindChildWindow(header, kNumberField) : 0;
    };
    WindowId field = findField(m_windows.FindTopLevelWindow(kDialPadForm));
    if (!field) {
        const WindowId main = m_windows.FindTopLevelWindow(kMainForm);
        field = findField(main ? m_windows.FindChildWindow(main, kDialPadForm) : 0);
    }
    if (!field)
        return 0;
    LogRaw("Set edit begin");
    if (!m_windows.SetText(field, number)) {
        // Gone between find and set: this try failed.
        LogRaw("Set edit failed, the number field is gone");
        return 0;
    }
    LogRaw("Set edit end");
    m_clock.Sleep(100);
    PostEnter(m_windows, field);
    const uint32_t now = m_clock.GetTickCount();
    StartWatcher(std::make_unique<CountryCodeWatcher>(m_windows, field, now));
    StartWatcher(std::make_unique<CallCheckWatcher>(m_windows, field));
    return 1;
}

int CSkypeDialler::CallFromIM(const std::string& displayName) {
    LogPrintA("CallFromIM:[%s]", displayName.c_str());
    if (displayName.empty() || Stopping())
        return 0;
    auto pick = [&](const std::vector<WindowId>& forms) -> WindowId {
        for (WindowId f : forms)
            if (m_windows.IsWindowVisible(f) && m_windows.GetWindowTitle(f) == displayName)
                return f;
        return 0;
    };
    WindowId form = pick(m_windows.FindTopLevelWindows(kConversationForm));
    if (!form) {
        if (const WindowId main = m_windows.FindTopLevelWindow(kMainForm))
            form = pick(m_windows.FindChildWindows(main, kConversationForm));
    }
    if (!form)
        return 0;
    const WindowId header = m_windows.FindChildWindow(form, kConversationHeader);
    if (!header)
        return 0;
    StartWatcher(std::make_unique<CallButtonWatcher>(m_windows, header, m_clock.GetTickCount()));
    return 1;
}

void CSkypeDialler::StartWatcher(std::unique_ptr<Watcher> w) {
    std::lock_guard lock(m_mutex);
    if (m_quit)
        return;
    w->due = m_clock.GetTickCount();
    m_watchers.push_back(std::move(w));
    m_changed = true;
    m_cv.notify_all();
    if (!m_manual && !m_thread.joinable())
        m_thread = std::thread([this] { ThreadProc(); });
}

uint32_t CSkypeDialler::PollWatchers(uint32_t now) {
    std::lock_guard lock(m_mutex);
    if (m_quit)
        return kIdle;
    Started started;
    for (auto& w : m_watchers) {
        if (static_cast<int32_t>(now - w->due) < 0)
            continue;
        const uint32_t wait = w->Step(now, started);
        if (wait == kIdle)
            w.reset();
        else
            w->due = now + wait;
    }
    std::erase_if(m_watchers, [](const auto& w) { return !w; });
    for (auto& w : started) {
        w->due = now;
        m_watchers.push_back(std::move(w));
    }
    uint32_t next = kIdle;
    for (const auto& w : m_watchers)
        next = std::min<uint32_t>(next, static_cast<int32_t>(w->due - now) > 0 ? w->due - now : 0);
    return next;
}

std::size_t CSkypeDialler::WatcherCount() const {
    std::lock_guard lock(m_mutex);
    return m_watchers.size();
}

void CSkypeDialler::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_watchers.clear();
        m_cv.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void CSkypeDialler::ThreadProc() {
    for (;;) {
        const uint32_t wait = PollWatchers(m_clock.GetTickCount());
        std::unique_lock lock(m_mutex);
        auto woken = [this] { return m_changed || m_quit; };
        if (wait == kIdle)
            m_cv.wait(lock, woken);
        else
            m_cv.wait_for(lock, std::chrono::milliseconds(wait), woken);
        if (m_quit)
            return;
        m_changed = false;
    }
}

}  // namespace vocastra
