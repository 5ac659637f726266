#include "device/led_flasher.h"

#include <chrono>

#include "app/log.h"
#include "device/handset_commands.h"
#include "device/key_codes.h"
#include "platform/clock.h"

namespace vocastra {

LedFlasher::LedFlasher(HandsetCommands& commands, Clock& clock)
    : m_commands(commands), m_clock(clock) {
    m_commands.SetFlashPeriodListener([this](int32_t ms) { OnPeriodSet(ms); });
}

LedFlasher::~LedFlasher() {
    Stop();
    m_commands.SetFlashPeriodListener(nullptr);
}

void LedFlasher::OnPeriodSet(int32_t ms) {
    std::lock_guard lock(m_mutex);
    if (ms <= 0)
        m_restart = true;
    m_changed = true;
    m_cv.notify_all();
}

uint32_t LedFlasher::PollFlasher(uint32_t now) {
    std::lock_guard lock(m_mutex);
    const int32_t period = m_commands.FlashPeriod();
    if (period <= 0) {
        m_restart = true;
        return kIdle;
    }
    const auto p = static_cast<uint32_t>(period);
    if (m_restart || now - m_lastToggle >= p) {
        m_restart = false;
        m_lastToggle = now;
        if (m_onNext) {
            // The flasher's own form: the LED goes on and the flashing goes on.
            m_commands.NewWriteCmd(CMD_LED_ON, 16, 16, 16);
        } else if (!m_commands.IsWriteHandleValid()) {
            LogRaw("NewWriteCmd:Write USB failed: m_WriteHandle is not valid");
        } else {
            // Written directly: CMD_LED_OFF through NewWriteCmd would stop the flashing.
            m_commands.WriteCommandReport(CMD_LED_OFF, 0, 0, 0);
        }
        m_onNext = !m_onNext;
    }
    return m_lastToggle + p - now;
}

void LedFlasher::Start() {
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable())
        return;
    m_quit = false;
    m_thread = std::thread([this] { ThreadProc(); });
}

void LedFlasher::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_cv.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void LedFlasher::ThreadProc() {
    for (;;) {
        const uint32_t wait = PollFlasher(m_clock.GetTickCount());
        std::unique_lock lock(m_mutex);
        auto woken = [this] { return m_changed || m_quit; };
        if (wait == kIdle)
            m_cv.wait(lock, woken);
        else
            m_cv.wait_for(lock, std::chrono::milliseconds(wait), woken);
        if (m_quit)
            return;
        m_changed = false;
    }
}

}  // namespace vocastra
