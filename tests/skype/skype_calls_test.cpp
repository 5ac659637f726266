// Calls as the handset lives them: notifications in, commands and mode
// switches out.
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "skype_fixture.h"

namespace vocastra::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::string> CallBatch(const std::string& id) {
    std::vector<std::string> v{
        "CLIENT <- GET CALL " + id + " TIMESTAMP", "CLIENT <- GET CALL " + id + " PARTNER_HANDLE",
        "CLIENT <- GET CALL " + id + " PARTNER_DISPNAME", "CLIENT <- GET CALL " + id + " CONF_ID"};
    for (int i = 0; i < 11; ++i)
        v.push_back("CLIENT <- GET CALL " + id + " TYPE");
    return v;
}

struct CallScenario : SkypeFixture {
    CallScenario() {
        client.SetAutoReply(false);
        Attach();
    }
};

TEST_F(CallScenario, RingingCallIsListedAskedForDetailsAndRingsOnce) {
    Receive("CALL 12 STATUS RINGING");

    std::vector<std::string> expected{"FADER 25 4", "FADER 31 4"};
    for (auto& l : CallBatch("12"))
        expected.push_back(l);
    expected.push_back("MODE 2");
    EXPECT_THAT(Trace(), ElementsAreArray(expected));
    EXPECT_EQ(skype.m_nSavedVolume, 17);
    ASSERT_EQ(skype.m_CurrCallList.GetCount(), 1);
    EXPECT_EQ(skype.m_CurrCallList.GetLastCall()->szStatus, "RINGING");

    // The same status again adds nothing and sends nothing.
    Clear();
    Receive("CALL 12 STATUS RINGING");
    EXPECT_THAT(Trace(), ElementsAre());
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 1);

    // The second TYPE reply starts the ring tone; the first and third do not.
    Receive("CALL 12 TYPE INCOMING_P2P");
    EXPECT_THAT(Trace(), ElementsAre());
    Receive("CALL 12 TYPE INCOMING_P2P");
    EXPECT_THAT(Trace(), ElementsAre("FADER 31 4", "MAIN <- START_RING"));
    Clear();
    Receive("CALL 12 TYPE INCOMING_P2P");
    EXPECT_THAT(Trace(), ElementsAre());
}

TEST_F(CallScenario, AnsweredCallTalksAndFinishedCallReturnsToMain) {
    Receive("CALL 12 STATUS RINGING");
    Receive("CALL 12 PARTNER_HANDLE bob");
    Receive("CALL 12 PARTNER_DISPNAME Smith,  John");
    Clear();

    Receive("CALL 12 STATUS INPROGRESS");
    // Posted messages reach the main window after the notification's own effects.
    EXPECT_THAT(Trace(), ElementsAre("FADER 17 2", "MODE 3", "MAIN <- STOP_RING"));
    EXPECT_EQ(skype.m_CurrCallList.GetLastCall()->szPartnerDispName, "Smith John");
    EXPECT_EQ(skype.m_CallList.GetCallObject("12").szPartnerHandle, "bob");

    Clear();
    Receive("CALL 12 STATUS FINISHED");
    EXPECT_THAT(Trace(), ElementsAre("MODE 0", "FADER 17 4", "MAIN <- STOP_RING"));
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    EXPECT_EQ(skype.m_CallList.GetCount(), 0);
    EXPECT_TRUE(app.connectionLog.Contains("OpenSkypeContacts"));
}

TEST_F(CallScenario, PastCallsNamedAtSignInLeaveTheClientAndHandsetAlone) {
    skype.points.OpenSkypeContacts.Fill([this] { Add("OPEN CONTACTS"); });
    Receive("CALL 7 TYPE INCOMING_P2P");
    Receive("CALL 7 PARTNER_HANDLE bob");
    Receive("CALL 7 STATUS FINISHED");
    Receive("CALL 8 STATUS MISSED");
    EXPECT_EQ(Count("OPEN CONTACTS"), 0);
    EXPECT_EQ(Count("MODE 0"), 0);
    EXPECT_EQ(Count("MAIN <- STOP_RING"), 0);

    // A call seen alive still brings the contacts up as it ends.
    Receive("CALL 9 STATUS RINGING");
    Receive("CALL 9 STATUS MISSED");
    EXPECT_EQ(Count("OPEN CONTACTS"), 1);
}

