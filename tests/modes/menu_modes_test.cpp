// The menu and list modes: the list model, the menu tree, the history with
// its detail and voicemail playback, the contacts and the conference.
#include <gmock/gmock.h>

#include "modes/handset_modes.h"
#include "modes/menu_list.h"
#include "modes/mode_harness.h"

namespace vocastra {
namespace {

using test::ModeHarness;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

struct MenuHarness : ModeHarness {
    MenuHarness() {
        sim.fakeClock.Advance(60000);  // a tick count of 0 means "never asked to play"
        StartIdle();
    }

    void History(const std::string& id, const char* type, const char* status,
                 const std::string& name, int32_t timestamp, int32_t duration = 0) {
        app.skype.m_CallList.Update(id, [&](CCallObject& r) {
            r.nType = CallTypeFromWord(type);
            r.szStatus = status;
            r.szPartnerDispName = name;
            r.szPartnerHandle = name + ".h";
            r.nTimestamp = timestamp;
            r.nDuration = duration;
        });
    }
    void Contact(const std::string& handle, const std::string& name, const char* status) {
        app.skype.m_ContactList.ModifyOnlineStatus(handle, status);
        app.skype.m_ContactList.ModifyDisplayName(handle, name, 0);
        contactCount = app.skype.m_ContactList.GetCount();
    }
    void Keys(std::initializer_list<int32_t> keys) {
        for (int32_t k : keys)
            Press(k);
    }
    int Mode() { return app.modes.CurrentMode(); }
    std::vector<std::string> Items() {
        std::vector<std::string> out;
        for (const auto& r : app.modes.m_MenuList.Visible().rows)
            out.push_back(r.text);
        return out;
    }
    std::string SelectedRecord() {
        const auto d = app.modes.m_MenuList.SelectedData();
        return d ? d->record : "";
    }
    std::vector<std::string> ClientGot() {
        std::vector<std::string> out;
        for (auto& l : TakeTrace())
            if (l.rfind("CLIENT <- ", 0) == 0)
                out.push_back(l.substr(10));
        return out;
    }
};

TEST(MenuList, SelectionWrapsAndTheWindowOfThreeFollowsIt) {
    MenuList l;
    l.MoveUp();  // empty: nothing to select
    l.MoveDown();
    EXPECT_EQ(l.Selected(), 0);
    EXPECT_FALSE(l.SelectedData());

    for (int i = 0; i < 3; ++i)
        l.Add("item" + std::to_string(i), {i, {}});
    l.MoveUp();  // from the first to the last: all three stay in view
    EXPECT_EQ(l.Selected(), 2);
    EXPECT_EQ(l.Top(), 0);
    l.MoveDown();
    EXPECT_EQ(l.Selected(), 0);

    l.Clear();
    for (int i = 0; i < 5; ++i)
        l.Add("item" + std::to_string(i), {i, {}});
    int tops[5];
    for (int i = 0; i < 5; ++i) {
        tops[i] = l.Top();
        l.MoveDown();
    }
    EXPECT_THAT(tops, ElementsAre(0, 0, 0, 1, 2));
    EXPECT_EQ(l.Selected(), 0);  // wrapped, window back at the top
    EXPECT_EQ(l.Top(), 0);
    l.MoveUp();
    EXPECT_EQ(l.Selected(), 4);
    EXPECT_EQ(l.Top(), 2);
    l.MoveUp(), l.MoveUp(), l.MoveUp();
    EXPECT_EQ(l.Top(), 1);  // the window climbs with the selection

    l.SelectData({3, {}});
    EXPECT_EQ(l.Selected(), 3);
    EXPECT_EQ(l.Top(), 3);
    EXPECT_EQ(l.Visible().rows.size(), 2u);
    l.SelectData({9, {}});  // no such item: nothing changes
    EXPECT_EQ(l.Selected(), 3);

    l.AllocateMarks();
    l.ToggleMark(1), l.ToggleMark(4), l.ToggleMark(4), l.ToggleMark(17);
    EXPECT_THAT(l.MarkedData(), ElementsAre(MenuItemData{1, {}}));
    l.FreeMarks();
    EXPECT_THAT(l.MarkedData(), IsEmpty());
}

TEST(MenuModes, SettingMenuOpensEachScreenAndEveryScreenLeadsBack) {
    MenuHarness h;
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_SETTINGMENU);
    EXPECT_THAT(h.Items(), ElementsAre("Volume", "Conference", "Balance"));
    const int targets[] = {MODE_VOLUMESETTING, MODE_CONFERENCE, MODE_BALANCE};
    for (int i = 0; i < 3; ++i) {
        h.Press(KEY_LEFT_FUNCTION);
        EXPECT_EQ(h.Mode(), targets[i]);
        h.Press(KEY_RIGHT_FUNCTION);
        EXPECT_EQ(h.Mode(), MODE_SETTINGMENU);
        EXPECT_EQ(h.app.modes.m_MenuList.Selected(), 0);  // rebuilt on entry
        for (int k = 0; k <= i; ++k)
            h.Press(KEY_DOWN);
    }
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_MAIN);
    // The hook returns to idle from each, and a digit starts number entry.
    for (int target : targets) {
        h.app.modes.SwitchMode(target);
        h.Press(KEY_HOOKDOWN);
        EXPECT_EQ(h.Mode(), MODE_MAIN);
        h.app.modes.SwitchMode(target);
        h.Press(KEY_7);
        EXPECT_EQ(h.Mode(), MODE_NUMDIAL);
        EXPECT_EQ(h.app.modes.m_DialNumber, "7");
    }
}

