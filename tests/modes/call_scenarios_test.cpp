// Calls as the user lives them: keys on the handset, the client's reports,
// and what reaches the handset and the client in between.
#include <gmock/gmock.h>

#include "modes/handset_modes.h"
#include "modes/mode_harness.h"

namespace vocastra {
namespace {

using test::ModeHarness;
using ::testing::ElementsAre;

TEST(HandsetCallScenario, IncomingCallAnsweredWithTheHookAndHungUp) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("12", E_TYPE_INCOMING_P2P, "Alice");
    h.Tick();
    h.Press(KEY_HOOKUP);
    h.ClientInProgress("12");
    h.Press(KEY_HOOKDOWN);
    h.ClientFinished("12");
    EXPECT_THAT(h.TakeTrace(),
                ElementsAre("MODE 0 -> 2", "HANDSET <- CMD_LED_FLASH_100MS",
                            "HANDSET <- CMD_RING",  // first drawing of the ringing screen
                            "HANDSET <- CMD_RING",  // and once a second after
                            "CLIENT <- SET CALL 12 STATUS INPROGRESS", "HANDSET <- CMD_LED_OFF",
                            "HANDSET <- CMD_RING_STOP", "MODE 2 -> 3", "HANDSET <- CMD_LED_ON",
                            "HANDSET <- CMD_LED_OFF", "HANDSET <- CMD_LED_OFF",
                            "CLIENT <- SET CALL 12 STATUS FINISHED", "HANDSET <- CMD_LED_OFF",
                            "MODE 3 -> 0", "HANDSET <- CMD_SET_CONTRAST 162 35 37"));
}

TEST(HandsetCallScenario, IncomingCallRefused) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("7", E_TYPE_INCOMING_PSTN, "+441234");
    h.TakeTrace();
    h.Press(KEY_RIGHT_FUNCTION);
    h.ClientFinished("7");
    EXPECT_THAT(h.TakeTrace(),
                ElementsAre("HANDSET <- CMD_LED_OFF", "CLIENT <- SET CALL 7 STATUS FINISHED",
                            "HANDSET <- CMD_LED_OFF", "HANDSET <- CMD_RING_STOP", "MODE 2 -> 0",
                            "HANDSET <- CMD_SET_CONTRAST 162 35 37"));
}

TEST(HandsetCallScenario, OutgoingNumberTypedDialledWithThePrefixAndCancelled) {
    ModeHarness h;
    h.StartIdle();
    for (int32_t k : {KEY_0, KEY_2, KEY_0, KEY_7})
        h.Press(k);
    EXPECT_EQ(h.app.modes.m_DialNumber, "0207");
    h.TakeTrace();
    h.Press(KEY_HOOKUP);
    // The client places the call: the dialling rules switch to ringing, then
    // the client reports the call as routed.
    h.app.modes.SwitchMode(MODE_RINGING);
    h.AddCall("31", E_TYPE_OUTGOING_PSTN, "+44207", "ROUTING").bRouted = 1;
    h.Press(KEY_HOTKEY_2);
    h.ClientFinished("31");
    EXPECT_THAT(h.TakeTrace(), ElementsAre("CLIENT <- OPEN DIALPAD", "CLIENT <- BTN_PRESSED NO",
                                           "CLIENT <- BTN_RELEASED NO", "CLIENT <- BTN_PRESSED 0",
                                           "CLIENT <- BTN_RELEASED 0", "CLIENT <- BTN_PRESSED 2",
                                           "CLIENT <- BTN_RELEASED 2", "CLIENT <- BTN_PRESSED 0",
                                           "CLIENT <- BTN_RELEASED 0", "CLIENT <- BTN_PRESSED 7",
                                           "CLIENT <- BTN_RELEASED 7", "CLIENT <- CALL +440207",
                                           "MODE 4 -> 2", "HANDSET <- CMD_LED_FLASH_100MS",
                                           "CLIENT <- SET CALL 31 STATUS FINISHED",
                                           "HANDSET <- CMD_LED_OFF", "HANDSET <- CMD_RING_STOP",
                                           "MODE 2 -> 0", "HANDSET <- CMD_SET_CONTRAST 162 35 37"));
}

