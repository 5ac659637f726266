// LogSink port: where diagnostic lines go (the debugger output stream on
// Windows, a ring buffer on the sim). One line per call, UTF-8.
#pragma once
#include <string_view>

namespace vocastra {

class LogSink {
  public:
    virtual ~LogSink() = default;
    // Called from any thread; implementations serialise themselves.
    virtual void Write(std::string_view line) = 0;
};

}  // namespace vocastra
