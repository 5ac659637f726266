// A program on the sim platform with the virtual handset, the device threads
// off: tests feed reports, move the fake clock and pump.
#pragma once
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra::test {

struct HandsetFixture : ::testing::Test {
    TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    HandsetDevice& dev = app.device;
    VirtualHandset& handset = sim.hidBus.handset();

    HandsetFixture() {
        dev.SetThreadsEnabled(false);
        sim.hidBus.SetBlockingReads(false);
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        // The keys and redraws the pipeline hands on are recorded here rather
        // than run by the modes: these tests look at the pipeline alone.
        auto& p = dev.keys.points;
        p.DispatchKeyToMode.Fill([this](int key) {
            app.connectionLog.Record("DispatchKeyToMode " + std::to_string(key));
        });
        p.RefreshDisplay.Fill([this] { app.connectionLog.Record("RefreshDisplay"); });
        app.dlg.points.UpdateTrayIcon.Fill([this] { app.connectionLog.Record("UpdateTrayIcon"); });
    }
    // Plugs the handset and starts the program; forgets what start-up did.
    void Start(SimHidBus::Collections c = SimHidBus::Collections::Both) {
        sim.hidBus.Plug(c);
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        handset.ClearTrace();
        app.connectionLog.Clear();
        sim.logSink.Clear();
    }
    void Pump() { PumpHandset(app, sim); }
    void Advance(uint32_t ms) {
        sim.fakeClock.Advance(ms);
        Pump();
    }
    // Press scan code `scan`, hold it `ms`, release.
    void Tap(int scan, uint32_t ms = 100) {
        handset.Press(scan);
        Pump();
        Advance(ms);
        handset.Release();
        Pump();
    }
    // The calls recorded at the connection point `name` ("DispatchKeyToMode 5" -> "5").
    std::vector<std::string> Calls(const std::string& name) {
        std::vector<std::string> out;
        for (const auto& l : app.connectionLog.Lines())
            if (l.rfind(name + " ", 0) == 0)
                out.push_back(l.substr(name.size() + 1));
            else if (l == name)
                out.push_back("");
        return out;
    }
    std::vector<std::string> Keys() { return Calls("DispatchKeyToMode"); }
    int LogCount(const std::string& text) {
        int n = 0;
        for (const auto& l : sim.logSink.Lines())
            n += l.find(text) != std::string::npos;
        return n;
    }
};

}  // namespace vocastra::test
