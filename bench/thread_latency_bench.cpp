// The program's threads against the polling loops they replaced, in the same
// run, on the real clock: a key on the handset to the command it causes at
// the client, a notification of the client to the handset report it causes,
// and how often the threads wake while everything is idle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "app/application.h"
#include "device/key_codes.h"
#include "device/report_protocol.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_platform.h"
#include "polling_loops.h"
#include "run_dir.h"
#include "thread_switches.h"

namespace vocastra {
namespace {

using SteadyClock = std::chrono::steady_clock;

enum class Design { Events, Polling };

// The program started with the handset connected and started and the
// client attached, on the real clock. With Design::Polling the device
// threads and the receive thread are not started; PollingLoops runs their
// steps instead.
struct Rig {
    BenchRunDir dir;
    SimPlatform sim{(std::filesystem::copy(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language",
                                           dir.path + "Language"),
                     dir.path),
                    /*realTime=*/true};
    Application app{sim.MakePorts()};
    std::unique_ptr<PollingLoops> loops;

    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::pair<std::string, SteadyClock::time_point>> seen;  // wire events

    explicit Rig(Design design) {
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        sim.hidBus.handset().SetTraceSink([this](const std::string& line) { Mark(line); });
        sim.skypeClient.SetCommandObserver([this](const std::string& c) { Mark(c); });
        // Where a key's time goes: the read thread's handling, the key thread's.
        sim.logSink.SetObserver([this](const std::string& line) {
            if (line.rfind("Received Hardware Key Code", 0) == 0)
                Mark("READ");
            else if (line.rfind("Received skype message", 0) == 0)
                Mark("RECEIVED");
            else if (line.rfind("SwitchMode:", 0) == 0)
                Mark(line);
        });
        app.device.keys.points.DispatchKeyToMode.Fill([this](int key) {
            Mark("MODE");
            app.modes.DispatchKeyToMode(key);
        });
        sim.skypeClient.SetAutoReply(false);
        if (design == Design::Polling) {
            app.device.SetThreadsEnabled(false);
            app.skype.SetReceiveThreadEnabled(false);
        }
        sim.hidBus.Plug();
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        if (design == Design::Polling) {
            loops = std::make_unique<PollingLoops>(app, sim.clock());
            loops->Start();
        }
        sim.skypeClient.Deliver();  // the attach
        sim.mainWindow.Pump();
        sim.hidBus.handset().Start();
        WaitUntil([&] { return app.modes.CurrentMode() == MODE_MAIN; });
        Quiet();
    }
    ~Rig() {
        if (loops)
            loops->Stop();
        app.device.StopThreads();
        app.skype.Stop();
    }

    void Mark(const std::string& what) {
        const auto now = SteadyClock::now();
        std::lock_guard lock(mutex);
        seen.emplace_back(what, now);
        cv.notify_all();
    }
    void Forget() {
        std::lock_guard lock(mutex);
        seen.clear();
    }
    // The time of the first wire event starting with `prefix` since Forget.
    SteadyClock::time_point WaitFor(const std::string& prefix) {
        std::unique_lock lock(mutex);
        for (std::size_t i = 0;; ++i) {
            cv.wait(lock, [&] { return i < seen.size(); });
            if (seen[i].first.compare(0, prefix.size(), prefix) == 0)
                return seen[i].second;
        }
    }
    // Set-up only: the state wanted is reached by other threads, in steps
    // the bench cannot see.
    template <typename Pred>
    static void WaitUntil(Pred pred) {
        while (!pred())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Lets the loops' pauses and the last batch pass.
    void Quiet() {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        app.skype.WaitUntilIdle();
    }
    void Notify(const std::string& text) { app.skype.OnCopyData(sim.skypeClient.Peer(), text); }
};

struct Figures {
    double median = 0, p99 = 0;
};

Figures Percentiles(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 99 / 100)]};
}

// A varying gap between samples, so that the samples fall at every phase of
// the polling loops.
void Gap(int i) {
    std::this_thread::sleep_for(std::chrono::microseconds(20000 + (i * 7919) % 25000));
}

void Report(benchmark::State& state, const char* name, const Figures& ours, const Figures& base) {
    const std::string n = name;
    state.counters[n + "_median_us"] = ours.median;
    state.counters[n + "_p99_us"] = ours.p99;
    state.counters[n + "_base_median_us"] = base.median;
    state.counters[n + "_base_p99_us"] = base.p99;
    state.counters[n + "_p99_ratio"] = base.p99 / ours.p99;
}

