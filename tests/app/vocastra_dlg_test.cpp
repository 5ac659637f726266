#include "app/vocastra_dlg.h"

#include "app/log.h"
#include "app/messages.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

struct DlgFixture : ::testing::Test {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    CVocastraDlg& dlg = app.dlg;
    std::vector<std::string> Calls() { return app.connectionLog.Lines(); }
};

TEST_F(DlgFixture, StartUpRunsEveryStepInOrder) {
    sim.registry.CreateKey(RegistryRoot::CurrentUser, "Software\\Skype\\Phone\\UI");
    dlg.points.SkypeMonitorExists.Fill([] { return true; });
    dlg.points.GetUsbPhoneWaveOutDeviceName.Fill([] { return std::string("USB Out"); });
    dlg.points.GetUsbPhoneWaveInDeviceName.Fill([] { return std::string("USB In"); });
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_LANGUAGE=2\n");
    sim.hidBus.Plug();
    app.device.SetThreadsEnabled(false);

    EXPECT_TRUE(dlg.OnInitDialog());

    EXPECT_EQ(app.g_Settings.VAL_LANGUAGE, 2);
    // The handset, tray and display steps are filled by their subsystems:
    // the handset, the tray and the mode show they ran.
    EXPECT_THAT(Calls(), ::testing::IsEmpty());
    EXPECT_TRUE(sim.logSink.Contains("InitializeMixers: USB Out"));
    EXPECT_THAT(sim.trayIcon.Records(),
                ElementsAre("TRAY add Application USB Phone", "TRAY icon Error", "TRAY tip "));
    EXPECT_EQ(app.modes.CurrentMode(), MODE_UNCONNECTED);
    // The unconnected screen (lines 1 and 2) is on the handset before the
    // connect command.
    EXPECT_THAT(sim.hidBus.handset().Trace(),
                ElementsAre("HANDSET plugged", "HANDSET <- PAGE 2", "HANDSET <- PAGE 3",
                            "HANDSET <- PAGE 4", "HANDSET <- PAGE 5", "HANDSET <- CMD_CONNECT"));
    // The client link window was created and the discovery broadcast once.
    EXPECT_TRUE(app.skype.Exists());
    EXPECT_EQ(sim.skypeClient.DiscoverCount(), 1);
    EXPECT_TRUE(sim.logSink.Contains("InDevice=USB In, OutDevice=USB Out"));
    EXPECT_TRUE(sim.logSink.Contains("Connect: BroadCast attach request to Skype Start"));
    EXPECT_EQ(sim.registry.GetDword(RegistryRoot::CurrentUser, "Software\\Skype\\Phone\\UI",
                                    "APITimeoutDisabled"),
              1u);
}

TEST_F(DlgFixture, StartUpNeverCreatesTheClientsKey) {
    sim.skypeClient.SetFailCreate(true);
    dlg.OnInitDialog();
    EXPECT_FALSE(sim.registry.KeyExists(RegistryRoot::CurrentUser, "Software\\Skype\\Phone\\UI"));
    // No link window: no broadcast either.
    EXPECT_EQ(sim.skypeClient.DiscoverCount(), 0);
}

TEST_F(DlgFixture, QuitRequestSavesSettingsThenEnds) {
    app.PrepareInstance();
    dlg.OnInitDialog();
    app.g_Settings.VAL_AUDIO_OUT_VOLUME = 9;
    app.connectionLog.Clear();

    EXPECT_TRUE(dlg.HandleMessage(WM_QUIT_REQUEST, 0, 0));

    EXPECT_TRUE(sim.logSink.Contains("Received quit message"));
    EXPECT_EQ(app.flags.g_bExiting, 1);
    EXPECT_NE(dir.Read("Vocastra.ini").find("VAL_AUDIO_OUT_VOLUME=9"), std::string::npos);
    EXPECT_THAT(Calls(), ::testing::IsEmpty());
    EXPECT_TRUE(sim.mainWindow.DialogEnded());
    EXPECT_TRUE(sim.mainWindow.Terminated());
    EXPECT_EQ(sim.trayIcon.Records().back(), "TRAY remove");
    EXPECT_FALSE(sim.trayIcon.Shown());
}

TEST_F(DlgFixture, ExitWithTheSheetOpenCancelsItFirst) {
    const uint32_t before = sim.fakeClock.GetTickCount();
    // The main window's side alone: the sheet's points record what reaches them.
    dlg.points.SetSettingSheetPage.Fill(nullptr);
    dlg.points.CancelSettingSheet.Fill(nullptr);
    dlg.points.RunSettingSheet.Fill([&](int page) {
        app.connectionLog.Record("sheet " + std::to_string(page));
        // The user double-clicks the tray icon and picks page 3 while the sheet is up...
        dlg.HandleMessage(WM_TRAY_NOTIFY, 0, kLButtonDblClk);
        dlg.HandleMessage(kMsgCommand, ID_SETTING_PAGE_COMMANDS[3], 0);
        // ...then chooses Exit from the tray menu.
        dlg.HandleMessage(kMsgCommand, ID_APP_EXIT_CMD, 0);
    });
    dlg.HandleMessage(kMsgCommand, ID_SETTING_PAGE_COMMANDS[1], 0);
    EXPECT_THAT(Calls(), ElementsAre("sheet 1", "SetSettingSheetPage 3", "CancelSettingSheet"));
    EXPECT_TRUE(sim.mainWindow.Terminated());
    EXPECT_EQ(sim.fakeClock.GetTickCount() - before, 1000u);
    EXPECT_FALSE(dlg.IsSettingSheetOpen());
}

