#include "app/connection_points.h"

#include <algorithm>

namespace vocastra {

void ConnectionLog::Record(std::string line) {
    std::lock_guard lock(m_mutex);
    m_lines.push_back(std::move(line));
}

std::vector<std::string> ConnectionLog::Lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

bool ConnectionLog::Contains(const std::string& line) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
}

void ConnectionLog::Clear() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

}  // namespace vocastra
