#include "app/log.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/text_util.h"
#include "platform/log_sink.h"

namespace vocastra {
namespace {
std::atomic<LogSink*> g_logSink{nullptr};
}

void SetLogSink(LogSink* sink) {
    g_logSink.store(sink);
}

void LogRaw(std::string_view line) {
    if (LogSink* sink = g_logSink.load())
        sink->Write(line);
}

void LogPrintA(const char* fmt, ...) {
    LogSink* sink = g_logSink.load();
    if (!sink)
        return;
    // Most lines are short: they are formatted on the stack, and only a long
    // one pays for a heap buffer (a line is written for every notification).
    char small[512];
    va_list ap, again;
    va_start(ap, fmt);
    va_copy(again, ap);
    const int n = std::vsnprintf(small, sizeof small, fmt, ap);
    va_end(ap);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        va_end(again);
        sink->Write(std::string_view(small));
        return;
    }
    std::vector<char> buf(std::min(static_cast<std::size_t>(n) + 1, kLogBufferChars));
    std::vsnprintf(buf.data(), buf.size(), fmt, again);
    va_end(again);
    // vsnprintf cut at 15 999 bytes; do not leave half a character behind.
    sink->Write(CutBytesUtf8(buf.data(), kLogBufferChars - 1));
}

void LogPrintW(const wchar_t* fmt, ...) {
    LogSink* sink = g_logSink.load();
    if (!sink)
        return;
    std::vector<wchar_t> buf(kLogBufferChars);
    va_list ap;
    va_start(ap, fmt);
    const int n = std::vswprintf(buf.data(), buf.size(), fmt, ap);
    va_end(ap);
    // vswprintf reports -1 when the text did not fit; what fits is kept.
    if (n < 0 && buf[0] == L'\0')
        return;
    buf[kLogBufferChars - 1] = L'\0';
    std::u16string u;
    for (const wchar_t* p = buf.data(); *p; ++p) {
        if constexpr (sizeof(wchar_t) == 2) {
            u += static_cast<char16_t>(*p);
        } else {
            const auto cp = static_cast<char32_t>(*p);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                u += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                u += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                u += static_cast<char16_t>(cp > 0x10FFFF ? 0xFFFD : cp);
            }
        }
    }
    sink->Write(Utf16ToUtf8(u));
}

}  // namespace vocastra
