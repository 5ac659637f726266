// Diagnostics: one line per noteworthy step, handed to the LogSink port.
// The texts of the lines are part of the program's observable behaviour.
#pragma once
#include <string_view>

namespace vocastra {

class LogSink;

// Installs the sink every log call writes to (nullptr: lines are dropped).
// Set once at start-up, before other threads run.
void SetLogSink(LogSink* sink);

// Writes a line as it stands.
void LogRaw(std::string_view line);

// printf-style, narrow (UTF-8) and wide text. The formatted line is cut at
// 15 999 characters, as the 16 000-character buffer it is built in holds.
void LogPrintA(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Wide formats follow standard C: "%ls" for a wide string, "%s" for narrow.
void LogPrintW(const wchar_t* fmt, ...);

inline constexpr std::size_t kLogBufferChars = 16000;

}  // namespace vocastra
