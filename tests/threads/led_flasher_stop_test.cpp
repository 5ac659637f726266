// The LED flasher thread stopped by an LED report from another thread: the
// report sent after the stop is the LED's last word, with no toggle of the
// flasher landing after it. Nothing waits for the flasher to settle; the
// stop itself waits for a toggle in flight.
#include <gtest/gtest.h>

#include "app/application.h"
#include "device/key_codes.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

TEST(LedFlasherStop, AnLedReportAfterFlashingIsNeverUndoneByALateToggle) {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    sim.hidBus.Plug();
    app.dlg.OnInitDialog();  // starts the flasher thread
    VirtualHandset& handset = sim.hidBus.handset();
    for (int i = 0; i < 400; ++i) {
        // Each start toggles at once on the flasher thread, racing the report.
        app.device.NewWriteCmd(CMD_LED_FLASH_100MS, 0, 0, 0);
        const bool on = i % 2 == 0;
        app.device.NewWriteCmd(on ? CMD_LED_ON : CMD_LED_OFF, 0, 0, 0);
        ASSERT_EQ(handset.LedOn(), on) << "round " << i;
    }
    app.device.StopThreads();
    EXPECT_FALSE(handset.LedOn());
    EXPECT_EQ(app.device.commands.FlashPeriod(), 0);
}

}  // namespace
}  // namespace vocastra
