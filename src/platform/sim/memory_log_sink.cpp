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
        const std::size_t slot = (m_first + m_count) % m_capacity;
        if (slot == m_ring.size())
            m_ring.emplace_back(line);
        else
            m_ring[slot].assign(line);
        if (m_count < m_capacity)
            ++m_count;
        else
            m_first = (m_first + 1) % m_capacity;
        observer = m_observer;
    }
    // Outside the lock: an observer may log or read the lines itself.
    if (observer)
        observer(std::string(line));
}

std::vector<std::string> MemoryLogSink::LastLines(std::size_t count) const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> lines;
    const std::size_t skip = m_count > count ? m_count - count : 0;
    std::size_t i = 0;
    ForEachLine([&](const std::string& l) {
        if (i++ >= skip)
            lines.push_back(l);
    });
    return lines;
}

void MemoryLogSink::SetObserver(std::function<void(const std::string&)> fn) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(fn);
}

std::vector<std::string> MemoryLogSink::Lines() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> lines;
    lines.reserve(m_count);
    ForEachLine([&](const std::string& l) { lines.push_back(l); });
    return lines;
}

bool MemoryLogSink::Contains(std::string_view text) const {
    std::lock_guard lock(m_mutex);
    bool found = false;
    ForEachLine([&](const std::string& l) { found = found || l.find(text) != std::string::npos; });
    return found;
}

void MemoryLogSink::Clear() {
    std::lock_guard lock(m_mutex);
    m_first = 0;
    m_count = 0;
}

}  // namespace vocastra