TEST(MenuModes, VolumeScreenStepsTwoOfSixteenAndSetsTheFader) {
    MenuHarness h;
    h.app.g_Settings.VAL_AUDIO_OUT_VOLUME = 31;
    h.app.modes.SwitchMode(MODE_VOLUMESETTING);
    h.TakeTrace();
    h.Press(KEY_UP);
    EXPECT_EQ(h.app.g_Settings.VAL_AUDIO_OUT_VOLUME, 31);
    h.Press(KEY_DOWN);
    EXPECT_EQ(h.app.g_Settings.VAL_AUDIO_OUT_VOLUME, 27);
    h.Press(KEY_VOLUME_DOWN);
    EXPECT_THAT(h.TakeTrace(), ElementsAre("MIXER <- out 31 type 4", "MIXER <- out 27 type 4",
                                           "MIXER <- out 23 type 4"));
    EXPECT_TRUE(h.sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 003"));
    EXPECT_TRUE(h.sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 004"));
    for (int i = 0; i < 10; ++i)
        h.Press(KEY_DOWN);
    EXPECT_EQ(h.app.g_Settings.VAL_AUDIO_OUT_VOLUME, 0);
}

TEST(MenuModes, ConferenceCallsTheMarkedContactsInListOrder) {
    MenuHarness h;
    h.Contact("anna", "Anna", "ONLINE");
    h.Contact("ben", "Ben", "ONLINE");
    h.Contact("cleo", "Cleo", "ONLINE");
    h.app.modes.SwitchMode(MODE_CONFERENCE);
    h.TakeTrace();
    h.Press(KEY_HOOKUP);  // nobody marked: nothing is sent
    h.Keys({KEY_UP, KEY_LEFT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION, KEY_HOOKUP});
    EXPECT_THAT(h.ClientGot(), ElementsAre("CALL ben, cleo"));
    h.Keys({KEY_LEFT_FUNCTION, KEY_HOOKUP});  // ben unmarked again
    EXPECT_THAT(h.ClientGot(), ElementsAre("CALL cleo"));

    // Many marks: the command goes out whole, never cut inside a handle.
    for (int i = 0; i < 30; ++i)
        h.Contact("contact.with.a.long.handle." + std::to_string(i), "C" + std::to_string(i),
                  "ONLINE");
    h.Press(KEY_RIGHT_FUNCTION);
    h.app.modes.SwitchMode(MODE_CONFERENCE);
    for (int i = 0; i < h.contactCount; ++i)
        h.Keys({KEY_LEFT_FUNCTION, KEY_DOWN});
    h.TakeTrace();
    h.Press(KEY_HOOKUP);
    const auto sent = h.ClientGot();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(std::count(sent[0].begin(), sent[0].end(), ','), h.contactCount - 1);
    EXPECT_GT(sent[0].size(), 200u);
}

TEST(MenuModes, BalanceScreenKeys) {
    MenuHarness h;
    h.app.modes.SwitchMode(MODE_BALANCE);
    h.Press(KEY_UP);  // does nothing here
    EXPECT_EQ(h.Mode(), MODE_BALANCE);
    EXPECT_TRUE(h.sim.logSink.Contains("Mode_Balance_Proc entering"));
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_SETTINGMENU);
}

TEST(HistoryModes, ListsAreNewestFirstAndAnEmptyListOpensNothing) {
    MenuHarness h;
    h.History("11", "INCOMING_P2P", "FINISHED", "Old", 100);
    h.History("12", "INCOMING_PSTN", "FINISHED", "Newest", 300);
    h.History("13", "INCOMING_P2P", "FINISHED", "Middle", 200);
    h.History("14", "INCOMING_P2P", "MISSED", "Missed", 250);
    h.History("15", "OUTGOING_P2P", "FINISHED", "Out", 50);
    h.Keys({KEY_RIGHT_FUNCTION, KEY_LEFT_FUNCTION});
    EXPECT_EQ(h.Mode(), MODE_HISTORY_INCOMING);
    EXPECT_THAT(h.Items(), ElementsAre("Newest", "Middle", "Old"));
    EXPECT_TRUE(h.sim.logSink.Contains("***Mode_HistoryIncoming_Init***"));
    h.Press(KEY_RIGHT_FUNCTION);
    h.Keys({KEY_DOWN, KEY_DOWN, KEY_LEFT_FUNCTION});
    EXPECT_EQ(h.Mode(), MODE_HISTORY_MISSEDCALL);
    EXPECT_THAT(h.Items(), ElementsAre("Missed"));
    h.Keys({KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION});
    EXPECT_EQ(h.Mode(), MODE_HISTORY_VMAIL);
    EXPECT_EQ(h.app.modes.m_MenuList.Count(), 0);
    h.TakeTrace();
    h.Keys({KEY_LEFT_FUNCTION, KEY_HOOKUP, KEY_UP, KEY_DOWN});  // nothing to open or dial
    EXPECT_EQ(h.Mode(), MODE_HISTORY_VMAIL);
    EXPECT_THAT(h.ClientGot(), IsEmpty());
    h.Keys({KEY_RIGHT_FUNCTION, KEY_RIGHT_FUNCTION});
    EXPECT_EQ(h.Mode(), MODE_MAIN);
}

TEST(HistoryModes, DetailAsksForTheRecordAndBackSelectsTheSameRecord) {
    MenuHarness h;
    for (int i = 0; i < 6; ++i)
        h.History(std::to_string(20 + i), "OUTGOING_PSTN", "FINISHED", "n" + std::to_string(i),
                  1000 + i);
    h.Keys({KEY_RIGHT_FUNCTION, KEY_DOWN, KEY_LEFT_FUNCTION});
    ASSERT_EQ(h.Mode(), MODE_HISTORY_OUTGOING);
    h.Keys({KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN});  // n1, below the first window
    EXPECT_EQ(h.SelectedRecord(), "21");
    h.TakeTrace();
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_HISTORYDETAIL);
    EXPECT_THAT(h.ClientGot(), ElementsAre("GET CALL 21 TIMESTAMP", "GET CALL 21 PARTNER_HANDLE",
                                           "GET CALL 21 CONF_ID", "GET CALL 21 DURATION"));
    h.Press(KEY_HOOKUP);
    EXPECT_THAT(h.ClientGot(), ElementsAre("CALL n1.h"));
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_HISTORY_OUTGOING);
    EXPECT_EQ(h.SelectedRecord(), "21");
    EXPECT_EQ(h.app.modes.m_MenuList.Top(), h.app.modes.m_MenuList.Selected());
    h.Press(KEY_HOOKUP);  // dialling straight from the list
    EXPECT_THAT(h.ClientGot(), ElementsAre("CALL n1.h"));

    // The record gone from the history: the detail gives up and goes idle.
    h.Press(KEY_LEFT_FUNCTION);
    h.app.skype.m_CallList.DeleteCallObject("21");
    h.app.modes.RefreshDisplay();
    EXPECT_EQ(h.Mode(), MODE_MAIN);
}

