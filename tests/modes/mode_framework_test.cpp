// The mode framework and the call modes' key tables, case by case.
#include <gmock/gmock.h>

#include "app/system_tray.h"
#include "app/text_util.h"
#include "modes/handset_modes.h"
#include "modes/mode_harness.h"

namespace vocastra {
namespace {

using test::ModeHarness;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ModeFramework, TransitionsRunExitThenInitThenDisplay) {
    ModeHarness h;
    h.Press(KEY_HOOKUP);  // before the first transition: ignored
    h.app.modes.RefreshDisplay();
    EXPECT_THAT(h.TakeTrace(), IsEmpty());

    EXPECT_EQ(h.app.modes.SwitchMode(MODE_RINGING), -1);  // no exit handler ran
    EXPECT_EQ(h.app.modes.PreviousMode(), -1);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("MODE -1 -> 2", "HANDSET <- CMD_LED_FLASH_100MS"));
    EXPECT_TRUE(h.sim.logSink.Contains("SwitchMode:2"));

    // Switching to the current mode runs nothing and answers the current mode.
    EXPECT_EQ(h.app.modes.SwitchMode(MODE_RINGING), MODE_RINGING);
    EXPECT_THAT(h.TakeTrace(), IsEmpty());

    EXPECT_EQ(h.app.modes.SwitchMode(MODE_TALKING), MODE_RINGING);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("HANDSET <- CMD_LED_OFF", "HANDSET <- CMD_RING_STOP",
                                           "MODE 2 -> 3", "HANDSET <- CMD_LED_ON"));
    // An id outside the table leaves the mode alone.
    EXPECT_EQ(h.app.modes.SwitchMode(42), MODE_TALKING);
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_TALKING);
}

TEST(ModeFramework, KeyToneDelayOnlyWhenKeyTonesAreExactlyOn) {
    ModeHarness h;
    const uint32_t t0 = h.sim.fakeClock.GetTickCount();
    h.app.modes.KeyToneDelay();
    h.app.g_Settings.VAL_ENABLE_KEYTONE = 2;
    h.app.modes.KeyToneDelay();
    EXPECT_EQ(h.sim.fakeClock.GetTickCount(), t0);
    h.app.g_Settings.VAL_ENABLE_KEYTONE = 1;
    h.app.modes.KeyToneDelay();
    EXPECT_EQ(h.sim.fakeClock.GetTickCount(), t0 + 500);
    EXPECT_TRUE(h.sim.logSink.Contains("Start delay 500ms for key tone playing..."));
}

TEST(ModeFramework, RefreshSendsOnlyTheLinesThatChanged) {
    ModeHarness h;
    h.traceLines = true;
    h.StartIdle();
    h.Tick();  // same minute: nothing new on the handset
    h.sim.fakeClock.Advance(58 * 1000);
    h.Tick();  // 14:06: only the clock line
    EXPECT_THAT(h.TakeTrace(),
                ElementsAre("HANDSET <- CMD_SET_CONTRAST 162 35 37",
                            "HANDSET <- CMD_SET_CONTRAST 162 35 37", "HANDSET <- LINE 0"));
    // The contact list is drawn on events only.
    h.app.modes.SwitchMode(MODE_CONTACTLIST);
    h.TakeTrace();
    h.sim.fakeClock.Advance(60 * 1000);
    h.Tick();
    EXPECT_THAT(h.TakeTrace(), IsEmpty());
}

