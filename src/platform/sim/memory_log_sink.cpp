#include "platform/sim/memory_log_sink.h"

#include <cstdio>

namespace vocastra {

void MemoryLogSink::Write(std::string_view line) {
    std::function<void(const std::string&)> observer;
    {
        std::lock_guard lock(m_mutex);
        if (m_echo) {
            std::fprintf(stderr, "%.*s%s", static_cast<int>(line.size()), line.data(),
                         (line.empty() || line.back() != '\n') ? "\n" : "");
        }
        m_lines.emplace_back(line);
        while (m_lines.size() > m_capacity)
            m_lines.pop_front();
        observer = m_observer;
    }
    // Outside the lock: an observer may log or read the lines itself.
    if (observer)
        observer(std::string(line));
}

std::vector<std::string> MemoryLogSink::LastLines(std::size_t count) const {
    std::lock_guard lock(m_mutex);
    const std::size_t first = m_lines.size() > count ? m_lines.size() - count : 0;
    return {m_lines.begin() + static_cast<std::ptrdiff_t>(first), m_lines.end()};
}

void MemoryLogSink::SetObserver(std::function<void(const std::string&)> fn) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(fn);
}

std::vector<std::string> MemoryLogSink::Lines() const {
    std::lock_guard lock(m_mutex);
    return {m_lines.begin(), m_lines.end()};
}

bool MemoryLogSink::Contains(std::string_view text) const {
    std::lock_guard lock(m_mutex);
    for (const auto& l : m_lines)
        if (l.find(text) != std::string::npos)
            return true;
    return false;
}

void MemoryLogSink::Clear() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

}  // namespace vocastra
