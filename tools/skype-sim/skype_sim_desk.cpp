#include "skype_sim_desk.h"

#include <cstdlib>
#include <vector>

#include "platform/sim/sim_skype_client.h"

namespace skypesim {

namespace {

ClientDesk* g_desk = nullptr;  // one desk a process: the window procedure's

constexpr wchar_t kDialPadForm[] = L"TCallPhonesForm";
constexpr wchar_t kDialPadHeader[] = L"TCallPhonesHeader";
constexpr wchar_t kNumberField[] = L"TAccessibleEdit";
constexpr wchar_t kCountryPopup[] = L"TCountryCodePopup";
constexpr wchar_t kPopupContainer[] = L"TPopupContainer";
constexpr wchar_t kConversationForm[] = L"TConversationForm";
constexpr wchar_t kConversationHeader[] = L"TConversationHeader";
constexpr wchar_t kCallPopup[] = L"TCallPopup";
constexpr const wchar_t* kClasses[] = {kDialPadForm,        kDialPadHeader,  kNumberField,
                                       kCountryPopup,       kPopupContainer, kConversationForm,
                                       kConversationHeader, kCallPopup};

// Sizes of the client's windows as the stand-in draws them.
constexpr int kCountryListW = 240, kCountryListH = 160;
constexpr int kHeaderW = 600, kHeaderH = 60;
constexpr int kCallListW = 200, kCallListH = 80;
constexpr int kCallEntryH = 40;  // the popup lists two numbers
// The call button sits 100 px from the header's right edge, a little above
// its middle; a click this far from its centre still hits it.
constexpr int kCallButtonFromRight = 100, kCallButtonAbove = 5;
constexpr int kCallButtonHalfW = 20, kCallButtonHalfH = 10;
constexpr size_t kMaxText = 512;

std::string Utf8(const wchar_t* w, int n) {
    if (n <= 0)
        return {};
    const int len = ::WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(len), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w, n, s.data(), len, nullptr, nullptr);
    return s;
}

std::wstring Wide(const std::string& s) {
    if (s.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string ClassOf(HWND hwnd) {
    wchar_t cls[64] = {};
    const int n = ::GetClassNameW(hwnd, cls, 64);
    return Utf8(cls, n);
}

// The text a WM_SETTEXT carries, bounded.
std::string SetTextOf(LPARAM lParam) {
    const auto* p = reinterpret_cast<const wchar_t*>(lParam);
    if (!p)
        return {};
    size_t n = 0;
    while (n < kMaxText && p[n])
        ++n;
    return Utf8(p, static_cast<int>(n));
}

struct ThreadWindows {
    std::wstring cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<ThreadWindows*>(lParam);
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (s->cls == cls)
        s->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

ClientDesk::ClientDesk(vocastra::SimSkypeClient& client, LogFn log, std::function<void()> placed)
    : m_client(client), m_log(std::move(log)), m_placed(std::move(placed)) {
    g_desk = this;
}

ClientDesk::~ClientDesk() {
    g_desk = nullptr;
}

bool ClientDesk::Register(HINSTANCE instance) {
    m_instance = instance;
    for (const wchar_t* cls : kClasses) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.lpszClassName = cls;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        if (!::RegisterClassW(&wc))
            return false;
    }
    return true;
}

HWND ClientDesk::Make(const wchar_t* cls, const std::wstring& title, DWORD style, int x, int y,
                      int w, int h, HWND parent) {
    return ::CreateWindowExW(0, cls, title.c_str(), style, x, y, w, h, parent, nullptr, m_instance,
                             nullptr);
}

HWND ClientDesk::MakeForm(const wchar_t* cls, const std::wstring& title, int x, int y, int w,
                          int h) {
    if (m_react.docked && m_main)
        return Make(cls, title, WS_CHILD, 0, 0, w, h, m_main);
    return Make(cls, title, WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr);
}

void ClientDesk::ShowForm(HWND form) {
    ::ShowWindow(form, SW_SHOWNOACTIVATE);
    if (m_react.docked && m_main)
        ::ShowWindow(m_main, SW_SHOWNOACTIVATE);
}

void ClientDesk::OnCommand(const std::string& command) {
    if (command == "OPEN DIALPAD")
        OpenDialPad();
    else if (command.rfind("OPEN IM ", 0) == 0 && command.size() > 8)
        OpenConversation(command.substr(8));
}

bool ClientDesk::Control(const std::string& line) {
    if (line == "dialpad accept" || line == "dialpad ignore")
        m_react.acceptEnter = line == "dialpad accept";
    else if (line == "countrypopup on" || line == "countrypopup off")
        m_react.countryPopupFirst = line == "countrypopup on";
    else if (line == "callpopup on" || line == "callpopup off")
        m_react.callPopupOnClick = line == "callpopup on";
    else if (line == "docked on" || line == "docked off")
        m_react.docked = line == "docked on";
    else if (line.rfind("vanish ", 0) == 0)
        Vanish(line.substr(7));
    else
        return false;
    return true;
}

void ClientDesk::OpenDialPad() {
    // A fresh pad each time: an empty number field, no country picked yet.
    if (m_dialPad)
        ::DestroyWindow(m_dialPad);
    m_number.clear();
    m_countryChosen = false;
    m_dialPad = MakeForm(kDialPadForm, L"Call phones", 250, 150, 320, 420);
    const HWND header = Make(kDialPadHeader, L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 80, m_dialPad);
    m_field = Make(kNumberField, L"", WS_CHILD | WS_VISIBLE, 10, 10, 220, 30, header);
    if (!m_dialPad || !header || !m_field)
        return;
    ShowForm(m_dialPad);
    m_log(m_react.docked ? "WINDOW shown TCallPhonesForm docked" : "WINDOW shown TCallPhonesForm");
}

void ClientDesk::OpenConversation(const std::string& handle) {
    if (m_conv)
        ::DestroyWindow(m_conv);
    m_convTarget = handle;
    const std::string title = m_client.ConversationTitle(handle);
    m_conv = MakeForm(kConversationForm, Wide(title), 200, 150, 640, 400);
    m_convHeader =
        Make(kConversationHeader, L"", WS_CHILD | WS_VISIBLE, 0, 0, kHeaderW, kHeaderH, m_conv);
    if (!m_conv || !m_convHeader)
        return;
    ShowForm(m_conv);
    m_log(std::string(m_react.docked ? "WINDOW shown TConversationForm docked "
                                     : "WINDOW shown TConversationForm ") +
          title);
}

void ClientDesk::OnEnter() {
    if (!m_field || !::IsWindowVisible(m_field) || m_number.empty())
        return;
    if (m_countryPopup)
        return;  // the popup has the keyboard until a country is picked
    if (m_react.countryPopupFirst && !m_countryChosen && m_number[0] == '+') {
        m_countryPopup =
            Make(kCountryPopup, L"", WS_POPUP, 300, 220, kCountryListW, kCountryListH, nullptr);
        m_countryList = Make(kPopupContainer, L"", WS_CHILD | WS_VISIBLE, 0, 0, kCountryListW,
                             kCountryListH, m_countryPopup);
        ::ShowWindow(m_countryPopup, SW_SHOWNOACTIVATE);
        m_log("WINDOW shown TCountryCodePopup");
        return;
    }
    if (!m_react.acceptEnter)
        return;
    // The number is taken: the pad goes away and the call goes out.
    const std::string number = m_number;
    m_number.clear();
    ::ShowWindow(m_dialPad, SW_HIDE);
    Place(number);
}

void ClientDesk::OnClick(HWND hwnd, int x, int y) {
    if (hwnd == m_countryList && m_countryPopup) {
        // Any point of the list is a country.
        m_countryChosen = true;
        ::DestroyWindow(m_countryPopup);
        m_log("WINDOW closed TCountryCodePopup");
    } else if (hwnd == m_convHeader && m_react.callPopupOnClick && !m_callPopup) {
        RECT r{};
        ::GetClientRect(hwnd, &r);
        const int bx = r.right - kCallButtonFromRight, by = r.bottom / 2 - kCallButtonAbove;
        if (std::abs(x - bx) > kCallButtonHalfW || std::abs(y - by) > kCallButtonHalfH)
            return;  // not on the call button
        m_callPopup = Make(kCallPopup, L"", WS_POPUP, 500, 260, kCallListW, kCallListH, nullptr);
        m_callList = Make(kPopupContainer, L"", WS_CHILD | WS_VISIBLE, 0, 0, kCallListW, kCallListH,
                          m_callPopup);
        ::ShowWindow(m_callPopup, SW_SHOWNOACTIVATE);
        m_log("WINDOW shown TCallPopup");
    } else if (hwnd == m_callList && m_callPopup && y >= 0 && y < kCallEntryH) {
        // The first entry: the contact's first number.
        const std::string target = m_convTarget;
        ::DestroyWindow(m_callPopup);
        m_log("WINDOW closed TCallPopup");
        Place(target);
    }
}

void ClientDesk::Place(const std::string& target) {
    const std::string id = m_client.DialFromWindow(target);
    m_log("WINDOW call " + target + (id.empty() ? " not placed" : " " + id));
    if (m_placed)
        m_placed();
}

void ClientDesk::Vanish(const std::string& className) {
    ThreadWindows s{Wide(className), {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectTop, reinterpret_cast<LPARAM>(&s));
    for (HWND h : s.found)
        ::DestroyWindow(h);
}

LRESULT CALLBACK ClientDesk::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_desk)
        return g_desk->Handle(hwnd, msg, wParam, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT ClientDesk::Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETTEXT: {
            const std::string text = SetTextOf(lParam);
            m_log("WINDOW <- SETTEXT " + ClassOf(hwnd) + " " + text);
            if (hwnd == m_field)
                m_number = text;
            break;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
            m_log(std::string("WINDOW <- ") + (msg == WM_KEYDOWN ? "KEYDOWN " : "KEYUP ") +
                  ClassOf(hwnd) + " " + std::to_string(wParam));
            if (msg == WM_KEYDOWN && wParam == VK_RETURN && hwnd == m_field)
                OnEnter();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            // Client coordinates, signed, as the position word carries them.
            const int x = static_cast<short>(LOWORD(lParam));
            const int y = static_cast<short>(HIWORD(lParam));
            m_log(std::string("WINDOW <- ") +
                  (msg == WM_LBUTTONDOWN ? "LBUTTONDOWN " : "LBUTTONUP ") + ClassOf(hwnd) + " " +
                  std::to_string(x) + "," + std::to_string(y));
            if (msg == WM_LBUTTONUP)
                OnClick(hwnd, x, y);
            return 0;
        }
        case WM_CLOSE:
            // A form asked to close (the program clears away call forms).
            m_log("WINDOW closed " + ClassOf(hwnd));
            ::DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            for (HWND* h : {&m_dialPad, &m_field, &m_countryPopup, &m_countryList, &m_conv,
                            &m_convHeader, &m_callPopup, &m_callList})
                if (*h == hwnd)
                    *h = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace skypesim