TEST(ModeFramework, ClientWindowHelpers) {
    ModeHarness h;
    EXPECT_EQ(h.app.modes.FindSkypeMainWindow(), 0u);
    h.app.modes.ToggleSkypeFocus();  // no client window: nothing at all
    EXPECT_THAT(h.TakeTrace(), IsEmpty());

    const WindowId main = h.sim.windows.AddWindow("TZapMainForm", "", true);
    h.sim.windows.AddWindow("TConversationsControl.UnicodeClass", "", true,
                            h.sim.windows.AddWindow("TPanel", "", true, main));
    EXPECT_EQ(h.app.modes.FindSkypeMainWindow(), main);
    h.app.modes.OpenSkypeContacts();
    for (int i = 0; i < 3; ++i)
        h.app.modes.ToggleSkypeFocus();
    std::vector<std::string> tabs;
    for (const auto& r : h.sim.windows.Records())
        if (r.find("WM_SYSKEYDOWN") != std::string::npos)
            tabs.push_back(r.substr(r.find("0x3"), 4));
    EXPECT_THAT(tabs, ElementsAre("0x31", "0x32", "0x31", "0x32"));  // Alt+1, then 2, 1, 2

    // An older client has its own commands.
    h.skypeVersion = 3;
    h.TakeTrace();
    h.app.modes.OpenSkypeContacts();
    h.app.modes.ToggleSkypeFocus();
    EXPECT_THAT(h.TakeTrace(),
                ElementsAre("CLIENT <- Open Contacts", "CLIENT <- SET WINDOWSTATE NORMAL",
                            "CLIENT <- BTN_PRESSED SKYPE", "CLIENT <- BTN_RELEASED SKYPE"));

    // Leftover call forms are closed, quality forms once, in about two seconds.
    h.sim.windows.AddWindow("TConversationForm", "");
    h.sim.windows.AddWindow("TCallFailureForm.UnicodeClass", "");
    h.sim.windows.AddWindow("TCallQualityForm", "");
    h.sim.windows.ClearRecords();
    const uint32_t t0 = h.sim.fakeClock.GetTickCount();
    h.app.modes.CloseSkypeCallForms();
    EXPECT_EQ(h.sim.fakeClock.GetTickCount() - t0, 2000u);
    EXPECT_THAT(h.sim.windows.Records(),
                ElementsAre("POST TConversationForm WM_CLOSE 0x0 0x0",
                            "POST TCallFailureForm.UnicodeClass WM_CLOSE 0x0 0x0",
                            "POST TCallQualityForm WM_CLOSE 0x0 0x0"));

    // A form that comes back each time it is closed, on a desktop whose
    // searches are slow: the sweep still ends after two seconds.
    h.sim.windows.SetReaction([&](const SimWindowAutomation::Delivery& d) {
        if (d.className == "TConversationForm") {
            h.sim.fakeClock.Advance(100);
            h.sim.windows.AddWindow("TConversationForm", "");
        }
    });
    h.sim.windows.AddWindow("TConversationForm", "");
    const uint32_t t1 = h.sim.fakeClock.GetTickCount();
    h.app.modes.CloseSkypeCallForms();
    EXPECT_LE(h.sim.fakeClock.GetTickCount() - t1, 2120u);
    h.sim.windows.SetReaction(nullptr);

    h.sim.windows.ClearRecords();
    h.app.modes.PressBackspaceInSkype();
    EXPECT_THAT(h.sim.windows.Records(), ElementsAre("KEY 8 down", "KEY 8 up"));
}

TEST(CallModes, NumberRuleAndOverlongNumbers) {
    ModeHarness h;
    auto dialled = [&](const std::string& number) {
        h.TakeTrace();
        h.app.modes.SendNumberByRule(number, kCommandBuffer);
        return h.TakeTrace().back();
    };
    EXPECT_EQ(dialled("+48123"), "CLIENT <- CALL +48123");
    EXPECT_EQ(dialled("0048123"), "CLIENT <- CALL 0048123");
    EXPECT_EQ(dialled("0207"), "CLIENT <- CALL +440207");
    EXPECT_EQ(dialled("0"), "CLIENT <- CALL +440");
    EXPECT_EQ(dialled("5551234"), "CLIENT <- CALL +445551234");

    // A number typed far past what the command buffer holds is dialled cut,
    // never past the buffer.
    h.StartIdle();
    for (int i = 0; i < 150; ++i)
        h.Press(KEY_7);
    h.Press(KEY_HOOKUP);
    const std::string call = h.TakeTrace().back();
    EXPECT_EQ(call, "CLIENT <- CALL +44" + std::string(99 - 8, '7'));
}