double Us(SteadyClock::time_point from, SteadyClock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

int ScanCodeOf(Rig& rig, int32_t key) {
    for (int s = 1; s <= kKeyScanCount; ++s)
        if (ScanToKey(rig.app.g_Settings, s) == key)
            return s;
    std::abort();
}

// A digit during a call: from its release report on the bus to the DTMF
// command at the client, and to the two steps on the way (the read thread
// handling the report, the key thread handing the key to the mode).
struct KeyFigures {
    std::vector<double> command, read, mode;
};

KeyFigures DigitToDtmf(Design design, int samples) {
    Rig rig(design);
    rig.Notify("CALL 7 STATUS RINGING");
    rig.Notify("CALL 7 STATUS INPROGRESS");
    Rig::WaitUntil([&] { return rig.app.modes.CurrentMode() == MODE_TALKING; });
    rig.Quiet();
    const int scan = ScanCodeOf(rig, KEY_5);
    KeyFigures f;
    for (int i = 0; i < samples; ++i) {
        rig.sim.hidBus.handset().Press(scan);
        Gap(i);
        rig.Forget();
        const auto t0 = SteadyClock::now();
        rig.sim.hidBus.handset().Release();
        f.command.push_back(Us(t0, rig.WaitFor("SET CALL 7 DTMF 5")));
        f.read.push_back(Us(t0, rig.WaitFor("READ")));
        f.mode.push_back(Us(t0, rig.WaitFor("MODE")));
    }
    return f;
}

void BM_DigitToDtmfCommand(benchmark::State& state) {
    for (auto _ : state) {
        const KeyFigures ours = DigitToDtmf(Design::Events, 300);
        const KeyFigures base = DigitToDtmf(Design::Polling, 300);
        Report(state, "key", Percentiles(ours.command), Percentiles(base.command));
        const Figures read = Percentiles(ours.read), mode = Percentiles(ours.mode);
        state.counters["key_read_median_us"] = read.median;
        state.counters["key_read_p99_us"] = read.p99;
        state.counters["key_mode_median_us"] = mode.median;
        state.counters["key_mode_p99_us"] = mode.p99;
    }
}
BENCHMARK(BM_DigitToDtmfCommand)->Iterations(1)->Unit(benchmark::kMillisecond);

// The handset lifted while a call rings: from the release report of the
// hook to the answer command at the client. The key tone starts on the way.
std::vector<double> HookUpToAnswer(Design design, int samples) {
    Rig rig(design);
    const int scan = ScanCodeOf(rig, KEY_HOOKUP);
    std::vector<double> us;
    for (int i = 0; i < samples; ++i) {
        const std::string call = std::to_string(500 + i);
        rig.Notify("CALL " + call + " STATUS RINGING");
        Rig::WaitUntil([&] { return rig.app.modes.CurrentMode() == MODE_RINGING; });
        rig.sim.hidBus.handset().Press(scan);
        Gap(i);
        rig.Forget();
        const auto t0 = SteadyClock::now();
        rig.sim.hidBus.handset().Release();
        us.push_back(Us(t0, rig.WaitFor("SET CALL " + call + " STATUS INPROGRESS")));
        rig.Notify("CALL " + call + " STATUS MISSED");
        Rig::WaitUntil([&] { return rig.app.modes.CurrentMode() == MODE_MAIN; });
        rig.app.skype.WaitUntilIdle();
    }
    return us;
}

void BM_HookUpToAnswerCommand(benchmark::State& state) {
    for (auto _ : state) {
        const Figures ours = Percentiles(HookUpToAnswer(Design::Events, 200));
        const Figures base = Percentiles(HookUpToAnswer(Design::Polling, 200));
        Report(state, "hookup", ours, base);
    }
}
BENCHMARK(BM_HookUpToAnswerCommand)->Iterations(1)->Unit(benchmark::kMillisecond);

// A call ringing while the handset idles: from the notification handed to
// the link window to the first display page and to the first LED report.
struct RingFigures {
    std::vector<double> display, led, received, switched;
};

RingFigures RingingToHandset(Design design, int samples) {
    Rig rig(design);
    RingFigures f;
    for (int i = 0; i < samples; ++i) {
        const std::string call = std::to_string(100 + i);
        rig.Forget();
        const auto t0 = SteadyClock::now();
        rig.Notify("CALL " + call + " STATUS RINGING");
        f.display.push_back(Us(t0, rig.WaitFor("HANDSET <- PAGE")));
        f.led.push_back(Us(t0, rig.WaitFor("HANDSET <- CMD_LED")));
        f.received.push_back(Us(t0, rig.WaitFor("RECEIVED")));
        f.switched.push_back(Us(t0, rig.WaitFor("SwitchMode:" + std::to_string(MODE_RINGING))));
        rig.app.skype.WaitUntilIdle();
        rig.Notify("CALL " + call + " STATUS MISSED");
        rig.app.skype.WaitUntilIdle();
        Gap(i);
    }
    return f;
}

void BM_RingingToHandsetReports(benchmark::State& state) {
    for (auto _ : state) {
        const RingFigures ours = RingingToHandset(Design::Events, 200);
        const RingFigures base = RingingToHandset(Design::Polling, 200);
        Report(state, "display", Percentiles(ours.display), Percentiles(base.display));
        Report(state, "led", Percentiles(ours.led), Percentiles(base.led));
        const Figures received = Percentiles(ours.received), switched = Percentiles(ours.switched);
        state.counters["ring_received_median_us"] = received.median;
        state.counters["ring_received_p99_us"] = received.p99;
        state.counters["ring_switch_median_us"] = switched.median;
        state.counters["ring_switch_p99_us"] = switched.p99;
    }
}
BENCHMARK(BM_RingingToHandsetReports)->Iterations(1)->Unit(benchmark::kMillisecond);

// What the user-interface thread does while idle: the main window's timers
// when they fall due (the one-second display refresh) and the link window's
// keep-alive every 3 s, whose answer it hands to the program.
class UiTimers {
  public:
    explicit UiTimers(Rig& rig) : m_rig(rig), m_thread([this] { Run(); }) {}
    ~UiTimers() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

  private:
    void Run() {
        auto nextPing = SteadyClock::now() + std::chrono::milliseconds(kSkypePingPeriodMs);
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            const uint32_t ms = m_rig.sim.mainWindow.MsUntilNextTimer();
            const auto due =
                ms == UINT32_MAX
                    ? nextPing
                    : std::min(nextPing, SteadyClock::now() + std::chrono::milliseconds(ms));
            if (m_cv.wait_until(lock, due, [this] { return m_stop; }))
                break;
            lock.unlock();
            m_rig.sim.mainWindow.Pump();
            if (SteadyClock::now() >= nextPing) {
                m_rig.sim.skypeClient.FireTimer();
                m_rig.sim.skypeClient.Deliver();
                nextPing += std::chrono::milliseconds(kSkypePingPeriodMs);
            }
            lock.lock();
        }
    }

    Rig& m_rig;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::thread m_thread;
};

