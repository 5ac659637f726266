#include "platform/sim/sim_main_window.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vocastra {

void SimMainWindow::SetHandler(Handler handler) {
    std::lock_guard lock(m_dispatch);
    m_handler = std::move(handler);
}

void SimMainWindow::Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    std::lock_guard lock(m_mutex);
    m_queue.push_back({msg, wParam, lParam});
}

intptr_t SimMainWindow::Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    std::lock_guard lock(m_dispatch);
    return m_handler ? m_handler(msg, wParam, lParam) : 0;
}

void SimMainWindow::SetTimer(uint32_t id, uint32_t elapseMs) {
    std::lock_guard lock(m_mutex);
    m_timers[id] = Timer{elapseMs, m_clock.GetTickCount() + elapseMs};
}

void SimMainWindow::KillTimer(uint32_t id) {
    std::lock_guard lock(m_mutex);
    m_timers.erase(id);
}

bool SimMainWindow::HasTimer(uint32_t id) {
    std::lock_guard lock(m_mutex);
    return m_timers.count(id) != 0;
}

std::map<uint32_t, SimMainWindow::Timer> SimMainWindow::SaveTimers() {
    std::lock_guard lock(m_mutex);
    return m_timers;
}

void SimMainWindow::RestoreTimers(std::map<uint32_t, Timer> timers) {
    std::lock_guard lock(m_mutex);
    m_timers = std::move(timers);
}

uint32_t SimMainWindow::MsUntilNextTimer() {
    std::lock_guard lock(m_mutex);
    uint32_t best = UINT32_MAX;
    const uint32_t now = m_clock.GetTickCount();
    for (const auto& [id, t] : m_timers) {
        const auto left = static_cast<int32_t>(t.due - now);
        best = std::min<uint32_t>(best, left <= 0 ? 0 : static_cast<uint32_t>(left));
    }
    return best;
}

int SimMainWindow::Pump() {
    std::lock_guard dispatch(m_dispatch);
    int delivered = 0;
    for (;;) {
        Msg m;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty())
                break;
            m = m_queue.front();
            m_queue.pop_front();
        }
        if (m_handler)
            m_handler(m.msg, m.wParam, m.lParam);
        ++delivered;
    }
    std::vector<uint32_t> due;
    {
        std::lock_guard lock(m_mutex);
        const uint32_t now = m_clock.GetTickCount();
        for (auto& [id, t] : m_timers) {
            if (static_cast<int32_t>(now - t.due) >= 0) {
                due.push_back(id);
                t.due = now + t.period;
            }
        }
    }
    constexpr uint32_t kMsgTimer = 0x0113;
    for (uint32_t id : due) {
        {
            std::lock_guard lock(m_mutex);
            if (!m_timers.count(id))
                continue;  // killed by an earlier handler
        }
        if (m_handler)
            m_handler(kMsgTimer, id, 0);
        ++delivered;
    }
    return delivered;
}

}  // namespace vocastra