TEST(CallModes, NumberEntryDeletesAndLeaves) {
    ModeHarness h;
    h.StartIdle();
    h.Press(KEY_1);
    h.Press(KEY_SHARP);
    h.Press(KEY_STAR);
    EXPECT_EQ(h.app.modes.m_DialNumber, "1#*");
    h.Press(KEY_CLEAR);
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.app.modes.m_DialNumber, "1");
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_NUMDIAL);
    h.Press(KEY_CLEAR);  // the last character leaves the mode
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_MAIN);

    // Two characters: contacts instead of the dial pad; the confirmation
    // form a second later switches to the confirm screen, which escapes it.
    h.sim.windows.AddWindow("tSkMainForm.UnicodeClass", "", true);
    const WindowId form = h.sim.windows.AddWindow("TskConfirmForm.UnicodeClass", "");
    h.Press(KEY_4);
    h.Press(KEY_2);
    h.TakeTrace();
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_EQ(h.TakeTrace().front(), "CLIENT <- SET WINDOWSTATE NORMAL");
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_SYSCONFIRM);
    EXPECT_TRUE(h.sim.logSink.Contains("Find TskConfirmForm.UnicodeClass 1"));
    h.Press(KEY_5);  // ignored here
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_SYSCONFIRM);
    h.Press(KEY_HOOKDOWN);
    EXPECT_TRUE(h.sim.logSink.Contains("Find TskConfirmForm.UnicodeClass 4"));
    EXPECT_EQ(h.sim.windows.Records().back(),
              "SEND TskConfirmForm.UnicodeClass WM_KEYDOWN 0x1b 0x0");
    EXPECT_TRUE(h.sim.windows.Exists(form));
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_MAIN);
}

TEST(CallModes, RingingHotKeysTellIncomingFromOutgoing) {
    ModeHarness h;
    h.StartIdle();
    // Hot key 1 leaves a single outgoing call alone, refuses an incoming one.
    h.app.modes.SwitchMode(MODE_RINGING);
    h.AddCall("1", E_TYPE_OUTGOING_P2P, "bob", "ROUTING").bRouted = 1;
    h.TakeTrace();
    h.Press(KEY_HOTKEY_1);
    EXPECT_THAT(h.TakeTrace(), IsEmpty());
    h.calls.back().nType = E_TYPE_INCOMING_P2P;
    h.calls.back().bRouted = 0;
    h.Press(KEY_HOTKEY_1);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("CLIENT <- SET CALL 1 STATUS FINISHED"));
    // Hot key 2 answers an incoming call, cancels a routed one.
    h.Press(KEY_HOTKEY_2);
    h.calls.back().bRouted = 1;
    h.Press(KEY_HOTKEY_2);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("CLIENT <- SET CALL 1 STATUS INPROGRESS",
                                           "CLIENT <- SET CALL 1 STATUS FINISHED"));
    // Answering with two calls ringing ends the other; held calls stay.
    h.calls.clear();
    h.AddCall("7", E_TYPE_INCOMING_P2P, "held", "ONHOLD");
    h.AddCall("8", E_TYPE_INCOMING_P2P, "other");
    h.AddCall("9", E_TYPE_INCOMING_P2P, "current");
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_THAT(h.TakeTrace(),
                ElementsAre("HANDSET <- CMD_LED_ON", "CLIENT <- SET CALL 9 STATUS INPROGRESS",
                            "CLIENT <- SET CALL 8 STATUS FINISHED"));
    // No call id at all: the client's own button, and back to idle.
    h.calls.clear();
    h.Press(KEY_HOOKDOWN);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("HANDSET <- CMD_LED_OFF", "CLIENT <- BTN_PRESSED NO",
                                           "CLIENT <- BTN_RELEASED NO", "HANDSET <- CMD_LED_OFF",
                                           "HANDSET <- CMD_RING_STOP", "MODE 2 -> 0",
                                           "HANDSET <- CMD_SET_CONTRAST 162 35 37"));
    EXPECT_TRUE(h.sim.logSink.Contains("UseOtherWayHangupCall 004"));
}

TEST(CallModes, HandsetDownAfterTheClientLeftACallKeepsACallRingingMeanwhile) {
    ModeHarness h;
    h.StartIdle();
    h.app.g_Settings.VAL_ENABLE_KEYTONE = 1;  // the hang-up waits for its key tone
    // The client went away during a call: no call is left, the screen talks.
    h.app.modes.SwitchMode(MODE_TALKING);
    h.Press(KEY_HOOKDOWN);
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_MAIN);

    // A new call rings in while the key tone plays: its screen stays.
    h.app.modes.SwitchMode(MODE_TALKING);
    bool rang = false;
    h.sim.fakeClock.SetSleepHook([&] {
        if (rang)
            return;
        rang = true;
        h.AddCall("12", E_TYPE_INCOMING_P2P, "Ann");
        h.app.modes.SwitchMode(MODE_RINGING);
    });
    h.Press(KEY_HOOKDOWN);
    h.sim.fakeClock.SetSleepHook(nullptr);
    EXPECT_TRUE(rang);
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_RINGING);
}

