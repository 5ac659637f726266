// The ring-tone settings page's audio side: the shipped ring tones on offer,
// the checks a self-chosen file must pass, and the preview player.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio/wave_player.h"

namespace vocastra {

class FileSystem;

// Larger files are refused before they are looked at as waves.
inline constexpr uint64_t kMaxRingToneFileBytes = 0x500000;  // 5 MiB
// The longest path the settings keep for a ring tone.
inline constexpr std::size_t kMaxRingTonePathChars = 260;

// Names of the *.wav files in the program's "RingTone\" folder, sorted by
// their UTF-16 units (the order a wide-character compare gives).
std::vector<std::string> ListShippedRingTones(FileSystem& fs, const std::string& moduleDir);

enum class RingToneCheck { Ok, TooLarge, NotPlayable };

// A file the user chose as ring tone: not above the size limit, then a PCM
// wave the handset's playback device `outDevice` accepts. A path longer
// than the settings can keep is not playable: cut short it would name
// another file.
RingToneCheck CheckChosenRingTone(FileSystem& fs, WaveOut& waveOut, const std::string& path,
                                  const std::string& outDevice);

// m_PreviewOut: plays a ring tone once, on the handset, while the user
// chooses.
class RingTonePreview {
  public:
    RingTonePreview(WaveOut& port, FileSystem& fs) : m_PreviewOut(port), m_fs(fs) {}
    bool IsPlaying() { return m_PreviewOut.IsPlaying(); }
    // Closes what played before; false (and the player closed) when the
    // file or the device cannot be had.
    bool Play(const std::string& path, const std::string& outDevice);
    void Stop() { m_PreviewOut.Close(); }

    CWaveOut m_PreviewOut;

  private:
    FileSystem& m_fs;
};

}  // namespace vocastra
