// The calls the settings pages make into other subsystems (audio, handset),
// as connection points that the composition root fills.
#pragma once
#include <string>
#include <vector>

#include "app/connection_points.h"

namespace vocastra {

// The system's default sound devices by name ("Playback", "Record").
struct SoundDeviceNames {
    std::string playback;
    std::string record;
};

struct SettingsLinks {
    explicit SettingsLinks(const ConnectionOwner& log);

    // Product names of the wave-out / wave-in devices, in device-id order.
    ConnectionPoint<std::vector<std::string>()> GetWaveOutDeviceNames;
    ConnectionPoint<std::vector<std::string>()> GetWaveInDeviceNames;
    ConnectionPoint<SoundDeviceNames()> GetSystemDefaultSoundDevices;
    ConnectionPoint<void(std::string, std::string)> SetSystemDefaultSoundDevices;
    // The handset's playback / recording level 0..31 (the mixer faders).
    ConnectionPoint<void(int)> SetAudioOutLevel;
    ConnectionPoint<void(int)> SetAudioInLevel;
    // The Sound control panel on its playback / recording tab.
    ConnectionPoint<void()> OpenPlaybackDevicesPanel;
    ConnectionPoint<void()> OpenRecordingDevicesPanel;
    // The handset's playback device name, as the main window holds it.
    ConnectionPoint<std::string()> GetOutDeviceName;
    // The client's ring tone follows the ring-tone settings.
    ConnectionPoint<void()> SetSkypeRingTone;
    // A command to the handset.
    ConnectionPoint<void(int, int, int, int)> NewWriteCmd;
};

}  // namespace vocastra
