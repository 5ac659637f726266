#include "platform/win32/win32_sound.h"

#include <algorithm>
#include <chrono>

#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_text.h"
// <windows.h> before the multimedia and Core Audio headers.
#include <windows.h>
// (kept apart so the order stays)
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>
#include <propidl.h>

namespace vocastra::win32 {
namespace {

HMIXER H(MixerHandle m) {
    return reinterpret_cast<HMIXER>(m);
}
HWAVEOUT W(WaveOutHandle h) {
    return reinterpret_cast<HWAVEOUT>(h);
}

// PKEY_DeviceInterface_FriendlyName, spelled out so no header has to define
// the key's storage.
constexpr PROPERTYKEY kDeviceInterfaceFriendlyName = {
    {0x026e516e, 0xb814, 0x414b, {0x83, 0xcd, 0x85, 0x6d, 0x6f, 0xef, 0x48, 0x22}}, 2};
const CLSID kMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID kIAudioEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

MixerLineInfo FromLine(const MIXERLINEW& l) {
    MixerLineInfo i;
    i.lineId = l.dwLineID;
    i.componentType = l.dwComponentType;
    i.channels = l.cChannels;
    i.connections = l.cConnections;
    i.controls = l.cControls;
    i.name = Narrow(std::wstring_view(l.szName, wcsnlen(l.szName, MIXER_LONG_NAME_CHARS)));
    return i;
}

// COM for the calling thread, for the length of one call.
struct ComScope {
    HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~ComScope() {
        if (SUCCEEDED(hr))
            ::CoUninitialize();
    }
};

template <typename T>
void Release(T*& p) {
    if (p)
        p->Release();
    p = nullptr;
}

void CALLBACK SystemWaveOutProc(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                                DWORD_PTR) {
    if (msg != WOM_DONE || !instance)
        return;
    auto* dev = reinterpret_cast<Win32WaveOut::Device*>(instance);
    dev->owner->OnSystemDone(dev, reinterpret_cast<void*>(param1));
}

}  // namespace

// --- Mixer

uint32_t Win32Mixer::GetNumDevs() {
    return ::mixerGetNumDevs();
}

MixerHandle Win32Mixer::Open(uint32_t id, MixerOpenBy by, bool notify) {
    DWORD flags = by == MixerOpenBy::WaveOutId  ? MIXER_OBJECTF_WAVEOUT
                  : by == MixerOpenBy::WaveInId ? MIXER_OBJECTF_WAVEIN
                                                : MIXER_OBJECTF_MIXER;
    DWORD_PTR callback = 0;
    if (notify && m_mainWindow.Handle()) {
        callback = reinterpret_cast<DWORD_PTR>(m_mainWindow.Handle());
        flags |= CALLBACK_WINDOW;
    }
    HMIXER h = nullptr;
    if (::mixerOpen(&h, id, callback, 0, flags) != MMSYSERR_NOERROR)
        return 0;
    return reinterpret_cast<MixerHandle>(h);
}

void Win32Mixer::Close(MixerHandle m) {
    if (m)
        ::mixerClose(H(m));
}

std::optional<MixerCaps> Win32Mixer::GetDevCaps(MixerHandle m) {
    MIXERCAPSW caps{};
    if (::mixerGetDevCapsW(reinterpret_cast<UINT_PTR>(H(m)), &caps, sizeof(caps)) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    return MixerCaps{Narrow(std::wstring_view(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN))),
                     caps.cDestinations};
}

std::optional<MixerLineInfo> Win32Mixer::GetDestination(MixerHandle m, uint32_t index) {
    MIXERLINEW l{};
    l.cbStruct = sizeof(l);
    l.dwDestination = index;
    if (::mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(H(m)), &l,
                            MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    return FromLine(l);
}

std::optional<MixerLineInfo> Win32Mixer::GetSource(MixerHandle m, uint32_t dest, uint32_t index) {
    MIXERLINEW l{};
    l.cbStruct = sizeof(l);
    l.dwDestination = dest;
    l.dwSource = index;
    if (::mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(H(m)), &l,
                            MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) != MMSYSERR_NOERROR)
        return std::nullopt;
    return FromLine(l);
}

std::optional<MixerControlInfo> Win32Mixer::GetLineControlByType(MixerHandle m, uint32_t lineId,
                                                                 uint32_t type) {
    MIXERCONTROLW c{};
    c.cbStruct = sizeof(c);
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof(lc);
    lc.dwLineID = lineId;
    lc.dwControlType = type;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof(c);
    lc.pamxctrl = &c;
    if (::mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(H(m)), &lc,
                                MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    MixerControlInfo i;
    i.controlId = c.dwControlID;
    i.controlType = c.dwControlType;
    i.controlFlags = c.fdwControl;
    i.multipleItems = c.cMultipleItems;
    const bool isSigned = (c.dwControlType & mixerconst::kUnitsMask) == mixerconst::kUnitsSigned ||
                          (c.dwControlType & mixerconst::kUnitsMask) == mixerconst::kUnitsDecibels;
    i.minimum = isSigned ? int64_t(c.Bounds.lMinimum) : int64_t(c.Bounds.dwMinimum);
    i.maximum = isSigned ? int64_t(c.Bounds.lMaximum) : int64_t(c.Bounds.dwMaximum);
    i.steps = c.Metrics.cSteps;
    return i;
}

bool Win32Mixer::GetControlDetails(MixerHandle m, uint32_t id, uint32_t channels, uint32_t items,
                                   std::vector<uint32_t>& values) {
    if (values.size() < std::size_t(channels) * std::max<uint32_t>(items, 1))
        return false;
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof(d);
    d.dwControlID = id;
    d.cChannels = channels;
    d.cMultipleItems = items;
    d.cbDetails = sizeof(DWORD);
    d.paDetails = values.data();
    return ::mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(H(m)), &d,
                                     MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

bool Win32Mixer::SetControlDetails(MixerHandle m, uint32_t id, uint32_t channels, uint32_t items,
                                   const std::vector<uint32_t>& values) {
    if (values.size() < std::size_t(channels) * std::max<uint32_t>(items, 1))
        return false;
    std::vector<uint32_t> copy = values;
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof(d);
    d.dwControlID = id;
    d.cChannels = channels;
    d.cMultipleItems = items;
    d.cbDetails = sizeof(DWORD);
    d.paDetails = copy.data();
    return ::mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(H(m)), &d,
                                    MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

// --- AudioEndpoints

EndpointList Win32AudioEndpoints::ListActive(int flow) {
    EndpointList list;
    ComScope com;
    IMMDeviceEnumerator* en = nullptr;
    IMMDeviceCollection* all = nullptr;
    HRESULT hr = ::CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIMMDeviceEnumerator,
                                    reinterpret_cast<void**>(&en));
    UINT count = 0;
    if (FAILED(hr)) {
        list.failedStep = 1;
    } else if (FAILED(hr = en->EnumAudioEndpoints(flow == 0 ? eRender : eCapture,
                                                  DEVICE_STATE_ACTIVE, &all))) {
        list.failedStep = 2;
    } else if (FAILED(hr = all->GetCount(&count))) {
        list.failedStep = 3;
    }
    list.result = static_cast<uint32_t>(hr);
    for (UINT i = 0; list.failedStep == 0 && i < count; ++i) {
        EndpointList::Entry e;
        IMMDevice* dev = nullptr;
        IPropertyStore* store = nullptr;
        PROPVARIANT v;
        PropVariantInit(&v);
        if (FAILED(all->Item(i, &dev)))
            e.failedStep = 4;
        else if (FAILED(dev->OpenPropertyStore(STGM_READ, &store)))
            e.failedStep = 5;
        else if (FAILED(store->GetValue(kDeviceInterfaceFriendlyName, &v)) || v.vt != VT_LPWSTR ||
                 !v.pwszVal)
            e.failedStep = 6;
        else
            e.friendlyName = Narrow(v.pwszVal);
        PropVariantClear(&v);
        Release(store);
        Release(dev);
        list.endpoints.push_back(e);
        if (e.failedStep)
            break;
    }
    Release(all);
    Release(en);
    return list;
}

EndpointVolumeHandle Win32AudioEndpoints::ActivateVolume(int flow, uint32_t index) {
    ComScope com;
    IMMDeviceEnumerator* en = nullptr;
    IMMDeviceCollection* all = nullptr;
    IMMDevice* dev = nullptr;
    IAudioEndpointVolume* vol = nullptr;
    if (SUCCEEDED(::CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIMMDeviceEnumerator,
                                     reinterpret_cast<void**>(&en))) &&
        SUCCEEDED(
            en->EnumAudioEndpoints(flow == 0 ? eRender : eCapture, DEVICE_STATE_ACTIVE, &all)) &&
        SUCCEEDED(all->Item(index, &dev))) {
        // Kept for the process's life, as the binding expects.
        if (FAILED(dev->Activate(kIAudioEndpointVolume, CLSCTX_ALL, nullptr,
                                 reinterpret_cast<void**>(&vol))))
            vol = nullptr;
    }
    Release(dev);
    Release(all);
    Release(en);
    return reinterpret_cast<EndpointVolumeHandle>(vol);
}

bool Win32AudioEndpoints::SetMasterVolumeScalar(EndpointVolumeHandle v, float scalar) {
    if (!v)
        return false;
    ComScope com;
    return SUCCEEDED(reinterpret_cast<IAudioEndpointVolume*>(v)->SetMasterVolumeLevelScalar(
        std::clamp(scalar, 0.0f, 1.0f), nullptr));
}

std::optional<float> Win32AudioEndpoints::GetMasterVolumeScalar(EndpointVolumeHandle v) {
    if (!v)
        return std::nullopt;
    ComScope com;
    float f = 0;
    if (FAILED(reinterpret_cast<IAudioEndpointVolume*>(v)->GetMasterVolumeLevelScalar(&f)))
        return std::nullopt;
    return f;
}

// --- WaveOut

Win32WaveOut::Win32WaveOut() : m_thread([this] { Run(); }) {}

Win32WaveOut::~Win32WaveOut() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void Win32WaveOut::OnSystemDone(Device* device, void* hdr) {
    {
        std::lock_guard lock(m_mutex);
        m_done.emplace_back(device, hdr);
    }
    m_wake.notify_one();
}

void Win32WaveOut::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_done.empty(); });
        if (m_stop)
            return;
        auto [dev, raw] = m_done.front();
        m_done.pop_front();
        auto* wh = static_cast<WAVEHDR*>(raw);
        auto* hdr = reinterpret_cast<WaveHeader*>(wh->dwUser);
        DoneFn done = dev->done;
        const WaveOutHandle handle = dev->handle;
        lock.unlock();
        if (hdr) {
            hdr->flags = wh->dwFlags;
            if (done)
                done(handle, hdr);
        }
        lock.lock();
        --dev->outstanding;
        m_drained.notify_all();
    }
}

