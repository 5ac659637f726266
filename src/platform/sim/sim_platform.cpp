#include "platform/sim/sim_platform.h"

#include "app/settings.h"
#include "device/handset_device.h"

namespace vocastra {

SimPlatform::SimPlatform(const std::string& programDir, bool rt)
    : realTime(rt),
      modulePath(programDir + "vocastra.exe"),
      mainWindow(clock()),
      hidBus(clock(), kHandsetVendorId, kHandsetProductId),
      popupMenu(mainWindow) {
    // A signed-in Windows user always has the Run key.
    registry.CreateKey(RegistryRoot::CurrentUser, kRunKey);
    // Calls in progress report their duration on the platform's clock.
    skypeClient.SetClock(&clock());
}

Ports SimPlatform::MakePorts() {
    return Ports{clock(),    logSink,       profile,      registry,    modulePath,
                 mainWindow, *textRenderer, hidBus,       skypeClient, *collator,
                 windows,    trayIcon,      shell,        osVersion,   fileSystem,
                 messageBoxes, popupMenu,   settingSheet, fileDialog,
                 sound.mixer, sound.endpoints, sound.waveOut};
}

}  // namespace vocastra
