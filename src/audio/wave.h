// A PCM wave in memory: its format and its sample frames, read from and
// written to the 44-byte-header wave file layout. Wave files are outside
// input: a hostile header is refused, never read past.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/wave_out.h"

namespace vocastra {

class FileSystem;

// The sample store: room for one frame more than it holds.
class CWaveBuffer {
  public:
    virtual ~CWaveBuffer() = default;
    // False when the store cannot be had (nothing changes then).
    bool Allocate(uint32_t frames, uint32_t frameSize);
    const uint8_t* Samples() const { return m_pSamples.data(); }
    uint8_t* Samples() { return m_pSamples.data(); }
    uint32_t ByteLength() const { return m_nSamples * m_nSampleSize; }

    uint32_t m_nSampleSize = 0;  // bytes per frame (the block alignment)
    std::vector<uint8_t> m_pSamples;
    uint32_t m_nSamples = 0;  // frames
};

enum class WaveLoad { Ok, CannotOpen, InvalidFile };

class CWave : public CWaveBuffer {
  public:
    CWave() = default;
    CWave(const CWave& other) : CWaveBuffer(other), m_Format(other.m_Format) {}
    // Copies the format (logging it) and the frames.
    CWave& operator=(const CWave& other);

    // Reads a wave file. A wrong header is InvalidFile (the framework's
    // invalid-file error); the wave is then left as it was.
    WaveLoad LoadFromFile(FileSystem& fs, const std::string& path);
    // The same from the file's bytes (the fuzz target and tests use this).
    WaveLoad LoadFromBytes(const std::string& bytes);
    // The file's bytes: header, then the frames.
    std::string Store() const;

    WaveFormat m_Format;  // a new wave: PCM, all else 0

  private:
    WaveLoad Parse(const std::string& header, const std::string* data, FileSystem* fs,
                   const std::string* path);
};

// Logs a format with the text that copying a wave uses.
void LogWaveFormat(const WaveFormat& f);

// Whether the file is a PCM wave the wave-out device `deviceId` accepts.
bool IsValidWavFile(FileSystem& fs, WaveOut& waveOut, const std::string& path, int deviceId);
// The file's size, 0 when it cannot be opened.
uint64_t GetWavFileSize(FileSystem& fs, const std::string& path);

// Largest wave read into memory: more than any ring tone needs.
inline constexpr uint32_t kMaxWaveDataBytes = 64u * 1024 * 1024;

}  // namespace vocastra
