// Connection points: the named calls one subsystem makes into another. The
// composition root fills them with the real targets; an unfilled point is
// recorded by name (with its arguments), so tests and the simulator see a
// call even before the subsystem that answers it exists.
#pragma once
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vocastra {

// Thread-safe, ordered record of calls that reached unfilled points.
class ConnectionLog {
public:
    void Record(std::string line);
    std::vector<std::string> Lines() const;
    bool Contains(const std::string& line) const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// A named call. `Fill` installs the target; calling an unfilled point
// records "<name> <args>" and returns the result type's default.
template <typename Sig>
class ConnectionPoint;

template <typename R, typename... Args>
class ConnectionPoint<R(Args...)> {
public:
    ConnectionPoint(ConnectionLog& log, std::string name) : m_log(&log), m_name(std::move(name)) {}
    void Fill(std::function<R(Args...)> fn) { m_fn = std::move(fn); }
    bool IsFilled() const { return static_cast<bool>(m_fn); }
    const std::string& Name() const { return m_name; }

    R operator()(Args... args) const {
        if (m_fn) return m_fn(args...);
        std::string line = m_name;
        ((line += ' ', line += ToText(args)), ...);
        m_log->Record(std::move(line));
        if constexpr (!std::is_void_v<R>) return R{};
    }

private:
    template <typename T>
    static std::string ToText(const T& v) {
        if constexpr (std::is_convertible_v<T, std::string>)
            return std::string(v);
        else
            return std::to_string(v);
    }
    ConnectionLog* m_log;
    std::string m_name;
    std::function<R(Args...)> m_fn;
};

}  // namespace vocastra
