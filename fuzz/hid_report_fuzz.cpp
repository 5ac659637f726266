// Fuzz target: input reports from the handset as the key pipeline reads them
// (any length, any id, any scan code), split into reports by a length byte,
// with the long-press timer firing in between. Nothing may crash, and only
// key codes a handset can produce may reach the modes.
//
// The program is built once: each input plugs the handset in, sends its
// reports and unplugs it again, and the clock and the main window's timers
// go back to where they stood before the first input, so a finding
// reproduces from its file alone. With VOCASTRA_FUZZ_DIGEST set, a digest of
// what each input made the program log and pass on goes to stderr: the same
// file must give the same digest alone and after any other ("lines": and
// each line logged).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "app/messages.h"
#include "common/digest.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"

namespace {

using namespace vocastra;

class Harness {
  public:
    Harness() : app(sim.MakePorts()), digesting(std::getenv("VOCASTRA_FUZZ_DIGEST") != nullptr) {
        sim.hidBus.SetBlockingReads(false);
        app.device.SetThreadsEnabled(false);
        app.device.keys.points.DispatchKeyToMode.Fill([this](int k) {
            const bool shortKey = k >= KEY_0 && k <= KEY_CLEAR;
            const bool longKey = k >= KEY_0 + KEY_LONG_OFFSET && k <= KEY_CLEAR + KEY_LONG_OFFSET;
            if (!shortKey && !longKey)
                __builtin_trap();
            if (digesting)
                digest.Add("key " + std::to_string(k));
        });
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        // Started with the handset in, as the program usually is, then
        // unplugged: the state every input starts from.
        sim.hidBus.Plug();
        app.dlg.OnInitDialog();
        PumpHandset(app, sim);
        sim.hidBus.Unplug();
        PumpHandset(app, sim);
        // The once-a-second redraw of an unchanged screen is not what this
        // target reads, yet it took most of each run: the language target
        // covers the drawing.
        sim.mainWindow.KillTimer(TIMER_DISPLAY_REFRESH);
        m_tick = sim.fakeClock.GetTickCount();
        m_timers = sim.mainWindow.SaveTimers();
        Reset();
        if (digesting) {
            const bool lines = std::string_view(std::getenv("VOCASTRA_FUZZ_DIGEST")) == "lines";
            sim.logSink.SetObserver([this, lines](const std::string& line) {
                digest.Add(line);
                if (lines)
                    std::fprintf(stderr, "log %s\n", line.c_str());
            });
        }
    }

    void Run(const uint8_t* data, size_t size) {
        digest = Digest();
        sim.hidBus.Plug();
        PumpHandset(app, sim);
        for (size_t i = 0; i < size;) {
            const size_t len = std::min<size_t>(data[i] % 40, size - i - 1);
            sim.hidBus.handset().SendRaw(std::vector<uint8_t>(data + i + 1, data + i + 1 + len));
            i += 1 + len;
            PumpHandset(app, sim);
            if (len % 3 == 0)
                sim.fakeClock.Advance(700);  // lets long presses happen
            PumpHandset(app, sim);
        }
        sim.hidBus.Unplug();
        PumpHandset(app, sim);
        if (digesting)
            std::fprintf(stderr, "digest %016llx\n", static_cast<unsigned long long>(digest.h));
        Reset();
    }

    SimPlatform sim{"/nonexistent-vocastra-fuzz/"};
    Application app;
    const bool digesting;
    Digest digest;

  private:
    void Reset() {
        sim.fakeClock.SetTick(m_tick);
        sim.mainWindow.RestoreTimers(m_timers);
        // The program keeps what it last sent to the screen until a handset
        // reports its start, which an input need not send: the canvas and
        // the record of sent lines start blank every time.
        app.display.Create();
        app.display.InvalidateLineCache();
        // What the simulated handset and tray keep a record of would grow
        // run after run.
        sim.logSink.Clear();
        sim.hidBus.handset().ClearTrace();
        sim.trayIcon.ClearRecords();
    }

    uint32_t m_tick = 0;
    std::map<uint32_t, SimMainWindow::Timer> m_timers;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness* harness = new Harness();
    harness->Run(data, size);
    return 0;
}
