// Arrival and removal of the handset's HID interfaces, as the main window
// handles them: an arrival reopens both collections and reconnects, a
// removal closes them and marks the handset as not started. Events for other
// devices are ignored. Runs on the UI thread under m_DeviceChangeLock.
#pragma once
#include <mutex>
#include <string>

#include "app/connection_points.h"
#include "platform/hid_bus.h"

namespace vocastra {

struct AppFlags;
class CVocastraDlg;
class HandsetCommands;
class HidTransport;
class KeyPipeline;

class DeviceChange : public HidDeviceListener {
  public:
    struct Points {
        explicit Points(const ConnectionOwner& log);
        // Tells the client to use the handset's audio devices.
        ConnectionPoint<void()> SetSkypeAudioDevices;
        // The handset went: what its screen showed is lost with it.
        ConnectionPoint<void()> HandsetRemoved;
    } points;

    DeviceChange(HidTransport& transport, HandsetCommands& commands, KeyPipeline& keys,
                 CVocastraDlg& dlg, AppFlags& flags, ConnectionLog& log);

    // True when `path`, lower-cased, names the handset's vendor and product id.
    bool IsHandsetPath(const std::string& path) const;

    void OnHidDeviceArrival(const std::string& path) override;
    void OnHidDeviceRemoval(const std::string& path) override;

  private:
    HidTransport& m_transport;
    HandsetCommands& m_commands;
    KeyPipeline& m_keys;
    CVocastraDlg& m_dlg;
    AppFlags& m_flags;
    std::mutex m_DeviceChangeLock;
};

}  // namespace vocastra
