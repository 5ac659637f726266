#include "device/device_change.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/log.h"
#include "app/vocastra_dlg.h"
#include "device/handset_commands.h"
#include "device/key_codes.h"
#include "device/key_pipeline.h"
#include "device/usb_hid_device.h"

namespace vocastra {

DeviceChange::Points::Points(const ConnectionOwner& log)
    : SetSkypeAudioDevices(log, "SetSkypeAudioDevices"), HandsetRemoved(log, "HandsetRemoved") {}

DeviceChange::DeviceChange(HidTransport& transport, HandsetCommands& commands, KeyPipeline& keys,
                           CVocastraDlg& dlg, AppFlags& flags, ConnectionLog& log)
    : points({log, "device.deviceChange.points"}),
      m_transport(transport),
      m_commands(commands),
      m_keys(keys),
      m_dlg(dlg),
      m_flags(flags) {}

bool DeviceChange::IsHandsetPath(const std::string& path) const {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    char vid[16], pid[16];
    std::snprintf(vid, sizeof vid, "vid_%04x", unsigned{m_transport.VendorId()});
    std::snprintf(pid, sizeof pid, "pid_%04x", unsigned{m_transport.ProductId()});
    return lower.find(vid) != std::string::npos && lower.find(pid) != std::string::npos;
}

void DeviceChange::OnHidDeviceArrival(const std::string& path) {
    if (!IsHandsetPath(path))
        return;
    std::lock_guard lock(m_DeviceChangeLock);
    std::lock_guard connection(m_transport.ConnectionMutex());
    LogRaw("DBT_DEVICEARRIVAL: Start Connect");
    m_flags.m_bReconnecting = 1;
    m_commands.NewWriteCmd(CMD_CONNECT, 0, 0, 0);
    m_transport.Disconnect(m_transport.g_UsbReadDevice);
    m_keys.CancelPress();
    m_flags.m_bReconnecting = 0;
    LogRaw("Step 1");
    m_transport.Disconnect(m_transport.g_UsbWriteDevice);
    LogRaw("Step 2");
    m_transport.WriteDeviceFirst();
    LogRaw("Step 3");
    m_transport.ReadDeviceFirst();
    m_commands.NewWriteCmd(CMD_CONNECT, 0, 0, 0);
    std::string out = m_dlg.points.GetUsbPhoneWaveOutDeviceName();
    m_dlg.points.InitializeMixers(out);
    std::string in = m_dlg.points.GetUsbPhoneWaveInDeviceName();
    // Both names are stored before the client is told, so it gets the new ones.
    m_dlg.SetDeviceNames(out, in);
    m_keys.SetOutDeviceName(out);
    points.SetSkypeAudioDevices();
    LogPrintA("InDevice=%s, OutDevice=%s", in.c_str(), out.c_str());
}

void DeviceChange::OnHidDeviceRemoval(const std::string& path) {
    if (!IsHandsetPath(path))
        return;
    std::lock_guard lock(m_DeviceChangeLock);
    std::lock_guard connection(m_transport.ConnectionMutex());
    LogRaw("DBT_DEVICEREMOVECOMPLETE: Start Disconnect");
    m_transport.Disconnect(m_transport.g_UsbWriteDevice);
    m_transport.Disconnect(m_transport.g_UsbReadDevice);
    m_keys.CancelPress();
    // Nothing is left to flash: a flasher left running would blink the
    // next handset at idle.
    m_commands.SetFlashPeriod(0);
    m_flags.g_bDeviceStarted = 0;
    points.HandsetRemoved();
    m_dlg.points.UpdateTrayIcon();
}

}  // namespace vocastra