TEST(CallModes, VolumeStepsDuringACall) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("3", E_TYPE_INCOMING_P2P, "Ann");
    h.ClientInProgress("3");
    auto step = [&](int from, int32_t key) {
        h.app.g_Settings.VAL_AUDIO_OUT_VOLUME = from;
        h.Press(key);
        return h.app.g_Settings.VAL_AUDIO_OUT_VOLUME.load();
    };
    EXPECT_EQ(step(31, KEY_UP), 31);
    EXPECT_EQ(step(31, KEY_DOWN), 27);
    EXPECT_EQ(step(0, KEY_UP), 4);
    EXPECT_EQ(step(0, KEY_DOWN), 0);
    EXPECT_EQ(step(4, KEY_DOWN), 0);
    EXPECT_TRUE(h.sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 001"));
    EXPECT_TRUE(h.sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 002"));
    EXPECT_EQ(h.TakeTrace().back(), "MIXER <- out 0 type 4");
}

TEST(CallModes, NoDisplayNumberStopsRecordingAt99) {
    ModeHarness h(false);
    h.sim.windows.AddWindow("tSkMainForm", "", true);
    h.StartIdle();
    for (int i = 0; i < 120; ++i)
        h.Press(KEY_3);
    EXPECT_EQ(h.app.modes.NoLcdNumber(), std::string(99, '3'));
    EXPECT_EQ(h.app.modes.g_NoLcdNumber[99], '\0');
    h.TakeTrace();
    h.Press(KEY_HOOKUP);
    EXPECT_EQ(h.TakeTrace().back(), "CLIENT <- CALL +44" + std::string(99, '3'));
}

TEST(TrayState, IconTipAndModeFollowTheConnections) {
    ModeHarness h;
    CSystemTray& tray = h.app.tray;
    tray.Create();
    h.app.flags.g_bDeviceStarted = 0;
    UpdateTrayIcon(tray, h.app.modes, h.app.languageTexts, h.app.flags);
    EXPECT_EQ(h.sim.trayIcon.Image(), TrayImage::Error);
    EXPECT_EQ(h.sim.trayIcon.Tip(), "Vocastra: handset not connected");
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_UNCONNECTED);
    EXPECT_TRUE(h.sim.logSink.Contains("MODE_UNCONNECTED 111"));

    h.app.flags.g_bDeviceStarted = 1;
    h.attached = false;
    UpdateTrayIcon(tray, h.app.modes, h.app.languageTexts, h.app.flags);
    EXPECT_EQ(h.sim.trayIcon.Image(), TrayImage::Information);
    EXPECT_EQ(h.sim.trayIcon.Tip(), "Vocastra: waiting for Skype");
    EXPECT_TRUE(h.sim.logSink.Contains("MODE_UNCONNECTED 222"));

    h.attached = true;
    UpdateTrayIcon(tray, h.app.modes, h.app.languageTexts, h.app.flags);
    EXPECT_EQ(h.sim.trayIcon.Image(), TrayImage::Application);
    EXPECT_EQ(h.sim.trayIcon.Tip(), "Vocastra: handset ready");
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_MAIN);

    // A handset back during calls shows the call to act on; a call whose end
    // is being handled at that moment is not one, whatever its place.
    h.app.modes.SwitchMode(MODE_UNCONNECTED);
    h.AddCall("5", E_TYPE_INCOMING_P2P, "ending", "MISSED");
    UpdateTrayIcon(tray, h.app.modes, h.app.languageTexts, h.app.flags);
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_MAIN);
    h.app.modes.SwitchMode(MODE_UNCONNECTED);
    h.AddCall("6", E_TYPE_INCOMING_P2P, "talking", "INPROGRESS");
    h.AddCall("7", E_TYPE_INCOMING_P2P, "ending", "FINISHED");
    UpdateTrayIcon(tray, h.app.modes, h.app.languageTexts, h.app.flags);
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_TALKING);
    h.calls.clear();

    // A ringing call is left alone.
    h.app.modes.SwitchMode(MODE_RINGING);
    UpdateTrayIcon(tray, h.app.modes, h.app.languageTexts, h.app.flags);
    EXPECT_EQ(h.app.modes.CurrentMode(), MODE_RINGING);

    // Removed once; a tray the shell refused stays quiet.
    tray.RemoveIcon();
    tray.RemoveIcon();
    EXPECT_FALSE(h.sim.trayIcon.Shown());
    h.sim.trayIcon.RefuseAdd(true);
    CSystemTray refused(h.sim.trayIcon);
    EXPECT_FALSE(refused.Create());
    const auto before = h.sim.trayIcon.Records().size();
    refused.SetIcon(TrayImage::Error);
    refused.SetTooltipText("x");
    refused.RemoveIcon();
    EXPECT_EQ(h.sim.trayIcon.Records().size(), before);
}

