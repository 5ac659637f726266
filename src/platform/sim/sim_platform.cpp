#include "platform/sim/sim_platform.h"

#include "app/settings.h"

namespace vocastra {

SimPlatform::SimPlatform(const std::string& programDir, bool rt)
    : realTime(rt), modulePath(programDir + "vocastra.exe"), mainWindow(clock()) {
    // A signed-in Windows user always has the Run key.
    registry.CreateKey(RegistryRoot::CurrentUser, kRunKey);
}

Ports SimPlatform::MakePorts() {
    return Ports{clock(), logSink, profile, registry, modulePath, mainWindow, *textRenderer};
}

}  // namespace vocastra
