// A clock that only moves when told to: tests and the scripted simulator run on it.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>

#include "platform/clock.h"

namespace vocastra {

class FakeClock : public Clock {
  public:
    explicit FakeClock(uint32_t startTick = 0) : m_tick(startTick) {}
    uint32_t GetTickCount() override { return m_tick.load(); }
    // Sleeping on the fake clock moves time on by the same amount: a step
    // function that sleeps is thereby run to its end without real waiting.
    void Sleep(uint32_t ms) override {
        Advance(ms);
        if (m_onSleep)
            m_onSleep();
    }
    // Runs at the end of every sleep, as another thread's work would while
    // this one waits. Set it before any thread sleeps.
    void SetSleepHook(std::function<void()> hook) { m_onSleep = std::move(hook); }
    LocalTime GetLocalTime() override;

    void Advance(uint32_t ms) { m_tick.fetch_add(ms); }
    void SetTick(uint32_t tick) { m_tick.store(tick); }
    // The wall clock shown at tick 0; it moves with the tick count.
    void SetLocalTime(const LocalTime& t);

  private:
    std::atomic<uint32_t> m_tick;
    std::mutex m_mutex;
    LocalTime m_base{2026, 12, 8, 2, 9, 30, 0};
    uint32_t m_baseTick = 0;
    std::function<void()> m_onSleep;
};

// The real monotonic clock and local time, for the interactive simulator.
class SystemClock : public Clock {
  public:
    uint32_t GetTickCount() override;
    void Sleep(uint32_t ms) override;
    LocalTime GetLocalTime() override;
    LocalTime ToLocalTime(int64_t secondsSince1970) override;
};

}  // namespace vocastra
