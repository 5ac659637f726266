// LogSink on the debugger output stream (OutputDebugStringW), where a
// debugger or a debug-output viewer shows the lines. When the environment
// variable VOCASTRA_LOG_FILE names a file, every line is appended there too
// (UTF-8, one line each), for the end-to-end tests and for users without a
// debug-output viewer.
#pragma once
#include <mutex>
#include <string>

#include "platform/log_sink.h"

namespace vocastra::win32 {

class DebugLogSink : public LogSink {
  public:
    DebugLogSink();
    ~DebugLogSink() override;
    void Write(std::string_view line) override;

  private:
    std::mutex m_mutex;
    std::wstring m_filePath;  // empty: no file
    void* m_file = nullptr;   // opened on the first line
};

}  // namespace vocastra::win32
