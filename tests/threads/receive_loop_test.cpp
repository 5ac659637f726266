// The client link's receive step driven by a loop of the caller's instead
// of the receive thread, as the benchmarks comparing thread designs do.
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

// With the receive thread off, the notifications are handled by the
// caller's loop, and WaitUntilIdle waits for that loop, not only for the
// receive thread.
TEST(ExternalReceiveLoop, WaitUntilIdleWaitsForTheCallersLoop) {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    app.skype.SetReceiveThreadEnabled(false);
    app.skype.points.SetSkypeAudioDevices.Fill([] {});
    sim.skypeClient.SetAutoReply(false);
    ASSERT_TRUE(app.skype.Create());
    app.skype.BroadcastDiscover();
    sim.skypeClient.Deliver();
    ASSERT_TRUE(app.skype.IsAttached());

    app.skype.OnCopyData(sim.skypeClient.Peer(), "MUTE ON");
    auto waiter = std::async(std::launch::async, [&] {
        app.skype.WaitUntilIdle();
        return app.skype.m_bMute.load();
    });
    std::thread loop([&] {
        while (app.skype.ProcessNotification()) {
        }
    });
    EXPECT_EQ(waiter.get(), 1);
    loop.join();
    app.skype.Stop();
}

}  // namespace
}  // namespace vocastra
