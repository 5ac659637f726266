// What the handset plays: the incoming ring tone (looped until stopped) and
// one key tone per key, each on the handset's playback device. A tone that
// is missing or broken leaves its player closed; nothing else changes.
#pragma once
#include <string>

#include "audio/wave_player.h"

namespace vocastra {

class FileSystem;
struct Settings;

// The shipped ring tone `name` in the program folder `moduleDir`.
std::string ShippedRingTonePath(const std::string& moduleDir, const std::string& name);

// Closes `player`, loads `path` into it on `device`, opens it; false (and
// the player closed) when the file or the device cannot be had.
bool LoadAndOpen(CWaveOut& player, FileSystem& fs, const std::string& path,
                 const std::string& device);

class AudioTones {
  public:
    AudioTones(WaveOut& port, FileSystem& fs) : m_RingToneOut(port), m_KeyToneOut(port), m_fs(fs) {}

    // WM_START_RING and WM_STOP_RING, on the main window's thread.
    void StartRingTone(const Settings& s, const std::string& moduleDir,
                       const std::string& outDevice);
    void StopRingTone();
    // On the key-processing thread, under the write device's lock.
    void StopKeyTone() { m_KeyToneOut.Close(); }
    void StartPlayKeyTone(const std::string& path, const std::string& outDevice);

    CWaveOut m_RingToneOut;
    CWaveOut m_KeyToneOut;

  private:
    FileSystem& m_fs;
};

}  // namespace vocastra
