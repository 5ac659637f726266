#include "platform/win32/win32_main_window.h"

#include <windows.h>

namespace vocastra::win32 {

void Win32MainWindow::Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (HWND h = Handle())
        ::PostMessageW(h, msg, wParam, lParam);
}

intptr_t Win32MainWindow::Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    HWND h = Handle();
    return h ? ::SendMessageW(h, msg, wParam, lParam) : 0;
}

namespace {

bool OwnsWindow(HWND h) {
    return ::GetWindowThreadProcessId(h, nullptr) == ::GetCurrentThreadId();
}

}  // namespace

void Win32MainWindow::SetTimer(uint32_t id, uint32_t elapseMs) {
    HWND h = Handle();
    if (!h)
        return;
    if (OwnsWindow(h))
        ::SetTimer(h, id, elapseMs, nullptr);
    else
        ::PostMessageW(h, kMsgSetTimerRequest, id, static_cast<LPARAM>(elapseMs));
}

void Win32MainWindow::KillTimer(uint32_t id) {
    HWND h = Handle();
    if (!h)
        return;
    if (OwnsWindow(h))
        ::KillTimer(h, id);
    else
        ::PostMessageW(h, kMsgKillTimerRequest, id, 0);
}

bool Win32MainWindow::HandleTimerRequest(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    if (msg != kMsgSetTimerRequest && msg != kMsgKillTimerRequest)
        return false;
    if (HWND h = Handle()) {
        if (msg == kMsgSetTimerRequest)
            ::SetTimer(h, wParam, static_cast<UINT>(lParam), nullptr);
        else
            ::KillTimer(h, wParam);
    }
    return true;
}

void Win32MainWindow::EndDialog() {
    if (HWND h = Handle())
        ::EndDialog(h, IDOK);
}

void Win32MainWindow::TerminateProcess() {
    ::TerminateProcess(::GetCurrentProcess(), 0);
}

}  // namespace vocastra::win32
