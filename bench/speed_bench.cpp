// Three costs of a long-running program on the simulated platform (fake
// clock, one thread): the idle main screen drawn with the real fonts and
// turned into page bytes, the notification parser on what the client really
// sends, and the memory a day of calls leaves behind.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "modes/virtual_display.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"

namespace vocastra {
namespace {

std::string BenchDir(const char* name) {
    const std::string dir = (std::filesystem::temp_directory_path() / name).string() + "/";
    std::filesystem::create_directories(dir + "Language");
    std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/Eng.ini",
                               dir + "Language/Eng.ini",
                               std::filesystem::copy_options::overwrite_existing);
    return dir;
}

// The main mode's redraw as the refresh timer runs it, with every line
// converted and handed to the handset: each iteration is a minute later, so
// the clock line is a text never drawn before, and the handset's lines are
// forgotten, so all four are converted (as after a mode change or a replug).
void BM_MainScreenDrawnAndConverted(benchmark::State& state) {
    SimPlatform sim(BenchDir("vocastra-bench-main-screen"));
    Application app(sim.MakePorts());
    int lines = 0;
    app.display.points.IsWriteHandleValid.Fill([] { return true; });
    app.display.points.NewWriteDevice.Fill([&](int, const PageBytes& u, const PageBytes& l) {
        benchmark::DoNotOptimize(u);
        benchmark::DoNotOptimize(l);
        ++lines;
    });
    app.modes.links.NewWriteCmd.Fill([](int, int, int, int) {});
    // Arg 1: every text of the screen is new each time (the name, and the
    // date a day later), as after a sign-in or a language change.
    const bool allNew = state.range(0) == 1;
    int frame = 0;
    app.modes.links.GetCurrentUserFullName.Fill([&] {
        return allNew ? "Bartholomew F. " + std::to_string(frame)
                      : std::string("Bartholomew Feathers");
    });
    app.g_Settings.VAL_ENABLE_LCM = 1;
    app.display.Create();
    app.flags.g_bDeviceStarted = 1;
    app.modes.SwitchMode(MODE_MAIN);
    for (auto _ : state) {
        ++frame;
        sim.fakeClock.Advance(allNew ? (24 * 60 + 1) * 60 * 1000 : 60 * 1000);
        app.display.InvalidateLineCache();
        app.modes.RefreshDisplay();
    }
    state.counters["lines_per_frame"] = double(lines) / double(state.iterations());
}
BENCHMARK(BM_MainScreenDrawnAndConverted)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What the client sends over a working hour, in proportion: contacts
// changing status, the chat traffic the program ignores, and a call with
// the answers to the details the program asks for (its TYPE eleven times),
// its DURATION every second, a mute and the hang-up.
std::vector<std::string> RealisticMix(int callId) {
    std::vector<std::string> mix;
    const std::string call = "CALL " + std::to_string(callId) + " ";
    static const char* const kStatus[] = {"ONLINE", "AWAY", "NA", "DND", "OFFLINE", "SKYPEME"};
    for (int i = 0; i < 24; ++i)
        mix.push_back("USER friend" + std::to_string(i) + " ONLINESTATUS " + kStatus[i % 6]);
    mix.push_back("USER friend3 FULLNAME Friend Number Three");
    mix.push_back("USER friend5 DISPLAYNAME Fifth, Friend");
    mix.push_back("USER friend7 BUDDYSTATUS 3");
    for (int i = 0; i < 6; ++i) {
        const std::string chat = "CHAT #friend" + std::to_string(i) + "/$echo123;9a1b2c3d4e5f ";
        const std::string msg = "CHATMESSAGE " + std::to_string(4000 + callId * 8 + i) + " ";
        mix.push_back(chat + "ACTIVITY_TIMESTAMP 1262304000");
        mix.push_back(msg + "STATUS RECEIVED");
        mix.push_back(msg + "STATUS READ");
        mix.push_back(chat + "STATUS MULTI_SUBSCRIBED");
    }
    for (const char* s : {"CONNSTATUS ONLINE", "USERSTATUS ONLINE", "GROUP 12 NROFUSERS 5",
                          "GROUP 12 USERS friend1, friend2, friend3", "WINDOWSTATE MINIMIZED",
                          "CALLHISTORYCHANGED", "PROFILE PSTN_BALANCE 0"})
        mix.push_back(s);
    mix.push_back(call + "STATUS RINGING");
    mix.push_back(call + "TIMESTAMP 1262304000");
    mix.push_back(call + "PARTNER_HANDLE friend4");
    mix.push_back(call + "PARTNER_DISPNAME Friend Number Four");
    mix.push_back(call + "CONF_ID 0");
    for (int i = 0; i < 11; ++i)
        mix.push_back(call + "TYPE INCOMING_P2P");
    mix.push_back(call + "STATUS INPROGRESS");
    for (int s = 1; s <= 60; ++s) {
        mix.push_back(call + "DURATION " + std::to_string(s));
        if (s == 20)
            mix.push_back("MUTE ON");
        if (s == 30)
            mix.push_back("MUTE OFF");
    }
    mix.push_back(call + "STATUS FINISHED");
    return mix;
}

void BM_ParseRealisticMix(benchmark::State& state) {
    SimPlatform sim(BenchDir("vocastra-bench-parse"));
    Application app(sim.MakePorts());
    app.device.SetThreadsEnabled(false);
    app.skype.SetManualThreads(true);
    app.skype.points.SetSkypeAudioDevices.Fill([] {});
    sim.skypeClient.SetAutoReply(false);
    app.skype.Create();
    app.skype.BroadcastDiscover();
    sim.skypeClient.Deliver();
    while (app.skype.ProcessNotification()) {
    }
    for (int i = 0; i < 24; ++i)
        app.skype.ParseSkypeMessage("USER friend" + std::to_string(i) + " DISPLAYNAME Friend " +
                                    std::to_string(i));
    constexpr int kCalls = 16;
    std::vector<std::vector<std::string>> rounds;
    for (int i = 0; i < kCalls; ++i)
        rounds.push_back(RealisticMix(500 + i));
    int64_t n = 0;
    int round = 0;
    for (auto _ : state) {
        for (const auto& m : rounds[round])
            app.skype.ParseSkypeMessage(m);
        n += static_cast<int64_t>(rounds[round].size());
        round = (round + 1) % kCalls;
        state.PauseTiming();
        sim.skypeClient.ClearCommands();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(n);
    state.counters["per_round"] = double(rounds[0].size());
}
BENCHMARK(BM_ParseRealisticMix)->Unit(benchmark::kMicrosecond);

// A day of the program: 10 000 calls through the whole program, the virtual
// handset on one side and the stand-in client on the other. Every call rings;
// two in three are answered with the hook, talked over for a while and hung
// up, the others are missed; a detail of each arrives after its end, so the
// call history grows. What the heap and every list hold after it is reported.
struct DayRig {
    std::string dir = BenchDir("vocastra-bench-day");
    SimPlatform sim{dir};
    Application app{sim.MakePorts()};

    DayRig() {
        std::filesystem::remove(dir + "Vocastra.ini");
        app.device.SetThreadsEnabled(false);
        app.skype.SetManualThreads(true);
        sim.hidBus.SetBlockingReads(false);
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        sim.skypeClient.LoadDefaultSession();
        sim.skypeClient.SetClock(&sim.fakeClock);
        sim.hidBus.Plug();
        app.PrepareInstance();
        app.g_Settings.VAL_ENABLE_KEYTONE = 0;
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
    void Seconds(int n) {
        for (int i = 0; i < n; ++i) {
            sim.fakeClock.Advance(1000);
            sim.mainWindow.Pump();
            Pump();
        }
    }
    void Call(int i) {
        const std::string id = sim.skypeClient.IncomingCall("caller" + std::to_string(i % 700),
                                                            /*pstn=*/i % 5 == 0);
        Pump();
        rang += app.modes.CurrentMode() == MODE_RINGING;
        Seconds(2);
        if (i % 3 != 2) {
            sim.hidBus.handset().Press(1);  // the hook key: lifts the handset
            Pump();
            sim.fakeClock.Advance(100);
            sim.hidBus.handset().Release();
            Pump();
            answered += app.modes.CurrentMode() == MODE_TALKING;
            Seconds(3 + i % 7);
            sim.hidBus.handset().HookDown();
            Pump();
            sim.hidBus.handset().Release();
            Pump();
        } else {
            sim.skypeClient.SetCallStatus(id, "MISSED");
            Pump();
        }
        // A detail of the ended call comes after its end (the history's
        // detail screen asks for it): the record goes into the history.
        sim.skypeClient.Notify("CALL " + id + " DURATION " + std::to_string(3 + i % 7));
        Pump();
        Seconds(1);
        // The stand-in's own records and traces are the test's, not the
        // program's: kept small so they do not hide the program's growth.
        sim.skypeClient.ForgetEndedCalls();
        sim.skypeClient.ClearCommands();
        sim.hidBus.handset().ClearTrace();
        sim.hidBus.handset().ClearRecords();
        backToIdle += app.modes.CurrentMode() == MODE_MAIN;
    }
    int rang = 0, answered = 0, backToIdle = 0;
};

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_DayOfCalls(benchmark::State& state) {
    for (auto _ : state) {
        DayRig rig;
        const std::size_t heapStart = HeapInUse();
        // The first calls fill what is meant to fill (the log ring, the
        // caches): growth is measured from there.
        constexpr int kWarmUp = 1000, kCalls = 10000;
        int i = 0;
        for (; i < kWarmUp; ++i)
            rig.Call(i);
        const std::size_t heapBefore = HeapInUse();
        const int historyBefore = rig.app.skype.m_CallList.GetCount();
        for (; i < kCalls; ++i)
            rig.Call(i);
        const std::size_t heapAfter = HeapInUse();
        state.counters["heap_start_kB"] = double(heapStart) / 1024;
        state.counters["heap_before_kB"] = double(heapBefore) / 1024;
        state.counters["heap_after_kB"] = double(heapAfter) / 1024;
        state.counters["heap_growth_kB"] = (double(heapAfter) - double(heapBefore)) / 1024;
        state.counters["history_before"] = historyBefore;
        state.counters["history"] = rig.app.skype.m_CallList.GetCount();
        state.counters["current_calls"] = rig.app.skype.m_CurrCallList.GetCount();
        state.counters["contacts"] = rig.app.skype.m_ContactList.GetCount();
        state.counters["log_lines"] = double(rig.sim.logSink.Lines().size());
        state.counters["client_calls"] = double(rig.sim.skypeClient.Calls().size());
        state.counters["rang"] = rig.rang;
        state.counters["answered"] = rig.answered;
        state.counters["back_to_idle"] = rig.backToIdle;
        state.counters["connection_log"] = double(rig.app.connectionLog.Lines().size());
    }
}
BENCHMARK(BM_DayOfCalls)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vocastra
