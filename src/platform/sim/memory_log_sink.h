// Keeps the most recent log lines for tests and the simulator; optionally
// echoes them to stderr.
#pragma once
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/log_sink.h"

namespace vocastra {

class MemoryLogSink : public LogSink {
  public:
    explicit MemoryLogSink(std::size_t capacity = 4096) : m_capacity(capacity ? capacity : 1) {}
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
    // The lines oldest first, wrapping in m_ring: its strings are kept and
    // written over, so a sink cleared between runs allocates nothing once warm.
    template <typename F>
    void ForEachLine(F&& f) const {
        for (std::size_t i = 0; i < m_count; ++i)
            f(m_ring[(m_first + i) % m_capacity]);
    }

    mutable std::mutex m_mutex;
    std::size_t m_capacity;
    std::vector<std::string> m_ring;
    std::size_t m_first = 0;
    std::size_t m_count = 0;
    bool m_echo = false;
    std::function<void(const std::string&)> m_observer;
};

}  // namespace vocastra
