// The assembled program on one thread, as the simulator runs it: the handset
// plugged in, the client signed in. Tests of the wiring derive from it.
#pragma once
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra::test {

struct WholeProgram : ::testing::Test {
    TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};

    WholeProgram() {
        app.device.SetThreadsEnabled(false);
        app.skype.SetManualThreads(true);
        app.dialler.SetManualThreads(true);
        sim.hidBus.SetBlockingReads(false);
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        sim.skypeClient.LoadDefaultSession();
    }
    void Start(bool plugged = true) {
        if (plugged)
            sim.hidBus.Plug();
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        Settle();
        if (plugged) {
            sim.hidBus.handset().Start();
            Settle();
        }
    }
    void Settle() {
        for (int done = 1; done > 0;) {
            done = PumpHandset(app, sim) + sim.skypeClient.Deliver();
            while (app.skype.ProcessNotification())
                ++done;
        }
    }
    // Commands the client received that start with `prefix`.
    std::vector<std::string> ClientGot(const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& c : sim.skypeClient.Commands())
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        return out;
    }
    void GiveDeviceNames(std::string out, std::string in) {
        app.dlg.points.GetUsbPhoneWaveOutDeviceName.Fill([out] { return out; });
        app.dlg.points.GetUsbPhoneWaveInDeviceName.Fill([in] { return in; });
    }
};

}  // namespace vocastra::test
