// A key's tone with the real threads on the real clock: from the handset's
// release report (a short press is a key when it is let go) until the key
// tone's first buffer is on the handset's playback device.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "audio/wave.h"
#include "device/key_codes.h"
#include "platform/sim/sim_platform.h"
#include "run_dir.h"

namespace vocastra {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct KeyToneRig {
    BenchRunDir runDir;
    std::string dir = runDir.path;
    SimPlatform sim{dir, /*realTime=*/true};
    Application app{sim.MakePorts()};
    std::mutex mutex;
    std::condition_variable cv;
    int tones = 0;
    SteadyClock::time_point lastTone;
    int scan5 = -1;

    KeyToneRig() {
        CWave w;  // a 150 ms tone's worth of samples
        w.m_Format = WaveFormat{1, 1, 16000, 32000, 2, 16, 0};
        w.Allocate(2400, 2);
        for (const char* f : {"5.wav", "0.wav"})
            sim.fileSystem.WriteWholeFile(dir + f, w.Store());
        sim.sound.AddCard(MakeHandsetSoundCard("USB Phone"));
        app.g_Settings.VAL_ENABLE_KEYTONE = 1;
        // Played as the pipeline plays it, then time-stamped.
        auto& kp = app.device.keys.points;
        kp.StartPlayKeyTone.Fill([this](std::string path) {
            app.audio.tones.StartPlayKeyTone(path, "USB Phone");
            std::lock_guard lock(mutex);
            ++tones;
            lastTone = SteadyClock::now();
            cv.notify_all();
        });
        for (int i = 0; i < kKeyScanCount; ++i)
            if (app.g_Settings.VAL_KEYSCAN[i] == KEY_5)
                scan5 = i + 1;
        sim.hidBus.Plug();
        app.dlg.OnInitDialog();
        sim.hidBus.handset().Start();
        WaitIdle();
    }
    static void WaitIdle() { std::this_thread::sleep_for(std::chrono::milliseconds(80)); }
    SteadyClock::time_point WaitTone(int n) {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return tones >= n; });
        return lastTone;
    }
};

void BM_KeyReleaseToKeyTone(benchmark::State& state) {
    KeyToneRig rig;
    if (rig.scan5 < 0) {
        state.SkipWithError("no scan code gives key 5");
        return;
    }
    std::vector<double> us;
    int n = 0;
    for (auto _ : state) {
        rig.sim.hidBus.handset().Press(rig.scan5);
        KeyToneRig::WaitIdle();
        const auto t0 = SteadyClock::now();
        rig.sim.hidBus.handset().Release();
        const auto t1 = rig.WaitTone(++n);
        const double d = std::chrono::duration<double, std::micro>(t1 - t0).count();
        us.push_back(d);
        state.SetIterationTime(d / 1e6);
        KeyToneRig::WaitIdle();
    }
    std::sort(us.begin(), us.end());
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    state.counters["max_us"] = us.back();
}
BENCHMARK(BM_KeyReleaseToKeyTone)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vocastra