TEST(HistoryModes, VoiceMailPlaysFromTheDetailOnlyWhenAskedWithinThreeSeconds) {
    MenuHarness h;
    h.History("7", "INCOMING", "UNPLAYED", "Bob", 500, 12);
    h.History("8", "INCOMING_P2P", "FINISHED", "Carl", 600);
    h.Keys({KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION});
    ASSERT_EQ(h.Mode(), MODE_HISTORY_VMAIL);
    h.TakeTrace();
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_HISTORYDETAIL);
    EXPECT_TRUE(h.app.modes.g_bVoiceMailDetail);
    EXPECT_THAT(h.ClientGot(), Contains("GET VOICEMAIL 7 DURATION"));

    // Played with the mouse long after the handset asked: the mode stays.
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_THAT(h.ClientGot(), ElementsAre("OPEN VOICEMAIL 7"));
    h.sim.fakeClock.Advance(3001);
    h.app.skype.ParseSkypeMessage("VOICEMAIL 7 STATUS PLAYING");
    EXPECT_EQ(h.Mode(), MODE_HISTORYDETAIL);

    h.Press(KEY_LEFT_FUNCTION);
    h.sim.fakeClock.Advance(3000);
    h.app.skype.ParseSkypeMessage("VOICEMAIL 7 STATUS PLAYING");
    EXPECT_EQ(h.Mode(), MODE_VOICEMAIL_PLAYING);
    h.TakeTrace();
    h.Keys({KEY_RIGHT_FUNCTION, KEY_5, KEY_UP});  // while playing: no way back, no digits
    EXPECT_EQ(h.Mode(), MODE_VOICEMAIL_PLAYING);
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_THAT(h.ClientGot(), ElementsAre("ALTER VOICEMAIL 7 STOPPLAYBACK "));
    h.app.skype.ParseSkypeMessage("VOICEMAIL 7 STATUS PLAYED");
    EXPECT_EQ(h.Mode(), MODE_VOICEMAIL_PLAYING);
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_HISTORYDETAIL);
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_HISTORY_VMAIL);

    // A call detail opened after a voicemail detail is a call detail.
    h.Keys({KEY_RIGHT_FUNCTION, KEY_LEFT_FUNCTION});
    ASSERT_EQ(h.Mode(), MODE_HISTORY_INCOMING);
    h.app.modes.g_bVoiceMailDetail = true;  // left over, as after a call broke in
    h.TakeTrace();
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_FALSE(h.app.modes.g_bVoiceMailDetail);
    EXPECT_THAT(h.ClientGot(), Contains("GET CALL 8 TIMESTAMP"));
}

