// Which sound devices are the handset's (the first whose mixer name
// contains "USB"), the system default devices under the Sound Mapper key,
// and the Sound control panel.
#pragma once
#include <string>
#include <vector>

#include "audio/mixer_fader.h"

namespace vocastra {

class Registry;
class Shell;

// The names of the wave-out (wave-in) devices that have a mixer, at most 8.
std::vector<std::string> GetWaveOutSoundDeviceNames(AudioContext& ctx);
std::vector<std::string> GetWaveInSoundDeviceNames(AudioContext& ctx);

// 1 and the name when a handset device was found, else 0 and "".
int GetUsbPhoneWaveOutDeviceName(AudioContext& ctx, std::string& name);
int GetUsbPhoneWaveInDeviceName(AudioContext& ctx, std::string& name);

// Every wave-out / wave-in product name in id order (the settings lists).
std::vector<std::string> ListWaveOutProductNames(WaveOut& waveOut);
std::vector<std::string> ListWaveInProductNames(WaveOut& waveOut);

inline constexpr const char* kSoundMapperKey = "Software\\Microsoft\\Multimedia\\Sound Mapper\\";

int GetSystemDefaultSoundDevices(Registry& registry, std::string& playback, std::string& record);
int SetSystemDefaultSoundDevices(Registry& registry, const std::string& playback,
                                 const std::string& record);

void OpenPlaybackDevicesPanel(Shell& shell);
void OpenRecordingDevicesPanel(Shell& shell);

}  // namespace vocastra
