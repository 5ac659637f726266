// The link itself: attach handshake, sending, keep-alive, reset, and the
// notification queue.
#include <functional>
#include <thread>
#include <utility>

#include "skype_fixture.h"

namespace vocastra::test {
namespace {

using ::testing::ElementsAre;

TEST_F(SkypeFixture, AttachStatusesAndARepeatedSuccess) {
    client.SetAttachAnswer(SimSkypeClient::AttachAnswer::PendingThenSuccess);
    skype.BroadcastDiscover();
    Pump();
    EXPECT_TRUE(sim.logSink.Contains("SKYPECONTROLAPI_ATTACH_PENDING_AUTHORIZATION"));
    EXPECT_TRUE(skype.IsAttached());
    // No handset devices known: none is set, the client's ringer is asked for.
    EXPECT_EQ(client.Commands().front(), "GET RINGER");

    // A second SUCCESS while attached changes nothing and sends nothing.
    Clear();
    client.SendAttachStatus(SKYPE_ATTACH_SUCCESS);
    Pump();
    EXPECT_THAT(Trace(), ElementsAre());
}

TEST_F(SkypeFixture, RefusedTwiceWarnsOnce) {
    app.dlg.points.GetPopupMessage.Fill([](int n) { return "popup " + std::to_string(n); });
    client.SetAttachAnswer(SimSkypeClient::AttachAnswer::Refused);
    skype.BroadcastDiscover();
    skype.BroadcastDiscover();
    Pump();
    EXPECT_FALSE(skype.IsAttached());
    EXPECT_THAT(sim.messageBoxes.Shown(), ElementsAre("WARNING popup 1"));
}

TEST_F(SkypeFixture, NotAvailableThenApiAvailableRediscovers) {
    client.SetAttachAnswer(SimSkypeClient::AttachAnswer::NotAvailableThenApiAvailable);
    skype.BroadcastDiscover();
    Pump();
    EXPECT_EQ(client.DiscoverCount(), 2);
    EXPECT_TRUE(skype.IsAttached());
    EXPECT_TRUE(sim.logSink.Contains("Continue BroadCast attach request to Skype End"));
}

TEST_F(SkypeFixture, SendingDetachedOrEmpty) {
    EXPECT_EQ(skype.SendMessageToSkype("GET SKYPEVERSION"), 0);
    EXPECT_TRUE(sim.logSink.Contains("SendMessageToSkype:  GET SKYPEVERSION\n"));
    EXPECT_EQ(skype.SendMessageToSkype("PING"), 0);
    EXPECT_FALSE(sim.logSink.Contains("SendMessageToSkype:  PING"));
    Attach();
    client.ClearCommands();
    EXPECT_EQ(skype.SendMessageToSkype(""), 1);
    EXPECT_TRUE(client.Commands().empty());
}

TEST_F(SkypeFixture, VanishedClientIsNoticedByTheKeepAliveAndComesBack) {
    Attach();
    Receive("USER alice ONLINESTATUS ONLINE");
    Receive("CALL 5 STATUS RINGING");
    Receive("MUTE ON");
    skype.OnTimer(TIMER_SKYPE_PING);  // first tick: remembers the client
    EXPECT_EQ(client.Commands().back(), "PING");
    Clear();

    client.Exit();
    skype.OnTimer(TIMER_SKYPE_PING);
    sim.mainWindow.Pump();
    EXPECT_FALSE(skype.IsAttached());
    EXPECT_THAT(Trace(), ElementsAre("MAIN <- UPDATE_TRAY"));
    EXPECT_EQ(skype.m_ContactList.GetCount(), 0);
    EXPECT_EQ(skype.m_CallList.GetCount(), 0);
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    EXPECT_EQ(skype.m_bMute, 0);
    // Detached ticks change nothing more.
    skype.OnTimer(TIMER_SKYPE_PING);
    EXPECT_EQ(Count("MAIN <- UPDATE_TRAY"), 1);

    client.ClearCommands();
    client.Restart();
    Pump();
    EXPECT_TRUE(skype.IsAttached());
    EXPECT_EQ(skype.AttachedPeer(), client.Peer());
    EXPECT_EQ(client.Commands().at(1), "GET UI_LANGUAGE");
    EXPECT_EQ(client.Commands().at(6), "SET RINGTONE 1 STATUS OFF");
}

TEST_F(SkypeFixture, AClientBackWithinOneKeepAliveIsAttachedAgain) {
    Attach();
    Receive("USER alice ONLINESTATUS ONLINE");
    Receive("CALL 5 STATUS RINGING");
    skype.OnTimer(TIMER_SKYPE_PING);
    const SkypePeer old = client.Peer();

    // Quit and started again before a keep-alive failed: the new process
    // answers the discovery from new windows.
    client.ClearCommands();
    client.Restart();
    Pump();
    ASSERT_NE(client.Peer(), old);
    EXPECT_EQ(skype.AttachedPeer(), client.Peer());
    EXPECT_EQ(client.Commands().at(1), "GET UI_LANGUAGE");
    EXPECT_EQ(skype.m_ContactList.GetCount(), 0);
    EXPECT_EQ(skype.m_CurrCallList.GetCount(), 0);
    // And it stays attached.
    skype.OnTimer(TIMER_SKYPE_PING);
    skype.OnTimer(TIMER_SKYPE_PING);
    EXPECT_EQ(skype.AttachedPeer(), client.Peer());
}

TEST_F(SkypeFixture, SignOutAndSignInAttachAfresh) {
    Attach();
    Receive("CURRENTUSERHANDLE olduser");
    Receive("USER olduser FULLNAME Old User");
    Receive("PROFILE PSTN_BALANCE 250");
    Receive("PROFILE PSTN_BALANCE_CURRENCY EUR");
    Receive("USER alice ONLINESTATUS ONLINE");
    ASSERT_EQ(skype.CurrentUserFullName(), "Old User");
    Clear();

    client.SendAttachStatus(SKYPE_ATTACH_NOT_AVAILABLE);
    Pump();
    EXPECT_FALSE(skype.IsAttached());
    EXPECT_EQ(Count("MAIN <- UPDATE_TRAY"), 1);
    EXPECT_EQ(skype.CurrentUser(), "");
    EXPECT_EQ(skype.CurrentUserFullName(), "");
    EXPECT_EQ(skype.PstnBalance(), "");
    EXPECT_EQ(skype.PstnBalanceCurrency(), "");
    EXPECT_EQ(skype.m_ContactList.GetCount(), 0);

    // Someone signs in: the client announces its API, the discovery is
    // answered and everything is asked for again.
    client.ClearCommands();
    client.SendAttachStatus(SKYPE_ATTACH_API_AVAILABLE);
    Pump();
    EXPECT_TRUE(skype.IsAttached());
    EXPECT_THAT(client.Commands(), ::testing::Contains("GET CURRENTUSERHANDLE"));
    EXPECT_THAT(client.Commands(), ::testing::Contains("GET PROFILE PSTN_BALANCE"));
    EXPECT_EQ(skype.CurrentUser(), client.UserHandle());
}

// A wire whose sends can run something first: what another thread does
// while this send is on its way.
struct InterposedWire : SkypeWire {
    explicit InterposedWire(SimSkypeClient& c) : inner(c) {}
    bool Create(SkypeWireListener& l) override { return inner.Create(l); }
    void BroadcastDiscover() override { inner.BroadcastDiscover(); }
    bool Send(SkypePeer peer, std::string_view command) override {
        if (meanwhile)
            std::exchange(meanwhile, nullptr)(peer);
        return inner.Send(peer, command);
    }
    void Destroy() override { inner.Destroy(); }
    SimSkypeClient& inner;
    std::function<void(SkypePeer)> meanwhile;
};

TEST_F(SkypeFixture, ALateFailureOfTheOldClientKeepsTheNewAttach) {
    InterposedWire wire(client);
    CSkypeMonitor link({wire, sim.mainWindow, sim.fakeClock, *sim.collator, sim.profile,
                        app.settingsStore, app.flags, app.connectionLog});
    link.SetManualThreads(true);
    link.points.SetSkypeAudioDevices.Fill([] {});
    link.points.OpenSkypeContacts.Fill([] {});
    ASSERT_TRUE(link.Create());
    link.BroadcastDiscover();
    client.Deliver();
    ASSERT_TRUE(link.IsAttached());

    // The client restarts while a command to its old window is under way;
    // the new one attaches before that send comes back failed.
    wire.meanwhile = [&](SkypePeer) {
        client.Restart();
        client.Deliver();  // API_AVAILABLE: a discovery goes out
        client.Deliver();  // answered from the new window
    };
    EXPECT_EQ(link.SendMessageToSkype("GET SKYPEVERSION"), 0);
    EXPECT_EQ(link.AttachedPeer(), client.Peer());
    EXPECT_EQ(link.SendMessageToSkype("GET SKYPEVERSION"), 1);
}

TEST_F(SkypeFixture, TextsFromOtherWindowsAreIgnored) {
    Attach();
    skype.OnCopyData(client.Peer() + 1, "CALL 9 STATUS RINGING");
    skype.OnCopyData(0, "CALL 9 STATUS RINGING");
    EXPECT_EQ(skype.QueuedCount(), 0u);
    // Detached, nothing is taken from anyone.
    client.Exit();
    skype.SendMessageToSkype("PING");
    skype.OnCopyData(client.Peer(), "CALL 9 STATUS RINGING");
    EXPECT_EQ(skype.QueuedCount(), 0u);
}

TEST_F(SkypeFixture, NotificationsAreHandledInArrivalOrderByTheReceiveThread) {
    // A program with real threads: the receive thread wakes for each text.
    SimPlatform rt(dir.Path(), /*realTime=*/true);
    Application live(rt.MakePorts());
    std::mutex m;
    std::vector<std::string> seen;
    live.skype.points.SetSkypeAudioDevices.Fill([] {});
    live.skype.points.EditSkypeConfig.Fill([&](const std::string& path) {
        std::lock_guard lock(m);
        seen.push_back(path);
    });
    live.skype.points.GetSkypeConfigPath.Fill([](const std::string& f) { return f; });
    rt.skypeClient.SetAutoReply(false);
    ASSERT_TRUE(live.skype.Create());
    live.skype.BroadcastDiscover();
    rt.skypeClient.Deliver();
    live.skype.WaitUntilIdle();
    {
        std::lock_guard lock(m);
        seen.clear();  // the signed-in user's own
    }
    for (int i = 0; i < 200; ++i)
        live.skype.OnCopyData(rt.skypeClient.Peer(), "CURRENTUSERHANDLE u" + std::to_string(i));
    live.skype.WaitUntilIdle();
    std::lock_guard lock(m);
    ASSERT_EQ(seen.size(), 200u);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], "u" + std::to_string(i));
}

TEST_F(SkypeFixture, CommandBatchesOnTheirOwnThreadKeepTheirOrder) {
    SimPlatform rt(dir.Path(), /*realTime=*/true);
    Application live(rt.MakePorts());
    live.skype.points.SetSkypeAudioDevices.Fill([] {});
    rt.skypeClient.SetAutoReply(false);
    ASSERT_TRUE(live.skype.Create());
    live.skype.BroadcastDiscover();
    rt.skypeClient.Deliver();
    live.skype.WaitUntilIdle();  // the sign-in's own commands are sent
    rt.skypeClient.ClearCommands();
    std::vector<std::string> batch{"GET CALL 1 TYPE", "GET CALL 1 CONF_ID", "GET CALL 1 TIMESTAMP"};
    live.skype.StartCommandBatch(batch);
    EXPECT_TRUE(batch.empty());
    live.skype.WaitUntilIdle();
    EXPECT_THAT(rt.skypeClient.Commands(),
                ElementsAre("GET CALL 1 TYPE", "GET CALL 1 CONF_ID", "GET CALL 1 TIMESTAMP"));
}

}  // namespace
}  // namespace vocastra::test
