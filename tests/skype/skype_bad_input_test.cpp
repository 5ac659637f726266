// Whatever the client sends, the program neither crashes nor leaves a list
// half-changed.
#include "skype/skype_words.h"
#include "skype_fixture.h"

namespace vocastra::test {
namespace {

using ::testing::ElementsAre;

struct BadInput : SkypeFixture {
    BadInput() {
        client.SetAutoReply(false);
        Attach();
    }
};

TEST_F(BadInput, ShortEmptyAndUnknownNotificationsHaveNoEffect) {
    const std::string user = skype.CurrentUser();  // from the sign-in
    for (const char* text : {"",
                             " ",
                             ",,, ,",
                             "CALL",
                             "CALL 12",
                             "CALL 12 STATUS",
                             "CALL 12 TYPE",
                             "USER",
                             "USER bob",
                             "USER bob ONLINESTATUS",
                             "USER bob BUDDYSTATUS",
                             "PROFILE",
                             "PROFILE PSTN_BALANCE",
                             "CONTACTS",
                             "MUTE",
                             "MUTE MAYBE",
                             "#111",
                             "#111 PING",
                             "SKYPEVERSION",
                             "CURRENTUSERHANDLE",
                             "PREDICTIVE_DIALER_COUNTRY",
                             "CONNSTATUS ONLINE",
                             "UI_LANGUAGE en",
                             "VOICEMAILS 1, 2",
                             "WINDOWSTATE MINIMIZED",
                             "ERROR 2 Invalid command",
                             "CALLHISTORYCHANGED",
                             "call 12 status ringing",
                             "CALL 12 NEWPROPERTY x",
                             "CALL 12 STATUS TRANSFERRING"}) {
        Receive(text);
    }
    EXPECT_THAT(Trace(), ElementsAre());
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    EXPECT_EQ(skype.m_ContactList.GetCount(), 0);
    EXPECT_EQ(skype.CurrentUser(), user);
    EXPECT_EQ(skype.m_bMute, 0);
    EXPECT_TRUE(sim.logSink.Contains("Get PARTNER_HANDLE failed") == false);
    Receive("CALL 12 PARTNER_HANDLE");
    EXPECT_TRUE(sim.logSink.Contains("Get PARTNER_HANDLE failed"));
}

TEST_F(BadInput, OverlongIdsAndNamesAreCutNeverOverflow) {
    const std::string id(5000, '7');
    Receive("CALL " + id + " STATUS RINGING");
    Receive("CALL " + id + " PARTNER_DISPNAME " + std::string(3000, 'n'));
    ASSERT_EQ(skype.m_CurrCallList.GetCount(), 1);
    const auto call = *skype.m_CurrCallList.GetLastCall();
    EXPECT_EQ(call.szCallId.size(), kCallFieldMax);
    EXPECT_EQ(call.szPartnerDispName.size(), kCallFieldMax);
    // Commands about the call carry the id as stored.
    EXPECT_EQ(Count("CLIENT <- GET CALL " + std::string(kCallFieldMax, '7') + " TYPE"), 11);
    Receive("CALL " + id + " STATUS FINISHED");
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    EXPECT_EQ(skype.m_CallList.GetCount(), 0);

    skype.SendMessageToSkype("CALL " + std::string(500, '5'));
    EXPECT_EQ(skype.LastCallTarget().size(), kLastCallTargetMax);
}

TEST_F(BadInput, InvalidUtf8IsReplacedAndNulEndsTheText) {
    skype.OnCopyData(client.Peer(), "USER b\xff\xfe ONLINESTATUS ONLINE");
    skype.OnCopyData(client.Peer(), std::string("USER c ONLINESTATUS ONLINE\0USER d x y", 37));
    while (skype.ProcessNotification()) {
    }
    std::vector<CContactInfo> list;
    skype.m_ContactList.CopyContactList(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].strHandle, "b\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(list[1].strHandle, "c");
    EXPECT_EQ(SanitizeReceivedText("\xe2\x82", 10), "\xef\xbf\xbd\xef\xbf\xbd");
    // A cut never leaves half a character behind.
    EXPECT_EQ(SanitizeReceivedText("ab\xc3\xa9", 3), "ab");
}

TEST_F(BadInput, AFloodIsBoundedAndSaidOnce) {
    for (std::size_t i = 0; i < kMaxQueuedNotifications + 10; ++i)
        skype.OnCopyData(client.Peer(), "MUTE ON");
    EXPECT_EQ(skype.QueuedCount(), kMaxQueuedNotifications);
    const auto lines = sim.logSink.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "Skype notification queue full: dropping notifications"),
              1);
    // Once drained, texts are taken again.
    while (skype.ProcessNotification()) {
    }
    skype.OnCopyData(client.Peer(), "MUTE OFF");
    EXPECT_EQ(skype.QueuedCount(), 1u);
}

TEST_F(BadInput, ClientVanishingMidBatchLeavesNothingBehind) {
    // The client goes away while the program sends the call's batch: the
    // first failed GET resets the link; the rest go nowhere.
    int sent = 0;
    client.SetCommandObserver([&](const std::string&) {
        if (++sent == 1)
            client.Exit();
    });
    Receive("CALL 12 STATUS RINGING");
    EXPECT_FALSE(skype.IsAttached());
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    EXPECT_EQ(skype.m_CallList.GetCount(), 0);
    EXPECT_EQ(skype.QueuedCount(), 0u);
    // The attach sequence, the user's name asked at the sign-in, then one GET.
    EXPECT_EQ(client.Commands().size(), 7u + 1u + 1u);
}

TEST_F(BadInput, HandlesThatAreNotFolderNamesAreNotUsedAsPaths) {
    Receive("CURRENTUSERHANDLE ..\\..\\Windows");
    Receive("CURRENTUSERHANDLE ../x");
    Receive("CURRENTUSERHANDLE ..");
    EXPECT_FALSE(app.connectionLog.Contains("EditSkypeConfig"));
    EXPECT_EQ(skype.CurrentUser(), "..");
}

}  // namespace
}  // namespace vocastra::test
