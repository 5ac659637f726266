// The client link's wire against real windows: a send reaches a peer that
// takes it, fails for one that refuses it, and gives up on one that has
// stopped taking messages instead of waiting for it for ever.
#include <windows.h>

#include <string>
#include <thread>

#include "platform/win32/win32_skype_wire.h"
#include "test_support.h"

namespace vocastra {
namespace {

struct NoListener : SkypeWireListener {
    void OnAttachStatus(SkypePeer, uint32_t) override {}
    void OnCopyData(SkypePeer, std::string_view) override {}
    void OnTimer(uint32_t) override {}
};

// A client window on a thread of its own. `hung`: once the window exists,
// the thread waits without taking messages until the peer is destroyed.
class Peer {
  public:
    Peer(LRESULT answer, bool hung) : m_answer(answer) {
        m_ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, hung] { Run(hung); });
        ::WaitForSingleObject(m_ready, INFINITE);
    }
    ~Peer() {
        ::SetEvent(m_release);
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
        ::CloseHandle(m_ready);
        ::CloseHandle(m_release);
    }
    SkypePeer Handle() const { return reinterpret_cast<SkypePeer>(m_hwnd); }
    std::string received;

  private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Peer*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
        if (msg == WM_COPYDATA && self) {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
            self->received.assign(static_cast<const char*>(cds->lpData), cds->cbData);
            return self->m_answer;
        }
        return ::DefWindowProcW(h, msg, w, l);
    }
    void Run(bool hung) {
        m_threadId = ::GetCurrentThreadId();
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VocastraTestPeer";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, L"VocastraTestPeer", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        MSG m;
        ::PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists now
        ::SetEvent(m_ready);
        if (hung) {
            ::WaitForSingleObject(m_release, INFINITE);
        } else {
            while (::GetMessageW(&m, nullptr, 0, 0) > 0)
                ::DispatchMessageW(&m);
        }
        ::DestroyWindow(m_hwnd);
    }

    LRESULT m_answer;
    HANDLE m_ready = nullptr;
    HANDLE m_release = nullptr;
    DWORD m_threadId = 0;
    HWND m_hwnd = nullptr;
    std::thread m_thread;
};

class WireTest : public ::testing::Test {
  protected:
    WireTest() {
        m_parent = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
        wire.SetParent(m_parent);
        EXPECT_TRUE(wire.Create(listener));
    }
    ~WireTest() override {
        wire.Destroy();
        ::DestroyWindow(m_parent);
    }
    NoListener listener;
    win32::Win32SkypeWire wire;

  private:
    HWND m_parent = nullptr;
};

TEST_F(WireTest, ASendIsTakenOrRefused) {
    Peer taking(TRUE, false);
    EXPECT_TRUE(wire.Send(taking.Handle(), "GET SKYPEVERSION"));
    EXPECT_EQ(taking.received, std::string("GET SKYPEVERSION", 17));  // with its NUL
    Peer refusing(0, false);
    EXPECT_FALSE(wire.Send(refusing.Handle(), "PING"));
    EXPECT_FALSE(wire.Send(0x7FFFFFF0, "PING"));  // no such window
}

TEST_F(WireTest, AHungClientIsGoneRatherThanWaitedFor) {
    wire.SetSendTimeout(300);
    Peer hung(TRUE, true);
    EXPECT_FALSE(wire.Send(hung.Handle(), "PING"));
}

}  // namespace
}  // namespace vocastra
