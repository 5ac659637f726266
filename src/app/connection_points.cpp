#include "app/connection_points.h"

#include <algorithm>
#include <iterator>

namespace vocastra {

void ConnectionLog::Record(std::string line) {
    std::lock_guard lock(m_mutex);
    if (m_lines.size() >= kMaxLines)
        m_lines.pop_front();
    m_lines.push_back(std::move(line));
}

std::vector<std::string> ConnectionLog::Lines() const {
    std::lock_guard lock(m_mutex);
    return {m_lines.begin(), m_lines.end()};
}

bool ConnectionLog::Contains(const std::string& line) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
}

void ConnectionLog::Clear() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

std::vector<ConnectionLog::PointState> ConnectionLog::Points() const {
    std::lock_guard lock(m_mutex);
    std::vector<PointState> out;
    out.reserve(m_points.size());
    for (const ConnectionPointBase* p : m_points)
        out.push_back({p->QualifiedName(), p->IsFilled()});
    return out;
}

void ConnectionLog::Register(const ConnectionPointBase* point) {
    std::lock_guard lock(m_mutex);
    m_points.push_back(point);
}

void ConnectionLog::Unregister(const ConnectionPointBase* point) {
    std::lock_guard lock(m_mutex);
    // Points are registered once and mostly die in reverse order of birth:
    // searching from the back makes tearing down an application linear.
    const auto it = std::find(m_points.rbegin(), m_points.rend(), point);
    if (it != m_points.rend())
        m_points.erase(std::next(it).base());
}

ConnectionPointBase::ConnectionPointBase(ConnectionLog& log, std::string owner, std::string name)
    : m_log(&log), m_owner(std::move(owner)), m_name(std::move(name)) {
    m_log->Register(this);
}

ConnectionPointBase::~ConnectionPointBase() {
    m_log->Unregister(this);
}

}  // namespace vocastra
