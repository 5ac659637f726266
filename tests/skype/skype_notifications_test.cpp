// Notifications other than calls: the signed-in user, version, country,
// ringer, contacts, focus, mute, balance and the search cycle.
#include "modes/mode_ids.h"
#include "skype/skype_words.h"
#include "skype_fixture.h"

namespace vocastra::test {
namespace {

using ::testing::ElementsAre;

struct Notifications : SkypeFixture {
    Notifications() {
        client.SetAutoReply(false);
        Attach();
    }
};

TEST_F(SkypeFixture, AttachSequenceRunsInOrderAndFillsTheLinkState) {
    app.dlg.SetDeviceNames("USB PHONE Out", "USB PHONE In");
    dir.Write("CountryCode.ini", "[INFO]\nde=+49\n");
    skype.BroadcastDiscover();
    Pump();
    const auto cmds = client.Commands();
    ASSERT_GE(cmds.size(), 9u);
    EXPECT_THAT(std::vector<std::string>(cmds.begin(), cmds.begin() + 9),
                ElementsAre("SET AUDIO_IN USB PHONE In", "SET AUDIO_OUT USB PHONE Out",
                            "SET RINGER USB PHONE Out", "GET UI_LANGUAGE",
                            "GET PROFILE PSTN_BALANCE", "GET CURRENTUSERHANDLE", "GET SKYPEVERSION",
                            "GET PREDICTIVE_DIALER_COUNTRY", "SET RINGTONE 1 STATUS OFF"));
    // What the replies left behind.
    EXPECT_EQ(skype.CurrentUser(), "echo123");
    EXPECT_EQ(skype.CurrentUserFullName(), "Echo Tester");
    EXPECT_EQ(skype.SkypeVersion(), "7.40.0.103");
    EXPECT_EQ(skype.g_nSkypeMajor, 7);
    EXPECT_EQ(skype.g_nSkypeMinor, 40);
    EXPECT_EQ(skype.g_nSkypeRevision, 103);
    EXPECT_EQ(skype.CountryPrefix(), "+49");
    EXPECT_EQ(skype.PstnBalance(), "1234");
    EXPECT_EQ(skype.PstnBalanceCurrency(), "EUR");
    EXPECT_EQ(skype.m_bRingerIsHandset, 1);
    EXPECT_EQ(Count("MAIN <- UPDATE_TRAY"), 1);
    EXPECT_EQ(mode, MODE_MAIN);  // the user's full name arrived
}

TEST_F(Notifications, RefusedVersionsAskTheMainWindowToQuit) {
    Receive("SKYPEVERSION 7.0.0.102");
    EXPECT_THAT(Trace(), ElementsAre("MAIN <- UNSUPPORTED_SKYPE"));
    Clear();
    Receive("SKYPEVERSION 6.22.64.107");
    EXPECT_THAT(Trace(), ElementsAre("MAIN <- UNSUPPORTED_SKYPE"));
    Clear();
    Receive("SKYPEVERSION 7.40.0.103");
    Receive("SKYPEVERSION 6.21.0.1");
    EXPECT_THAT(Trace(), ElementsAre());
    // Numbers that do not parse keep their last values; the text is cut.
    Receive("SKYPEVERSION 8.x.9.9");
    EXPECT_EQ(skype.g_nSkypeMajor, 8);
    EXPECT_EQ(skype.g_nSkypeMinor, 21);
    Receive("SKYPEVERSION " + std::string(80, '9'));
    EXPECT_EQ(skype.SkypeVersion().size(), kSkypeVersionMax);
    EXPECT_EQ(skype.g_nSkypeMajor, INT32_MAX);
}

TEST_F(Notifications, RingerCheckChoosesWhoRings) {
    Receive("RINGER Lautsprecher (USB PHONE Audio)");
    EXPECT_EQ(skype.m_bRingerIsHandset, 1);
    EXPECT_THAT(Trace(), ElementsAre("CLIENT <- SET RINGTONE 1 STATUS OFF"));
    Clear();
    app.g_Settings.VAL_RINGTONE = "Ring2.wav";
    Receive("RINGER");
    EXPECT_EQ(skype.m_bRingerIsHandset, 0);
    // The client rings by itself, with the program's ring tone.
    EXPECT_THAT(Trace(),
                ElementsAre("CLIENT <- SET RINGTONE 1 " + dir.Path() + "RingTone\\Ring2.wav",
                            "CLIENT <- SET RINGTONE 1 STATUS ON"));
    EXPECT_TRUE(sim.logSink.Contains("Skype Ringer is default"));
    Receive("RINGER usb phone");  // the match is case-sensitive
    EXPECT_EQ(skype.m_bRingerIsHandset, 0);
    EXPECT_TRUE(sim.logSink.Contains("Ringer is [usb phone]"));
}

TEST_F(Notifications, ContactsFollowUserNotifications) {
    Receive("USER alice ONLINESTATUS ONLINE");
    Receive("USER bob DISPLAYNAME");
    EXPECT_THAT(Trace(), ElementsAre("CLIENT <- GET USER bob FULLNAME"));
    Receive("USER bob FULLNAME Smith, Bob");
    Receive("USER carol DISPLAYNAME carol");
    Receive("USER dave DISPLAYNAME Dave  the, Rave");
    std::vector<CContactInfo> list;
    skype.m_ContactList.CopyContactList(list);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].strDisplayName, "alice");
    EXPECT_EQ(skype.m_ContactList.FindContact("bob")->strDisplayName, "Smith, Bob");
    EXPECT_EQ(skype.m_ContactList.FindContact("dave")->strDisplayName, "Dave the, Rave");
    EXPECT_EQ(Count("CLIENT <- GET USER carol FULLNAME"), 1);

