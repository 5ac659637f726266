// The handset subsystem in one piece: transport, commands, LED flasher, key
// pipeline and device-change handling, wired to the main window's
// connection points. The composition root owns one.
#pragma once
#include <cstdint>

#include "app/settings.h"
#include "device/device_change.h"
#include "device/handset_commands.h"
#include "device/key_pipeline.h"
#include "device/led_flasher.h"
#include "device/usb_hid_device.h"

namespace vocastra {

class HandsetDevice {
  public:
    HandsetDevice(HidBus& bus, SettingsStore& store, AppFlags& flags, MainWindow& mainWindow,
                  Clock& clock, CVocastraDlg& dlg, ConnectionLog& log);
    ~HandsetDevice();

    // When false, the start-up points start no threads: tests and scripted
    // runs drive the read, key and flasher steps themselves.
    void SetThreadsEnabled(bool enabled) { m_threadsEnabled = enabled; }
    void StopThreads();

    // Convenience for the rest of the program: NewWriteCmd on the handset.
    void NewWriteCmd(uint8_t cmd, uint8_t wp1, uint8_t wp2, uint8_t wp3) {
        commands.NewWriteCmd(cmd, wp1, wp2, wp3);
    }

    HidBus& bus;
    HidTransport transport;
    HandsetCommands commands;
    LedFlasher flasher;
    KeyPipeline keys;
    DeviceChange deviceChange;

  private:
    bool m_threadsEnabled = true;
};

}  // namespace vocastra
