// MainWindow on the hidden dialog's window handle. The handle is set once the
// dialog exists (before its start-up runs); until then messages and timers go
// nowhere.
#pragma once
#include <atomic>

#include "platform/main_window.h"

struct HWND__;

namespace vocastra::win32 {

// A window's timers can be set and killed only on the thread that owns the
// window; the handset's read thread sets the long-press timer. Calls from
// another thread are posted to the window as these messages, and the
// window's thread carries them out in HandleTimerRequest, in the order they
// were made.
inline constexpr unsigned kMsgSetTimerRequest = 0x8000 + 0x40;  // WM_APP + 0x40
inline constexpr unsigned kMsgKillTimerRequest = 0x8000 + 0x41;

class Win32MainWindow : public MainWindow {
  public:
    void SetHandle(HWND__* hwnd) { m_hwnd.store(hwnd); }
    HWND__* Handle() const { return m_hwnd.load(); }

    void Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    intptr_t Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    void SetTimer(uint32_t id, uint32_t elapseMs) override;
    void KillTimer(uint32_t id) override;
    void EndDialog() override;
    void TerminateProcess() override;
    // For the window procedure: true when `msg` was a timer request.
    bool HandleTimerRequest(unsigned msg, uintptr_t wParam, intptr_t lParam);

  private:
    std::atomic<HWND__*> m_hwnd{nullptr};
};

}  // namespace vocastra::win32
