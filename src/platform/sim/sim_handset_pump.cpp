#include "platform/sim/sim_handset_pump.h"

#include "app/application.h"
#include "platform/sim/sim_platform.h"

namespace vocastra {

int PumpHandset(Application& app, SimPlatform& sim) {
    int handled = 0;
    for (;;) {
        int round = 0;
        while (sim.hidBus.PendingInputReports() > 0 && app.device.transport.IsReadHandleValid()) {
            app.device.keys.ProcessReport();
            ++round;
        }
        round += sim.mainWindow.Pump();
        while (app.device.keys.ProcessNextKey())
            ++round;
        if (round == 0)
            return handled;
        handled += round;
    }
}

}  // namespace vocastra
