// The assembled program as the exe and the simulator build it: every
// connection point is filled, or named below with the subsystem that will
// fill it. Filling a point means taking its line out of the list.
#include "app/application.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "test_support.h"
#include "whole_program.h"

namespace vocastra {
namespace {

struct Unfilled {
    const char* point;
    const char* owner;
};

// Points still unfilled in the assembled program, by the subsystem that fills them.
const std::vector<Unfilled> kStillUnfilled = {};

TEST(ApplicationWiring, EveryPointIsFilledOrNamedWithItsOwner) {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    // Built exactly as the entry points build it: from the ports alone.
    Application app{sim.MakePorts()};

    std::map<std::string, std::string> listed;
    for (const Unfilled& u : kStillUnfilled)
        EXPECT_TRUE(listed.emplace(u.point, u.owner).second) << u.point << " is listed twice";

    const auto points = app.connectionLog.Points();
    ASSERT_GT(points.size(), 50u) << "the points did not register";
    std::set<std::string> seen;
    for (const auto& p : points) {
        seen.insert(p.name);
        const auto it = listed.find(p.name);
        if (!p.filled && it == listed.end())
            ADD_FAILURE() << p.name << " is not filled, and no subsystem is named to fill it";
        if (p.filled && it != listed.end())
            ADD_FAILURE() << p.name << " is filled now: take it off the list (" << it->second
                          << ")";
    }
    for (const auto& [name, owner] : listed)
        if (!seen.count(name))
            ADD_FAILURE() << name << " (" << owner << ") is listed but no such point exists";
}

using test::WholeProgram;

TEST_F(WholeProgram, ClientMuteMakesTheLedBlinkAndUnmuteMakesItSteady) {
    Start();
    sim.logSink.Clear();
    sim.skypeClient.Notify("MUTE ON");
    Settle();
    EXPECT_EQ(app.device.commands.FlashPeriod(), 500);
    EXPECT_FALSE(sim.logSink.Contains("NewWriteCmd:Write USB failed: m_WriteHandle is not valid"));
    sim.skypeClient.Notify("MUTE OFF");
    Settle();
    EXPECT_EQ(app.device.commands.FlashPeriod(), 0);
    EXPECT_TRUE(sim.hidBus.handset().LedOn());

    // Without a handset there is nothing to blink.
    sim.hidBus.Unplug();
    Settle();
    sim.skypeClient.Notify("MUTE ON");
    Settle();
    EXPECT_EQ(app.device.commands.FlashPeriod(), 0);
    EXPECT_TRUE(sim.logSink.Contains("NewWriteCmd:Write USB failed: m_WriteHandle is not valid"));
}

TEST_F(WholeProgram, AHandsetPluggedInLaterIsGivenToTheClient) {
    GiveDeviceNames("USB Speaker", "USB Mic");
    Start(/*plugged=*/false);
    sim.skypeClient.ClearCommands();

    sim.hidBus.Plug();
    Settle();
    // Each of the handset's two interfaces announces itself.
    EXPECT_THAT(ClientGot("SET AUDIO_IN "), ::testing::Each("SET AUDIO_IN USB Mic"));
    EXPECT_THAT(ClientGot("SET AUDIO_OUT "), ::testing::Each("SET AUDIO_OUT USB Speaker"));
    EXPECT_THAT(ClientGot("SET RINGER "), ::testing::Each("SET RINGER USB Speaker"));
    EXPECT_FALSE(ClientGot("SET AUDIO_IN ").empty());

    // Re-plugged, perhaps on another port: the names found now are sent.
    GiveDeviceNames("USB Speaker 2", "USB Mic 2");
    sim.hidBus.Unplug();
    Settle();
    sim.skypeClient.ClearCommands();
    sim.hidBus.Plug();
    Settle();
    EXPECT_THAT(ClientGot("SET AUDIO_IN "), ::testing::Contains("SET AUDIO_IN USB Mic 2"));
    EXPECT_THAT(ClientGot("SET RINGER "), ::testing::Contains("SET RINGER USB Speaker 2"));
}

TEST_F(WholeProgram, AnUnknownDeviceNameIsNeverSentToTheClient) {
    // No sound device of the handset's was found: the client's choice stays,
    // and its ringer, asked for, still decides who rings.
    Start();
    EXPECT_THAT(ClientGot("SET AUDIO_"), ::testing::IsEmpty());
    EXPECT_THAT(ClientGot("SET RINGER"), ::testing::IsEmpty());
    EXPECT_TRUE(sim.logSink.Contains("Ringer is [USB PHONE]"));

    // Only the playback side found: only it is set.
    GiveDeviceNames("USB Speaker", "");
    sim.hidBus.Unplug();
    sim.hidBus.Plug();
    Settle();
    EXPECT_THAT(ClientGot("SET AUDIO_IN"), ::testing::IsEmpty());
    EXPECT_THAT(ClientGot("SET AUDIO_OUT "), ::testing::Contains("SET AUDIO_OUT USB Speaker"));
    EXPECT_THAT(ClientGot("SET RINGER "), ::testing::Contains("SET RINGER USB Speaker"));
}

TEST(ConnectionLog, KeepsOnlyTheLatestCalls) {
    ConnectionLog log;
    ConnectionPoint<void(int)> moved(log, "OnTrayNotification");
    for (int i = 0; i < 5 * static_cast<int>(ConnectionLog::kMaxLines); ++i)
        moved(i);
    const auto lines = log.Lines();
    EXPECT_EQ(lines.size(), ConnectionLog::kMaxLines);
    EXPECT_EQ(lines.back(),
              "OnTrayNotification " + std::to_string(5 * ConnectionLog::kMaxLines - 1));
}

}  // namespace
}  // namespace vocastra