uint32_t Win32WaveOut::GetNumDevs() {
    return ::waveOutGetNumDevs();
}

std::optional<std::string> Win32WaveOut::GetDevCapsName(uint32_t id) {
    WAVEOUTCAPSW caps{};
    if (::waveOutGetDevCapsW(id, &caps, sizeof(caps)) != MMSYSERR_NOERROR)
        return std::nullopt;
    return Narrow(std::wstring_view(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN)));
}

uint32_t Win32WaveOut::GetNumInDevs() {
    return ::waveInGetNumDevs();
}

std::optional<std::string> Win32WaveOut::GetInDevCapsName(uint32_t id) {
    WAVEINCAPSW caps{};
    if (::waveInGetDevCapsW(id, &caps, sizeof(caps)) != MMSYSERR_NOERROR)
        return std::nullopt;
    return Narrow(std::wstring_view(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN)));
}

uint32_t Win32WaveOut::Open(WaveOutHandle& out, int deviceId, const WaveFormat& f, DoneFn done) {
    out = 0;
    WAVEFORMATEX wf{};
    wf.wFormatTag = f.formatTag;
    wf.nChannels = f.channels;
    wf.nSamplesPerSec = f.samplesPerSec;
    wf.nAvgBytesPerSec = f.avgBytesPerSec;
    wf.nBlockAlign = f.blockAlign;
    wf.wBitsPerSample = f.bitsPerSample;
    wf.cbSize = 0;
    auto dev = std::make_unique<Device>();
    dev->owner = this;
    dev->done = std::move(done);
    HWAVEOUT h = nullptr;
    const UINT id = deviceId < 0 ? WAVE_MAPPER : static_cast<UINT>(deviceId);
    const MMRESULT r = ::waveOutOpen(&h, id, &wf, reinterpret_cast<DWORD_PTR>(&SystemWaveOutProc),
                                     reinterpret_cast<DWORD_PTR>(dev.get()), CALLBACK_FUNCTION);
    if (r != MMSYSERR_NOERROR)
        return r;
    out = reinterpret_cast<WaveOutHandle>(h);
    dev->handle = out;
    std::lock_guard lock(m_mutex);
    m_devices[out] = std::move(dev);
    return 0;
}