TEST_F(CallScenario, ListedCallsDoNotSwitchTheMode) {
    Receive("CALLS 12, 13");
    Receive("CALL 12 STATUS RINGING");
    EXPECT_EQ(Count("MODE 2"), 0);
    EXPECT_EQ(Count("CLIENT <- GET CALL 12 TYPE"), 11);
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 1);
    Clear();
    Receive("CALL 12 STATUS INPROGRESS");
    EXPECT_THAT(Trace(), ElementsAre("MAIN <- STOP_RING"));

    // ROUTING always switches, listed or not.
    Clear();
    Receive("CALL 13 STATUS ROUTING");
    EXPECT_EQ(Count("MODE 2"), 1);
}

TEST_F(CallScenario, RoutedCallReportedIncomingIsDropped) {
    Receive("CALL 20 STATUS ROUTING");
    ASSERT_EQ(skype.m_CurrCallList.GetCount(), 1);
    Clear();
    Receive("CALL 20 TYPE INCOMING_P2P");
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    EXPECT_EQ(skype.m_CallList.GetCount(), 0);
    EXPECT_THAT(Trace(), ElementsAre());
    EXPECT_TRUE(sim.logSink.Contains("Call[20] is strange call"));
}

TEST_F(CallScenario, FinishingOneOfTwoCallsResumesTheHeldOne) {
    Receive("CALL 1 STATUS RINGING");
    Receive("CALL 1 STATUS INPROGRESS");
    Receive("CALL 2 STATUS RINGING");
    // A second ringing call does not start the handset ring tone.
    Receive("CALL 2 TYPE INCOMING_P2P");
    Receive("CALL 2 TYPE INCOMING_P2P");
    EXPECT_EQ(Count("MAIN <- START_RING"), 0);
    // The second call is answered; the client holds the first.
    Receive("CALL 1 STATUS ONHOLD");
    Receive("CALL 2 STATUS INPROGRESS");
    Receive("CALL 1 STATUS INPROGRESS");  // resumed by hand in the client
    Receive("CALL 1 STATUS ONHOLD");
    Clear();

    Receive("CALL 2 STATUS FINISHED");
    EXPECT_THAT(Trace(), ElementsAre("CLIENT <- SET CALL 1 STATUS INPROGRESS", "MODE 3",
                                     "HANDSET <- " + std::to_string(CMD_LED_ON) + " 0 0 0",
                                     "FADER 17 4", "MAIN <- STOP_RING"));
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 1);
    EXPECT_EQ(skype.m_CurrCallList.GetLastCall()->szCallId, "1");
    EXPECT_EQ(skype.m_CallList.GetCount(), 1);
}

TEST_F(CallScenario, ACallLeftRingingIsNeverAnsweredForTheUser) {
    // Two callers ring; the one who rang last gives up.
    Receive("CALL 1 STATUS RINGING");
    Receive("CALL 2 STATUS RINGING");
    Clear();
    Receive("CALL 2 STATUS MISSED");
    EXPECT_EQ(Count("CLIENT <- SET CALL 1 STATUS INPROGRESS"), 0);
    EXPECT_EQ(mode, MODE_RINGING);
    EXPECT_EQ(skype.m_CurrCallList.GetLastCall()->szCallId, "1");

    // A held call whose partner hangs up while another rings: the ringing
    // one waits for the user too.
    Receive("CALL 1 STATUS INPROGRESS");
    Receive("CALL 3 STATUS RINGING");
    Receive("CALL 1 STATUS ONHOLD");
    Clear();
    Receive("CALL 1 STATUS FINISHED");
    EXPECT_EQ(Count("CLIENT <- SET CALL 3 STATUS INPROGRESS"), 0);
    EXPECT_EQ(mode, MODE_RINGING);
}

TEST_F(CallScenario, BusyAndCancelledEndTheCall) {
    for (const std::string end : {"BUSY", "CANCELLED"}) {
        Receive("CALL 50 STATUS ROUTING");
        Receive("CALL 50 TYPE OUTGOING_P2P");
        Receive("CALL 60 STATUS RINGING");
        Receive("CALL 60 TYPE INCOMING_P2P");
        Clear();
        Receive("CALL 50 STATUS " + end);
        Receive("CALL 60 STATUS " + end);  // RINGING may be followed at once by CANCELLED
        EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0) << end;
        EXPECT_EQ(mode, MODE_MAIN) << end;
        EXPECT_EQ(Count("MAIN <- STOP_RING"), 1) << end;
        EXPECT_EQ(Count("CLIENT <- SET CALL 50 STATUS INPROGRESS"), 0) << end;

        // The next caller is the first call again: it rings the handset.
        Receive("CALL 70 STATUS RINGING");
        Receive("CALL 70 TYPE INCOMING_P2P");
        Receive("CALL 70 TYPE INCOMING_P2P");
        EXPECT_EQ(Count("MAIN <- START_RING"), 1) << end;
        Receive("CALL 70 STATUS MISSED");
    }
}

