// The client link with real threads on the real clock: from a notification
// handed to the link window to its effect (the ringing mode switch for a new
// call, the LED command when a held call resumes), and the notification
// parser's throughput on a realistic mix.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "app/application.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_platform.h"
#include "run_dir.h"

namespace vocastra {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct LinkRig {
    BenchRunDir runDir;
    std::string dir = runDir.path;
    SimPlatform sim{dir, /*realTime=*/true};
    Application app{sim.MakePorts()};
    std::mutex mutex;
    std::condition_variable cv;
    int effects = 0;
    SteadyClock::time_point lastEffect;

    LinkRig() {
        auto mark = [this] {
            std::lock_guard lock(mutex);
            ++effects;
            lastEffect = SteadyClock::now();
            cv.notify_all();
        };
        app.skype.points.SwitchMode.Fill([mark](int mode) {
            if (mode == MODE_RINGING)
                mark();
        });
        app.skype.points.NewWriteCmd.Fill([mark](int, int, int, int) { mark(); });
        app.skype.points.SetSkypeAudioDevices.Fill([] {});
        sim.skypeClient.SetAutoReply(false);
        app.skype.Create();
        app.skype.BroadcastDiscover();
        sim.skypeClient.Deliver();
        app.skype.WaitUntilIdle();
    }
    // Hands `text` to the link and waits for the next effect; microseconds.
    double Measure(const std::string& text) {
        std::unique_lock lock(mutex);
        const int before = effects;
        const auto start = SteadyClock::now();
        lock.unlock();
        app.skype.OnCopyData(sim.skypeClient.Peer(), text);
        lock.lock();
        cv.wait(lock, [&] { return effects > before; });
        return std::chrono::duration<double, std::micro>(lastEffect - start).count();
    }
};

void Report(benchmark::State& state, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

void BM_RingingToModeSwitch(benchmark::State& state) {
    LinkRig rig;
    std::vector<double> us;
    int id = 0;
    for (auto _ : state) {
        const std::string call = std::to_string(++id);
        const double t = rig.Measure("CALL " + call + " STATUS RINGING");
        state.SetIterationTime(t / 1e6);
        us.push_back(t);
        state.PauseTiming();
        rig.app.skype.OnCopyData(rig.sim.skypeClient.Peer(), "CALL " + call + " STATUS MISSED");
        rig.app.skype.WaitUntilIdle();
        state.ResumeTiming();
    }
    Report(state, us);
}
BENCHMARK(BM_RingingToModeSwitch)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

void BM_FinishedToLedOn(benchmark::State& state) {
    LinkRig rig;
    std::vector<double> us;
    int id = 100;
    rig.Measure("CALL 1 STATUS RINGING");
    for (auto _ : state) {
        const std::string call = std::to_string(++id);
        rig.Measure("CALL " + call + " STATUS RINGING");
        rig.app.skype.WaitUntilIdle();
        // The second call ends: the first is resumed and the LED turned on.
        const double t = rig.Measure("CALL " + call + " STATUS FINISHED");
        state.SetIterationTime(t / 1e6);
        us.push_back(t);
        rig.app.skype.WaitUntilIdle();
    }
    Report(state, us);
}
BENCHMARK(BM_FinishedToLedOn)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

// ParseSkypeMessage alone, on the calling thread: contacts coming online,
// a call's life with its detail replies, mute, balance and the search cycle.
void BM_ParseMix(benchmark::State& state) {
    LinkRig rig;
    rig.app.skype.Stop();  // the parser runs here, not on the receive thread
    std::vector<std::string> mix;
    for (int i = 0; i < 20; ++i) {
        mix.push_back("USER friend" + std::to_string(i) + " ONLINESTATUS ONLINE");
        mix.push_back("USER friend" + std::to_string(i) + " DISPLAYNAME Friend Number " +
                      std::to_string(i));
    }
    for (const char* s :
         {"CALL 77 STATUS RINGING", "CALL 77 TIMESTAMP 1262304000", "CALL 77 PARTNER_HANDLE bob",
          "CALL 77 PARTNER_DISPNAME Bob Smith", "CALL 77 CONF_ID 0", "CALL 77 TYPE INCOMING_P2P",
          "CALL 77 TYPE INCOMING_P2P", "CALL 77 STATUS INPROGRESS", "CALL 77 DURATION 1", "MUTE ON",
          "MUTE OFF", "CALL 77 STATUS FINISHED", "PROFILE PSTN_BALANCE 1234", "CALLS 12, 13",
          "USER friend3 ONLINESTATUS AWAY", "CONNSTATUS ONLINE"})
        mix.push_back(s);
    int64_t n = 0;
    for (auto _ : state) {
        for (const auto& m : mix)
            rig.app.skype.ParseSkypeMessage(m);
        n += static_cast<int64_t>(mix.size());
    }
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_ParseMix)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vocastra
