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

void Win32MainWindow::SetTimer(uint32_t id, uint32_t elapseMs) {
    if (HWND h = Handle())
        ::SetTimer(h, id, elapseMs, nullptr);
}

void Win32MainWindow::KillTimer(uint32_t id) {
    if (HWND h = Handle())
        ::KillTimer(h, id);
}

void Win32MainWindow::EndDialog() {
    if (HWND h = Handle())
        ::EndDialog(h, IDOK);
}

void Win32MainWindow::TerminateProcess() {
    ::TerminateProcess(::GetCurrentProcess(), 0);
}

}  // namespace vocastra::win32
