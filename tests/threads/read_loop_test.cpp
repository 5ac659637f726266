// The HID read thread with real threads on the fake clock: it blocks on the
// handset rather than pausing between reports, backs off after a read that
// failed on a handle still open, and reads a replaced handle at once. A
// sleep on the fake clock moves its tick on, so the tick tells how long the
// thread paused.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

#include "app/application.h"
#include "device/key_codes.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

// The device threads started on a started handset. Keys, redraws and tones
// stop at the pipeline's points: nothing else sleeps on the clock, so its
// tick moves only by the read thread's pauses.
class ReadLoop : public ::testing::Test {
  protected:
    ReadLoop() {
        auto& p = app.device.keys.points;
        p.DispatchKeyToMode.Fill([this](int key) {
            std::lock_guard lock(m_mutex);
            m_keys += key == KEY_HOOKDOWN;
            m_cv.notify_all();
        });
        p.RefreshDisplay.Fill([this] {
            std::lock_guard lock(m_mutex);
            ++m_refreshes;
            m_cv.notify_all();
        });
        p.StartPlayKeyTone.Fill([](std::string) {});
        p.StopKeyTone.Fill([] {});
        app.dlg.points.UpdateTrayIcon.Fill([] {});
        sim.hidBus.Plug();
        app.dlg.OnInitDialog();
        sim.hidBus.handset().Start();
        Wait([this] { return m_refreshes >= 2; });  // the handset is initialised
    }
    ~ReadLoop() override { app.device.StopThreads(); }

    template <typename Pred>
    void Wait(Pred pred) {
        std::unique_lock lock(m_mutex);
        ASSERT_TRUE(m_cv.wait_for(lock, std::chrono::minutes(1), pred)) << "thread hung";
    }
    void WaitKeys(int n) {
        Wait([&] { return m_keys >= n; });
    }
    int LogCount(const std::string& text) {
        int n = 0;
        for (const auto& l : sim.logSink.Lines())
            n += l.find(text) != std::string::npos;
        return n;
    }

    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_keys = 0;
    int m_refreshes = 0;
};

TEST_F(ReadLoop, ReportsAreReadBackToBackWithoutPauses) {
    const uint32_t before = sim.fakeClock.GetTickCount();
    for (int i = 0; i < 20; ++i)
        sim.hidBus.handset().HookDown();
    WaitKeys(20);
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 0u);
}

TEST_F(ReadLoop, EachFailedReadOnAnOpenHandleBacksOffOnceThenReadingGoesOn) {
    const uint32_t before = sim.fakeClock.GetTickCount();
    sim.hidBus.FailNextReads(3);
    sim.hidBus.handset().HookDown();
    WaitKeys(1);
    EXPECT_EQ(LogCount("Read USB failed, error=31"), 3);
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 3 * 50u);
    // Good reads after the failures pause no more.
    sim.hidBus.handset().HookDown();
    sim.hidBus.handset().HookDown();
    WaitKeys(3);
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 3 * 50u);
}

// The input collection found again (a second arrival): the read waiting on
// the old handle fails, and the new handle is read at once.
TEST_F(ReadLoop, AReadOnAHandleReplacedMeanwhileIsRetriedAtOnce) {
    const uint32_t before = sim.fakeClock.GetTickCount();
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(app.device.transport.ReadDeviceFirst());
        sim.hidBus.handset().HookDown();
        WaitKeys(i);
    }
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 0u);
    EXPECT_EQ(sim.hidBus.OpenHandleCount(), 2);
}

TEST_F(ReadLoop, StopEndsTheThreadsWhileAReadWaits) {
    const uint32_t before = sim.fakeClock.GetTickCount();
    app.device.StopThreads();
    EXPECT_FALSE(app.device.keys.ThreadsRunning());
    // The read the stop cancelled is no failure to back off from.
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 0u);
}

}  // namespace
}  // namespace vocastra
