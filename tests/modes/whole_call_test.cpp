// A whole call through the whole program on the simulated platform: the
// virtual handset on one side, the stand-in client on the other, the real
// key pipeline, client link and modes in between.
#include <gmock/gmock.h>

#include "app/application.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::Contains;

class WholeCall : public ::testing::Test {
  protected:
    WholeCall() {
        std::filesystem::create_directories(dir.Path() + "Language");
        std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/Eng.ini",
                                   dir.Path() + "Language/Eng.ini");
        dir.Write("Vocastra.ini", "[SETTING]\r\nVAL_ENABLE_KEYTONE=0\r\n");
        app.device.SetThreadsEnabled(false);
        app.skype.SetManualThreads(true);
        sim.hidBus.SetBlockingReads(false);
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        sim.skypeClient.LoadDefaultSession();
        sim.skypeClient.SetCommandObserver([this](const std::string& c) {
            if (c.rfind("SET CALL", 0) == 0)
                clientCalls.push_back(c);
        });
        sim.hidBus.Plug();
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        Pump();
        sim.hidBus.handset().Start();  // the handset announces itself
        Pump();
    }
    void Pump() {
        for (int round = 0; round < 50; ++round) {
            int n = PumpHandset(app, sim);
            n += sim.skypeClient.Deliver();
            while (app.skype.ProcessNotification())
                ++n;
            if (n == 0)
                break;
        }
    }
    void Second() {
        sim.fakeClock.Advance(1000);
        sim.mainWindow.Pump();
        Pump();
    }
    void Tap(int scan) {
        sim.hidBus.handset().Press(scan);
        Pump();
        sim.fakeClock.Advance(100);
        sim.hidBus.handset().Release();
        Pump();
    }
    int RingsSent() {
        int n = 0;
        for (const auto& c : sim.hidBus.handset().Commands())
            n += c.code == CMD_RING;
        return n;
    }

    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    std::vector<std::string> clientCalls;
};

TEST_F(WholeCall, IncomingCallRingsIsAnsweredWithTheHookAndHungUp) {
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);  // handset started, client attached
    EXPECT_EQ(sim.trayIcon.Image(), TrayImage::Application);

    const std::string id = sim.skypeClient.IncomingCall("alice");
    Pump();
    EXPECT_EQ(app.modes.CurrentMode(), MODE_RINGING);
    const int rings = RingsSent();
    Second();
    Second();
    EXPECT_EQ(RingsSent(), rings + 2);  // once a second while it rings

    sim.hidBus.handset().ClearTrace();
    Tap(1);  // lift the handset
    EXPECT_THAT(clientCalls, Contains("SET CALL " + id + " STATUS INPROGRESS"));
    EXPECT_EQ(app.modes.CurrentMode(), MODE_TALKING);
    EXPECT_TRUE(sim.hidBus.handset().LedOn());

    sim.hidBus.handset().HookDown();
    Pump();
    sim.hidBus.handset().Release();
    Pump();
    EXPECT_EQ(clientCalls.back(), "SET CALL " + id + " STATUS FINISHED");
    EXPECT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_FALSE(sim.hidBus.handset().LedOn());
    // The idle screen is back on the handset: its bottom line holds the
    // soft-key labels.
    const std::string frame = sim.hidBus.handset().FrameText();
    EXPECT_NE(frame.substr(48 * 129, 16 * 129).find('#'), std::string::npos);
}

TEST_F(WholeCall, ReplugGetsTheWholeScreenAgain) {
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_EQ(sim.hidBus.handset().FrameText(), app.display.GetCanvas().ToText());

    // With the client gone the screens before and after the replug share
    // their "UNCONNECTED!" line: it must go out again all the same.
    for (int replug = 0; replug < 2; ++replug) {
        if (replug == 0) {
            sim.skypeClient.Exit();
            sim.skypeClient.FireTimer();  // the keep-alive finds it gone
            Pump();
            ASSERT_FALSE(app.skype.IsAttached());
        }
        sim.hidBus.Unplug();
        Pump();
        sim.hidBus.Plug();
        sim.hidBus.handset().PowerCycle();  // its screen is empty again
        sim.hidBus.handset().Start();
        Pump();
        EXPECT_EQ(sim.hidBus.handset().FrameText(), app.display.GetCanvas().ToText()) << replug;
    }
}

TEST_F(WholeCall, UnpluggedWhileRingingComesBackRinging) {
    const std::string id = sim.skypeClient.IncomingCall("alice");
    Pump();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_RINGING);
    ASSERT_EQ(app.device.commands.FlashPeriod(), 100);

    sim.hidBus.Unplug();
    Pump();
    EXPECT_EQ(app.device.commands.FlashPeriod(), 0);  // nothing left to flash
    sim.hidBus.Plug();
    sim.hidBus.handset().Start();
    Pump();
    EXPECT_EQ(app.modes.CurrentMode(), MODE_RINGING);
    EXPECT_EQ(app.device.commands.FlashPeriod(), 100);
    Tap(1);  // lifting the handset answers
    EXPECT_THAT(clientCalls, Contains("SET CALL " + id + " STATUS INPROGRESS"));
    EXPECT_EQ(app.modes.CurrentMode(), MODE_TALKING);

    // Unplugged during the call, back in the call.
    sim.hidBus.Unplug();
    Pump();
    sim.hidBus.Plug();
    sim.hidBus.handset().Start();
    Pump();
    EXPECT_EQ(app.modes.CurrentMode(), MODE_TALKING);
}

TEST_F(WholeCall, ACallThatEndsWhileUnpluggedLeavesTheLedAlone) {
    const std::string id = sim.skypeClient.IncomingCall("alice");
    Pump();
    sim.hidBus.Unplug();
    Pump();
    sim.skypeClient.SetCallStatus(id, "MISSED");
    Pump();
    sim.hidBus.Plug();
    sim.hidBus.handset().Start();
    Pump();
    EXPECT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_EQ(app.device.commands.FlashPeriod(), 0);
}

}  // namespace
}  // namespace vocastra
