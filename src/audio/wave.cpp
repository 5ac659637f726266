#include "audio/wave.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/log.h"
#include "platform/file_system.h"

namespace vocastra {
namespace {

constexpr std::size_t kHeaderBytes = 44;

uint32_t U32(const std::string& b, std::size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
void Put32(std::string& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& b, uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}

void LogOpenFailure(uint32_t r) {
    if (r == waveconst::kBadFormat)
        LogRaw("WAVERR_BADFORMAT : unsupported wave format");
    else
        LogPrintA("MMRESULT error=%ld", long(r));
}

}  // namespace

bool CWaveBuffer::Allocate(uint32_t frames, uint32_t frameSize) {
    const uint64_t bytes = (uint64_t(frames) + 1) * frameSize;
    if (frameSize == 0 || bytes > uint64_t(kMaxWaveDataBytes) + frameSize)
        return false;
    try {
        std::vector<uint8_t> store(static_cast<std::size_t>(bytes), 0);
        m_pSamples.swap(store);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_nSampleSize = frameSize;
    m_nSamples = frames;
    return true;
}

void LogWaveFormat(const WaveFormat& f) {
    LogPrintA(
        "wFormatTag=%ld,\n\t\t  nChannels=%ld,\n\t\t  nSamplesPerSec=%ld,\n\t\t  "
        "nAvgBytesPerSec=%ld,\n\t\t  nBlockAlign=%ld,\n\t\t  wBitsPerSample=%ld,\n\t\t  "
        "cbSize=%ld,\n",
        long(f.formatTag), long(f.channels), long(f.samplesPerSec), long(f.avgBytesPerSec),
        long(f.blockAlign), long(f.bitsPerSample), long(f.cbSize));
}

CWave& CWave::operator=(const CWave& other) {
    if (this == &other)
        return *this;
    m_Format = other.m_Format;
    LogWaveFormat(m_Format);
    m_pSamples = other.m_pSamples;
    m_nSampleSize = other.m_nSampleSize;
    m_nSamples = other.m_nSamples;
    return *this;
}

WaveLoad CWave::LoadFromFile(FileSystem& fs, const std::string& path) {
    const auto header = fs.ReadFile(path, kHeaderBytes);
    if (!header)
        return WaveLoad::CannotOpen;
    return Parse(*header, nullptr, &fs, &path);
}

WaveLoad CWave::LoadFromBytes(const std::string& bytes) {
    const std::string header = bytes.substr(0, kHeaderBytes);
    const std::string data = bytes.size() > kHeaderBytes ? bytes.substr(kHeaderBytes) : "";
    return Parse(header, &data, nullptr, nullptr);
}

WaveLoad CWave::Parse(const std::string& h, const std::string* data, FileSystem* fs,
                      const std::string* path) {
    // The fixed header is read whole; a file shorter than it has none.
    if (h.size() < kHeaderBytes || h.compare(0, 4, "RIFF") != 0 || h.compare(8, 8, "WAVEfmt ") != 0)
        return WaveLoad::InvalidFile;
    // Without a "data" chunk at byte 36 the rest of the file is taken as
    // samples from byte 44 on, whatever chunk sits there.
    const uint64_t declared = h.compare(36, 4, "data") == 0 ? U32(h, 40) : uint64_t(U32(h, 4)) + 16;
    WaveFormat f;
    f.formatTag = 1;
    f.channels = U16(h, 22);
    f.samplesPerSec = U32(h, 24);
    f.avgBytesPerSec = U32(h, 28);
    f.blockAlign = U16(h, 32);
    f.bitsPerSample = U16(h, 34);
    f.cbSize = 0;
    if (f.blockAlign == 0)
        return WaveLoad::InvalidFile;
    // Only what the file holds is kept: a length beyond the file's end
    // yields the frames that are there, never bytes that are not.
    std::string read;
    const uint64_t wanted = std::min<uint64_t>(declared, kMaxWaveDataBytes + 1ull);
    if (data) {
        read = data->substr(0, static_cast<std::size_t>(wanted));
    } else {
        auto got = fs->ReadFile(*path, static_cast<std::size_t>(wanted), kHeaderBytes);
        if (got)
            read = std::move(*got);
    }
    if (read.size() > kMaxWaveDataBytes)
        return WaveLoad::InvalidFile;
    const uint32_t frames = static_cast<uint32_t>(read.size() / f.blockAlign);
    CWaveBuffer store;
    if (!store.Allocate(frames, f.blockAlign))
        return WaveLoad::InvalidFile;
    std::memcpy(store.m_pSamples.data(), read.data(), std::size_t(frames) * f.blockAlign);
    m_Format = f;
    m_pSamples.swap(store.m_pSamples);
    m_nSampleSize = store.m_nSampleSize;
    m_nSamples = store.m_nSamples;
    return WaveLoad::Ok;
}

std::string CWave::Store() const {
    const uint32_t bytes = ByteLength();
    std::string b = "RIFF";
    Put32(b, bytes + 36);
    b += "WAVEfmt ";
    Put32(b, 16);
    Put16(b, m_Format.formatTag);
    Put16(b, m_Format.channels);
    Put32(b, m_Format.samplesPerSec);
    Put32(b, m_Format.avgBytesPerSec);
    Put16(b, m_Format.blockAlign);
    Put16(b, m_Format.bitsPerSample);
    b += "data";
    Put32(b, bytes);
    b.append(reinterpret_cast<const char*>(m_pSamples.data()),
             std::min<std::size_t>(bytes, m_pSamples.size()));
    return b;
}

bool IsValidWavFile(FileSystem& fs, WaveOut& waveOut, const std::string& path, int deviceId) {
    LogPrintA("IsValidWavFile: (DeviceID = %ld)", long(deviceId));
    auto h = fs.ReadFile(path, kHeaderBytes);
    if (!h) {
        LogRaw("IsValidWavFile failed on open wav");
        return false;
    }
    h->resize(kHeaderBytes, '\0');  // a shorter file leaves the rest zero
    if (h->compare(0, 4, "RIFF") != 0) {
        LogRaw("IsValidWavFile  return FALSE because not RIFF");
        return false;
    }
    if (h->compare(8, 8, "WAVEfmt ") != 0) {
        LogRaw("IsValidWavFile  return FALSE because not WAVEfmt");
        return false;
    }
    WaveFormat f;
    f.formatTag = U16(*h, 20);
    if (f.formatTag != 1) {
        LogRaw("IsValidWavFile  return FALSE because not PCM format wav");
        return false;
    }
    f.channels = U16(*h, 22);
    f.samplesPerSec = U32(*h, 24);
    f.avgBytesPerSec = U32(*h, 28);
    f.blockAlign = U16(*h, 32);
    f.bitsPerSample = U16(*h, 34);
    LogPrintA("wFormatTag = %ld", long(f.formatTag));
    LogPrintA("wChannels = %ld", long(f.channels));
    LogPrintA("dwSamplesPerSec = %ld", long(f.samplesPerSec));
    LogPrintA("dwAvgBytesPerSec = %ld", long(f.avgBytesPerSec));
    LogPrintA("wBlockAlign = %ld", long(f.blockAlign));
    LogPrintA("wBitsPerSample = %ld", long(f.bitsPerSample));
    WaveOutHandle out = 0;
    const uint32_t r = waveOut.Open(out, deviceId, f, nullptr);
    if (r != 0) {
        LogOpenFailure(r);
        LogRaw("IsValidWavFile  return FALSE because waveOutOpen return error");
        return false;
    }
    waveOut.Close(out);
    return true;
}

uint64_t GetWavFileSize(FileSystem& fs, const std::string& path) {
    const auto size = fs.FileSize(path);
    if (!size) {
        LogRaw("IsValidWavFile failed on open wav");
        return 0;
    }
    LogPrintA("file size = %lu", static_cast<unsigned long>(*size));
    return *size;
}

}  // namespace vocastra
