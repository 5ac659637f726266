// Fuzz target: input reports from the handset as the key pipeline reads them
// (any length, any id, any scan code), split into reports by a length byte,
// with the long-press timer firing in between. Nothing may crash, and only
// key codes a handset can produce may reach the modes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/messages.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vocastra;
    static SimPlatform* sim = [] {
        auto* s = new SimPlatform("/nonexistent-vocastra-fuzz/");
        s->hidBus.SetBlockingReads(false);
        return s;
    }();
    Application app(sim->MakePorts());
    app.device.SetThreadsEnabled(false);
    bool bad = false;
    app.device.keys.points.DispatchKeyToMode.Fill([&](int k) {
        const bool shortKey = k >= KEY_0 && k <= KEY_CLEAR;
        const bool longKey = k >= KEY_0 + KEY_LONG_OFFSET && k <= KEY_CLEAR + KEY_LONG_OFFSET;
        if (!shortKey && !longKey)
            bad = true;
    });
    sim->mainWindow.SetHandler([&](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        return app.HandleMessage(m, w, l) ? 1 : 0;
    });
    sim->hidBus.Plug();
    app.dlg.OnInitDialog();
    for (size_t i = 0; i < size;) {
        const size_t len = std::min<size_t>(data[i] % 40, size - i - 1);
        sim->hidBus.handset().SendRaw(std::vector<uint8_t>(data + i + 1, data + i + 1 + len));
        i += 1 + len;
        PumpHandset(app, *sim);
        if (len % 3 == 0)
            sim->fakeClock.Advance(700);  // lets long presses happen
        PumpHandset(app, *sim);
    }
    sim->hidBus.Unplug();
    sim->mainWindow.SetHandler(nullptr);
    if (bad)
        __builtin_trap();
    return 0;
}
