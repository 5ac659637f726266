// Drives the handset subsystem by hand on the simulated platform, for tests
// and scripted runs that keep the device threads off: every input report the
// virtual handset sent is read and handled, due main-window messages and
// timers are delivered, and every queued key is processed, until nothing
// is left to do.
#pragma once

namespace vocastra {

class Application;
struct SimPlatform;

// Returns how many input reports, messages and keys were handled.
int PumpHandset(Application& app, SimPlatform& sim);

}  // namespace vocastra
