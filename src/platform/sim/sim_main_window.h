// The main window on the simulated platform: posted messages and timers are
// queued and delivered by Pump, on whichever thread calls it (the simulator's
// UI loop, or the test). Timers run on the given clock.
#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/clock.h"
#include "platform/main_window.h"

namespace vocastra {

class SimMainWindow : public MainWindow {
  public:
    using Handler = std::function<intptr_t(uint32_t msg, uintptr_t wParam, intptr_t lParam)>;
    explicit SimMainWindow(Clock& clock) : m_clock(clock) {}
    void SetHandler(Handler handler);

    void Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    intptr_t Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    void SetTimer(uint32_t id, uint32_t elapseMs) override;
    void KillTimer(uint32_t id) override;
    void EndDialog() override { m_dialogEnded = true; }
    // The process "ends": the simulator stops, nothing else changes.
    void TerminateProcess() override { m_terminated = true; }
    bool DialogEnded() const { return m_dialogEnded; }
    bool Terminated() const { return m_terminated; }

    // Delivers every queued message, then every timer that is due; returns
    // how many were delivered.
    int Pump();
    // Milliseconds until the next timer is due (UINT32_MAX when none runs).
    uint32_t MsUntilNextTimer();
    bool HasTimer(uint32_t id);

    struct Timer {
        uint32_t period;
        uint32_t due;
    };
    // The running timers, and all of them put back: a harness that replays
    // many inputs starts each from the same timers.
    std::map<uint32_t, Timer> SaveTimers();
    void RestoreTimers(std::map<uint32_t, Timer> timers);

  private:
    struct Msg {
        uint32_t msg;
        uintptr_t wParam;
        intptr_t lParam;
    };
    Clock& m_clock;
    std::recursive_mutex m_dispatch;  // one message handled at a time, like a UI thread
    std::mutex m_mutex;
    Handler m_handler;
    std::deque<Msg> m_queue;
    std::map<uint32_t, Timer> m_timers;
    std::atomic<bool> m_dialogEnded{false};
    std::atomic<bool> m_terminated{false};
};

}  // namespace vocastra
