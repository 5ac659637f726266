// The stand-in client answers as the real one does, not as the program
// would like: these are the behaviours the program has to cope with.
#include <algorithm>

#include "platform/sim/fake_clock.h"
#include "platform/sim/sim_skype_client.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

struct Received : SkypeWireListener {
    void OnAttachStatus(SkypePeer, uint32_t status) override {
        texts.push_back("ATTACH " + std::to_string(status));
    }
    void OnCopyData(SkypePeer, std::string_view text) override { texts.emplace_back(text); }
    void OnTimer(uint32_t) override {}
    std::vector<std::string> texts;
};

class StandIn : public ::testing::Test {
  protected:
    StandIn() {
        client.SetClock(&clock);
        client.LoadDefaultSession();
        client.Create(program);
    }
    void Attach() {
        client.BroadcastDiscover();
        Take();
    }
    // What the client sent since the last call.
    std::vector<std::string> Take() {
        client.Deliver();
        std::vector<std::string> t;
        t.swap(program.texts);
        return t;
    }
    std::vector<std::string> Send(const std::string& command) {
        client.Send(client.Peer(), command);
        return Take();
    }
    std::vector<std::string> Wait(uint32_t ms) {
        clock.Advance(ms);
        return Take();
    }

    FakeClock clock;
    SimSkypeClient client;
    Received program;
};

TEST_F(StandIn, SignInNamesTheUserAndItsStatusWithOrWithoutDisplayNames) {
    client.BroadcastDiscover();
    const auto t = Take();
    ASSERT_GE(t.size(), 4u);
    EXPECT_THAT(std::vector<std::string>(t.begin(), t.begin() + 4),
                ElementsAre("ATTACH 0", "CONNSTATUS ONLINE", "CURRENTUSERHANDLE echo123",
                            "USERSTATUS ONLINE"));
    EXPECT_EQ(std::count(t.begin(), t.end(), "USER bob DISPLAYNAME"), 1);

    client.SetSignInDisplayNames(false);
    client.Exit();
    client.Restart();
    client.BroadcastDiscover();
    const auto again = Take();
    EXPECT_EQ(std::count(again.begin(), again.end(), "CURRENTUSERHANDLE echo123"), 1);
    EXPECT_EQ(std::count(again.begin(), again.end(), "USER bob ONLINESTATUS AWAY"), 1);
    EXPECT_TRUE(std::none_of(again.begin(), again.end(), [](const std::string& l) {
        return l.find("DISPLAYNAME") != std::string::npos;
    }));
}

TEST_F(StandIn, CallsInProgressReportTheirDurationEverySecond) {
    Attach();
    const std::string id = client.IncomingCall("alice.w");
    Take();
    EXPECT_THAT(Wait(1500), ElementsAre());  // ringing: no duration
    EXPECT_THAT(Send("SET CALL " + id + " STATUS INPROGRESS"),
                ElementsAre("CALL " + id + " STATUS INPROGRESS"));
    EXPECT_EQ(client.MsUntilNextDuration(), 1000u);
    EXPECT_THAT(Wait(999), ElementsAre());
    EXPECT_THAT(Wait(1), ElementsAre("CALL " + id + " DURATION 1"));
    EXPECT_THAT(Wait(1000), ElementsAre("CALL " + id + " DURATION 2"));
    // A client that could not keep up reports the whole time at once.
    EXPECT_THAT(Wait(5000), ElementsAre("CALL " + id + " DURATION 7"));
    EXPECT_THAT(Send("GET CALL " + id + " DURATION"), ElementsAre("CALL " + id + " DURATION 7"));
    // On hold nothing comes; resumed, the count goes on from the answer.
    Send("SET CALL " + id + " STATUS ONHOLD");
    EXPECT_THAT(Wait(3000), ElementsAre());
    EXPECT_THAT(Send("SET CALL " + id + " STATUS INPROGRESS"),
                ElementsAre("CALL " + id + " STATUS INPROGRESS", "CALL " + id + " DURATION 10"));
    Send("SET CALL " + id + " STATUS FINISHED");
    EXPECT_THAT(Wait(3000), ElementsAre());
    EXPECT_EQ(client.MsUntilNextDuration(), UINT32_MAX);
}

