#include "app/application.h"

#include "app/log.h"

namespace vocastra {
namespace {
// The members log while they are built: the sink must be in place first.
const Ports& InstallLogSink(const Ports& p) {
    SetLogSink(&p.logSink);
    return p;
}
}  // namespace

Application::Application(const Ports& p)
    : ports(InstallLogSink(p)),
      settingsStore(g_Settings, p.profile, p.modulePath, p.registry),
      dlg(settingsStore, p.clock, p.registry, flags, connectionLog),
      device(p.hidBus, settingsStore, flags, p.mainWindow, p.clock, dlg, connectionLog),
      skype({p.skypeWire, p.mainWindow, p.clock, p.collator, p.profile, settingsStore, flags,
             connectionLog}) {
    ConnectSkype();
}

Application::~Application() {
    // The threads are stopped first: they may log until they end.
    device.StopThreads();
    skype.Stop();
    SetLogSink(nullptr);
}

void Application::PrepareInstance() {
    settingsStore.Ini().SetFileName(settingsStore.SettingsFilePath());
}

}  // namespace vocastra
