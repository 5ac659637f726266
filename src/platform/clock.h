// Clock port: every reading of time and every timed wait goes through here, so
// tests can run long presses, flash periods and time-outs on a fake clock.
#pragma once
#include <cstdint>

namespace vocastra {

// Local wall-clock time, as the display and the call records show it.
struct LocalTime {
    int year = 0;       // e.g. 2026
    int month = 0;      // 1..12
    int day = 0;        // 1..31
    int dayOfWeek = 0;  // 0 = Sunday
    int hour = 0;       // 0..23
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps at 2^32 like GetTickCount.
    // Any thread.
    virtual uint32_t GetTickCount() = 0;
    // Blocks the calling thread for `ms` milliseconds (a fake clock advances
    // its own time instead of blocking).
    virtual void Sleep(uint32_t ms) = 0;
    // The local date and time now.
    virtual LocalTime GetLocalTime() = 0;
};

}  // namespace vocastra
