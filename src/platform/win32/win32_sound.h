// Mixer, AudioEndpoints and WaveOut on WinMM and Core Audio.
#pragma once
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio_endpoints.h"
#include "platform/mixer.h"
#include "platform/wave_out.h"

namespace vocastra::win32 {

class Win32MainWindow;

class Win32Mixer : public Mixer {
  public:
    explicit Win32Mixer(Win32MainWindow& mainWindow) : m_mainWindow(mainWindow) {}
    uint32_t GetNumDevs() override;
    MixerHandle Open(uint32_t id, MixerOpenBy by, bool notifyMainWindow) override;
    void Close(MixerHandle mixer) override;
    std::optional<MixerCaps> GetDevCaps(MixerHandle mixer) override;
    std::optional<MixerLineInfo> GetDestination(MixerHandle mixer, uint32_t index) override;
    std::optional<MixerLineInfo> GetSource(MixerHandle mixer, uint32_t destination,
                                           uint32_t index) override;
    std::optional<MixerControlInfo> GetLineControlByType(MixerHandle mixer, uint32_t lineId,
                                                         uint32_t controlType) override;
    bool GetControlDetails(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                           std::vector<uint32_t>& values) override;
    bool SetControlDetails(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                           const std::vector<uint32_t>& values) override;

  private:
    Win32MainWindow& m_mainWindow;
};

class Win32AudioEndpoints : public AudioEndpoints {
  public:
    EndpointList ListActive(int dataFlow) override;
    EndpointVolumeHandle ActivateVolume(int dataFlow, uint32_t index) override;
    bool SetMasterVolumeScalar(EndpointVolumeHandle volume, float scalar) override;
    std::optional<float> GetMasterVolumeScalar(EndpointVolumeHandle volume) override;
};

// The system calls the wave-out callback on a thread where no wave-out
// function may be called; completions are queued from there and delivered
// on this object's own thread.
class Win32WaveOut : public WaveOut {
  public:
    Win32WaveOut();
    ~Win32WaveOut() override;
    uint32_t GetNumDevs() override;
    std::optional<std::string> GetDevCapsName(uint32_t id) override;
    uint32_t Open(WaveOutHandle& out, int deviceId, const WaveFormat& format, DoneFn done) override;
    uint32_t Prepare(WaveOutHandle h, WaveHeader& hdr) override;
    uint32_t Unprepare(WaveOutHandle h, WaveHeader& hdr) override;
    uint32_t Write(WaveOutHandle h, WaveHeader& hdr) override;
    uint32_t Reset(WaveOutHandle h) override;
    uint32_t Close(WaveOutHandle h) override;
    uint32_t GetNumInDevs() override;
    std::optional<std::string> GetInDevCapsName(uint32_t id) override;

    struct Device {
        Win32WaveOut* owner = nullptr;
        WaveOutHandle handle = 0;
        DoneFn done;
        int outstanding = 0;  // written, completion not yet delivered
    };
    void OnSystemDone(Device* device, void* hdr);

  private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::deque<std::pair<Device*, void*>> m_done;
    std::map<WaveOutHandle, std::unique_ptr<Device>> m_devices;
    std::vector<std::unique_ptr<Device>> m_closedBusy;  // closed with a completion outstanding
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace vocastra::win32
