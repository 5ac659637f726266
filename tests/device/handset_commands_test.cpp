#include <array>

#include "device/handset_fixture.h"

namespace vocastra {
namespace {

using test::HandsetFixture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct HandsetCommandsTest : HandsetFixture {
    // Runs the flasher as its thread would, until `until`: each step sleeps
    // exactly as long as the flasher asked.
    void RunFlasher(uint32_t until) {
        for (;;) {
            const uint32_t wait = dev.flasher.PollFlasher(sim.fakeClock.GetTickCount());
            if (wait == LedFlasher::kIdle)
                return;
            const uint32_t now = sim.fakeClock.GetTickCount();
            if (now + wait > until) {
                sim.fakeClock.SetTick(until);
                return;
            }
            sim.fakeClock.Advance(wait);
        }
    }
    // LED history as "tick:on/off", ticks relative to `t0`.
    std::vector<std::string> Led(uint32_t t0) {
        std::vector<std::string> out;
        for (const auto& e : handset.LedHistory())
            out.push_back(std::to_string(e.tick - t0) + (e.on ? ":on" : ":off"));
        return out;
    }
};

TEST_F(HandsetCommandsTest, CommandReportLayout) {
    Start();
    dev.NewWriteCmd(CMD_RING, 4, 0, 0);
    EXPECT_EQ(handset.Commands().back().code, CMD_RING);
    EXPECT_TRUE(handset.Ringing());
    EXPECT_TRUE(
        sim.logSink.Contains("*** NewWriteCmd: cmd=0x5, wp1=4,wp2=0,wp3=0,  Write USB start..."));
    uint8_t r[kOutputReportSize];
    BuildCommandReport(r, 0x10, 1, 2, 3);
    const std::array<uint8_t, 13> head{0x00, 0x08, 0x20, 0x00, 0x40, 0xF1, 0xF2,
                                       0xF3, 0x10, 0x00, 1,    2,    3};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), r));
    for (std::size_t i = 13; i < kOutputReportSize; ++i)
        EXPECT_EQ(r[i], 0) << i;
}

TEST_F(HandsetCommandsTest, FlashPeriodsToggleOnTimeAndLedOnStopsThem) {
    Start();
    const uint32_t t0 = sim.fakeClock.GetTickCount();
    dev.NewWriteCmd(CMD_LED_FLASH_100MS, 0, 0, 0);
    EXPECT_THAT(handset.Trace(), IsEmpty());  // the flash commands are never written
    RunFlasher(t0 + 350);
    EXPECT_THAT(Led(t0), ElementsAre("0:off", "100:on", "200:off", "300:on"));

    // LED on: the flashing stops at once, the LED ends on.
    const uint32_t before = sim.fakeClock.GetTickCount();
    dev.NewWriteCmd(CMD_LED_ON, 0, 0, 0);
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 0u);
    EXPECT_EQ(dev.commands.FlashPeriod(), 0);
    EXPECT_EQ(dev.flasher.PollFlasher(sim.fakeClock.GetTickCount() + 5000), LedFlasher::kIdle);
    EXPECT_TRUE(handset.LedOn());
    EXPECT_EQ(handset.LedHistory().size(), 5u);

    // A 500 ms flash goes on from the phase where the last one stopped (off next).
    const uint32_t t1 = sim.fakeClock.GetTickCount();
    dev.NewWriteCmd(CMD_LED_FLASH_500MS, 0, 0, 0);
    RunFlasher(t1 + 1050);
    const auto led = Led(t1);
    EXPECT_THAT(std::vector<std::string>(led.begin() + 5, led.end()),
                ElementsAre("0:off", "500:on", "1000:off"));

    // Switching the period while flashing keeps the rhythm from the last toggle.
    dev.NewWriteCmd(CMD_LED_FLASH_100MS, 0, 0, 0);
    RunFlasher(t1 + 1150);
    EXPECT_EQ(Led(t1).back(), "1100:on");

    dev.NewWriteCmd(CMD_LED_OFF, 0, 0, 0);
    EXPECT_FALSE(handset.LedOn());
    EXPECT_EQ(dev.commands.FlashPeriod(), 0);
}

