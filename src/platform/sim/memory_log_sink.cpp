#include "platform/sim/memory_log_sink.h"

#include <cstdio>

namespace vocastra {

void MemoryLogSink::Write(std::string_view line) {
    std::lock_guard lock(m_mutex);
    if (m_echo) {
        std::fprintf(stderr, "%.*s%s", static_cast<int>(line.size()), line.data(),
                     (line.empty() || line.back() != '\n') ? "\n" : "");
    }
    m_lines.emplace_back(line);
    while (m_lines.size() > m_capacity) m_lines.pop_front();
}

std::vector<std::string> MemoryLogSink::Lines() const {
    std::lock_guard lock(m_mutex);
    return {m_lines.begin(), m_lines.end()};
}

bool MemoryLogSink::Contains(std::string_view text) const {
    std::lock_guard lock(m_mutex);
    for (const auto& l : m_lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

void MemoryLogSink::Clear() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

}  // namespace vocastra
