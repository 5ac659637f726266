// Races between the threads that share the handset's device objects and the
// typed number: each test runs the two sides on their own threads, as the
// program does. The checks hold on any build; a race detector build also
// sees every unguarded access.
#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/application.h"
#include "device/key_codes.h"
#include "device/report_protocol.h"
#include "device/usb_hid_device.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

constexpr uint16_t kVid = 0x1130, kPid = 0x0202;

// A handset announced twice (Windows sends one arrival per collection): the
// UI thread finds the output collection again while the key and flasher
// threads write reports of the length it declares.
TEST(DeviceObjectRaces, FindingTheOutputCollectionAgainWhileReportsAreWritten) {
    FakeClock clock;
    SimHidBus bus(clock, kVid, kPid);
    bus.Plug();
    HidTransport transport(bus, kVid, kPid);
    ASSERT_TRUE(transport.WriteDeviceFirst());

    constexpr int kFinds = 400;
    std::atomic<bool> done{false};
    int written = 0;
    std::thread writer([&] {
        uint8_t report[kOutputReportSize];
        BuildCommandReport(report, CMD_LED_ON, 16, 16, 16);
        while (!done) {
            std::lock_guard lock(transport.g_UsbWriteDevice.m_DeviceLock);
            // A write may meet the handle the find just closed; it then fails.
            if (transport.WriteReport(report) == 0)
                ++written;
        }
    });
    for (int i = 0; i < kFinds; ++i)
        transport.WriteDeviceFirst();
    done = true;
    writer.join();

    // Every report that went out arrived whole, and the finds left one handle.
    EXPECT_EQ(static_cast<int>(bus.handset().Commands().size()), written);
    EXPECT_EQ(bus.OpenHandleCount(), 1);
    EXPECT_EQ(transport.g_UsbWriteDevice.m_OutputCaps.OutputReportByteLength,
              VirtualHandset::kOutputReportLength);
}

// The number typed on the key thread while the one-second refresh (the UI
// thread) draws it.
TEST(DialNumberRaces, TypingWhileTheScreenIsRefreshed) {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    app.device.SetThreadsEnabled(false);
    app.skype.SetManualThreads(true);
    app.dialler.SetManualThreads(true);
    app.PrepareInstance();
    app.dlg.OnInitDialog();
    app.modes.SwitchMode(MODE_NUMDIAL);
    ASSERT_EQ(app.modes.CurrentMode(), MODE_NUMDIAL);

    std::atomic<bool> done{false};
    std::thread refresher([&] {
        while (!done)
            app.modes.OnRefreshTimer();
    });
    // Digits typed and partly taken back, so the number grows and shrinks
    // across the display's line break.
    std::string expected;
    for (int round = 0; round < 60; ++round) {
        for (int d = 0; d < 20; ++d) {
            const int key = KEY_0 + (round + d) % 10;
            app.modes.DispatchKeyToMode(key);
            expected += static_cast<char>('0' + key);
        }
        for (int c = 0; c < 19; ++c) {
            app.modes.DispatchKeyToMode(KEY_CLEAR);
            expected.pop_back();
        }
    }
    done = true;
    refresher.join();

    EXPECT_EQ(app.modes.CurrentMode(), MODE_NUMDIAL);
    std::lock_guard lock(app.modes.m_state.m_csDisplay);
    EXPECT_EQ(app.modes.m_DialNumber, expected);
}

}  // namespace
}  // namespace vocastra
