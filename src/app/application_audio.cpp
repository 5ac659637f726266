// Wiring of the audio subsystem: the handset's device names and mixers for
// the main window, the volume for the keys, the client link, the modes and
// the settings pages.
#include "app/application.h"
#include "audio/sound_devices.h"

namespace vocastra {

void Application::ConnectAudio() {
    AudioMixers& mx = audio.mixers;
    auto& pt = dlg.points;
    pt.GetUsbPhoneWaveOutDeviceName.Fill([this] {
        std::string name;
        GetUsbPhoneWaveOutDeviceName(audio.ctx, name);
        return name;
    });
    pt.GetUsbPhoneWaveInDeviceName.Fill([this] {
        std::string name;
        GetUsbPhoneWaveInDeviceName(audio.ctx, name);
        return name;
    });
    pt.InitializeMixers.Fill(
        [this](std::string name) { audio.mixers.InitializeMixers(name, g_Settings); });
    pt.StartRingTone.Fill([this] {
        audio.tones.StartRingTone(g_Settings, settingsStore.GetModuleDirectory(),
                                  dlg.OutDeviceName());
    });
    pt.StopRingTone.Fill([this] { audio.tones.StopRingTone(); });
    // Key tones: the pipeline holds the write device's lock around both.
    auto& kp = device.keys.points;
    kp.StopKeyTone.Fill([this] { audio.tones.StopKeyTone(); });
    kp.StartPlayKeyTone.Fill([this](std::string path) {
        audio.tones.StartPlayKeyTone(path, device.keys.OutDeviceName());
    });
    pt.AudioOutMuteSwitch.Fill([&mx] { return int(mx.g_AudioOutMute.GetSwitchValue()); });
    pt.AudioInMuteSwitch.Fill([&mx] { return int(mx.g_AudioInMute.GetSwitchValue()); });

    // Every road to the playback level ends at the same fader.
    auto setOut = [&mx](int value, int type) { mx.g_AudioOutMixer.SetFaderValue(value, type); };
    device.keys.points.SetFaderValue.Fill(setOut);
    skype.points.SetFaderValue.Fill(setOut);
    skype.points.GetAudioOutVolume.Fill([&mx] { return mx.GetAudioOutVolume(); });
    modes.links.SetAudioOutFaderValue.Fill(setOut);

    SettingsLinks& sl = settingsUi.links;
    sl.GetWaveOutDeviceNames.Fill([this] { return ListWaveOutProductNames(ports.waveOut); });
    sl.GetWaveInDeviceNames.Fill([this] { return ListWaveInProductNames(ports.waveOut); });
    sl.GetSystemDefaultSoundDevices.Fill([this] {
        SoundDeviceNames n;
        GetSystemDefaultSoundDevices(ports.registry, n.playback, n.record);
        return n;
    });
    sl.SetSystemDefaultSoundDevices.Fill([this](std::string playback, std::string record) {
        SetSystemDefaultSoundDevices(ports.registry, playback, record);
    });
    sl.SetAudioOutLevel.Fill([&mx](int level) { mx.g_AudioOutMixer.SetFaderValue(level, 4); });
    sl.SetAudioInLevel.Fill([&mx](int level) { mx.g_AudioInMixer.SetFaderValue(level, 4); });
    sl.OpenPlaybackDevicesPanel.Fill([this] { OpenPlaybackDevicesPanel(ports.shell); });
    sl.OpenRecordingDevicesPanel.Fill([this] { OpenRecordingDevicesPanel(ports.shell); });
    sl.GetOutDeviceName.Fill([this] { return dlg.OutDeviceName(); });
    sl.SetSkypeRingTone.Fill([this] { skype.points.SetSkypeRingTone(); });
}

}  // namespace vocastra
