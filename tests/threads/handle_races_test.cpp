// Races between the threads that share the handset's device objects and the
// typed number: each test runs the two sides on their own threads, as the
// program does. The checks hold on any build; a race detector build also
// sees every unguarded access.
#include <atomic>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

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

// A bus that, like the Windows one, shares no lock between a writer and the
// finder: only the program's own locks order the two sides.
class LooseHidBus : public HidBus {
  public:
    std::vector<HidInterfaceInfo> EnumerateInterfaces() override {
        HidInterfaceInfo output;
        output.path = "\\\\?\\hid#vid_1130&pid_0202&col01";
        output.vendorId = kVid;
        output.productId = kPid;
        output.usagePage = 0xFF00;
        output.usage = 0x01;
        output.inputReportLength = 33;
        output.outputReportLength = 33;
        HidInterfaceInfo input = output;
        input.path = "\\\\?\\hid#vid_1130&pid_0202&col02";
        input.usage = 0xA5;
        return {output, input};
    }
    HidHandle Open(const std::string&, uint32_t*) override {
        open.fetch_add(1, std::memory_order_relaxed);
        return next.fetch_add(1, std::memory_order_relaxed);
    }
    // A key report at once, as a handset whose keys are being pressed.
    std::size_t Read(HidHandle, uint8_t* buf, std::size_t len, uint32_t*) override {
        if (len != VirtualHandset::kInputReportLength)
            badLengths.fetch_add(1, std::memory_order_relaxed);
        std::memset(buf, 0, len);
        buf[0] = kKeyReportId;
        return len;
    }
    bool Write(HidHandle, const uint8_t*, std::size_t len, uint32_t*) override {
        if (len != kOutputReportSize)
            badLengths.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    void CancelRead(HidHandle) override {}
    void Close(HidHandle) override { open.fetch_sub(1, std::memory_order_relaxed); }
    void RegisterDeviceNotification(HidDeviceListener*) override {}

    std::atomic<int> open{0};
    std::atomic<HidHandle> next{1};
    std::atomic<int> badLengths{0};
};

// A handset announced twice (Windows sends one arrival per collection): the
// UI thread finds the output collection again while the key and flasher
// threads write reports of the length it declares.
TEST(DeviceObjectRaces, FindingTheOutputCollectionAgainWhileReportsAreWritten) {
    LooseHidBus bus;
    HidTransport transport(bus, kVid, kPid);
    ASSERT_TRUE(transport.WriteDeviceFirst());

    std::atomic<bool> done{false};
    std::atomic<int> written{0};
    std::promise<void> writing;
    std::thread writer([&] {
        uint8_t report[kOutputReportSize];
        BuildCommandReport(report, CMD_LED_ON, 16, 16, 16);
        while (!done) {
            std::lock_guard lock(transport.g_UsbWriteDevice.m_DeviceLock);
            // Relaxed: the count must not order the two sides either.
            if (transport.WriteReport(report) == 0 &&
                written.fetch_add(1, std::memory_order_relaxed) == 0)
                writing.set_value();
        }
    });
    writing.get_future().wait();
    // As many finds as writes happen meanwhile, at least 2000 of each.
    for (int finds = 0; finds < 2000 || written.load(std::memory_order_relaxed) < 2000; ++finds)
        transport.WriteDeviceFirst();
    done = true;
    writer.join();

    // Every report went out at the declared length, and the finds left one
    // handle open.
    EXPECT_EQ(bus.badLengths, 0);
    EXPECT_EQ(bus.open, 1);
}

// The same on the read side: the HID read thread reads reports of the
// length the input collection declares while the UI thread finds it again.
TEST(DeviceObjectRaces, FindingTheInputCollectionAgainWhileReportsAreRead) {
    LooseHidBus bus;
    HidTransport transport(bus, kVid, kPid);
    ASSERT_TRUE(transport.ReadDeviceFirst());

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::promise<void> reading;
    std::thread reader([&] {
        while (!done) {
            transport.NewReadDevice(transport.g_UsbReadDevice);
            if (transport.g_UsbReadDevice.m_bReadDone &&
                reads.fetch_add(1, std::memory_order_relaxed) == 0)
                reading.set_value();
        }
    });
    reading.get_future().wait();
    for (int finds = 0; finds < 2000 || reads.load(std::memory_order_relaxed) < 2000; ++finds)
        transport.ReadDeviceFirst();
    done = true;
    reader.join();

    EXPECT_EQ(bus.badLengths, 0);
    EXPECT_EQ(bus.open, 1);
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
    for (int round = 0; round < 25; ++round) {
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