uint32_t Win32WaveOut::Prepare(WaveOutHandle h, WaveHeader& hdr) {
    auto* wh = new WAVEHDR{};
    wh->lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(hdr.data));
    wh->dwBufferLength = hdr.length;
    wh->dwFlags = hdr.flags;
    wh->dwLoops = hdr.loops;
    wh->dwUser = reinterpret_cast<DWORD_PTR>(&hdr);
    const MMRESULT r = ::waveOutPrepareHeader(W(h), wh, sizeof(WAVEHDR));
    if (r != MMSYSERR_NOERROR) {
        delete wh;
        return r;
    }
    hdr.system = wh;
    hdr.flags = wh->dwFlags;
    return 0;
}

uint32_t Win32WaveOut::Unprepare(WaveOutHandle h, WaveHeader& hdr) {
    auto* wh = static_cast<WAVEHDR*>(hdr.system);
    if (!wh)
        return MMSYSERR_INVALPARAM;
    const MMRESULT r = ::waveOutUnprepareHeader(W(h), wh, sizeof(WAVEHDR));
    if (r != MMSYSERR_NOERROR)
        return r;
    hdr.flags = wh->dwFlags;
    hdr.system = nullptr;
    delete wh;
    return 0;
}

uint32_t Win32WaveOut::Write(WaveOutHandle h, WaveHeader& hdr) {
    auto* wh = static_cast<WAVEHDR*>(hdr.system);
    if (!wh)
        return WAVERR_UNPREPARED;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_devices.find(h);
        if (it == m_devices.end())
            return MMSYSERR_INVALHANDLE;
        ++it->second->outstanding;
    }
    const MMRESULT r = ::waveOutWrite(W(h), wh, sizeof(WAVEHDR));
    if (r != MMSYSERR_NOERROR) {
        std::lock_guard lock(m_mutex);
        --m_devices[h]->outstanding;
        return r;
    }
    hdr.flags = wh->dwFlags | WHDR_INQUEUE;
    return 0;
}

