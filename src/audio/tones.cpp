#include "audio/tones.h"

#include "app/log.h"
#include "app/settings.h"

namespace vocastra {

std::string ShippedRingTonePath(const std::string& moduleDir, const std::string& name) {
    return moduleDir + "RingTone\\" + name;
}

bool LoadAndOpen(CWaveOut& player, FileSystem& fs, const std::string& path,
                 const std::string& device) {
    player.Close();
    CWave wave;
    const WaveLoad r = wave.LoadFromFile(fs, path);
    if (r != WaveLoad::Ok) {
        // Where the framework would raise its file error: the tone is
        // skipped and the program goes on.
        LogPrintA("Wave file cannot be played (%s): %s",
                  r == WaveLoad::CannotOpen ? "cannot open" : "invalid file", path.c_str());
        return false;
    }
    player.m_Wave = wave;
    player.m_Device.m_strName = device;
    return player.Open();
}

void AudioTones::StartRingTone(const Settings& s, const std::string& moduleDir,
                               const std::string& outDevice) {
    LogRaw("***************Start Play Incoming Ring Tone***************");
    m_RingToneOut.Close();
    const std::string path = s.VAL_RingTone_Select != 0
                                 ? s.Val_CustomRingTone
                                 : ShippedRingTonePath(moduleDir, s.VAL_RINGTONE);
    if (LoadAndOpen(m_RingToneOut, m_fs, path, outDevice))
        m_RingToneOut.PlayLooped();
}

void AudioTones::StopRingTone() {
    LogRaw("***************Stop Play Incoming Ring Tone***************");
    m_RingToneOut.Close();
}

void AudioTones::StartPlayKeyTone(const std::string& path, const std::string& outDevice) {
    if (LoadAndOpen(m_KeyToneOut, m_fs, path, outDevice))
        m_KeyToneOut.Play();
}

}  // namespace vocastra
