// The handset's key path with the real threads on the real clock: how long an
// input report takes from the bus to the mode's key handler, and how often
// the device threads wake while the handset sits idle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "platform/sim/sim_platform.h"
#include "run_dir.h"
#include "thread_switches.h"

namespace vocastra {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A started program with a started handset; keys reaching the modes are
// time-stamped.
struct Rig {
    BenchRunDir runDir;
    std::string dir = runDir.path;
    SimPlatform sim{dir, /*realTime=*/true};
    Application app{sim.MakePorts()};
    std::mutex mutex;
    std::condition_variable cv;
    int keys = 0;
    SteadyClock::time_point lastKey;

    Rig() {
        app.device.keys.points.DispatchKeyToMode.Fill([this](int) {
            std::lock_guard lock(mutex);
            ++keys;
            lastKey = SteadyClock::now();
            cv.notify_all();
        });
        sim.hidBus.Plug();
        app.dlg.OnInitDialog();
        sim.hidBus.handset().Start();
        WaitIdle();
    }
    // Lets the key of the last report reach the mode and the handset settle.
    static void WaitIdle() { std::this_thread::sleep_for(std::chrono::milliseconds(80)); }
    // Waits for key number `n` and returns when it arrived.
    SteadyClock::time_point WaitKey(int n) {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return keys >= n; });
        return lastKey;
    }
};

void Percentiles(benchmark::State& state, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    state.counters["max_us"] = us.back();
}

// Hook down: delivered as soon as its report is read.
void BM_ReportToDispatch(benchmark::State& state) {
    Rig rig;
    std::vector<double> us;
    int n = 0;
    for (auto _ : state) {
        Rig::WaitIdle();
        const auto t0 = SteadyClock::now();
        rig.sim.hidBus.handset().HookDown();
        const auto t1 = rig.WaitKey(++n);
        const double d = std::chrono::duration<double, std::micro>(t1 - t0).count();
        us.push_back(d);
        state.SetIterationTime(d / 1e6);
    }
    Percentiles(state, us);
}
BENCHMARK(BM_ReportToDispatch)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);

// A short press: the key is delivered when the release report is read.
void BM_ReleaseToDispatch(benchmark::State& state) {
    Rig rig;
    std::vector<double> us;
    int n = 0;
    for (auto _ : state) {
        rig.sim.hidBus.handset().Press(8);
        Rig::WaitIdle();
        const auto t0 = SteadyClock::now();
        rig.sim.hidBus.handset().Release();
        const auto t1 = rig.WaitKey(++n);
        const double d = std::chrono::duration<double, std::micro>(t1 - t0).count();
        us.push_back(d);
        state.SetIterationTime(d / 1e6);
        Rig::WaitIdle();
    }
    Percentiles(state, us);
}
BENCHMARK(BM_ReleaseToDispatch)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);

// The handset idle for two seconds (and then flashing its LED for two): how
// often the device threads run.
void BM_IdleWakeups(benchmark::State& state) {
    Rig rig;
    const bool flashing = state.range(0) != 0;
    if (flashing)
        rig.app.device.NewWriteCmd(CMD_LED_FLASH_500MS, 0, 0, 0);
    double perSecond = 0;
    for (auto _ : state) {
        const long before = OtherThreadSwitches();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        perSecond = (OtherThreadSwitches() - before) / 2.0;
    }
    state.counters["wakeups_per_s"] = perSecond;
    state.counters["threads"] =
        static_cast<double>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                          std::filesystem::directory_iterator{}));
}
BENCHMARK(BM_IdleWakeups)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vocastra