TEST_F(HandsetCommandsTest, FlasherWithoutHandsetOnlyLogs) {
    sim.hidBus.Plug(SimHidBus::Collections::InputOnly);
    app.dlg.OnInitDialog();
    EXPECT_TRUE(sim.logSink.Contains("NewWriteCmd:Write USB failed: m_WriteHandle is not valid"));
    // No write handle: the flash command itself is refused like every other.
    dev.NewWriteCmd(CMD_LED_FLASH_100MS, 0, 0, 0);
    EXPECT_EQ(dev.commands.FlashPeriod(), 0);
    EXPECT_THAT(handset.Commands(), IsEmpty());
}

TEST_F(HandsetCommandsTest, SameContrastIsSentOnce) {
    Start();
    dev.NewWriteCmd(CMD_SET_CONTRAST, 162, 35, 37);
    dev.NewWriteCmd(CMD_SET_CONTRAST, 162, 35, 37);
    dev.NewWriteCmd(CMD_SET_CONTRAST, 162, 35, 40);
    dev.NewWriteCmd(CMD_SET_CONTRAST, 162, 35, 37);
    EXPECT_THAT(handset.Trace(), ElementsAre("HANDSET <- CMD_SET_CONTRAST 162 35 37",
                                             "HANDSET <- CMD_SET_CONTRAST 162 35 40",
                                             "HANDSET <- CMD_SET_CONTRAST 162 35 37"));
    // A re-plugged handset has forgotten it: the same contrast goes out again.
    sim.hidBus.Unplug();
    sim.hidBus.Plug();
    handset.ClearTrace();
    dev.NewWriteCmd(CMD_SET_CONTRAST, 162, 35, 37);
    EXPECT_THAT(handset.Trace(), ElementsAre("HANDSET <- CMD_SET_CONTRAST 162 35 37"));
}

TEST_F(HandsetCommandsTest, DisplayLineFillsItsTwoPages) {
    Start();
    handset.PowerCycle();  // forget the start-up screen
    handset.ClearTrace();
    uint8_t upper[128] = {}, lower[128] = {};
    upper[0] = 0x01;    // top-left pixel of line 1
    lower[127] = 0x80;  // bottom-right pixel of line 1
    dev.commands.NewWriteDevice(1, upper, lower);
    EXPECT_THAT(handset.Trace(), ElementsAre("HANDSET <- PAGE 2", "HANDSET <- PAGE 3"));
    EXPECT_TRUE(handset.Pixel(0, 16));
    EXPECT_TRUE(handset.Pixel(127, 31));
    EXPECT_FALSE(handset.Pixel(1, 16));
    const std::string frame = handset.FrameText();
    EXPECT_EQ(std::count(frame.begin(), frame.end(), '#'), 2);
}

TEST_F(HandsetCommandsTest, HandsetVanishingDuringADisplayWrite) {
    Start();
    const int pagesAtStart = handset.PagesWritten();  // the start-up screen
    const std::string screenAtStart = handset.FrameText();
    uint8_t page[128];
    std::fill(std::begin(page), std::end(page), 0xFF);
    sim.hidBus.UnplugAfterWrites(3);  // pulled out in the middle of the first page
    dev.commands.NewWriteDevice(0, page, page);
    EXPECT_EQ(handset.FrameText(), screenAtStart);  // half a page never shows
    EXPECT_EQ(LogCount("Write USB Failed 1,error="), 1);
    EXPECT_EQ(LogCount("Write USB Failed 2,error="), 6);
    EXPECT_EQ(handset.PagesWritten(), pagesAtStart);
    // The removal was handled; later writes only log.
    dev.commands.NewWriteDevice(0, page, page);
    EXPECT_TRUE(
        sim.logSink.Contains("NewWriteDevice:Write USB failed: m_WriteHandle is not valid"));
}

TEST(VirtualHandset, UnknownReportsAreTracedNotTrusted) {
    FakeClock clock;
    VirtualHandset h(clock);
    const uint8_t junk[3] = {0x00, 0x07, 0x01};
    h.OnOutputReport(junk, sizeof junk);
    uint8_t data[33] = {};  // a data report without a page header before it
    h.OnOutputReport(data, sizeof data);
    EXPECT_THAT(h.Trace(), ElementsAre("HANDSET <- ? 00 07 01",
                                       "HANDSET <- ? 00 00 00 00 00 00 00 00 00 00 00 00 00 ..."));
    EXPECT_EQ(h.PagesWritten(), 0);
}

}  // namespace
}  // namespace vocastra