constexpr int kIdleSeconds = 4;
// With the user-interface thread: four keep-alive periods, so the count does
// not depend on where the window falls in the keep-alive's cycle.
constexpr int kIdleUiSeconds = 4 * kSkypePingPeriodMs / 1000;

double IdleWakeupsPerSecond(Design design, bool uiTimers) {
    Rig rig(design);
    rig.sim.skypeClient.SetAutoReply(true);  // the keep-alive is answered
    rig.sim.mainWindow.Pump();               // what start-up posted
    std::unique_ptr<UiTimers> ui;
    const long before = OtherThreadSwitches();
    if (uiTimers)
        ui = std::make_unique<UiTimers>(rig);
    const int seconds = uiTimers ? kIdleUiSeconds : kIdleSeconds;
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long after = OtherThreadSwitches();
    return static_cast<double>(after - before) / seconds;
}

// Handset connected and idle, client attached and silent: the device and
// receive threads alone, and with the user-interface thread's timers.
void BM_IdleWakeupsAllThreads(benchmark::State& state) {
    for (auto _ : state) {
        const double ours = IdleWakeupsPerSecond(Design::Events, false);
        const double base = IdleWakeupsPerSecond(Design::Polling, false);
        const double oursUi = IdleWakeupsPerSecond(Design::Events, true);
        const double baseUi = IdleWakeupsPerSecond(Design::Polling, true);
        state.counters["wakeups_per_s"] = ours;
        state.counters["base_wakeups_per_s"] = base;
        state.counters["ratio"] = ours > 0 ? base / ours : base;
        state.counters["ui_wakeups_per_s"] = oursUi;
        state.counters["ui_base_wakeups_per_s"] = baseUi;
        state.counters["ui_ratio"] = oursUi > 0 ? baseUi / oursUi : baseUi;
    }
}
BENCHMARK(BM_IdleWakeupsAllThreads)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vocastra