    Clear();
    Receive("USER erin BUDDYSTATUS 2");
    EXPECT_THAT(Trace(), ElementsAre("CLIENT <- GET USER erin DISPLAYNAME",
                                     "CLIENT <- GET USER erin ONLINESTATUS"));
    Receive("USER bob BUDDYSTATUS 1");
    EXPECT_FALSE(skype.m_ContactList.FindContact("bob"));
    // The signed-in user's own full name is not a contact.
    sim.shell.SetAppDataFolder("C:\\AppData");
    Receive("CURRENTUSERHANDLE live:me");
    Receive("USER live:me FULLNAME");
    EXPECT_EQ(skype.CurrentUserFullName(), "live:me");
    EXPECT_FALSE(skype.m_ContactList.FindContact("live:me"));
    EXPECT_TRUE(sim.logSink.Contains("Skype config = [C:\\AppData\\Skype\\live#3ame\\config.xml]"));
    EXPECT_EQ(skype.MainDbPath(), "C:\\AppData\\Skype\\live#3ame\\main.db");
}

TEST_F(Notifications, LateFullNameLeavesARingingCallOnScreen) {
    Receive("CURRENTUSERHANDLE live:me");
    Receive("CALL 12 STATUS RINGING");
    ASSERT_EQ(mode, MODE_RINGING);
    Receive("USER live:me FULLNAME Me Myself");
    EXPECT_EQ(skype.CurrentUserFullName(), "Me Myself");
    EXPECT_EQ(mode, MODE_RINGING);
}

TEST_F(Notifications, FocusedContactOpensTheListFromTheMainScreen) {
    mode = MODE_MAIN;
    Receive("CONTACTS FOCUSED bob");
    EXPECT_EQ(skype.FocusedContact(), "bob");
    EXPECT_EQ(Count("MODE 1"), 1);
    EXPECT_TRUE(app.connectionLog.Contains("RefreshDisplay"));
    mode = MODE_TALKING;
    Receive("CONTACTS FOCUSED alice");
    EXPECT_EQ(Count("MODE 1"), 1);
    app.g_Settings.VAL_ENABLE_LCM = 0;
    app.connectionLog.Clear();
    mode = MODE_MAIN;
    Receive("CONTACTS FOCUSED carol");
    EXPECT_EQ(Count("MODE 1"), 1);
    EXPECT_FALSE(app.connectionLog.Contains("RefreshDisplay"));
}