uint32_t Win32WaveOut::Reset(WaveOutHandle h) {
    const MMRESULT r = ::waveOutReset(W(h));
    if (r != MMSYSERR_NOERROR)
        return r;
    // Every returned buffer's completion is delivered before this returns,
    // so the caller may close at once. A driver that never returns one is
    // not waited for forever.
    std::unique_lock lock(m_mutex);
    const auto it = m_devices.find(h);
    if (it != m_devices.end()) {
        Device* dev = it->second.get();
        m_drained.wait_for(lock, std::chrono::seconds(2), [dev] { return dev->outstanding <= 0; });
    }
    return 0;
}

uint32_t Win32WaveOut::Close(WaveOutHandle h) {
    const MMRESULT r = ::waveOutClose(W(h));
    if (r != MMSYSERR_NOERROR)
        return r;
    std::unique_lock lock(m_mutex);
    const auto it = m_devices.find(h);
    if (it != m_devices.end()) {
        Device* dev = it->second.get();
        m_drained.wait_for(lock, std::chrono::seconds(2), [dev] { return dev->outstanding <= 0; });
        // A completion still queued for this device goes nowhere.
        for (auto& d : m_done)
            if (d.first == dev)
                static_cast<WAVEHDR*>(d.second)->dwUser = 0;
        if (dev->outstanding > 0) {
            dev->done = nullptr;
            m_closedBusy.push_back(std::move(it->second));
        }
        m_devices.erase(it);
    }
    return 0;
}

}  // namespace vocastra::win32
