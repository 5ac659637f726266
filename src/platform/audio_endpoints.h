// AudioEndpoints port: the Core Audio render and capture endpoints (Vista
// and later) with their friendly names and master volume. Any thread: the
// Win32 side initialises COM around each call itself.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vocastra {

using EndpointVolumeHandle = uintptr_t;  // 0: none; valid for the process's life

struct EndpointList {
    // 0 when listed; else the step that failed (1 enumerator, 2 enumeration,
    // 3 count) with the system's result code.
    int failedStep = 0;
    uint32_t result = 0;
    // Per active endpoint in order: its friendly name, or the step that
    // failed for it (4 endpoint, 5 property store, 6 name).
    struct Entry {
        std::optional<std::string> friendlyName;
        int failedStep = 0;
    };
    std::vector<Entry> endpoints;
};

class AudioEndpoints {
  public:
    virtual ~AudioEndpoints() = default;
    // `dataFlow` 0 render, 1 capture; active endpoints only.
    virtual EndpointList ListActive(int dataFlow) = 0;
    // The endpoint volume of entry `index` of the last listing; 0 on failure.
    virtual EndpointVolumeHandle ActivateVolume(int dataFlow, uint32_t index) = 0;
    virtual bool SetMasterVolumeScalar(EndpointVolumeHandle volume, float scalar) = 0;
    virtual std::optional<float> GetMasterVolumeScalar(EndpointVolumeHandle volume) = 0;
};

}  // namespace vocastra
