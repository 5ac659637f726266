// Connection points: the named calls one subsystem makes into another. The
// composition root fills them with the real targets; an unfilled point is
// recorded by name (with its arguments), so tests and the simulator see a
// call even before the subsystem that answers it exists. Every point is known
// to its log, so a test of the assembled program can list the ones left
// unfilled.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vocastra {

class ConnectionPointBase;

// Thread-safe, ordered record of calls that reached unfilled points, and the
// register of every point built on it.
class ConnectionLog {
  public:
    // The program runs for weeks and some unfilled points are called on every
    // key or mouse move: only the latest calls are kept.
    static constexpr std::size_t kMaxLines = 1000;

    void Record(std::string line);
    // The kept calls, oldest first.
    std::vector<std::string> Lines() const;
    bool Contains(const std::string& line) const;
    void Clear();

    struct PointState {
        std::string name;  // "<owner>.<point>", e.g. "dlg.points.StartRingTone"
        bool filled;
    };
    // Every point alive on this log, in construction order.
    std::vector<PointState> Points() const;

  private:
    friend class ConnectionPointBase;
    void Register(const ConnectionPointBase* point);
    void Unregister(const ConnectionPointBase* point);

    mutable std::mutex m_mutex;
    std::deque<std::string> m_lines;
    std::vector<const ConnectionPointBase*> m_points;
};

// Where a group of points lives, as the composition root reaches it
// ("dlg.points"): names the points in the wiring check's messages.
struct ConnectionOwner {
    ConnectionLog& log;
    std::string path;
};

class ConnectionPointBase {
  public:
    ConnectionPointBase(const ConnectionPointBase&) = delete;
    ConnectionPointBase& operator=(const ConnectionPointBase&) = delete;

    // The name calls are recorded under.
    const std::string& Name() const { return m_name; }
    // Owner and name, for the wiring check.
    std::string QualifiedName() const { return m_owner.empty() ? m_name : m_owner + "." + m_name; }
    virtual bool IsFilled() const = 0;

  protected:
    ConnectionPointBase(ConnectionLog& log, std::string owner, std::string name);
    virtual ~ConnectionPointBase();
    ConnectionLog* m_log;

  private:
    std::string m_owner;
    std::string m_name;
};

// A named call. `Fill` installs the target; calling an unfilled point
// records "<name> <args>" and returns the result type's default, or what
// `Default` installed (a stand-in answer that is neither recorded nor counts
// as filled).
template <typename Sig>
class ConnectionPoint;

template <typename R, typename... Args>
class ConnectionPoint<R(Args...)> : public ConnectionPointBase {
  public:
    ConnectionPoint(ConnectionLog& log, std::string name)
        : ConnectionPointBase(log, {}, std::move(name)) {}
    ConnectionPoint(const ConnectionOwner& owner, std::string name)
        : ConnectionPointBase(owner.log, owner.path, std::move(name)) {}
    ~ConnectionPoint() override = default;

    void Fill(std::function<R(Args...)> fn) { m_fn = std::move(fn); }
    void Default(std::function<R(Args...)> fn) { m_default = std::move(fn); }
    bool IsFilled() const override { return static_cast<bool>(m_fn); }

    R operator()(Args... args) const {
        if (m_fn)
            return m_fn(args...);
        if (m_default)
            return m_default(args...);
        std::string line = Name();
        ((line += ' ', line += ToText(args)), ...);
        m_log->Record(std::move(line));
        if constexpr (!std::is_void_v<R>)
            return R{};
    }

  private:
    template <typename T>
    static std::string ToText(const T& v) {
        if constexpr (std::is_convertible_v<T, std::string>)
            return std::string(v);
        else
            return std::to_string(v);
    }
    std::function<R(Args...)> m_fn;
    std::function<R(Args...)> m_default;
};

}  // namespace vocastra
