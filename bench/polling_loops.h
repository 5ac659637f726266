// The polling loops the program's threads once were, for benchmarks only: the
// same step functions the threads run, driven by fixed sleeps instead of
// waits. The read loop pauses 25 ms under the write device's lock before each
// read and 25 ms after it; the key, flasher and receive loops look for work
// every 10 ms. The program's own device threads and its receive thread must
// not run beside them (threads disabled before start-up).
#pragma once
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "app/application.h"
#include "platform/clock.h"

namespace vocastra {

class PollingLoops {
  public:
    static constexpr uint32_t kReadPauseMs = 25;
    static constexpr uint32_t kPollMs = 10;

    PollingLoops(Application& app, Clock& clock) : m_app(app), m_clock(clock) {}
    ~PollingLoops() { Stop(); }
    PollingLoops(const PollingLoops&) = delete;
    PollingLoops& operator=(const PollingLoops&) = delete;

    void Start() {
        m_threads.emplace_back([this] { ReadLoop(); });
        m_threads.emplace_back([this] { KeyLoop(); });
        m_threads.emplace_back([this] { FlasherLoop(); });
        m_threads.emplace_back([this] { ReceiveLoop(); });
    }

    void Stop() {
        m_stop = true;
        // The read loop may be blocked on the handset.
        m_app.device.transport.Wake();
        for (auto& t : m_threads)
            t.join();
        m_threads.clear();
    }

  private:
    void ReadLoop() {
        HidTransport& transport = m_app.device.transport;
        while (!m_stop) {
            if (m_app.flags.m_bReconnecting) {
                m_clock.Sleep(kPollMs);
                continue;
            }
            {
                std::lock_guard lock(transport.g_UsbWriteDevice.m_DeviceLock);
                m_clock.Sleep(kReadPauseMs);
            }
            m_app.device.keys.ProcessReport();
            m_clock.Sleep(kReadPauseMs);
        }
    }

    void KeyLoop() {
        while (!m_stop) {
            m_app.device.keys.ProcessNextKey();
            m_clock.Sleep(kPollMs);
        }
    }

    void FlasherLoop() {
        while (!m_stop) {
            m_app.device.flasher.PollFlasher(m_clock.GetTickCount());
            m_clock.Sleep(kPollMs);
        }
    }

    void ReceiveLoop() {
        while (!m_stop) {
            m_app.skype.ProcessNotification();
            m_clock.Sleep(kPollMs);
        }
    }

    Application& m_app;
    Clock& m_clock;
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

}  // namespace vocastra
