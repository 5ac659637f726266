// The handset's playback and recording volume and mute, on the WinMM mixer
// (or, on Vista and later, the endpoint volume of the first USB endpoint),
// on the system-wide level scale 0..31.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_endpoints.h"
#include "platform/mixer.h"

namespace vocastra {

class OsVersion;
class WaveOut;
struct Settings;

// What the mixer objects reach: the ports, and the handset write device's
// lock, under which the endpoint volume is used.
struct AudioContext {
    Mixer& mixer;
    AudioEndpoints& endpoints;
    OsVersion& os;
    WaveOut& waveOut;
    std::mutex& deviceLock;
};

inline constexpr int kMaxDeviceNames = 8;

class CMixerBase {
  public:
    explicit CMixerBase(AudioContext& ctx) : m_ctx(ctx) {}
    virtual ~CMixerBase();
    CMixerBase(const CMixerBase&) = delete;
    CMixerBase& operator=(const CMixerBase&) = delete;

    // The product names of the wave-out (wave-in) devices that have a mixer,
    // at most 8, in device-id order.
    void GetSysWaveOutSoundDeviceNames();
    void GetSysWaveInSoundDeviceNames();
    const std::vector<std::string>& DeviceNames() const { return m_DeviceNames; }

    void CloseMixer();
    bool IsBound() const { return m_hMixer != 0; }

  protected:
    bool OpenMixerByName(const std::string& name, bool withCallback);
    bool FindControl(uint32_t srcType, uint32_t dstType, uint32_t controlType);
    bool PrepareControlDetails();
    bool ReadValues();
    bool WriteValues();
    void ForgetValues() {
        m_pValues.clear();
        m_bValues = false;
    }
    void ListNames(bool waveIn);

    AudioContext& m_ctx;
    MixerHandle m_hMixer = 0;
    MixerControlInfo m_Control;
    int32_t m_nChannels = 0;
    struct {
        uint32_t controlId = 0;
        uint32_t channels = 0;
        uint32_t multipleItems = 0;
    } m_Details;
    std::vector<uint32_t> m_pValues;
    bool m_bValues = false;  // the value array exists
    std::vector<std::string> m_DeviceNames;
};

class CMixerFader : public CMixerBase {
  public:
    using CMixerBase::CMixerBase;
    ~CMixerFader() override;

    // Binds the volume control of the line; `withCallback` opens the mixer
    // with the main window as callback window.
    bool Init(bool withCallback, uint32_t dstType, uint32_t srcType, const std::string& name);
    bool InitMuteSwitch(uint32_t dstType, const std::string& name);
    // Types: 0 step up, 1 step down, 2 level by steps, 4 level by range.
    void SetFaderValue(int32_t value, int type);
    uint32_t GetSwitchValue();
    // Sets the switch item to `on` and writes it; false when unbound.
    bool SetSwitch(bool on);
    // Value 0 of the control, read afresh.
    std::optional<uint32_t> ReadFirstValue();
    // Unbinds: mixer closed, value array forgotten.
    void Unbind();

    uint32_t m_nRange = 0;
    uint32_t m_nStepSize = 0;
    uint32_t m_nSteps = 0;
    int32_t m_nPosition = 0;
    int32_t m_nSubType = 2;
    float m_fBalance = 0;
    int32_t m_nIndex = 0;
    // Bound on the UI thread while the key and receive threads set levels.
    std::atomic<EndpointVolumeHandle> m_pEndpointVolume{0};
    int32_t m_nDataFlow = 0;

  private:
    // Bindings are replaced on the UI thread while other threads set levels.
    std::recursive_mutex m_lock;
    bool m_isFader = false;
    bool m_isSwitch = false;
};

// The four process-wide mixer objects and their binding.
struct AudioMixers {
    explicit AudioMixers(AudioContext& ctx)
        : g_AudioOutMixer(ctx),
          g_AudioInMixer(ctx),
          g_AudioOutMute(ctx),
          g_AudioInMute(ctx),
          m_ctx(ctx) {}
    CMixerFader g_AudioOutMixer;
    CMixerFader g_AudioInMixer;
    CMixerFader g_AudioOutMute;
    CMixerFader g_AudioInMute;

    void InitializeMixers(const std::string& name, const Settings& settings);
    // The playback level 0..31.
    int GetAudioOutVolume();

  private:
    AudioContext& m_ctx;
};

void SetVistaVolume(AudioContext& ctx, EndpointVolumeHandle endpoint, int32_t level);
int GetVistaVolume(AudioContext& ctx, EndpointVolumeHandle endpoint);
// Stores the volume of the first active endpoint of `dataFlow` whose name
// contains "USB"; leaves `out` alone when none does.
void GetUsbPhoneVolumeCtrl(AudioContext& ctx, std::atomic<EndpointVolumeHandle>& out, int dataFlow);

}  // namespace vocastra
