// Mixer port: the WinMM mixer devices, as the volume and mute bindings and
// the device-name lists need them. Values are raw control units; names are
// UTF-8. Any thread; a handle is used by one thread at a time.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vocastra {

using MixerHandle = uintptr_t;  // 0: none

// How Open's id is meant: a mixer id, or the id of the wave device whose
// mixer is wanted.
enum class MixerOpenBy { MixerId, WaveOutId, WaveInId };

struct MixerCaps {
    std::string productName;
    uint32_t destinations = 0;
};

struct MixerLineInfo {
    uint32_t lineId = 0;
    uint32_t componentType = 0;
    uint32_t channels = 0;
    uint32_t connections = 0;  // source lines of a destination
    uint32_t controls = 0;
    std::string name;
};

struct MixerControlInfo {
    uint32_t controlId = 0;
    uint32_t controlType = 0;
    uint32_t controlFlags = 0;
    uint32_t multipleItems = 0;
    int64_t minimum = 0;  // signed or unsigned bounds, as the type's units say
    int64_t maximum = 0;
    uint32_t steps = 0;
};

class Mixer {
  public:
    virtual ~Mixer() = default;
    virtual uint32_t GetNumDevs() = 0;
    // Opens a mixer; with `notifyMainWindow` its control changes reach the
    // main window as MM_MIXM_CONTROL_CHANGE. 0 on failure.
    virtual MixerHandle Open(uint32_t id, MixerOpenBy by, bool notifyMainWindow) = 0;
    virtual void Close(MixerHandle mixer) = 0;
    virtual std::optional<MixerCaps> GetDevCaps(MixerHandle mixer) = 0;
    virtual std::optional<MixerLineInfo> GetDestination(MixerHandle mixer, uint32_t index) = 0;
    virtual std::optional<MixerLineInfo> GetSource(MixerHandle mixer, uint32_t destination,
                                                   uint32_t index) = 0;
    // The one control of `controlType` on the line.
    virtual std::optional<MixerControlInfo> GetLineControlByType(MixerHandle mixer, uint32_t lineId,
                                                                 uint32_t controlType) = 0;
    // Control details as 4-byte values: `channels` × `items` (items 0 for a
    // control that is not a multiple one). `values` is sized by the caller.
    virtual bool GetControlDetails(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                                   uint32_t items, std::vector<uint32_t>& values) = 0;
    virtual bool SetControlDetails(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                                   uint32_t items, const std::vector<uint32_t>& values) = 0;
};

// The mixer API's constants the program uses.
namespace mixerconst {
inline constexpr uint32_t kDstSpeakers = 4;  // MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
inline constexpr uint32_t kDstWaveIn = 7;    // MIXERLINE_COMPONENTTYPE_DST_WAVEIN
inline constexpr uint32_t kSrcMicrophone = 0x1003;
inline constexpr uint32_t kNoSourceLine = 0x100B;  // one past the last source type
inline constexpr uint32_t kControlVolume = 0x50030001;
inline constexpr uint32_t kControlMute = 0x20010002;
inline constexpr uint32_t kControlfUniform = 0x1;
inline constexpr uint32_t kControlfMultiple = 0x2;
inline constexpr uint32_t kUnitsMask = 0x00FF0000;
inline constexpr uint32_t kUnitsBoolean = 0x00010000;
inline constexpr uint32_t kUnitsSigned = 0x00020000;
inline constexpr uint32_t kUnitsUnsigned = 0x00030000;
inline constexpr uint32_t kUnitsDecibels = 0x00040000;
inline constexpr uint32_t kUnitsPercent = 0x00050000;
}  // namespace mixerconst

}  // namespace vocastra
