// MainWindow port: the hidden main window as the other threads reach it.
// Posting queues a message for the user-interface thread; sending runs it
// there and waits. Timers deliver kMsgTimer with the timer id as wParam.
#pragma once
#include <cstdint>

namespace vocastra {

class MainWindow {
  public:
    virtual ~MainWindow() = default;
    // Any thread. Delivered later, in posting order, on the UI thread.
    virtual void Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    // Any thread. Runs the message on the UI thread and returns its result.
    virtual intptr_t Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    // (Re)starts timer `id` to fire every `elapseMs`; KillTimer stops it.
    virtual void SetTimer(uint32_t id, uint32_t elapseMs) = 0;
    virtual void KillTimer(uint32_t id) = 0;
    // UI thread. Ends the dialog's modal loop; the window goes as the loop returns.
    virtual void EndDialog() = 0;
    // Ends the process at once with exit code 0: no destructor, thread end
    // or handle closing runs after it.
    virtual void TerminateProcess() = 0;
};

}  // namespace vocastra