TEST_F(CallScenario, RoutedOutgoingCallEndsWithoutStoppingARing) {
    Receive("CALL 30 STATUS ROUTING");
    Receive("CALL 30 TYPE OUTGOING_P2P");
    Receive("CALL 30 STATUS RINGING");  // the far end rings: already current
    Clear();
    Receive("CALL 30 STATUS REFUSED");
    EXPECT_THAT(Trace(), ElementsAre("MODE 0", "FADER 17 4"));
}

TEST_F(CallScenario, IncomingTelephoneCallDoesNotRingTheHandset) {
    Receive("CALL 40 STATUS RINGING");
    Receive("CALL 40 TYPE INCOMING_PSTN");
    Receive("CALL 40 TYPE INCOMING_PSTN");
    EXPECT_EQ(Count("MAIN <- START_RING"), 0);
    Receive("CALL 40 STATUS MISSED");
    // A call that ended is gone from both lists; a later mention only
    // enters the history.
    Receive("CALL 40 STATUS MISSED");
    std::vector<CCallObject> missed;
    skype.m_CallList.GetMissedCallList(missed);
    ASSERT_EQ(missed.size(), 1u);
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
}

TEST_F(CallScenario, RingerElsewhereKeepsTheHandsetQuiet) {
    Receive("RINGER Speakers (Realtek)");
    EXPECT_EQ(skype.m_bRingerIsHandset, 0);
    Receive("CALL 12 STATUS RINGING");
    Receive("CALL 12 TYPE INCOMING_P2P");
    Receive("CALL 12 TYPE INCOMING_P2P");
    EXPECT_EQ(Count("MAIN <- START_RING"), 0);
}

TEST_F(CallScenario, AReturningClientIsNotJudgedByWhatTheOldOneSaid) {
    Receive("RINGER Speakers (Realtek)");
    Receive("CALLS 12");
    client.Exit();
    skype.OnTimer(TIMER_SKYPE_PING);
    ASSERT_FALSE(skype.IsAttached());
    client.Restart();
    Pump();
    ASSERT_TRUE(skype.IsAttached());
    Clear();

    // The new client numbers its calls afresh and is told the handset
    // rings: its call 12 is a new call, and it rings the handset.
    Receive("CALL 12 STATUS RINGING");
    EXPECT_EQ(Count("MODE 2"), 1);
    Receive("CALL 12 TYPE INCOMING_P2P");
    Receive("CALL 12 TYPE INCOMING_P2P");
    EXPECT_EQ(Count("MAIN <- START_RING"), 1);
    Clear();
    Receive("CALL 12 STATUS INPROGRESS");
    EXPECT_THAT(Trace(), ElementsAre("FADER 17 2", "MODE 3", "MAIN <- STOP_RING"));
}

TEST_F(CallScenario, OnlyASavedPlaybackLevelIsRestored) {
    // A call never seen ringing: the level is left as it is, not set to 0.
    Receive("CALL 30 STATUS INPROGRESS");
    EXPECT_THAT(Trace(), ElementsAre("MODE 3", "MAIN <- STOP_RING"));
    Receive("CALL 30 STATUS FINISHED");
    EXPECT_EQ(Count("FADER 0 4"), 0);

    // A call that rang restores its level when answered and when over...
    Receive("CALL 31 STATUS RINGING");
    Receive("CALL 31 STATUS INPROGRESS");
    Receive("CALL 31 STATUS FINISHED");
    EXPECT_EQ(Count("FADER 17 2"), 1);
    EXPECT_EQ(Count("FADER 17 4"), 1);
    // ...and only for itself: the level was given back with the last call.
    Clear();
    Receive("CALL 32 STATUS INPROGRESS");
    EXPECT_THAT(Trace(), ElementsAre("MODE 3", "MAIN <- STOP_RING"));

    // A client that vanishes mid-call takes the saved level with its calls.
    Receive("CALL 33 STATUS RINGING");
    client.Exit();
    skype.OnTimer(TIMER_SKYPE_PING);
    client.Restart();
    Pump();
    Clear();
    Receive("CALL 34 STATUS INPROGRESS");
    EXPECT_EQ(Count("FADER 17 2"), 0);
}

