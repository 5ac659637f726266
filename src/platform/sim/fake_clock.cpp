#include "platform/sim/fake_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace vocastra {
namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

LocalTime FromEpochSeconds(long long s) {
    long long days = s / 86400;
    long long rem = s % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    LocalTime t;
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem % 3600 / 60);
    t.second = static_cast<int>(rem % 60);
    t.dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    return t;
}

}  // namespace

void FakeClock::SetLocalTime(const LocalTime& t) {
    std::lock_guard lock(m_mutex);
    m_base = t;
    m_baseTick = m_tick.load();
}

LocalTime FakeClock::GetLocalTime() {
    std::lock_guard lock(m_mutex);
    const long long base = DaysFromCivil(m_base.year, m_base.month, m_base.day) * 86400 +
                           m_base.hour * 3600 + m_base.minute * 60 + m_base.second;
    const uint32_t elapsedMs = m_tick.load() - m_baseTick;
    return FromEpochSeconds(base + elapsedMs / 1000);
}

uint32_t SystemClock::GetTickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalTime SystemClock::GetLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

LocalTime SystemClock::ToLocalTime(int64_t secondsSince1970) {
    const std::time_t when = static_cast<std::time_t>(secondsSince1970);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &when) != 0)
        return UtcTimeFromSeconds(secondsSince1970);
#else
    if (!localtime_r(&when, &tm))
        return UtcTimeFromSeconds(secondsSince1970);
#endif
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

}  // namespace vocastra
