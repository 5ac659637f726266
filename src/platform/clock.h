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
    // A time stamp of the client (seconds since 1970, UTC) as local time.
    // This base conversion gives UTC, which is what the fake clocks show.
    virtual LocalTime ToLocalTime(int64_t secondsSince1970);
};

// Civil date and time of a UTC time stamp (proleptic Gregorian calendar).
inline LocalTime UtcTimeFromSeconds(int64_t secondsSince1970) {
    int64_t days = secondsSince1970 / 86400;
    int64_t rest = secondsSince1970 % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LocalTime t;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    t.dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    // Days to civil date, counted in 400-year eras from 0000-03-01.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    return t;
}

inline LocalTime Clock::ToLocalTime(int64_t secondsSince1970) {
    return UtcTimeFromSeconds(secondsSince1970);
}

}  // namespace vocastra
