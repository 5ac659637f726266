#include "device/handset_device.h"

#include "app/vocastra_dlg.h"

namespace vocastra {

HandsetDevice::HandsetDevice(HidBus& b, SettingsStore& store, AppFlags& flags,
                             MainWindow& mainWindow, Clock& clock, CVocastraDlg& dlg,
                             ConnectionLog& log)
    : bus(b),
      transport(b, store.settings()),
      commands(transport),
      flasher(commands, clock),
      keys(transport, commands, store, flags, mainWindow, clock, log),
      deviceChange(transport, commands, keys, dlg, flags, log) {
    auto& p = dlg.points;
    p.RegisterDeviceNotification.Fill([this] { bus.RegisterDeviceNotification(&deviceChange); });
    p.WriteDeviceFirst.Fill([this] { transport.WriteDeviceFirst(); });
    p.ReadDeviceFirst.Fill([this] { transport.ReadDeviceFirst(); });
    p.ClearKeyQueue.Fill([this] { keys.ClearKeyQueue(); });
    p.StartHidReadThread.Fill([this] {
        if (m_threadsEnabled)
            keys.StartHidReadThread();
    });
    p.NewWriteCmd.Fill([this](int cmd, int wp1, int wp2, int wp3) {
        commands.NewWriteCmd(static_cast<uint8_t>(cmd), static_cast<uint8_t>(wp1),
                             static_cast<uint8_t>(wp2), static_cast<uint8_t>(wp3));
    });
    p.StartKeyProcessThread.Fill([this, &dlg] {
        keys.SetOutDeviceName(dlg.OutDeviceName());
        if (m_threadsEnabled)
            keys.StartKeyProcessThread();
    });
    p.StartLedFlashThread.Fill([this] {
        if (m_threadsEnabled)
            flasher.Start();
    });
    p.OnTimer.Fill([this](uint32_t id) { keys.OnTimer(id); });
    // The tray has one update routine, reached through the main window's point.
    keys.points.UpdateTrayIcon.Fill([&dlg] { dlg.points.UpdateTrayIcon(); });
}

HandsetDevice::~HandsetDevice() {
    StopThreads();
    bus.RegisterDeviceNotification(nullptr);
}

void HandsetDevice::StopThreads() {
    keys.StopThreads();
    flasher.Stop();
}

}  // namespace vocastra