TEST(DialogEnd, EndingWithoutTheQuitRoutineLeavesNoThreadNorIconBehind) {
    // Real threads: they wait on events, so only waking them ends them.
    test::TempDir dir;
    SimPlatform sim{dir.Path(), /*realTime=*/true};
    Application app{sim.MakePorts()};
    sim.hidBus.Plug();
    app.PrepareInstance();
    app.dlg.OnInitDialog();
    ASSERT_TRUE(app.device.keys.ThreadsRunning());
    ASSERT_TRUE(sim.trayIcon.Shown());

    app.dlg.OnModalLoopEnded();
    EXPECT_EQ(app.flags.m_bQuit, 1);
    EXPECT_FALSE(app.device.keys.ThreadsRunning());
    EXPECT_FALSE(sim.trayIcon.Shown());
    EXPECT_FALSE(sim.mainWindow.Terminated());
}

TEST_F(DlgFixture, RoutesMessagesToTheirSubsystems) {
    dlg.points.GetPopupMessage.Fill([](int n) { return "popup " + std::to_string(n); });
    dlg.points.OnTrayNotification.Fill(nullptr);
    dlg.points.SelectLanguage.Fill(nullptr);
    dlg.HandleMessage(WM_START_RING, 0, 0);
    dlg.HandleMessage(WM_STOP_RING, 0, 0);
    dlg.HandleMessage(WM_UPDATE_TRAY, 0, 0);
    dlg.HandleMessage(WM_TRAY_NOTIFY, 130, 0x205);
    dlg.HandleMessage(kMsgCommand, ID_LANGUAGE_COMMANDS[4], 0);
    dlg.HandleMessage(kMsgTimer, TIMER_LONG_KEY, 0);
    EXPECT_FALSE(dlg.HandleMessage(kMsgTimer, 77, 0));
    EXPECT_FALSE(dlg.HandleMessage(kMsgCommand, 1, 0));
    dlg.HandleMessage(WM_UNSUPPORTED_SKYPE, 0, 0);
    EXPECT_TRUE(sim.logSink.Contains("LONG KEY PRESSED!"));  // the key pipeline's timer
    EXPECT_THAT(Calls(), ElementsAre("OnTrayNotification 130 517", "SelectLanguage 4"));
    EXPECT_TRUE(
        sim.logSink.Contains("***************Start Play Incoming Ring Tone***************"));
    EXPECT_TRUE(sim.logSink.Contains("***************Stop Play Incoming Ring Tone***************"));
    EXPECT_THAT(sim.messageBoxes.Shown(), ElementsAre("ERROR popup 2"));
    EXPECT_TRUE(sim.mainWindow.Terminated());
    EXPECT_TRUE(sim.logSink.Contains("UpdateTrayIcon"));
}

TEST_F(DlgFixture, MixerChangesReachTheSettingsOnlyOnceTheHandsetStarted) {
    dlg.points.AudioOutMuteSwitch.Fill([] { return 1; });
    dlg.points.AudioInMuteSwitch.Fill([] { return 7; });
    dlg.HandleMessage(kMsgMixerControlChange, 0, 0);
    EXPECT_EQ(app.g_Settings.VAL_AUDIO_OUT_MUTE, 0);
    app.flags.g_bDeviceStarted = 1;
    app.g_Settings.VAL_AUDIO_IN_MUTE = 1;
    dlg.HandleMessage(kMsgMixerControlChange, 0, 0);
    EXPECT_EQ(app.g_Settings.VAL_AUDIO_OUT_MUTE, 1);
    EXPECT_EQ(app.g_Settings.VAL_AUDIO_IN_MUTE, 0);
}

TEST(Log, LinesAreCutAt15999Characters) {
    MemoryLogSink sink;
    SetLogSink(&sink);
    LogPrintA("%s", std::string(20000, 'a').c_str());
    LogPrintA("x=%d", 5);
    LogPrintW(L"wide %ls %d", L"\u00e4", 7);
    // Around the size short lines are formatted in: nothing lost either side.
    for (std::size_t n : {510u, 511u, 512u, 513u, 4000u})
        LogPrintA("%s|%d", std::string(n, 'b').c_str(), 42);
    SetLogSink(nullptr);
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].size(), 15999u);
    EXPECT_EQ(lines[1], "x=5");
    EXPECT_EQ(lines[2], "wide \xC3\xA4 7");
    std::size_t i = 3;
    for (std::size_t n : {510u, 511u, 512u, 513u, 4000u})
        EXPECT_EQ(lines[i++], std::string(n, 'b') + "|42");
}

TEST(SimMainWindow, DeliversPostsInOrderAndTimersWhenDue) {
    FakeClock clock;
    SimMainWindow w(clock);
    std::vector<std::string> seen;
    w.SetHandler([&](uint32_t m, uintptr_t wp, intptr_t) -> intptr_t {
        seen.push_back(std::to_string(m) + ":" + std::to_string(wp));
        return 0;
    });
    w.Post(1, 1, 0);
    w.Post(2, 2, 0);
    w.SetTimer(1001, 1300);
    w.Pump();
    clock.Advance(1299);
    w.Pump();
    clock.Advance(1);
    w.Pump();
    w.KillTimer(1001);
    clock.Advance(5000);
    w.Pump();
    EXPECT_THAT(seen, ElementsAre("1:1", "2:2", "275:1001"));
}

}  // namespace
}  // namespace vocastra
