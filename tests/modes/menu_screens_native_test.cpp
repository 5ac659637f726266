// Every screen of the menu and list modes, drawn with the real fonts and
// checked against golden screens.
#include <gtest/gtest.h>

#include "modes/golden_screen.h"
#include "modes/handset_modes.h"
#include "modes/mode_harness.h"
#include "modes/virtual_display.h"

namespace vocastra {
namespace {

using test::ExpectScreen;

struct Screens : test::ModeHarness {
    Screens() {
        sim.fakeClock.Advance(60000);
        StartIdle();
    }
    const Canvas& Screen() { return app.display.GetCanvas(); }
    void Keys(std::initializer_list<int32_t> keys) {
        for (int32_t k : keys)
            Press(k);
    }
    void History(const std::string& id, const char* type, const char* status,
                 const std::string& name, int32_t timestamp, int32_t duration = 0) {
        app.skype.m_CallList.Update(id, [&](CCallObject& r) {
            r.nType = CallTypeFromWord(type);
            r.szStatus = status;
            r.szPartnerDispName = name;
            r.szPartnerHandle = "h" + id;
            r.nTimestamp = timestamp;
            r.nDuration = duration;
        });
    }
    void Contact(const std::string& handle, const std::string& name, const char* status) {
        app.skype.m_ContactList.ModifyOnlineStatus(handle, status);
        app.skype.m_ContactList.ModifyDisplayName(handle, name, 0);
        contactCount = app.skype.m_ContactList.GetCount();
    }
};

TEST(MenuScreens, SettingMenuWithTheSelectionOnEachRow) {
    Screens s;
    s.Press(KEY_LEFT_FUNCTION);
    ExpectScreen(s.Screen(), "setting_menu_first");
    s.Press(KEY_DOWN);
    ExpectScreen(s.Screen(), "setting_menu_middle");
    s.Press(KEY_DOWN);
    ExpectScreen(s.Screen(), "setting_menu_last");
}

TEST(MenuScreens, HistoryMenuScrollsToItsFourthRow) {
    Screens s;
    s.Press(KEY_RIGHT_FUNCTION);
    ExpectScreen(s.Screen(), "history_menu_first");
    s.Press(KEY_DOWN);
    ExpectScreen(s.Screen(), "history_menu_middle");
    s.Press(KEY_UP);
    s.Press(KEY_UP);  // wraps to the last
    ExpectScreen(s.Screen(), "history_menu_last");
}

TEST(MenuScreens, HistoryListScrollBarAtBothEndsAndInBetween) {
    Screens s;
    const char* names[] = {"Anna Berg", "+441632960961", "Carl", "Dora Lind", "Emil"};
    for (int i = 0; i < 5; ++i)
        s.History(std::to_string(10 + i), "INCOMING_P2P", "FINISHED", names[i], 1000 - i);
    s.Keys({KEY_RIGHT_FUNCTION, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "history_incoming_first");
    s.Keys({KEY_DOWN, KEY_DOWN});
    ExpectScreen(s.Screen(), "history_incoming_middle");
    s.Keys({KEY_DOWN, KEY_DOWN});
    ExpectScreen(s.Screen(), "history_incoming_last");
}

TEST(MenuScreens, EmptyMissedCalls) {
    Screens s;
    s.Keys({KEY_RIGHT_FUNCTION, KEY_DOWN, KEY_DOWN, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "history_missed_empty");
}

TEST(MenuScreens, LongSelectedNameScrollsOneCharacterPerSecond) {
    Screens s;
    s.History("30", "OUTGOING_P2P", "FINISHED", "Bartholomew Featherstonehaugh", 2000);
    s.History("31", "OUTGOING_P2P", "FINISHED", "Constantinople Remington", 1000);
    s.Keys({KEY_RIGHT_FUNCTION, KEY_DOWN, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "history_outgoing_scroll_1");
    s.Tick();
    ExpectScreen(s.Screen(), "history_outgoing_scroll_2");
}

TEST(MenuScreens, CallAndVoicemailDetail) {
    Screens s;
    s.History("40", "INCOMING_PSTN", "MISSED", "+441632960961", 1262304000 + 3 * 3600 + 7 * 60);
    s.History("41", "INCOMING", "UNPLAYED", "Bob Smith", 1700000000, 3725);
    s.Keys({KEY_RIGHT_FUNCTION, KEY_DOWN, KEY_DOWN, KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "history_detail_missed");
    s.Keys({KEY_RIGHT_FUNCTION, KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "history_detail_voicemail");
}

TEST(MenuScreens, VoicemailPlayingAndEnded) {
    Screens s;
    s.History("41", "INCOMING", "UNPLAYED", "Bob Smith", 1700000000, 20);
    s.sim.fakeClock.Advance(5000);
    s.Keys({KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION});
    s.app.skype.ParseSkypeMessage("VOICEMAIL 41 STATUS PLAYING");
    ASSERT_EQ(s.app.modes.CurrentMode(), MODE_VOICEMAIL_PLAYING);
    ExpectScreen(s.Screen(), "voicemail_playing");
    s.app.skype.ParseSkypeMessage("VOICEMAIL 41 STATUS PLAYED");
    s.Tick();
    ExpectScreen(s.Screen(), "voicemail_played");
}

TEST(MenuScreens, VolumeBalanceAndConference) {
    Screens s;
    s.app.g_Settings.VAL_AUDIO_OUT_VOLUME = 18;
    s.Keys({KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "volume");

    s.app.skype.ParseSkypeMessage("PROFILE PSTN_BALANCE 1234");
    s.app.skype.ParseSkypeMessage("PROFILE PSTN_BALANCE_CURRENCY EUR");
    s.Keys({KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "balance");

    s.Contact("alice", "Alice Walker", "ONLINE");
    s.Contact("bob", "Bob Smith", "AWAY");
    s.Contact("carl", "Carl", "OFFLINE");
    s.Contact("dora", "Dora", "OFFLINE");
    s.Keys({KEY_RIGHT_FUNCTION, KEY_DOWN, KEY_LEFT_FUNCTION});
    ASSERT_EQ(s.app.modes.CurrentMode(), MODE_CONFERENCE);
    s.Keys({KEY_LEFT_FUNCTION, KEY_DOWN, KEY_DOWN, KEY_LEFT_FUNCTION});
    ExpectScreen(s.Screen(), "conference_marks");
}

TEST(MenuScreens, ContactListWithAChineseNameAndTheDetail) {
    Screens s;
    s.Contact("alice", "Alice Walker", "ONLINE");
    s.Contact("li.wei", "\xe6\x9d\x8e\xe4\xbc\x9f", "ONLINE");  // Chinese: Li Wei
    s.Contact("1:zoe", "Zoe Quinn", "OFFLINE");
    s.focusedContact = "LI.WEI";
    s.app.modes.SwitchMode(MODE_CONTACTLIST);
    ExpectScreen(s.Screen(), "contact_list_chinese");
    s.focusedContact = "1:zoe";
    s.Press(KEY_LEFT_FUNCTION);
    ExpectScreen(s.Screen(), "contact_detail");
}

TEST(MenuScreens, ContactListWindowAtTheFirstMiddleAndLastContact) {
    Screens s;
    s.Contact("alice", "Alice Walker", "ONLINE");
    s.Contact("bob", "Bob Smith", "AWAY");
    s.Contact("carl", "Carl", "DND");
    s.Contact("dora", "Dora Lind", "OFFLINE");
    s.Contact("+3725551234", "Office", "SKYPEOUT");
    s.focusedContact = "alice";
    s.app.modes.SwitchMode(MODE_CONTACTLIST);
    ExpectScreen(s.Screen(), "contact_list_first");
    s.focusedContact = "carl";
    s.app.modes.RefreshDisplay();
    ExpectScreen(s.Screen(), "contact_list_middle");
    s.focusedContact = "dora";  // offline: the list puts her last
    s.app.modes.RefreshDisplay();
    ExpectScreen(s.Screen(), "contact_list_last");
}

TEST(MenuScreens, VoicemailListAndConferenceBeforeAnyMark) {
    Screens s;
    s.History("7", "INCOMING", "UNPLAYED", "Alice Walker", 2000, 12);
    s.History("9", "INCOMING", "PLAYED", "Bob Smith", 1000, 40);
    s.Keys({KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION});
    ASSERT_EQ(s.app.modes.CurrentMode(), MODE_HISTORY_VMAIL);
    ExpectScreen(s.Screen(), "history_vmail_list");

    s.Contact("alice", "Alice Walker", "ONLINE");
    s.Contact("bob", "Bob Smith", "AWAY");
    s.Keys({KEY_HOOKDOWN, KEY_LEFT_FUNCTION, KEY_DOWN, KEY_LEFT_FUNCTION});
    ASSERT_EQ(s.app.modes.CurrentMode(), MODE_CONFERENCE);
    ExpectScreen(s.Screen(), "conference_first");
    s.Press(KEY_UP);
    ExpectScreen(s.Screen(), "conference_last");
}

}  // namespace
}  // namespace vocastra
