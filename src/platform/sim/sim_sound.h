// The simulated sound hardware behind the Mixer, AudioEndpoints and WaveOut
// ports: sound cards with wave devices, mixer lines and controls, endpoint
// volumes, and wave playback in the clock's time. It records what was
// played (which device, the bytes, when, looped, stopped when) and every
// level change, and lets a test change a control "from another process".
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_endpoints.h"
#include "platform/clock.h"
#include "platform/main_window.h"
#include "platform/mixer.h"
#include "platform/wave_out.h"

namespace vocastra {

struct SimMixerControl {
    MixerControlInfo info;
    std::vector<uint32_t> values;  // channels × max(items, 1)
};

struct SimMixerLine {
    MixerLineInfo info;
    std::vector<SimMixerControl> controls;
    std::vector<SimMixerLine> sources;  // of a destination
};

struct SimSoundCard {
    std::string name;  // the product name of its wave devices and its mixer
    bool hasWaveOut = true;
    bool hasWaveIn = true;
    bool hasMixer = true;
    std::vector<SimMixerLine> destinations;
    // Core Audio: the endpoints' friendly name (none when empty).
    std::string renderEndpointName;
    std::string captureEndpointName;
    float renderScalar = 1.0f;
    float captureScalar = 1.0f;
};

// A built-in stereo card: speakers with a stereo volume (balance) and mute,
// wave-in with its own volume and mute.
SimSoundCard MakeStereoSoundCard(const std::string& name);
// A handset: mono speakers with volume and mute; a wave-in destination
// without a volume of its own (the microphone source has it) but with mute.
SimSoundCard MakeHandsetSoundCard(const std::string& name);

// One buffer's life on a simulated device.
struct SimPlayback {
    int deviceId = -1;  // as opened (-1: the wave mapper)
    std::string deviceName;
    WaveFormat format;
    std::string bytes;
    uint32_t startTick = 0;
    uint32_t endTick = 0;  // when it ends or ended, loops included
    bool looped = false;
    uint32_t loops = 0;
    bool stopped = false;  // cut short by a reset (endTick is then the reset)
};

// Playback gain of a card as the earpiece hears it, from a given tick on.
struct SimLevelChange {
    uint32_t tick = 0;
    std::string card;
    double gain = 1.0;
};

class SimSound {
  public:
    SimSound(Clock& clock, MainWindow& mainWindow);
    ~SimSound();
    SimSound(const SimSound&) = delete;
    SimSound& operator=(const SimSound&) = delete;

    // --- set-up and inspection (tests, the simulator)
    void AddCard(SimSoundCard card);
    void RemoveAllCards();
    // Changes a control as the Windows volume panel would: mixers opened
    // with a callback tell the main window.
    bool SetControlFromOutside(const std::string& card, uint32_t lineType, uint32_t controlType,
                               std::vector<uint32_t> values);
    // A control's values (empty when there is none); `lineType` names a
    // destination or, for a source type, a source of any destination.
    std::vector<uint32_t> ControlValues(const std::string& card, uint32_t lineType,
                                        uint32_t controlType);
    float RenderScalar(const std::string& card);
    std::vector<SimPlayback> Playbacks();
    std::vector<SimLevelChange> LevelChanges();
    // Gain of the card now (speaker volume share × endpoint scalar).
    double Gain(const std::string& card);
    void ClearPlaybacks();
    int OpenWaveOuts();
    int OpenMixers();
    // Returns the buffers whose time is up and delivers their completions on
    // this thread; returns how many.
    int Pump();
    // Ms until the next buffer ends (UINT32_MAX when none plays).
    uint32_t MsUntilNextDone();

    class MixerPort : public Mixer {
      public:
        explicit MixerPort(SimSound& s) : m(s) {}
        uint32_t GetNumDevs() override;
        MixerHandle Open(uint32_t id, MixerOpenBy by, bool notifyMainWindow) override;
        void Close(MixerHandle mixer) override;
        std::optional<MixerCaps> GetDevCaps(MixerHandle mixer) override;
        std::optional<MixerLineInfo> GetDestination(MixerHandle mixer, uint32_t index) override;
        std::optional<MixerLineInfo> GetSource(MixerHandle mixer, uint32_t destination,
                                               uint32_t index) override;
        std::optional<MixerControlInfo> GetLineControlByType(MixerHandle mixer, uint32_t lineId,
                                                             uint32_t controlType) override;
        bool GetControlDetails(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                               uint32_t items, std::vector<uint32_t>& values) override;
        bool SetControlDetails(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                               uint32_t items, const std::vector<uint32_t>& values) override;

      private:
        SimSound& m;
    };
    class EndpointsPort : public AudioEndpoints {
      public:
        explicit EndpointsPort(SimSound& s) : m(s) {}
        EndpointList ListActive(int dataFlow) override;
        EndpointVolumeHandle ActivateVolume(int dataFlow, uint32_t index) override;
        bool SetMasterVolumeScalar(EndpointVolumeHandle volume, float scalar) override;
        std::optional<float> GetMasterVolumeScalar(EndpointVolumeHandle volume) override;

      private:
        SimSound& m;
    };
    class WaveOutPort : public WaveOut {
      public:
        explicit WaveOutPort(SimSound& s) : m(s) {}
        uint32_t GetNumDevs() override;
        std::optional<std::string> GetDevCapsName(uint32_t id) override;
        uint32_t Open(WaveOutHandle& out, int deviceId, const WaveFormat& format,
                      DoneFn done) override;
        uint32_t Prepare(WaveOutHandle h, WaveHeader& hdr) override;
        uint32_t Unprepare(WaveOutHandle h, WaveHeader& hdr) override;
        uint32_t Write(WaveOutHandle h, WaveHeader& hdr) override;
        uint32_t Reset(WaveOutHandle h) override;
        uint32_t Close(WaveOutHandle h) override;
        uint32_t GetNumInDevs() override;
        std::optional<std::string> GetInDevCapsName(uint32_t id) override;

      private:
        SimSound& m;
    };
    MixerPort mixer{*this};
    EndpointsPort endpoints{*this};
    WaveOutPort waveOut{*this};

  private:
    struct Queued {
        WaveHeader* hdr;
        std::size_t playback;  // index into m_playbacks
    };
    struct OpenWave {
        int deviceId;
        int card;
        WaveFormat format;
        WaveOut::DoneFn done;
        std::deque<Queued> queue;
    };
    struct OpenMixer {
        int card;
        bool notify;
    };
    using Done = std::pair<WaveOut::DoneFn, std::pair<WaveOutHandle, WaveHeader*>>;

    int CardOfWaveOut(int id) const;  // -1 none
    int CardOfWaveIn(int id) const;
    int CardOfMixer(int id) const;
    SimMixerControl* FindControl(int card, uint32_t controlId);
    double GainLocked(int card);
    void NoteGainLocked(int card);
    void Deliver(std::vector<Done>& done);

    Clock& m_clock;
    MainWindow& m_mainWindow;
    std::mutex m_mutex;
    std::vector<SimSoundCard> m_cards;
    std::map<uintptr_t, OpenWave> m_waves;
    std::map<uintptr_t, OpenMixer> m_mixers;
    std::vector<SimPlayback> m_playbacks;
    std::vector<SimLevelChange> m_levels;
    uintptr_t m_nextHandle = 0x100;
};

}  // namespace vocastra
