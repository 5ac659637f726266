#include <algorithm>
#include <atomic>
#include <future>
#include <thread>

#include "device/handset_fixture.h"
#include "device/report_protocol.h"
#include "modes/mode_ids.h"

namespace vocastra {
namespace {

using test::HandsetFixture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using KeyPipelineTest = HandsetFixture;

TEST_F(KeyPipelineTest, ShortPressAtReleaseLongPressAt1300Ms) {
    Start();
    handset.Press(10);  // KEY_0
    Pump();
    Advance(1299);
    EXPECT_THAT(Keys(), IsEmpty());  // nothing before the release
    handset.Release();
    Pump();
    EXPECT_THAT(Keys(), ElementsAre("0"));

    app.connectionLog.Clear();
    handset.Press(10);
    Pump();
    Advance(1299);
    EXPECT_THAT(Keys(), IsEmpty());
    Advance(1);
    EXPECT_THAT(Keys(), ElementsAre("100"));
    EXPECT_TRUE(sim.logSink.Contains("LONG KEY PRESSED!\n"));
    EXPECT_TRUE(sim.logSink.Contains("0 LONG pressed\n"));
    Advance(1);
    handset.Release();
    Pump();
    EXPECT_THAT(Keys(), ElementsAre("100"));  // the release adds nothing
}

TEST_F(KeyPipelineTest, ReleaseBeforeTheLateTimerMessageStillDeliversTheLongPress) {
    Start();
    handset.Press(8);  // KEY_5
    dev.keys.ProcessReport();
    sim.fakeClock.Advance(1400);  // the timer is due but its message not handled yet
    handset.Release();
    dev.keys.ProcessReport();
    Pump();
    EXPECT_THAT(Keys(), ElementsAre("105"));
}

TEST_F(KeyPipelineTest, HookDownAndHotKey3ArriveAtOnce) {
    Start();
    handset.HookDown();
    Pump();
    handset.HotKey3();
    Pump();
    EXPECT_THAT(Keys(), ElementsAre("11", "16"));
    Advance(5000);
    handset.Release();
    Pump();
    EXPECT_THAT(Keys(), ElementsAre("11", "16"));  // no repeat at release, no long press
}

TEST_F(KeyPipelineTest, ScanTableFromTheSettingsFileIsHonoured) {
    dir.Write("Vocastra.ini", "[KEY]\nVAL_KEYSCAN_8=9\nVAL_KEYSCAN_2=10\n");
    Start();
    Tap(8);  // default KEY_5, remapped to KEY_9
    Tap(2);  // default KEY_1, remapped to KEY_HOOKUP
    Tap(7);  // KEY_2, untouched
    EXPECT_THAT(Keys(), ElementsAre("9", "10", "2"));
    EXPECT_TRUE(sim.logSink.Contains("9 pressed\n"));
    EXPECT_TRUE(sim.logSink.Contains("HOOK UP pressed\n"));
}

TEST_F(KeyPipelineTest, StartReportInitialisesTheHandsetOncePerConnection) {
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_LCM_CONTRAST=2\n");
    Start();
    handset.Start();
    Pump();
    handset.Start();
    Pump();
    EXPECT_THAT(handset.Trace(),
                ElementsAre("HANDSET -> START", "HANDSET <- CMD_DEVICE_INIT 80 4 0",
                            "HANDSET <- CMD_SET_CONTRAST 162 35 40", "HANDSET -> START"));
    EXPECT_EQ(app.flags.g_bDeviceStarted, 1);
    EXPECT_THAT(app.connectionLog.Lines(),
                ::testing::IsSupersetOf({"RefreshDisplay", "UpdateTrayIcon"}));
    EXPECT_EQ(Calls("RefreshDisplay").size(), 2u);
    EXPECT_THAT(Keys(), IsEmpty());  // the start signal is not a key for the modes

    // Unplugged and plugged again: a new connection, initialised again.
    sim.hidBus.Unplug();
    sim.hidBus.Plug();
    handset.ClearTrace();
    handset.Start();
    Pump();
    EXPECT_THAT(handset.Trace(),
                ElementsAre("HANDSET -> START", "HANDSET <- CMD_DEVICE_INIT 80 4 0",
                            "HANDSET <- CMD_SET_CONTRAST 162 35 40"));
}

// The handset announces its start while the program still handles the plug
// event of its second collection, which closes and reopens the handles: the
// initialisation must reach the handset whole, never a closed handle.
TEST_F(KeyPipelineTest, StartDuringTheReconnectOfAPlugStillInitialises) {
    Start();
    for (int round = 0; round < 200; ++round) {
        sim.hidBus.Unplug();
        sim.hidBus.Plug();
        handset.ClearTrace();
        sim.logSink.Clear();
        dev.keys.PushKey(KEY_DEVICE_START);
        std::thread keys([&] { dev.keys.ProcessNextKey(); });
        dev.deviceChange.OnHidDeviceArrival(sim.hidBus.InputPath());
        keys.join();
        const auto trace = handset.Trace();
        ASSERT_EQ(std::count(trace.begin(), trace.end(), "HANDSET <- CMD_DEVICE_INIT 80 4 0"), 1)
            << "round " << round;
        ASSERT_EQ(std::count(trace.begin(), trace.end(), "HANDSET <- CMD_SET_CONTRAST 162 35 37"),
                  1)
            << "round " << round;
        ASSERT_EQ(LogCount("Write USB Failed 3"), 0) << "round " << round;
    }
}

TEST_F(KeyPipelineTest, StartReportSendsTheContrastEvenIfSentJustBeforeIt) {
    Start();
    handset.Start();
    Pump();
    sim.hidBus.Unplug();
    sim.hidBus.Plug();
    handset.ClearTrace();
    // A screen drawn between the re-plug and the handset's start report
    // (a call ended while it was out) sends the contrast to a handset that
    // has not started yet; the start must still set it.
    app.modes.SwitchMode(MODE_MAIN);
    handset.Start();
    Pump();
    std::vector<std::string> afterStart;
    bool started = false;
    for (const auto& line : handset.Trace()) {
        started = started || line == "HANDSET -> START";
        if (started && line.rfind("HANDSET <- CMD_", 0) == 0 &&
            line.find("CMD_LED") == std::string::npos)
            afterStart.push_back(line);
    }
    ASSERT_GE(afterStart.size(), 2u);
    EXPECT_EQ(afterStart[0], "HANDSET <- CMD_DEVICE_INIT 80 4 0");
    EXPECT_EQ(afterStart[1], "HANDSET <- CMD_SET_CONTRAST 162 35 37");
}

TEST_F(KeyPipelineTest, ContrastOutsideAByteGoesAsItsLowByteFromEverySender) {
    dir.Write("Vocastra.ini", "[LCM]\nVAL_CONTRAST_1A=300\nVAL_CONTRAST_1B=-1\n");
    Start();
    handset.Start();
    Pump();
    // The idle screen sends the contrast too: the same, so it is not repeated.
    app.modes.SwitchMode(MODE_MAIN);
    std::vector<std::string> contrasts;
    for (const auto& line : handset.Trace())
        if (line.find("CMD_SET_CONTRAST") != std::string::npos)
            contrasts.push_back(line);
    EXPECT_THAT(contrasts, ElementsAre("HANDSET <- CMD_SET_CONTRAST 44 255 37"));
}

TEST_F(KeyPipelineTest, KeyTonesAndVolumeKeys) {
    Start();
    // What the pipeline asks for, not what the players make of it.
    dev.keys.points.StartPlayKeyTone.Fill(nullptr);
    dev.keys.points.StopKeyTone.Fill(nullptr);
    dev.keys.points.SetFaderValue.Fill(nullptr);
    int mode = MODE_MAIN;
    dev.keys.points.CurrentMode.Fill([&] { return mode; });
    Tap(8);   // KEY_5
    Tap(5);   // KEY_STAR
    Tap(15);  // KEY_SHARP
    Tap(1);   // KEY_HOOKUP
    Tap(20);  // KEY_VOLUME_UP
    const std::string d = dir.Path();
    EXPECT_THAT(Calls("StartPlayKeyTone"), ElementsAre(d + "5.wav", d + "star.wav", d + "sharp.wav",
                                                       d + "0.wav", d + "0.wav"));
    EXPECT_EQ(Calls("StopKeyTone").size(), 5u);
    EXPECT_THAT(Calls("g_AudioOutMixer.SetFaderValue"), ElementsAre("0 0"));

    // In a call, no tone; the volume keys still step, before the mode sees them.
    app.connectionLog.Clear();
    mode = MODE_TALKING;
    Tap(25);  // KEY_VOLUME_DOWN
    EXPECT_THAT(Calls("StartPlayKeyTone"), IsEmpty());
    EXPECT_THAT(app.connectionLog.Lines(),
                ElementsAre("g_AudioOutMixer.SetFaderValue 0 1", "DispatchKeyToMode 20"));
    EXPECT_TRUE(sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 018"));

    // Key tones switched off.
    app.connectionLog.Clear();
    mode = MODE_MAIN;
    app.g_Settings.VAL_ENABLE_KEYTONE = 0;
    Tap(8);
    EXPECT_THAT(Calls("StartPlayKeyTone"), IsEmpty());
    EXPECT_THAT(Keys(), ElementsAre("5"));

    // A mode outside the table gets no key, but the tone and the log still happen.
    app.connectionLog.Clear();
    mode = -1;
    Tap(8);
    EXPECT_THAT(Keys(), IsEmpty());
}

TEST_F(KeyPipelineTest, KeyActivityOutsideCalls) {
    Start();
    int mode = MODE_MAIN;
    dev.keys.points.CurrentMode.Fill([&] { return mode; });
    Tap(8);
    EXPECT_TRUE(app.flags.g_bKeyActivity);
    Advance(9800);  // 10 s after the press
    EXPECT_TRUE(app.flags.g_bKeyActivity);
    Advance(100);
    EXPECT_FALSE(app.flags.g_bKeyActivity);
    mode = MODE_RINGING;
    Tap(8);
    EXPECT_FALSE(app.flags.g_bKeyActivity);
}

TEST_F(KeyPipelineTest, BadInputMakesNoKey) {
    Start();
    handset.SendRaw({0x03});           // too short: would read as a release
    handset.SendRaw({0x02, 8});        // another report id
    handset.SendRaw({});               // nothing at all
    handset.SendScan(30);              // no key
    handset.SendScan(255);             // no key
    handset.SendRaw({0x03, 8, 0, 0});  // a real press, short report
    Pump();
    Advance(200);
    handset.SendRaw({0x03});  // not a release
    Pump();
    EXPECT_THAT(Keys(), IsEmpty());
    EXPECT_TRUE(sim.logSink.Contains("Input report of 1 byte ignored"));
    handset.Release();
    Pump();
    EXPECT_THAT(Keys(), ElementsAre("5"));

    // A scan table entry that names no key.
    app.connectionLog.Clear();
    app.g_Settings.VAL_KEYSCAN[7] = 77;
    Tap(8, 2000);
    EXPECT_THAT(Keys(), IsEmpty());
    EXPECT_TRUE(sim.logSink.Contains("Scan code 8 has no key in the scan table"));
}

TEST_F(KeyPipelineTest, ReadFailingDuringAPressInventsNoKey) {
    Start();
    handset.Press(8);
    Pump();
    sim.hidBus.FailNextReads(1);
    EXPECT_FALSE(dev.keys.ProcessReport());
    EXPECT_TRUE(sim.logSink.Contains("Read USB failed, error=31"));
    Advance(3000);
    EXPECT_THAT(Keys(), IsEmpty());
    // The handset goes on working afterwards.
    Tap(7);
    EXPECT_THAT(Keys(), ElementsAre("2"));
}

TEST_F(KeyPipelineTest, UnplugDuringAPressInventsNoKey) {
    Start();
    handset.Press(8);
    Pump();
    sim.hidBus.Unplug();
    Advance(3000);
    EXPECT_THAT(Keys(), IsEmpty());
    EXPECT_EQ(app.flags.g_bDeviceStarted, 0);
}

TEST(KeyNames, LogTexts) {
    EXPECT_EQ(KeyLogText(KEY_7), "7 pressed\n");
    EXPECT_EQ(KeyLogText(KEY_VOLUME_UP), "Volume  Up pressed\n");
    EXPECT_EQ(KeyLogText(KEY_CLEAR), "Clear pressed\n");
    EXPECT_EQ(KeyLogText(KEY_0 + KEY_LONG_OFFSET), "0 LONG pressed\n");
    EXPECT_EQ(KeyLogText(KEY_5 + KEY_LONG_OFFSET), "");
    EXPECT_EQ(KeyLogText(KEY_DEVICE_START), "");
}

// The real threads: a report on the bus reaches the mode on the key thread,
// and the program ends cleanly with a read still waiting.
TEST(KeyPipelineThreads, ReportTravelsToTheModeAndThreadsStop) {
    test::TempDir dir;
    SimPlatform sim(dir.Path());
    auto app = std::make_unique<Application>(sim.MakePorts());
    std::promise<void> got;
    std::atomic<bool> once{false};
    app->device.keys.points.DispatchKeyToMode.Fill([&](int k) {
        if (k == KEY_5 && !once.exchange(true))
            got.set_value();
    });
    sim.hidBus.Plug();
    app->dlg.OnInitDialog();
    VirtualHandset& h = sim.hidBus.handset();
    h.Start();
    h.Press(8);
    h.Release();
    ASSERT_EQ(got.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
    app.reset();  // joins the read, key and flasher threads
    EXPECT_EQ(sim.hidBus.OpenHandleCount(), 2);
}

}  // namespace
}  // namespace vocastra