TEST(TrayState, IconComesBackWhenTheTaskbarIsCreatedAnew) {
    ModeHarness h;
    SimTrayIcon& shell = h.sim.trayIcon;
    CSystemTray tray(shell);
    tray.OnTaskbarCreated();  // too early: the icon is added by Create
    EXPECT_FALSE(shell.Shown());
    EXPECT_TRUE(tray.Create());
    tray.SetIcon(TrayImage::Information);
    tray.SetTooltipText("waiting");

    // The shell restarts: the icon returns as it was.
    shell.RestartShell();
    tray.OnTaskbarCreated();
    EXPECT_TRUE(shell.Shown());
    EXPECT_EQ(shell.Image(), TrayImage::Information);
    EXPECT_EQ(shell.Tip(), "waiting");

    // Announced while the icon is still there: it stays and keeps changing.
    tray.OnTaskbarCreated();
    EXPECT_FALSE(tray.IsHidden());
    tray.SetIcon(TrayImage::Error);
    EXPECT_EQ(shell.Image(), TrayImage::Error);

    // Removed by the program: nothing comes back.
    tray.RemoveIcon();
    shell.RestartShell();
    tray.OnTaskbarCreated();
    EXPECT_FALSE(shell.Shown());
}

TEST(TrayState, ShellThatRefusedAtStartShowsTheLatestStateOnceItIsUp) {
    ModeHarness h;
    SimTrayIcon& shell = h.sim.trayIcon;
    shell.RefuseAdd(true);  // started before the taskbar, as at log-on
    CSystemTray tray(shell);
    EXPECT_FALSE(tray.Create());
    tray.SetIcon(TrayImage::Application);
    tray.SetTooltipText("ready");
    EXPECT_FALSE(shell.Shown());

    shell.RefuseAdd(false);
    tray.OnTaskbarCreated();
    EXPECT_TRUE(shell.Shown());
    EXPECT_EQ(shell.Image(), TrayImage::Application);
    EXPECT_EQ(shell.Tip(), "ready");
    EXPECT_FALSE(tray.IsHidden());
}

TEST(TrayState, TipIsCutTo127Utf16UnitsBetweenCharacters) {
    ModeHarness h;
    CSystemTray tray(h.sim.trayIcon);
    tray.Create();
    tray.SetTooltipText(std::string(200, 'x'));
    EXPECT_EQ(h.sim.trayIcon.Tip().size(), 127u);
    // A character outside the basic plane takes two of the shell's units:
    // where only one is left, it goes whole rather than half.
    const std::string face = "\xF0\x9F\x98\x80";  // U+1F600
    tray.SetTooltipText(std::string(126, 'x') + face);
    EXPECT_EQ(h.sim.trayIcon.Tip(), std::string(126, 'x'));
    tray.SetTooltipText(std::string(125, 'x') + face + "y");
    EXPECT_EQ(h.sim.trayIcon.Tip(), std::string(125, 'x') + face);
    EXPECT_EQ(Utf8ToUtf16(h.sim.trayIcon.Tip()).size(), 127u);
}

}  // namespace
}  // namespace vocastra