TEST_F(StandIn, EndingsAreFinalAndBusyHasNoFinishedAfterIt) {
    Attach();
    client.SetOutgoingOutcome(SimSkypeClient::Outcome::Busy);
    Send("CALL alice.w");
    // The calls are numbered from 1000 on.
    EXPECT_EQ(client.Calls().at("1000").status, "BUSY");
    EXPECT_THAT(Send("SET CALL 1000 STATUS INPROGRESS"),
                ElementsAre("ERROR 24 Cannot change status"));

    const std::string id = client.IncomingCall("bob", false, /*cancelledAtOnce=*/true);
    EXPECT_THAT(Take(),
                ElementsAre("CALL " + id + " STATUS RINGING", "CALL " + id + " STATUS CANCELLED"));
    EXPECT_THAT(Send("SET CALL " + id + " STATUS INPROGRESS"),
                ElementsAre("ERROR 24 Cannot change status"));
}

TEST_F(StandIn, SignInBringsTheHistoryAndVoicemailsWhichPlayForTheirDuration) {
    client.LoadDefaultHistory();
    client.BroadcastDiscover();
    const auto t = Take();
    const auto has = [&](const std::string& line) {
        return std::count(t.begin(), t.end(), line) == 1;
    };
    EXPECT_TRUE(has("CALL 908 STATUS MISSED"));
    EXPECT_TRUE(has("CALL 905 TYPE OUTGOING_P2P"));
    EXPECT_TRUE(has("VOICEMAIL 7 TYPE INCOMING"));
    EXPECT_TRUE(has("VOICEMAIL 7 DURATION 12"));
    EXPECT_THAT(Send("SEARCH VOICEMAILS"), ElementsAre("VOICEMAILS 7, 9"));
    EXPECT_THAT(Send("GET VOICEMAIL 7 CONF_ID"), ElementsAre("ERROR 7 GET: invalid WHAT"));

    EXPECT_THAT(Send("OPEN VOICEMAIL 7"),
                ElementsAre("OPEN VOICEMAIL 7", "VOICEMAIL 7 STATUS BUFFERING",
                            "VOICEMAIL 7 STATUS PLAYING"));
    EXPECT_EQ(client.MsUntilNextDuration(), 12000u);
    EXPECT_THAT(Wait(11999), ElementsAre());
    EXPECT_THAT(Wait(1), ElementsAre("VOICEMAIL 7 STATUS PLAYED"));
    // Stopped: it ends at once, after the echo; playing another stops the first.
    Send("OPEN VOICEMAIL 9");
    EXPECT_THAT(Send("OPEN VOICEMAIL 7"),
                ElementsAre("OPEN VOICEMAIL 7", "VOICEMAIL 9 STATUS PLAYED",
                            "VOICEMAIL 7 STATUS BUFFERING", "VOICEMAIL 7 STATUS PLAYING"));
    EXPECT_THAT(Send("ALTER VOICEMAIL 7 STOPPLAYBACK"),
                ElementsAre("ALTER VOICEMAIL 7 STOPPLAYBACK", "VOICEMAIL 7 STATUS PLAYED"));
    EXPECT_EQ(client.MsUntilNextDuration(), UINT32_MAX);
    EXPECT_THAT(Send("OPEN VOICEMAIL 8"), ElementsAre("ERROR 11 Invalid voicemail id"));

    // The history survives the client's restart, missed calls still missed.
    client.Exit();
    client.Restart();
    client.BroadcastDiscover();
    const auto again = Take();
    EXPECT_EQ(std::count(again.begin(), again.end(), "CALL 908 STATUS MISSED"), 1);
}

TEST_F(StandIn, UnknownCallTargetsAreRefusedWithoutACall) {
    Attach();
    EXPECT_THAT(Send("CALL nobody.here"), ElementsAre("ERROR 92 CALL: Unrecognised identity"));
    EXPECT_THAT(Send("#7 CALL nobody.here"),
                ElementsAre("#7 ERROR 92 CALL: Unrecognised identity"));
    // A conference with one stranger is refused whole.
    EXPECT_THAT(Send("CALL alice.w, nobody.here"),
                ElementsAre("ERROR 92 CALL: Unrecognised identity"));
    EXPECT_THAT(Send("CALL"), ElementsAre("ERROR 2 Invalid command"));
    const std::size_t history = client.Calls().size();
    EXPECT_FALSE(client.Calls().contains("1000"));
    // Contacts, numbers and the test call are called.
    for (const char* who : {"alice.w", "+4930123", "echo123", "bob, zoe"})
        EXPECT_FALSE(Send(std::string("CALL ") + who).empty()) << who;
    EXPECT_EQ(client.Calls().size(), history + 4);
    EXPECT_EQ(client.Calls().at("1003").partnerHandle, "bob");
}

}  // namespace
}  // namespace vocastra