TEST_F(CallScenario, OutgoingCallSwitchesToRingingBeforeItIsSent) {
    EXPECT_EQ(skype.SendMessageToSkype("CALL echo123"), 1);
    EXPECT_THAT(Trace(), ElementsAre("MODE 2", "CLIENT <- CALL echo123"));
    EXPECT_EQ(skype.LastCallTarget(), "echo123");

    // Dialling rules that place the call another way send nothing.
    Clear();
    skype.points.DialCall.Fill([](const std::string&) { return true; });
    EXPECT_EQ(skype.SendMessageToSkype("CALL +4930123"), 1);
    EXPECT_THAT(Trace(), ElementsAre());
}

TEST_F(CallScenario, ClosingProgramBringsTheClientForward) {
    app.flags.g_bExiting = 1;
    Receive("CALL 12 STATUS RINGING");
    EXPECT_EQ(Trace().back(), "CLIENT <- SET WINDOWSTATE NORMAL");
}

TEST_F(CallScenario, VoicemailPlaybackFollowsTheHandsetsRequest) {
    sim.fakeClock.Advance(100000);
    Receive("VOICEMAIL 7 STATUS PLAYING");  // no list open on the handset
    EXPECT_TRUE(sim.logSink.Contains("VoiceMail playing by mouse 001"));
    skype.points.IsMenuListEmpty.Fill([] { return false; });
    Receive("VOICEMAIL 7 STATUS PLAYING");
    EXPECT_TRUE(sim.logSink.Contains("VoiceMail playing by mouse 002"));
    EXPECT_EQ(Count("MODE 18"), 0);

    skype.g_dwVoiceMailPlayTick = sim.fakeClock.GetTickCount();
    sim.fakeClock.Advance(3001);
    Receive("VOICEMAIL 7 STATUS PLAYING");
    EXPECT_TRUE(sim.logSink.Contains("VoiceMail playing by mouse 003"));

    skype.g_dwVoiceMailPlayTick = sim.fakeClock.GetTickCount();
    sim.fakeClock.Advance(3000);
    Receive("VOICEMAIL 7 STATUS PLAYING");
    EXPECT_EQ(Count("MODE 18"), 1);
    EXPECT_TRUE(skype.g_bVoiceMailFromHandset);
    Receive("VOICEMAIL 7 STATUS PLAYED");
    EXPECT_EQ(Count("MODE 18"), 2);
    EXPECT_FALSE(skype.g_bVoiceMailFromHandset);
}

// The whole incoming call against the stand-in client, replies included.
TEST_F(SkypeFixture, IncomingCallWithTheClientsReplies) {
    app.dlg.SetDeviceNames("Speakers (USB PHONE)", "Microphone (USB PHONE)");
    Attach();
    EXPECT_EQ(skype.m_bRingerIsHandset, 1);
    const std::string id = client.IncomingCall("bob");
    Pump();
    EXPECT_EQ(Count("MODE 2"), 1);
    EXPECT_EQ(Count("MAIN <- START_RING"), 1);
    const auto call = skype.m_CurrCallList.GetLastCall();
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->szPartnerHandle, "bob");
    EXPECT_EQ(call->nType, E_TYPE_INCOMING_P2P);
    EXPECT_EQ(call->nTimestamp, 1262304000);

    // Lifting the handset answers; putting it down ends the call.
    skype.SendMessageToSkype("SET CALL " + id + " STATUS INPROGRESS");
    Pump();
    EXPECT_EQ(mode, MODE_TALKING);
    skype.SendMessageToSkype("SET CALL " + id + " STATUS FINISHED");
    Pump();
    EXPECT_EQ(mode, MODE_MAIN);
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
}

// A client that names ever new calls as ringing and never ends them (or
// whose endings are lost) must not grow the current calls for as long as
// the program runs; the newest stays the current call, and ending it still
// works.
TEST_F(CallScenario, CallsThatNeverEndStayBounded) {
    constexpr int kCalls = 150;
    for (int i = 0; i < kCalls; ++i)
        Receive("CALL " + std::to_string(1000 + i) + " STATUS RINGING");
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), int(CCurrCallList::kCurrentCallsMax));
    EXPECT_EQ(skype.m_CurrCallList.GetLastCall()->szCallId, std::to_string(1000 + kCalls - 1));
    EXPECT_EQ(skype.m_CurrCallList.IsCallInList("1000"), 0);
    Receive("CALL " + std::to_string(1000 + kCalls - 1) + " STATUS FINISHED");
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), int(CCurrCallList::kCurrentCallsMax) - 1);
    EXPECT_EQ(skype.m_CurrCallList.GetLastCall()->szCallId, std::to_string(1000 + kCalls - 2));
}

}  // namespace
}  // namespace vocastra::test
