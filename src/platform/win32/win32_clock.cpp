#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace vocastra::win32 {

uint32_t Win32Clock::GetTickCount() {
    return ::GetTickCount();
}

void Win32Clock::Sleep(uint32_t ms) {
    ::Sleep(ms);
}

LocalTime Win32Clock::GetLocalTime() {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.dayOfWeek = st.wDayOfWeek;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

LocalTime Win32Clock::ToLocalTime(int64_t secondsSince1970) {
    // FILETIME counts 100 ns from 1601; the system's time-zone rules, with
    // daylight saving as it was on that date.
    const uint64_t ticks = static_cast<uint64_t>(secondsSince1970 + 11644473600LL) * 10000000ULL;
    FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{}, local{};
    if (secondsSince1970 < 0 || !FileTimeToSystemTime(&ft, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return UtcTimeFromSeconds(secondsSince1970);
    LocalTime t;
    t.year = local.wYear;
    t.month = local.wMonth;
    t.day = local.wDay;
    t.dayOfWeek = local.wDayOfWeek;
    t.hour = local.wHour;
    t.minute = local.wMinute;
    t.second = local.wSecond;
    return t;
}

}  // namespace vocastra::win32
