#include "audio/sound_devices.h"

#include "app/log.h"
#include "app/text_util.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/wave_out.h"

namespace vocastra {
namespace {

constexpr std::size_t kMapperValueChars = 80;

std::string FirstUsbName(const std::vector<std::string>& names) {
    for (const auto& n : names)
        if (n.find("USB") != std::string::npos)
            return n;
    return {};
}

// A Sound Mapper value is taken only as a whole, terminated string.
std::string MapperValue(Registry& r, const char* name) {
    const auto raw =
        r.GetRawValue(RegistryRoot::CurrentUser, kSoundMapperKey, name, kMapperValueChars * 2);
    if (!raw || (raw->type != 1 && raw->type != 2))
        return {};
    const std::string& b = raw->bytes;
    if (b.size() < 2 || b.size() % 2 != 0 || b[b.size() - 1] != 0 || b[b.size() - 2] != 0)
        return {};
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(static_cast<uint8_t>(b[i]) |
                                                 (static_cast<uint8_t>(b[i + 1]) << 8));
        if (c == 0)
            break;
        wide += c;
    }
    return Utf16ToUtf8(wide);
}

}  // namespace

void CMixerBase::ListNames(bool waveIn) {
    LogRaw(waveIn ? "Enter GetSysWaveInSoundDeviceNames" : "Enter GetSysWaveOutSoundDeviceNames");
    CloseMixer();
    m_DeviceNames.clear();
    uint32_t n = waveIn ? m_ctx.waveOut.GetNumInDevs() : m_ctx.waveOut.GetNumDevs();
    if (n > kMaxDeviceNames)
        n = kMaxDeviceNames;
    for (uint32_t id = 0; id < n; ++id) {
        const MixerHandle h =
            m_ctx.mixer.Open(id, waveIn ? MixerOpenBy::WaveInId : MixerOpenBy::WaveOutId, false);
        if (!h)
            continue;
        const auto caps = m_ctx.mixer.GetDevCaps(h);
        if (caps) {
            LogPrintA("Find %s", caps->productName.c_str());
            m_DeviceNames.push_back(caps->productName);
        }
        m_ctx.mixer.Close(h);
    }
}

void CMixerBase::GetSysWaveOutSoundDeviceNames() {
    ListNames(false);
}
void CMixerBase::GetSysWaveInSoundDeviceNames() {
    ListNames(true);
}

std::vector<std::string> GetWaveOutSoundDeviceNames(AudioContext& ctx) {
    CMixerBase m(ctx);
    m.GetSysWaveOutSoundDeviceNames();
    return m.DeviceNames();
}

std::vector<std::string> GetWaveInSoundDeviceNames(AudioContext& ctx) {
    CMixerBase m(ctx);
    m.GetSysWaveInSoundDeviceNames();
    return m.DeviceNames();
}

int GetUsbPhoneWaveOutDeviceName(AudioContext& ctx, std::string& name) {
    name = FirstUsbName(GetWaveOutSoundDeviceNames(ctx));
    return name.empty() ? 0 : 1;
}

int GetUsbPhoneWaveInDeviceName(AudioContext& ctx, std::string& name) {
    name = FirstUsbName(GetWaveInSoundDeviceNames(ctx));
    return name.empty() ? 0 : 1;
}

std::vector<std::string> ListWaveOutProductNames(WaveOut& w) {
    std::vector<std::string> names;
    const uint32_t n = w.GetNumDevs();
    for (uint32_t id = 0; id < n; ++id)
        names.push_back(w.GetDevCapsName(id).value_or(""));
    return names;
}

std::vector<std::string> ListWaveInProductNames(WaveOut& w) {
    std::vector<std::string> names;
    const uint32_t n = w.GetNumInDevs();
    for (uint32_t id = 0; id < n; ++id)
        names.push_back(w.GetInDevCapsName(id).value_or(""));
    return names;
}

int GetSystemDefaultSoundDevices(Registry& r, std::string& playback, std::string& record) {
    playback.clear();
    record.clear();
    if (!r.KeyExists(RegistryRoot::CurrentUser, kSoundMapperKey))
        return 0;
    playback = MapperValue(r, "Playback");
    record = MapperValue(r, "Record");
    return 1;
}

int SetSystemDefaultSoundDevices(Registry& r, const std::string& playback,
                                 const std::string& record) {
    if (!r.KeyExists(RegistryRoot::CurrentUser, kSoundMapperKey))
        return 0;
    r.SetString(RegistryRoot::CurrentUser, kSoundMapperKey, "Playback", playback);
    r.SetString(RegistryRoot::CurrentUser, kSoundMapperKey, "Record", record);
    return 1;
}

void OpenPlaybackDevicesPanel(Shell& shell) {
    shell.Open("rundll32.exe", "shell32.dll,Control_RunDLL mmsys.cpl,,0");
}

void OpenRecordingDevicesPanel(Shell& shell) {
    shell.Open("rundll32.exe", "shell32.dll,Control_RunDLL mmsys.cpl,,1");
}

}  // namespace vocastra
