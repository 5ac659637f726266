// The software LED flasher: while a flash period is set, the LED is toggled
// every period. The thread sleeps until the next toggle is due or the period
// changes; PollFlasher is its step, for tests to drive on a fake clock.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vocastra {

class Clock;
class HandsetCommands;

class LedFlasher {
  public:
    static constexpr uint32_t kIdle = UINT32_MAX;

    LedFlasher(HandsetCommands& commands, Clock& clock);
    ~LedFlasher();

    // Toggles the LED when a toggle is due at `now`; returns the ms until the
    // next one is due (kIdle when not flashing).
    uint32_t PollFlasher(uint32_t now);

    // LedFlashThreadProc: runs PollFlasher until Stop.
    void Start();
    void Stop();

  private:
    void OnPeriodSet(int32_t ms);
    void ThreadProc();

    HandsetCommands& m_commands;
    Clock& m_clock;
    // Held while a toggle is written, so a stop returns only once no toggle
    // is in flight: an LED report sent after it is never undone by a toggle.
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_changed = false;
    bool m_quit = false;
    bool m_restart = true;      // the next poll toggles at once (after a stop)
    uint32_t m_lastToggle = 0;  // tick of the last toggle
    bool m_onNext = false;      // which report comes next; survives stops
    std::thread m_thread;
};

}  // namespace vocastra
