// Random keys with random client events in between, from every mode, through
// the whole program on the simulated platform: the handset must never end up
// in a mode without a key handler, and the keys meant for leaving (hook down,
// and in voicemail playback stop and back) must always bring it home.
#include <algorithm>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "app/application.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/mode_ids.h"
#include "modes/mode_table.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

class RandomKeys : public ::testing::Test {
  protected:
    RandomKeys() {
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
        sim.skypeClient.LoadDefaultHistory();
        sim.hidBus.Plug();
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        Pump();
        sim.hidBus.handset().Start();
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
    int Mode() { return app.modes.CurrentMode(); }
    void Key(int32_t key) {
        app.modes.DispatchKeyToMode(key);
        Pump();
    }

    // One random thing the client does: a call arrives, a call changes its
    // status, a contact is focused, a voicemail starts or ends, time passes.
    void ClientEvent(std::mt19937& rng) {
        static const char* const kHandles[] = {"alice.w", "bob", "EMMA.K", "zoe", "nobody"};
        static const char* const kStatuses[] = {"INPROGRESS", "ONHOLD",   "FINISHED", "MISSED",
                                                "REFUSED",    "FAILED",   "RINGING",  "ROUTING",
                                                "BUSY",       "CANCELLED"};
        std::uniform_int_distribution<int> pick(0, 99);
        const int what = pick(rng);
        const std::string handle = kHandles[pick(rng) % 5];
        if (what < 15) {
            sim.skypeClient.IncomingCall(handle == "nobody" ? "+441632960123" : handle,
                                         handle == "nobody", pick(rng) < 10);
        } else if (what < 45) {
            const auto calls = sim.skypeClient.Calls();
            if (calls.empty())
                return;
            auto it = calls.begin();
            std::advance(it, pick(rng) % static_cast<int>(calls.size()));
            sim.skypeClient.SetCallStatus(it->first, kStatuses[pick(rng) % 10]);
        } else if (what < 55) {
            sim.skypeClient.Notify("CONTACTS FOCUSED " + handle);
        } else if (what < 65) {
            sim.skypeClient.Notify(std::string("VOICEMAIL ") + (pick(rng) < 50 ? "7" : "9") +
                                   (pick(rng) < 50 ? " STATUS PLAYING" : " STATUS PLAYED"));
        } else if (what < 70) {
            sim.skypeClient.Notify(pick(rng) < 50 ? "MUTE ON" : "MUTE OFF");
        } else if (what < 75) {
            sim.skypeClient.SetOutgoingOutcome(static_cast<SimSkypeClient::Outcome>(pick(rng) % 5));
        } else {
            sim.fakeClock.Advance(static_cast<uint32_t>(pick(rng) * 40));
            sim.mainWindow.Pump();
        }
        Pump();
    }

    // The way home the keys give: hook down from every mode; voicemail
    // playback is stopped and left with the right key first. The far end
    // of a call answers the hang-up as the client does.
    bool LeaveToMain() {
        for (int step = 0; step < 8 && Mode() != MODE_MAIN; ++step) {
            if (Mode() == MODE_VOICEMAIL_PLAYING)
                Key(app.skype.g_bVoiceMailFromHandset ? KEY_LEFT_FUNCTION : KEY_RIGHT_FUNCTION);
            else
                Key(KEY_HOOKDOWN);
        }
        return Mode() == MODE_MAIN;
    }

    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
};

TEST_F(RandomKeys, NoWalkLeavesTheHandsetWithoutAWayHome) {
    std::mt19937 rng(20261209);  // seeded: a failure repeats
    std::uniform_int_distribution<int> pick(0, 99);
    // A walk of 100 keys from each mode in every run; the long run (100 000
    // keys, about 25 minutes under the sanitizers) with
    // VOCASTRA_RANDOM_KEYS=100000.
    constexpr int kWalk = 100;  // keys per walk before the way home is tried
    int kKeys = kWalk * MODE_COUNT;
    if (const char* n = std::getenv("VOCASTRA_RANDOM_KEYS"))
        kKeys = std::max(kKeys, std::atoi(n));
    int walks = 0;
    for (int done = 0; done < kKeys; done += kWalk, ++walks) {
        // Every mode a walk can start from; the unconnected screen is left
        // by the tray alone, not by keys.
        const int start = walks % MODE_COUNT;
        if (start != MODE_UNCONNECTED && start != Mode()) {
            app.modes.SwitchMode(start);
            Pump();
        }
        for (int i = 0; i < kWalk; ++i) {
            const int r = pick(rng);
            if (r < 8) {
                ClientEvent(rng);
            } else {
                int32_t key = pick(rng) % 25;
                if (r < 10)
                    key = pick(rng) < 50 ? KEY_0 + KEY_LONG_OFFSET : KEY_HOTKEY_1 + KEY_LONG_OFFSET;
                else if (r < 11)
                    key = pick(rng) < 50 ? -1 : 1000 + pick(rng);  // no key of the handset
                Key(key);
            }
            ASSERT_GE(Mode(), 0);
            ASSERT_LT(Mode(), MODE_COUNT);
            ASSERT_NE(GetModeHandlers(Mode()).Proc, nullptr)
                << "mode " << Mode() << " after walk " << walks << ", key " << i;
        }
        ASSERT_TRUE(LeaveToMain()) << "stuck in mode " << Mode() << " after walk " << walks;
        // Home and answering: the left soft key opens the setting menu.
        Key(KEY_LEFT_FUNCTION);
        ASSERT_EQ(Mode(), MODE_SETTINGMENU);
        Key(KEY_HOOKDOWN);
        ASSERT_EQ(Mode(), MODE_MAIN);
        sim.hidBus.handset().ClearTrace();
        sim.skypeClient.ClearCommands();
    }
}

}  // namespace
}  // namespace vocastra
