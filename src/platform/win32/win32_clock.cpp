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

}  // namespace vocastra::win32