TEST(HandsetCallScenario, SecondCallAnsweredAndSwappedWithHotKey2) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("1", E_TYPE_INCOMING_P2P, "Alice");
    h.Press(KEY_HOOKUP);
    h.ClientInProgress("1");
    // Bob calls while Alice is on the line; the client holds Alice.
    h.Find("1")->szStatus = "ONHOLD";
    h.AddCall("2", E_TYPE_INCOMING_P2P, "Bob");
    h.TakeTrace();
    h.Press(KEY_HOTKEY_2);  // end the current call (Bob, the last), resume Alice
    EXPECT_THAT(h.TakeTrace(), ElementsAre("CLIENT <- SET CALL 1 STATUS INPROGRESS",
                                           "CLIENT <- SET CALL 2 STATUS FINISHED"));
    EXPECT_EQ(h.calls.back().szCallId, "1");
    // With a single call, hot key 2 resumes then ends it, and the LED goes out.
    h.ClientFinished("2");
    h.Press(KEY_HOTKEY_2);
    EXPECT_THAT(h.TakeTrace(),
                ElementsAre("HANDSET <- CMD_LED_OFF", "CLIENT <- SET CALL 1 STATUS INPROGRESS",
                            "CLIENT <- SET CALL 1 STATUS FINISHED"));
}

TEST(HandsetCallScenario, DigitsDuringACallAreDtmfAndTheHookTogglesMute) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("5", E_TYPE_OUTGOING_P2P, "echo123");
    h.ClientInProgress("5");
    h.TakeTrace();
    for (int32_t k : std::initializer_list<int32_t>{KEY_1, KEY_9, KEY_STAR, KEY_SHARP, KEY_0_LONG})
        h.Press(k);
    h.Press(KEY_HOOKUP);  // the handset was lifted again: mute
    h.mute = 1;           // the client reports MUTE ON
    h.Press(KEY_HOTKEY_1);
    h.mute = 0;
    h.Press(KEY_MUTE);
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_THAT(
        h.TakeTrace(),
        ElementsAre("CLIENT <- SET CALL 5 DTMF 1", "CLIENT <- SET CALL 5 DTMF 9",
                    "CLIENT <- SET CALL 5 DTMF *", "CLIENT <- SET CALL 5 DTMF #",
                    "CLIENT <- SET CALL 5 DTMF 0", "CLIENT <- SET MUTE ON",
                    "CLIENT <- SET MUTE OFF", "CLIENT <- SET MUTE ON", "CLIENT <- SET MUTE ON"));
}

TEST(HandsetCallScenario, NoDisplayHandsetTypesIntoTheClientAndDialsWithTheHook) {
    ModeHarness h(/*withDisplay=*/false);
    h.sim.windows.AddWindow("tSkMainForm", "Skype", /*visible=*/true);
    h.StartIdle();
    for (int32_t k : {KEY_1, KEY_2, KEY_3})
        h.Press(k);
    EXPECT_EQ(h.app.modes.NoLcdNumber(), "123");
    h.Press(KEY_HOOKUP);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("CLIENT <- BTN_PRESSED NO", "CLIENT <- BTN_RELEASED NO",
                                           "CLIENT <- BTN_PRESSED 1", "CLIENT <- BTN_RELEASED 1",
                                           "CLIENT <- BTN_PRESSED 2", "CLIENT <- BTN_RELEASED 2",
                                           "CLIENT <- BTN_PRESSED 3", "CLIENT <- BTN_RELEASED 3",
                                           "CLIENT <- CALL +44123"));
    EXPECT_EQ(h.app.modes.NoLcdNumber(), "");

    // An older client dials what its own pad holds.
    h.skypeVersion = 3;
    h.Press(KEY_4);
    h.Press(KEY_HOOKUP);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("CLIENT <- BTN_PRESSED NO", "CLIENT <- BTN_RELEASED NO",
                                           "CLIENT <- FOCUS", "CLIENT <- BTN_PRESSED 4",
                                           "CLIENT <- BTN_RELEASED 4", "CLIENT <- BTN_PRESSED YES",
                                           "CLIENT <- BTN_RELEASED YES"));
}

TEST(HandsetCallScenario, NoDisplayHandsetWithTheClientHiddenBringsItUpAndKeepsTheNumber) {
    ModeHarness h(false);
    const WindowId main = h.sim.windows.AddWindow("tSkMainForm.UnicodeClass", "", false);
    h.sim.windows.AddWindow("TConversationsControl", "", true, main);
    h.StartIdle();
    h.Press(KEY_5);
    h.Press(KEY_HOOKUP);
    EXPECT_EQ(h.app.modes.NoLcdNumber(), "5");
    EXPECT_THAT(h.sim.windows.Records(),
                ElementsAre("POST TConversationsControl WM_SYSKEYDOWN 0x31 0x20000000",
                            "POST TConversationsControl WM_SYSKEYUP 0x31 0xe0000000",
                            "POST TConversationsControl WM_SYSKEYDOWN 0x31 0x20000000",
                            "POST TConversationsControl WM_SYSKEYUP 0x31 0xe0000000"));
    // Back to idle empties the remembered number, even when already idle.
    h.app.modes.SwitchMode(MODE_MAIN);
    EXPECT_EQ(h.app.modes.NoLcdNumber(), "");
}

}  // namespace
}  // namespace vocastra
