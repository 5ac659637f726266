#include "audio/mixer_fader.h"

#include <algorithm>
#include <cmath>

#include "app/log.h"
#include "app/settings.h"
#include "audio/check_vista_os.h"
#include "audio/mixer_names.h"
#include "platform/os_version.h"

namespace vocastra {

using namespace mixerconst;

CMixerBase::~CMixerBase() {
    m_DeviceNames.clear();
    CloseMixer();
}

void CMixerBase::CloseMixer() {
    if (m_hMixer)
        m_ctx.mixer.Close(m_hMixer);
    m_hMixer = 0;
}

bool CMixerBase::OpenMixerByName(const std::string& name, bool withCallback) {
    const uint32_t n = m_ctx.mixer.GetNumDevs();
    CloseMixer();
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const std::string wanted = lower(name);
    for (uint32_t id = 0; id < n; ++id) {
        const MixerHandle h = m_ctx.mixer.Open(id, MixerOpenBy::MixerId, withCallback);
        if (!h)
            continue;
        const auto caps = m_ctx.mixer.GetDevCaps(h);
        if (caps && lower(caps->productName) == wanted) {
            m_hMixer = h;
            return true;
        }
        m_ctx.mixer.Close(h);
    }
    return false;
}

bool CMixerBase::FindControl(uint32_t srcType, uint32_t dstType, uint32_t controlType) {
    Mixer& mx = m_ctx.mixer;
    const auto caps = mx.GetDevCaps(m_hMixer);
    std::optional<MixerLineInfo> line;
    uint32_t destIndex = 0;
    for (uint32_t d = 0; caps && d < caps->destinations; ++d) {
        const auto l = mx.GetDestination(m_hMixer, d);
        if (!l)
            break;
        if (l->componentType == dstType) {
            line = l;
            destIndex = d;
            break;
        }
    }
    if (!line) {
        LogPrintA("Warning: the destination line \n%s\nwas not found.", GetLineTypeName(dstType));
        CloseMixer();
        return false;
    }
    if (srcType != kNoSourceLine) {
        std::optional<MixerLineInfo> src;
        for (uint32_t s = 0; s < line->connections; ++s) {
            const auto l = mx.GetSource(m_hMixer, destIndex, s);
            if (!l)
                break;
            if (l->componentType == srcType) {
                src = l;
                break;
            }
        }
        if (!src) {
            LogPrintA(
                "Warning: the source line \n%s\n not found.\n\n(Associated to Destination line "
                "\n%s)",
                GetLineTypeName(srcType), line->name.c_str());
            CloseMixer();
            return false;
        }
        line = src;
    }
    m_nChannels = static_cast<int32_t>(line->channels);
    if (line->controls == 0) {
        LogPrintA("No controls available for this audio line: %s", line->name.c_str());
        CloseMixer();
        return false;
    }
    const auto control = mx.GetLineControlByType(m_hMixer, line->lineId, controlType);
    if (!control) {
        LogPrintA(
            "Could not find specified mixer control. Associated Windows control will be "
            "disabled.\nControl type: %s,\n\nDest line type: %s,\nSrc  line type: %s\n",
            GetControlTypeName(controlType), GetLineTypeName(dstType), GetLineTypeName(srcType));
        CloseMixer();
        return false;
    }
    m_Control = *control;
    return PrepareControlDetails();
}

bool CMixerBase::PrepareControlDetails() {
    m_Details.controlId = m_Control.controlId;
    m_Details.multipleItems = m_Control.multipleItems;
    m_Details.channels = (m_Control.controlFlags & kControlfUniform)
                             ? 1u
                             : static_cast<uint32_t>(std::max(m_nChannels, 0));
    const uint32_t units = m_Control.controlType & kUnitsMask;
    if (units != kUnitsBoolean && units != kUnitsSigned && units != kUnitsUnsigned &&
        units != kUnitsDecibels && units != kUnitsPercent) {
        LogRaw("Control uses unknown units.");
        CloseMixer();
        return false;
    }
    ForgetValues();
    const uint64_t items =
        (m_Control.controlFlags & kControlfMultiple) ? m_Control.multipleItems : 1u;
    const uint64_t count = items * m_Details.channels;
    // A driver's counts are outside input: a line of no channels or an
    // absurd item count gets no array rather than an exhausted memory.
    if (count == 0 || count > 4096) {
        LogRaw("Memory allocation error.");
        CloseMixer();
        return false;
    }
    m_pValues.assign(static_cast<std::size_t>(count), 0);
    m_bValues = true;
    return true;
}

bool CMixerBase::ReadValues() {
    if (!m_hMixer || !m_bValues)
        return false;
    return m_ctx.mixer.GetControlDetails(
        m_hMixer, m_Details.controlId, m_Details.channels,
        (m_Control.controlFlags & kControlfMultiple) ? m_Details.multipleItems : 0, m_pValues);
}

bool CMixerBase::WriteValues() {
    if (!m_hMixer || !m_bValues)
        return false;
    return m_ctx.mixer.SetControlDetails(
        m_hMixer, m_Details.controlId, m_Details.channels,
        (m_Control.controlFlags & kControlfMultiple) ? m_Details.multipleItems : 0, m_pValues);
}

// --- CMixerFader

CMixerFader::~CMixerFader() {
    Unbind();
}

void CMixerFader::Unbind() {
    std::lock_guard lock(m_lock);
    CloseMixer();
    ForgetValues();
    m_isFader = m_isSwitch = false;
}

bool CMixerFader::Init(bool withCallback, uint32_t dstType, uint32_t srcType,
                       const std::string& name) {
    std::lock_guard lock(m_lock);
    LogRaw("CMixerFader::Init 0");
    m_nSubType = 2;
    m_isFader = false;
    if (!OpenMixerByName(name, withCallback)) {
        LogRaw("Could not open mixer device");
        LogRaw("CMixerFader::Init 1");
        return false;
    }
    if (!FindControl(srcType, dstType, kControlVolume)) {
        LogRaw("CMixerFader::Init 1");
        return false;
    }
    const int64_t range = m_Control.maximum - m_Control.minimum;
    // A control without steps, or with fewer range units than steps, has no
    // step size: it is refused here rather than divided by later.
    if (range <= 0 || range > int64_t(UINT32_MAX) || m_Control.steps == 0 ||
        uint64_t(range) < m_Control.steps) {
        LogPrintA("CMixerFader::Init: unusable control (range %lld, steps %lu)",
                  static_cast<long long>(range), static_cast<unsigned long>(m_Control.steps));
        CloseMixer();
        ForgetValues();
        LogRaw("CMixerFader::Init 1");
        return false;
    }
    m_nRange = static_cast<uint32_t>(range);
    m_nSteps = m_Control.steps;
    m_nStepSize = m_nRange / m_nSteps;
    if (!m_bValues) {
        LogRaw("m_Value NULL.");
        CloseMixer();
        ForgetValues();
        return false;
    }
    LogPrintA("CMixerFader::Init: m_Value=0x%x",
              static_cast<unsigned>(reinterpret_cast<uintptr_t>(m_pValues.data())));
    m_isFader = true;
    if (ReadValues()) {
        uint32_t level;
        if (m_nChannels < 2 || m_pValues.size() < 2) {
            level = m_pValues[0];
        } else {
            const uint32_t left = m_pValues[0], right = m_pValues[1];
            level = std::max(left, right);
            if (level > 0)
                m_fBalance = (float(right) - float(left)) / float(level);
        }
        m_nPosition = static_cast<int32_t>(level / m_nStepSize);
    }
    return true;
}

bool CMixerFader::InitMuteSwitch(uint32_t dstType, const std::string& name) {
    std::lock_guard lock(m_lock);
    m_nIndex = 0;
    m_isSwitch = false;
    if (!OpenMixerByName(name, false)) {
        LogRaw("Could not open mixer device");
        return false;
    }
    if (!FindControl(kNoSourceLine, dstType, kControlMute))
        return false;
    if ((m_Control.controlFlags & kControlfMultiple) && m_Control.multipleItems == 0) {
        LogPrintA("Invalid control index passed: %d", 0);
        CloseMixer();
        ForgetValues();
        return false;
    }
    m_isSwitch = true;
    ReadValues();
    return true;
}

void CMixerFader::SetFaderValue(int32_t value, int type) {
    std::lock_guard lock(m_lock);
    LogPrintA("SetFaderValue ;type=%d, value = %ld", type, long(value));
    LogRaw("SetFaderValue Step 0");
    if (CheckIsVistaOs(m_ctx.os) == 1) {
        // The step types carry no level: the endpoint moves one level from
        // where it stands (setting the value 0 would silence the earpiece).
        if (type == 0 || type == 1) {
            const int now = GetVistaVolume(m_ctx, m_pEndpointVolume);
            value = std::clamp(now + (type == 0 ? 1 : -1), 0, 31);
        }
        SetVistaVolume(m_ctx, m_pEndpointVolume, value);
        return;
    }
    if (!m_bValues || !m_isFader || m_nStepSize == 0) {
        LogRaw("SetFaderValue Step 1");
        return;
    }
    LogRaw("SetFaderValue Step 2");
    // Levels come from a hand-editable file: kept on the 0..31 scale. The
    // products are taken in 64 bits so no control's range wraps them.
    const uint64_t level = static_cast<uint64_t>(std::clamp(value, 0, 31));
    uint64_t v;
    switch (type) {
        case 0:
            v = (int64_t(m_nPosition) + 25 > int64_t(m_nSteps))
                    ? uint64_t(m_nStepSize) * m_nSteps
                    : uint64_t(m_nStepSize) * uint64_t(std::max<int64_t>(m_nPosition + 25, 0));
            break;
        case 1:
            v = (int64_t(m_nPosition) - 25 <= 0) ? 0 : uint64_t(m_nStepSize) * (m_nPosition - 25);
            break;
        case 2:
            v = level * m_nSteps * m_nStepSize / 31;
            break;
        case 4:
            v = level * m_nRange / 31;
            break;
        default:
            v = 0;
    }
    const uint32_t raw = static_cast<uint32_t>(std::min<uint64_t>(v, m_nRange));
    if (m_Details.channels < 2 || m_pValues.size() < 2) {
        m_pValues[0] = raw;
    } else if (m_fBalance > 0) {
        m_pValues[1] = raw;
        m_pValues[0] = static_cast<uint32_t>((1.0f - m_fBalance) * float(raw));
    } else {
        m_pValues[0] = raw;
        m_pValues[1] = static_cast<uint32_t>((1.0f + m_fBalance) * float(raw));
    }
    if (WriteValues())
        m_nPosition = static_cast<int32_t>(raw / m_nStepSize);
}

std::optional<uint32_t> CMixerFader::ReadFirstValue() {
    std::lock_guard lock(m_lock);
    if (!ReadValues())
        return std::nullopt;
    return m_pValues[0];
}

uint32_t CMixerFader::GetSwitchValue() {
    std::lock_guard lock(m_lock);
    if (!m_isSwitch || !ReadValues() || std::size_t(m_nIndex) >= m_pValues.size())
        return 0;
    return m_pValues[static_cast<std::size_t>(m_nIndex)];
}

bool CMixerFader::SetSwitch(bool on) {
    std::lock_guard lock(m_lock);
    if (!m_isSwitch || !ReadValues() || std::size_t(m_nIndex) >= m_pValues.size())
        return false;
    m_pValues[static_cast<std::size_t>(m_nIndex)] = on ? 1 : 0;
    return WriteValues();
}

// --- Vista and later

void SetVistaVolume(AudioContext& ctx, EndpointVolumeHandle endpoint, int32_t level) {
    std::lock_guard lock(ctx.deviceLock);
    LogRaw("Enter SetVistaVolume");
    if (!endpoint)
        return;
    LogRaw("SetMasterVolumeLevelScalar");
    // The endpoint refuses a scalar outside 0..1; a level from a hand-edited
    // file is kept on the scale instead.
    ctx.endpoints.SetMasterVolumeScalar(endpoint, float(std::clamp(level, 0, 31)) / 31.0f);
}

int GetVistaVolume(AudioContext& ctx, EndpointVolumeHandle endpoint) {
    std::lock_guard lock(ctx.deviceLock);
    LogRaw("Enter GetVistaVolume");
    float scalar = 0;
    if (endpoint) {
        LogRaw("GetMasterVolumeLevelScalar");
        scalar = ctx.endpoints.GetMasterVolumeScalar(endpoint).value_or(0.0f);
    }
    const int vol = static_cast<int>(std::clamp(scalar, 0.0f, 1.0f) * 31);
    LogPrintA("GetVistaVolume: vol=%ld", long(vol));
    return vol;
}

void GetUsbPhoneVolumeCtrl(AudioContext& ctx, std::atomic<EndpointVolumeHandle>& out,
                           int dataFlow) {
    LogRaw("Enter GetUsbPhoneVolumeCtrl");
    const EndpointList list = ctx.endpoints.ListActive(dataFlow);
    auto fail = [](const char* text) {
        LogRaw(text);
        LogRaw("GetUsbPhoneVolumeCtrl Error!\n");
    };
    if (list.failedStep == 1) {
        LogPrintA("GetUsbPhoneVolumeCtrl fail 1, error=0x%x", list.result);
        LogRaw("GetUsbPhoneVolumeCtrl Error!\n");
        return;
    }
    if (list.failedStep == 2)
        return fail("GetUsbPhoneVolumeCtrl fail 2");
    if (list.failedStep == 3)
        return fail("GetUsbPhoneVolumeCtrl fail 3");
    for (uint32_t i = 0; i < list.endpoints.size(); ++i) {
        const auto& e = list.endpoints[i];
        if (e.failedStep == 4)
            return fail("GetUsbPhoneVolumeCtrl fail 4");
        if (e.failedStep == 5)
            return fail("GetUsbPhoneVolumeCtrl fail 5");
        if (e.failedStep != 0 || !e.friendlyName)
            return fail("GetUsbPhoneVolumeCtrl fail 6");
        LogPrintA("Find %s", e.friendlyName->c_str());
        if (e.friendlyName->find("USB") != std::string::npos) {
            if (const EndpointVolumeHandle v = ctx.endpoints.ActivateVolume(dataFlow, i))
                out = v;
            return;
        }
    }
}

// --- the four objects

void AudioMixers::InitializeMixers(const std::string& name, const Settings& s) {
    LogPrintA("InitializeMixers: %s", name.c_str());
    for (CMixerFader* f : {&g_AudioOutMixer, &g_AudioInMixer, &g_AudioOutMute, &g_AudioInMute})
        f->Unbind();
    g_AudioOutMixer.Init(true, kDstSpeakers, kNoSourceLine, name);
    if (!g_AudioInMixer.Init(true, kDstWaveIn, kNoSourceLine, name))
        g_AudioInMixer.Init(true, kDstWaveIn, kSrcMicrophone, name);
    g_AudioOutMute.InitMuteSwitch(kDstSpeakers, name);
    g_AudioInMute.InitMuteSwitch(kDstWaveIn, name);
    g_AudioOutMixer.m_nDataFlow = 0;
    g_AudioInMixer.m_nDataFlow = 1;
    if (CheckIsVistaOs(m_ctx.os) == 1) {
        GetUsbPhoneVolumeCtrl(m_ctx, g_AudioOutMixer.m_pEndpointVolume, 0);
        GetUsbPhoneVolumeCtrl(m_ctx, g_AudioInMixer.m_pEndpointVolume, 1);
    }
    LogRaw("g_AudioOutMixer.SetFaderValue 019");
    g_AudioOutMixer.SetFaderValue(s.VAL_AUDIO_OUT_VOLUME, 4);
    g_AudioInMixer.SetFaderValue(s.VAL_AUDIO_IN_VOLUME, 4);
    g_AudioOutMute.SetSwitch(s.VAL_AUDIO_OUT_MUTE == 1);
    g_AudioInMute.SetSwitch(s.VAL_AUDIO_IN_MUTE == 1);
}

int AudioMixers::GetAudioOutVolume() {
    if (CheckIsVistaOs(m_ctx.os) == 1)
        return GetVistaVolume(m_ctx, g_AudioOutMixer.m_pEndpointVolume);
    const auto v = g_AudioOutMixer.ReadFirstValue();
    if (!v)
        return 0;
    return static_cast<int>(std::clamp<int64_t>((31 * int64_t(*v) + 32767) / 65535, 0, 31));
}

}  // namespace vocastra
