#include "app/application.h"

#include "app/log.h"

namespace vocastra {

Application::Application(const Ports& p)
    : ports(p),
      settingsStore(g_Settings, p.profile, p.modulePath, p.registry),
      dlg(settingsStore, p.clock, p.registry, flags, connectionLog) {
    SetLogSink(&p.logSink);
}

void Application::PrepareInstance() {
    settingsStore.Ini().SetFileName(settingsStore.SettingsFilePath());
}

}  // namespace vocastra
