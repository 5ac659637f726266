// CWaveOut: plays a CWave on a wave-out device chosen by name, streamed in
// one-second buffers (at most three queued, refilled as each comes back)
// or looped whole by the device.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "audio/wave.h"
#include "platform/wave_out.h"

namespace vocastra {

// The wanted output device, by product name.
class CWaveDevice {
  public:
    // The id of the first device whose name equals m_strName exactly; -1
    // (the wave mapper) for an empty name or when none matches.
    int GetDeviceId(WaveOut& port) const;

    std::string m_strName;
    int32_t m_nDeviceId = -1;
};

class CWaveOut {
  public:
    explicit CWaveOut(WaveOut& port) : m_port(port) {}
    ~CWaveOut();
    CWaveOut(const CWaveOut&) = delete;
    CWaveOut& operator=(const CWaveOut&) = delete;

    bool Open();
    // True when three buffers were queued (a shorter wave plays all the same).
    bool Play();
    bool PlayLooped();
    bool Stop();
    bool Close();
    // The refill step: queues the next buffer; false when nothing is left.
    bool AddNewHeader();
    bool IsOpen() const { return m_hWaveOut != 0; }
    // The last header queued has not come back done.
    bool IsPlaying();

    CWave m_Wave;
    CWaveDevice m_Device;

  private:
    // A buffer came back (on the port's completion thread).
    void WaveOutProc(WaveOutHandle h, WaveHeader* hdr);
    bool Queue(uint32_t length, uint32_t flags, uint32_t loops);
    bool Fail(uint32_t result);

    WaveOut& m_port;
    // The completion thread and the driving thread share the positions and
    // headers; the device is never reset with this held (a reset waits for
    // the completions, which take it).
    std::recursive_mutex m_mutex;
    std::atomic<uint32_t> m_dwEndPos{0};
    std::atomic<uint32_t> m_dwStartPos{0};
    uint32_t m_dwWaveOutBufferLength = 4096;
    WaveOutHandle m_hWaveOut = 0;
    int32_t m_nLastResult = 0;
    int32_t m_nIndexWaveHdr = -1;
    WaveHeader m_WaveHdr[3];
};

}  // namespace vocastra
