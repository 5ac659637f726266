// Keeps the most recent log lines for tests and the simulator; optionally
// echoes them to stderr.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/log_sink.h"

namespace vocastra {

class MemoryLogSink : public LogSink {
  public:
    explicit MemoryLogSink(std::size_t capacity = 4096) : m_capacity(capacity) {}
    void Write(std::string_view line) override;

    std::vector<std::string> Lines() const;
    // The newest `count` lines, oldest first.
    std::vector<std::string> LastLines(std::size_t count) const;
    // Called with every line as it is written, outside the sink's lock.
    void SetObserver(std::function<void(const std::string&)> fn);
    // True when some kept line contains `text`.
    bool Contains(std::string_view text) const;
    void Clear();
    void SetEcho(bool echo) { m_echo = echo; }

  private:
    mutable std::mutex m_mutex;
    std::size_t m_capacity;
    std::deque<std::string> m_lines;
    bool m_echo = false;
    std::function<void(const std::string&)> m_observer;
};

}  // namespace vocastra
