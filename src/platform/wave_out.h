// WaveOut port: the WinMM wave-out devices. Completions are delivered on a
// thread of the port's own (never inside the system's callback), so the
// receiver may call every wave-out function from there. Result codes are
// the system's (0 success, 32 WAVERR_BADFORMAT, ...).
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vocastra {

using WaveOutHandle = uintptr_t;  // 0: none

struct WaveFormat {
    uint16_t formatTag = 1;  // 1: PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t cbSize = 0;
};

// A buffer handed to the device. It stays where it is while prepared; the
// port keeps its own system record in `system`.
struct WaveHeader {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    uint32_t flags = 0;
    uint32_t loops = 0;
    void* user = nullptr;
    void* system = nullptr;  // the port's, between prepare and unprepare
};

namespace waveconst {
inline constexpr uint32_t kDone = 0x1;  // WHDR_DONE
inline constexpr uint32_t kPrepared = 0x2;
inline constexpr uint32_t kBeginLoop = 0x4;
inline constexpr uint32_t kEndLoop = 0x8;
inline constexpr uint32_t kInQueue = 0x10;
inline constexpr uint32_t kBadFormat = 32;  // WAVERR_BADFORMAT
inline constexpr int kWaveMapper = -1;
}  // namespace waveconst

class WaveOut {
  public:
    // A buffer came back done (played, or returned by Reset).
    using DoneFn = std::function<void(WaveOutHandle, WaveHeader*)>;
    virtual ~WaveOut() = default;
    virtual uint32_t GetNumDevs() = 0;
    virtual std::optional<std::string> GetDevCapsName(uint32_t id) = 0;
    // `deviceId` -1 is the wave mapper.
    virtual uint32_t Open(WaveOutHandle& out, int deviceId, const WaveFormat& format,
                          DoneFn done) = 0;
    virtual uint32_t Prepare(WaveOutHandle h, WaveHeader& hdr) = 0;
    virtual uint32_t Unprepare(WaveOutHandle h, WaveHeader& hdr) = 0;
    virtual uint32_t Write(WaveOutHandle h, WaveHeader& hdr) = 0;
    // Returns every queued buffer done; their completions have been
    // delivered when Reset returns. Not from the completion thread.
    virtual uint32_t Reset(WaveOutHandle h) = 0;
    virtual uint32_t Close(WaveOutHandle h) = 0;

    // The wave-in devices, for the device-name lists.
    virtual uint32_t GetNumInDevs() = 0;
    virtual std::optional<std::string> GetInDevCapsName(uint32_t id) = 0;
};

}  // namespace vocastra
