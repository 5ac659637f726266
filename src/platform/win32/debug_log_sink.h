// LogSink on the debugger output stream (OutputDebugStringW), where a
// debugger or a debug-output viewer shows the lines.
#pragma once
#include "platform/log_sink.h"

namespace vocastra::win32 {

class DebugLogSink : public LogSink {
  public:
    void Write(std::string_view line) override;
};

}  // namespace vocastra::win32
