// Every screen of the call modes, drawn with the real fonts and checked
// against golden screens.
#include <gtest/gtest.h>

#include "modes/golden_screen.h"
#include "modes/handset_modes.h"
#include "modes/mode_harness.h"
#include "modes/virtual_display.h"

namespace vocastra {
namespace {

using test::ExpectScreen;
using test::ModeHarness;

const Canvas& Screen(ModeHarness& h) {
    return h.app.display.GetCanvas();
}

TEST(ModeScreens, IdleWithClockDateAndALongFullName) {
    ModeHarness h;
    h.fullName = "Bartholomew Featherstonehaugh";  // cut to its first 19 bytes
    h.StartIdle();
    ExpectScreen(Screen(h), "main_idle");
}

TEST(ModeScreens, UnconnectedNamesWhatIsMissing) {
    ModeHarness h;
    h.app.modes.SwitchMode(MODE_UNCONNECTED);
    ExpectScreen(Screen(h), "unconnected_device");
    h.app.flags.g_bDeviceStarted = 1;
    h.app.modes.RefreshDisplay();
    ExpectScreen(Screen(h), "unconnected_skype");
}

TEST(ModeScreens, RingingIncomingAnimatesOncePerSecond) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("12", E_TYPE_INCOMING_P2P, "Alice Johnson");
    ExpectScreen(Screen(h), "ringing_incoming_1");
    h.Tick();
    ExpectScreen(Screen(h), "ringing_incoming_2");
    h.Tick();
    ExpectScreen(Screen(h), "ringing_incoming_3");
    h.Tick();
    ExpectScreen(Screen(h), "ringing_incoming_1");  // the frames cycle
}

TEST(ModeScreens, RingingOutgoingBeforeAndAfterTheClientNamesTheCall) {
    ModeHarness h;
    h.StartIdle();
    h.lastCallTarget = "1:echo123";
    h.app.modes.SwitchMode(MODE_RINGING);
    ExpectScreen(Screen(h), "ringing_outgoing_placed");
    h.AddCall("40", E_TYPE_OUTGOING_P2P, "Echo / Sound Test", "ROUTING").bRouted = 1;
    h.Tick();
    ExpectScreen(Screen(h), "ringing_outgoing_2");
}

TEST(ModeScreens, TalkingWithAndWithoutMute) {
    ModeHarness h;
    h.StartIdle();
    h.ClientRings("12", E_TYPE_INCOMING_PSTN, "+441632960961");
    h.ClientInProgress("12");
    h.Find("12")->nDuration = 3725;
    h.Tick();
    ExpectScreen(Screen(h), "talking");
    h.mute = 1;
    h.Tick();
    ExpectScreen(Screen(h), "talking_muted");
}

TEST(ModeScreens, NumberEntryWrapsAfter14Characters) {
    ModeHarness h;
    h.StartIdle();
    h.Press(KEY_0_LONG);
    for (int32_t k : std::initializer_list<int32_t>{4, 4, 2, 0, 7, 9, 4, 6, 0, 0, 0, 1, 2, 3})
        h.Press(k);
    ASSERT_EQ(h.app.modes.m_DialNumber.size(), 15u);
    ExpectScreen(Screen(h), "numdial_15");
}

TEST(ModeScreens, SystemConfirmAndNoDisplay) {
    ModeHarness h;
    h.StartIdle();
    h.app.modes.SwitchMode(MODE_SYSCONFIRM);
    ExpectScreen(Screen(h), "sysconfirm");

    ModeHarness n(/*withDisplay=*/false);
    n.StartIdle();
    ExpectScreen(n.app.display.GetCanvas(), "main_no_lcd");
}

}  // namespace
}  // namespace vocastra
