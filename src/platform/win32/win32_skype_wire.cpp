#include "platform/win32/win32_skype_wire.h"

#include <string>

namespace vocastra::win32 {

namespace {
constexpr wchar_t kLinkWindowClass[] = L"Vocastra.SkypeLink";
constexpr int kLinkWindowId = 100;
}  // namespace

UINT Win32SkypeWire::AttachMessage() {
    static const UINT id = ::RegisterWindowMessageW(L"SkypeControlAPIAttach");
    return id;
}

bool Win32SkypeWire::Create(SkypeWireListener& listener) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32SkypeWire::WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kLinkWindowClass;
    ::RegisterClassExW(&wc);  // fails harmlessly when already registered
    m_listener = &listener;
    m_hwnd = ::CreateWindowExW(
        0, kLinkWindowClass, L"Skype_Monitor", WS_CHILD, 0, 0, 0, 0, m_parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLinkWindowId)), instance, this);
    if (!m_hwnd) {
        m_listener = nullptr;
        return false;
    }
    m_uAttachMsg = AttachMessage();
    m_uDiscoverMsg = ::RegisterWindowMessageW(L"SkypeControlAPIDiscover");
    ::SetTimer(m_hwnd, TIMER_SKYPE_PING, kSkypePingPeriodMs, nullptr);
    return true;
}

void Win32SkypeWire::Destroy() {
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

void Win32SkypeWire::BroadcastDiscover() {
    ::PostMessageW(HWND_BROADCAST, m_uDiscoverMsg, reinterpret_cast<WPARAM>(m_hwnd), 0);
}

bool Win32SkypeWire::Send(SkypePeer peer, std::string_view command) {
    // The text travels with its NUL, as the client expects.
    std::string text(command);
    COPYDATASTRUCT cds{};
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(text.size() + 1);
    cds.lpData = text.data();
    // A client that has stopped taking messages must not hold up the
    // sending thread (the UI thread for the keep-alive and the attach):
    // after the time-out, or at once when the system already counts it as
    // hung, it is as good as gone. Sent messages to us are still handled
    // while we wait, as with a plain send.
    DWORD_PTR result = 0;
    const LRESULT sent = ::SendMessageTimeoutW(
        reinterpret_cast<HWND>(peer), WM_COPYDATA, reinterpret_cast<WPARAM>(m_hwnd),
        reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL | SMTO_ABORTIFHUNG, m_sendTimeoutMs, &result);
    return sent != 0 && result != 0;
}

LRESULT CALLBACK Win32SkypeWire::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        // Known before CreateWindowExW returns: the creation messages go to
        // DefWindowProcW with it, and a null window there fails the creation.
        if (auto* w = static_cast<Win32SkypeWire*>(cs->lpCreateParams))
            w->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<Win32SkypeWire*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->m_listener)
        return self->OnMessage(msg, wParam, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT Win32SkypeWire::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != 0 && msg == m_uAttachMsg) {
        m_listener->OnAttachStatus(static_cast<SkypePeer>(wParam), static_cast<uint32_t>(lParam));
        return 1;
    }
    switch (msg) {
        case WM_COPYDATA: {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (cds && cds->lpData && cds->cbData > 0) {
                // Never read past cbData, whether or not the sender put a
                // NUL inside it; the portable side cuts at the first NUL.
                const std::size_t n = std::min<std::size_t>(cds->cbData, kSkypeMaxText + 1);
                m_listener->OnCopyData(static_cast<SkypePeer>(wParam),
                                       std::string_view(static_cast<const char*>(cds->lpData), n));
            }
            return TRUE;
        }
        case WM_TIMER:
            m_listener->OnTimer(static_cast<uint32_t>(wParam));
            return 0;
        case WM_DESTROY:
            ::KillTimer(m_hwnd, TIMER_SKYPE_PING);
            m_hwnd = nullptr;
            return 0;
        default:
            return ::DefWindowProcW(m_hwnd, msg, wParam, lParam);
    }
}

}  // namespace vocastra::win32