TEST_F(Notifications, MuteFlashesTheLedAndUnmuteSteadiesIt) {
    skype.points.IsWriteHandleValid.Fill([] { return true; });
    int period = 0;
    skype.points.SetLedFlashPeriod.Fill([&](int p) { period = p; });
    Receive("MUTE ON");
    EXPECT_EQ(skype.m_bMute, 1);
    EXPECT_EQ(period, 500);
    Receive("MUTE OFF");
    EXPECT_EQ(skype.m_bMute, 0);
    EXPECT_THAT(Trace(), ElementsAre("HANDSET <- 12 0 0 0"));

    skype.points.IsWriteHandleValid.Fill([] { return false; });
    period = 0;
    Receive("MUTE ON");
    EXPECT_EQ(skype.m_bMute, 1);
    EXPECT_EQ(period, 0);
    EXPECT_TRUE(sim.logSink.Contains("NewWriteCmd:Write USB failed: m_WriteHandle is not valid"));
}

TEST_F(Notifications, BalanceAsksForTheCurrencyOnlyWhenThereIsMoney) {
    Receive("PROFILE PSTN_BALANCE 0");
    EXPECT_THAT(Trace(), ElementsAre());
    Receive("PROFILE PSTN_BALANCE 250");
    EXPECT_THAT(Trace(), ElementsAre("CLIENT <- GET PROFILE PSTN_BALANCE_CURRENCY"));
    Receive("PROFILE PSTN_BALANCE_CURRENCY USD");
    EXPECT_EQ(skype.PstnBalance(), "250");
    EXPECT_EQ(skype.PstnBalanceCurrency(), "USD");
}

TEST_F(Notifications, SearchCycleRefreshesTheKnownCalls) {
    client.SetAutoReply(true);
    client.IncomingCall("bob");
    client.SetCallStatus("1000", "MISSED");
    Pump();
    Clear();
    Receive("USERS alice, bob");
    EXPECT_THAT(Trace(), ElementsAre("CLIENT <- #111 PING", "CLIENT <- SEARCH CALLS",
                                     "CLIENT <- SEARCH VOICEMAILS"));
    EXPECT_THAT(skype.KnownCallIds(), ElementsAre("1000"));
    Receive("CALLS");
    EXPECT_THAT(skype.KnownCallIds(), ElementsAre());
}

TEST_F(Notifications, CountryPrefixComesFromTheProgramsTable) {
    dir.Write("CountryCode.ini", "[INFO]\nee=+372\nus=+1\n");
    Receive("PREDICTIVE_DIALER_COUNTRY ee");
    EXPECT_EQ(skype.CountryPrefix(), "+372");
    Receive("PREDICTIVE_DIALER_COUNTRY xx");
    EXPECT_EQ(skype.CountryPrefix(), "");
    EXPECT_TRUE(sim.logSink.Contains("Skype CountryCode Name is xx ()"));
}

// The word lists are reused from one notification to the next: one handled
// while another is being handled must not overwrite the outer one's words,
// and a reused list starts empty.
TEST(NotificationWords, NestedListsKeepTheirOwnWords) {
    {
        ReusedWords warm;
        SplitWords("CALL 1 STATUS RINGING", " ,", warm.get());
    }
    ReusedWords outer;
    SplitWords(" USERS  alice, bob,,carol ", " ,", outer.get());
    {
        ReusedWords inner;
        EXPECT_TRUE(inner.get().empty());
        SplitWords("CALL 77 DURATION 5", " ,", inner.get());
        EXPECT_THAT(inner.get(), ElementsAre("CALL", "77", "DURATION", "5"));
    }
    EXPECT_THAT(outer.get(), ElementsAre("USERS", "alice", "bob", "carol"));
    SplitWords("MUTE", " ,", outer.get());
    EXPECT_THAT(outer.get(), ElementsAre("MUTE"));
}

}  // namespace
}  // namespace vocastra::test