TEST(HistoryModes, HookDownLeavesAPlaybackTheClientNeverEnds) {
    MenuHarness h;
    h.History("7", "INCOMING", "UNPLAYED", "Bob", 500);
    h.Keys({KEY_RIGHT_FUNCTION, KEY_UP, KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION, KEY_LEFT_FUNCTION});
    h.app.skype.ParseSkypeMessage("VOICEMAIL 7 STATUS PLAYING");
    ASSERT_EQ(h.Mode(), MODE_VOICEMAIL_PLAYING);
    h.TakeTrace();
    h.Press(KEY_HOOKDOWN);
    EXPECT_EQ(h.Mode(), MODE_MAIN);
    EXPECT_THAT(h.ClientGot(), ElementsAre("ALTER VOICEMAIL 7 STOPPLAYBACK "));
    EXPECT_FALSE(h.app.skype.g_bVoiceMailFromHandset);
}

TEST(ContactModes, ListFollowsTheClientsFocusAndDetailDialsIt) {
    MenuHarness h;
    h.Contact("alice", "Alice", "ONLINE");
    h.Contact("Bob", "Bob", "AWAY");
    h.Contact("1:carl", "Carl", "ONLINE");
    h.Press(KEY_DOWN);  // nothing focused yet: the first contact
    EXPECT_EQ(h.Mode(), MODE_CONTACTLIST);
    EXPECT_EQ(h.focusedContact, "alice");
    EXPECT_THAT(h.ClientGot(), ElementsAre("BTN_PRESSED DOWN", "BTN_RELEASED DOWN"));

    h.focusedContact = "bob";  // as the client reported it
    h.app.modes.RefreshDisplay();
    EXPECT_EQ(h.focusedContact, "Bob");  // the list's spelling
    h.Press(KEY_HOOKUP);
    EXPECT_THAT(h.ClientGot(), ElementsAre("CALL Bob"));
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_CONTACTDETAIL);
    h.Press(KEY_LEFT_FUNCTION);
    EXPECT_THAT(h.ClientGot(), ElementsAre("CALL Bob"));
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_CONTACTLIST);
    h.Press(KEY_HOOKDOWN);  // hangs up with the client's button
    EXPECT_EQ(h.Mode(), MODE_MAIN);
    EXPECT_THAT(h.ClientGot(), ElementsAre("BTN_PRESSED NO", "BTN_RELEASED NO"));
    EXPECT_TRUE(h.sim.logSink.Contains("UseOtherWayHangupCall 001"));

    // Focused by someone not in the list: nothing to call.
    h.focusedContact = "";
    h.app.skype.m_ContactList.Clear();
    h.app.modes.SwitchMode(MODE_CONTACTLIST);
    h.Keys({KEY_HOOKUP, KEY_HOTKEY_2});
    EXPECT_THAT(h.ClientGot(), Not(Contains("CALL ")));
    h.Press(KEY_RIGHT_FUNCTION);
    EXPECT_EQ(h.Mode(), MODE_MAIN);
}

TEST(ContactModes, ClientFocusOpensTheListOnlyFromIdle) {
    MenuHarness h;
    h.Contact("alice", "Alice", "ONLINE");
    h.Contact("bob", "Bob", "ONLINE");
    h.app.skype.ParseSkypeMessage("CONTACTS FOCUSED bob");
    EXPECT_EQ(h.Mode(), MODE_CONTACTLIST);
    h.Keys({KEY_HOOKDOWN, KEY_LEFT_FUNCTION});
    h.app.skype.ParseSkypeMessage("CONTACTS FOCUSED alice");
    EXPECT_EQ(h.Mode(), MODE_SETTINGMENU);
}

}  // namespace
}  // namespace vocastra
