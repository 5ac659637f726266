#include "platform/sim/sim_sound.h"

#include <algorithm>
#include <climits>

#include "app/messages.h"

namespace vocastra {
namespace {

using namespace mixerconst;
constexpr uint32_t kBadDeviceId = 2;    // MMSYSERR_BADDEVICEID
constexpr uint32_t kInvalHandle = 5;    // MMSYSERR_INVALHANDLE
constexpr uint32_t kInvalParam = 11;    // MMSYSERR_INVALPARAM
constexpr uint32_t kStillPlaying = 33;  // WAVERR_STILLPLAYING
constexpr uint32_t kUnprepared = 34;    // WAVERR_UNPREPARED

// Line ids carry their place: destination in the high half, source + 1 low.
uint32_t LineId(uint32_t dest, int src = -1) {
    return (dest << 16) | static_cast<uint32_t>(src + 1);
}

SimMixerControl Control(uint32_t type, uint32_t channels, uint32_t max, uint32_t steps,
                        uint32_t value) {
    SimMixerControl c;
    c.info.controlType = type;
    c.info.minimum = 0;
    c.info.maximum = max;
    c.info.steps = steps;
    c.values.assign(channels, value);
    return c;
}

SimMixerLine Line(uint32_t type, uint32_t channels, const std::string& name) {
    SimMixerLine l;
    l.info.componentType = type;
    l.info.channels = channels;
    l.info.name = name;
    return l;
}

// Ids follow the lines and controls' places, as a driver numbers them.
void Number(SimSoundCard& card) {
    for (uint32_t d = 0; d < card.destinations.size(); ++d) {
        SimMixerLine& dst = card.destinations[d];
        dst.info.lineId = LineId(d);
        dst.info.connections = static_cast<uint32_t>(dst.sources.size());
        dst.info.controls = static_cast<uint32_t>(dst.controls.size());
        for (uint32_t c = 0; c < dst.controls.size(); ++c)
            dst.controls[c].info.controlId = dst.info.lineId * 16 + c;
        for (uint32_t s = 0; s < dst.sources.size(); ++s) {
            SimMixerLine& src = dst.sources[s];
            src.info.lineId = LineId(d, static_cast<int>(s));
            src.info.controls = static_cast<uint32_t>(src.controls.size());
            for (uint32_t c = 0; c < src.controls.size(); ++c)
                src.controls[c].info.controlId = src.info.lineId * 16 + c;
        }
    }
}

bool FormatTaken(const WaveFormat& f) {
    if (f.formatTag != 1 || f.channels < 1 || f.channels > 2)
        return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
        return false;
    if (f.samplesPerSec < 1000 || f.samplesPerSec > 192000)
        return false;
    const uint32_t align = f.channels * f.bitsPerSample / 8u;
    return f.blockAlign == align && f.avgBytesPerSec == f.samplesPerSec * align;
}

uint32_t DurationMs(const WaveFormat& f, uint64_t bytes) {
    const uint64_t rate = f.avgBytesPerSec;
    return rate == 0 ? 0
                     : static_cast<uint32_t>(std::min<uint64_t>(bytes * 1000 / rate, UINT32_MAX));
}

}  // namespace

SimSoundCard MakeStereoSoundCard(const std::string& name) {
    SimSoundCard c;
    c.name = name;
    c.renderEndpointName = "Speakers (" + name + ")";
    c.captureEndpointName = "Microphone (" + name + ")";
    SimMixerLine spk = Line(kDstSpeakers, 2, "Master Volume");
    spk.controls.push_back(Control(kControlVolume, 2, 65535, 65535, 65535));
    spk.controls.push_back(Control(kControlMute, 1, 1, 2, 0));
    spk.controls.back().info.controlFlags = kControlfUniform;
    SimMixerLine in = Line(kDstWaveIn, 2, "Recording Control");
    in.controls.push_back(Control(kControlVolume, 2, 65535, 65535, 40000));
    in.controls.push_back(Control(kControlMute, 1, 1, 2, 0));
    in.controls.back().info.controlFlags = kControlfUniform;
    SimMixerLine mic = Line(kSrcMicrophone, 1, "Microphone");
    mic.controls.push_back(Control(kControlVolume, 1, 65535, 65535, 30000));
    in.sources.push_back(mic);
    c.destinations = {spk, in};
    Number(c);
    return c;
}

SimSoundCard MakeHandsetSoundCard(const std::string& name) {
    SimSoundCard c;
    c.name = name;
    c.renderEndpointName = "Speakers (" + name + ")";
    c.captureEndpointName = "Microphone (" + name + ")";
    SimMixerLine spk = Line(kDstSpeakers, 1, "Speaker");
    spk.controls.push_back(Control(kControlVolume, 1, 65535, 65535, 65535));
    spk.controls.push_back(Control(kControlMute, 1, 1, 2, 0));
    SimMixerLine in = Line(kDstWaveIn, 1, "Wave In");
    in.controls.push_back(Control(kControlMute, 1, 1, 2, 0));
    SimMixerLine mic = Line(kSrcMicrophone, 1, "Microphone");
    mic.controls.push_back(Control(kControlVolume, 1, 65535, 65535, 40000));
    in.sources.push_back(mic);
    c.destinations = {spk, in};
    Number(c);
    return c;
}

SimSound::SimSound(Clock& clock, MainWindow& mainWindow)
    : m_clock(clock), m_mainWindow(mainWindow) {}
SimSound::~SimSound() = default;

void SimSound::AddCard(SimSoundCard card) {
    std::lock_guard lock(m_mutex);
    Number(card);
    m_cards.push_back(std::move(card));
    NoteGainLocked(static_cast<int>(m_cards.size()) - 1);
}

void SimSound::RemoveAllCards() {
    std::lock_guard lock(m_mutex);
    m_cards.clear();
}

int SimSound::CardOfWaveOut(int id) const {
    for (int i = 0, n = 0; i < static_cast<int>(m_cards.size()); ++i)
        if (m_cards[i].hasWaveOut && n++ == id)
            return i;
    return -1;
}
int SimSound::CardOfWaveIn(int id) const {
    for (int i = 0, n = 0; i < static_cast<int>(m_cards.size()); ++i)
        if (m_cards[i].hasWaveIn && n++ == id)
            return i;
    return -1;
}
int SimSound::CardOfMixer(int id) const {
    for (int i = 0, n = 0; i < static_cast<int>(m_cards.size()); ++i)
        if (m_cards[i].hasMixer && n++ == id)
            return i;
    return -1;
}

SimMixerControl* SimSound::FindControl(int card, uint32_t controlId) {
    if (card < 0 || card >= static_cast<int>(m_cards.size()))
        return nullptr;
    for (auto& d : m_cards[card].destinations) {
        for (auto& c : d.controls)
            if (c.info.controlId == controlId)
                return &c;
        for (auto& s : d.sources)
            for (auto& c : s.controls)
                if (c.info.controlId == controlId)
                    return &c;
    }
    return nullptr;
}

double SimSound::GainLocked(int card) {
    if (card < 0 || card >= static_cast<int>(m_cards.size()))
        return 1.0;
    const SimSoundCard& c = m_cards[card];
    double gain = c.renderScalar;
    for (const auto& d : c.destinations) {
        if (d.info.componentType != kDstSpeakers)
            continue;
        for (const auto& ctl : d.controls) {
            if (ctl.info.controlType == kControlMute && !ctl.values.empty() && ctl.values[0] == 1)
                gain = 0;
            if (ctl.info.controlType == kControlVolume && ctl.info.maximum > 0) {
                const uint32_t v = *std::max_element(ctl.values.begin(), ctl.values.end());
                gain *= std::min(1.0, double(v) / double(ctl.info.maximum));
            }
        }
    }
    return gain;
}

void SimSound::NoteGainLocked(int card) {
    if (card < 0 || card >= static_cast<int>(m_cards.size()))
        return;
    const double g = GainLocked(card);
    for (auto it = m_levels.rbegin(); it != m_levels.rend(); ++it)
        if (it->card == m_cards[card].name) {
            if (it->gain == g)
                return;
            break;
        }
    m_levels.push_back({m_clock.GetTickCount(), m_cards[card].name, g});
}

bool SimSound::SetControlFromOutside(const std::string& card, uint32_t lineType,
                                     uint32_t controlType, std::vector<uint32_t> values) {
    std::vector<int> notify;
    {
        std::lock_guard lock(m_mutex);
        int ci = -1;
        for (int i = 0; i < static_cast<int>(m_cards.size()); ++i)
            if (m_cards[i].name == card)
                ci = i;
        if (ci < 0)
            return false;
        bool set = false;
        for (auto& d : m_cards[ci].destinations) {
            auto setOn = [&](SimMixerLine& l) {
                if (l.info.componentType != lineType)
                    return;
                for (auto& c : l.controls)
                    if (c.info.controlType == controlType && c.values.size() == values.size()) {
                        c.values = values;
                        set = true;
                    }
            };
            setOn(d);
            for (auto& s : d.sources)
                setOn(s);
        }
        if (!set)
            return false;
        NoteGainLocked(ci);
        for (const auto& [h, m] : m_mixers)
            if (m.card == ci && m.notify)
                notify.push_back(ci);
    }
    for (std::size_t i = 0; i < notify.size(); ++i)
        m_mainWindow.Post(kMsgMixerControlChange, 0, 0);
    return true;
}

std::vector<uint32_t> SimSound::ControlValues(const std::string& card, uint32_t lineType,
                                              uint32_t controlType) {
    std::lock_guard lock(m_mutex);
    for (const auto& c : m_cards) {
        if (c.name != card)
            continue;
        for (const auto& d : c.destinations) {
            auto find = [&](const SimMixerLine& l) -> const SimMixerControl* {
                if (l.info.componentType != lineType)
                    return nullptr;
                for (const auto& ctl : l.controls)
                    if (ctl.info.controlType == controlType)
                        return &ctl;
                return nullptr;
            };
            if (auto* f = find(d))
                return f->values;
            for (const auto& s : d.sources)
                if (auto* f = find(s))
                    return f->values;
        }
    }
    return {};
}

float SimSound::RenderScalar(const std::string& card) {
    std::lock_guard lock(m_mutex);
    for (const auto& c : m_cards)
        if (c.name == card)
            return c.renderScalar;
    return 0;
}

double SimSound::Gain(const std::string& card) {
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < static_cast<int>(m_cards.size()); ++i)
        if (m_cards[i].name == card)
            return GainLocked(i);
    return 1.0;
}

std::vector<SimPlayback> SimSound::Playbacks() {
    std::lock_guard lock(m_mutex);
    return m_playbacks;
}
std::vector<SimLevelChange> SimSound::LevelChanges() {
    std::lock_guard lock(m_mutex);
    return m_levels;
}
void SimSound::ClearPlaybacks() {
    std::lock_guard lock(m_mutex);
    m_playbacks.clear();
    for (auto& [h, w] : m_waves)
        w.queue.clear();
}
int SimSound::OpenWaveOuts() {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_waves.size());
}
int SimSound::OpenMixers() {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_mixers.size());
}

void SimSound::Deliver(std::vector<Done>& done) {
    for (auto& [fn, args] : done)
        if (fn)
            fn(args.first, args.second);
    done.clear();
}

int SimSound::Pump() {
    std::vector<Done> done;
    {
        std::lock_guard lock(m_mutex);
        const uint32_t now = m_clock.GetTickCount();
        for (auto& [h, w] : m_waves) {
            while (!w.queue.empty() && m_playbacks[w.queue.front().playback].endTick <= now) {
                WaveHeader* hdr = w.queue.front().hdr;
                hdr->flags = (hdr->flags | waveconst::kDone) & ~waveconst::kInQueue;
                done.push_back({w.done, {h, hdr}});
                w.queue.pop_front();
            }
        }
    }
    const int n = static_cast<int>(done.size());
    Deliver(done);
    return n;
}

uint32_t SimSound::MsUntilNextDone() {
    std::lock_guard lock(m_mutex);
    const uint32_t now = m_clock.GetTickCount();
    uint32_t best = UINT32_MAX;
    for (const auto& [h, w] : m_waves)
        if (!w.queue.empty()) {
            const uint32_t end = m_playbacks[w.queue.front().playback].endTick;
            best = std::min(best, end > now ? end - now : 0u);
        }
    return best;
}

// --- Mixer

uint32_t SimSound::MixerPort::GetNumDevs() {
    std::lock_guard lock(m.m_mutex);
    uint32_t n = 0;
    for (const auto& c : m.m_cards)
        n += c.hasMixer ? 1 : 0;
    return n;
}

MixerHandle SimSound::MixerPort::Open(uint32_t id, MixerOpenBy by, bool notify) {
    std::lock_guard lock(m.m_mutex);
    int card = -1;
    const int i = static_cast<int>(id);
    if (by == MixerOpenBy::MixerId)
        card = m.CardOfMixer(i);
    else if (by == MixerOpenBy::WaveOutId)
        card = m.CardOfWaveOut(i);
    else
        card = m.CardOfWaveIn(i);
    if (card < 0 || !m.m_cards[card].hasMixer)
        return 0;
    const uintptr_t h = m.m_nextHandle++;
    m.m_mixers[h] = {card, notify};
    return h;
}

void SimSound::MixerPort::Close(MixerHandle h) {
    std::lock_guard lock(m.m_mutex);
    m.m_mixers.erase(h);
}

std::optional<MixerCaps> SimSound::MixerPort::GetDevCaps(MixerHandle h) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_mixers.find(h);
    if (it == m.m_mixers.end() || it->second.card >= static_cast<int>(m.m_cards.size()))
        return std::nullopt;
    const SimSoundCard& c = m.m_cards[it->second.card];
    return MixerCaps{c.name, static_cast<uint32_t>(c.destinations.size())};
}

std::optional<MixerLineInfo> SimSound::MixerPort::GetDestination(MixerHandle h, uint32_t index) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_mixers.find(h);
    if (it == m.m_mixers.end() || it->second.card >= static_cast<int>(m.m_cards.size()))
        return std::nullopt;
    const auto& d = m.m_cards[it->second.card].destinations;
    if (index >= d.size())
        return std::nullopt;
    return d[index].info;
}

std::optional<MixerLineInfo> SimSound::MixerPort::GetSource(MixerHandle h, uint32_t dest,
                                                            uint32_t index) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_mixers.find(h);
    if (it == m.m_mixers.end() || it->second.card >= static_cast<int>(m.m_cards.size()))
        return std::nullopt;
    const auto& d = m.m_cards[it->second.card].destinations;
    if (dest >= d.size() || index >= d[dest].sources.size())
        return std::nullopt;
    return d[dest].sources[index].info;
}

std::optional<MixerControlInfo> SimSound::MixerPort::GetLineControlByType(MixerHandle h,
                                                                          uint32_t lineId,
                                                                          uint32_t type) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_mixers.find(h);
    if (it == m.m_mixers.end() || it->second.card >= static_cast<int>(m.m_cards.size()))
        return std::nullopt;
    for (const auto& d : m.m_cards[it->second.card].destinations) {
        auto find = [&](const SimMixerLine& l) -> std::optional<MixerControlInfo> {
            if (l.info.lineId == lineId)
                for (const auto& c : l.controls)
                    if (c.info.controlType == type)
                        return c.info;
            return std::nullopt;
        };
        if (auto f = find(d))
            return f;
        for (const auto& s : d.sources)
            if (auto f = find(s))
                return f;
    }
    return std::nullopt;
}

bool SimSound::MixerPort::GetControlDetails(MixerHandle h, uint32_t controlId, uint32_t channels,
                                            uint32_t items, std::vector<uint32_t>& values) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_mixers.find(h);
    if (it == m.m_mixers.end())
        return false;
    const SimMixerControl* c = m.FindControl(it->second.card, controlId);
    const std::size_t n = std::size_t(channels) * std::max<uint32_t>(items, 1);
    if (!c || channels == 0 || n > c->values.size() || values.size() < n)
        return false;
    std::copy_n(c->values.begin(), n, values.begin());
    return true;
}

bool SimSound::MixerPort::SetControlDetails(MixerHandle h, uint32_t controlId, uint32_t channels,
                                            uint32_t items, const std::vector<uint32_t>& values) {
    int card;
    {
        std::lock_guard lock(m.m_mutex);
        const auto it = m.m_mixers.find(h);
        if (it == m.m_mixers.end())
            return false;
        card = it->second.card;
        SimMixerControl* c = m.FindControl(card, controlId);
        const std::size_t n = std::size_t(channels) * std::max<uint32_t>(items, 1);
        if (!c || channels == 0 || values.size() < n)
            return false;
        // A uniform control given one channel sets all of them, as drivers do.
        for (std::size_t i = 0; i < c->values.size(); ++i)
            c->values[i] = values[std::min(i, n - 1)];
        m.NoteGainLocked(card);
    }
    // Every other mixer handle on the card that asked for notifications
    // hears about the change.
    int notify = 0;
    {
        std::lock_guard lock(m.m_mutex);
        for (const auto& [oh, om] : m.m_mixers)
            if (oh != h && om.card == card && om.notify)
                ++notify;
    }
    for (int i = 0; i < notify; ++i)
        m.m_mainWindow.Post(kMsgMixerControlChange, 0, 0);
    return true;
}

// --- AudioEndpoints

EndpointList SimSound::EndpointsPort::ListActive(int flow) {
    std::lock_guard lock(m.m_mutex);
    EndpointList list;
    for (const auto& c : m.m_cards) {
        const std::string& name = flow == 0 ? c.renderEndpointName : c.captureEndpointName;
        if (!name.empty())
            list.endpoints.push_back({name, 0});
    }
    return list;
}

EndpointVolumeHandle SimSound::EndpointsPort::ActivateVolume(int flow, uint32_t index) {
    std::lock_guard lock(m.m_mutex);
    uint32_t n = 0;
    for (std::size_t i = 0; i < m.m_cards.size(); ++i) {
        const auto& c = m.m_cards[i];
        const std::string& name = flow == 0 ? c.renderEndpointName : c.captureEndpointName;
        if (!name.empty() && n++ == index)
            return (uintptr_t(flow) << 16) | (i + 1);
    }
    return 0;
}

bool SimSound::EndpointsPort::SetMasterVolumeScalar(EndpointVolumeHandle v, float scalar) {
    std::lock_guard lock(m.m_mutex);
    const std::size_t i = (v & 0xFFFF) - 1;
    if (v == 0 || i >= m.m_cards.size() || scalar < 0 || scalar > 1)
        return false;
    ((v >> 16) == 0 ? m.m_cards[i].renderScalar : m.m_cards[i].captureScalar) = scalar;
    m.NoteGainLocked(static_cast<int>(i));
    return true;
}

std::optional<float> SimSound::EndpointsPort::GetMasterVolumeScalar(EndpointVolumeHandle v) {
    std::lock_guard lock(m.m_mutex);
    const std::size_t i = (v & 0xFFFF) - 1;
    if (v == 0 || i >= m.m_cards.size())
        return std::nullopt;
    return (v >> 16) == 0 ? m.m_cards[i].renderScalar : m.m_cards[i].captureScalar;
}

// --- WaveOut

uint32_t SimSound::WaveOutPort::GetNumDevs() {
    std::lock_guard lock(m.m_mutex);
    uint32_t n = 0;
    for (const auto& c : m.m_cards)
        n += c.hasWaveOut ? 1 : 0;
    return n;
}

std::optional<std::string> SimSound::WaveOutPort::GetDevCapsName(uint32_t id) {
    std::lock_guard lock(m.m_mutex);
    const int c = m.CardOfWaveOut(static_cast<int>(id));
    if (c < 0)
        return std::nullopt;
    return m.m_cards[c].name;
}

uint32_t SimSound::WaveOutPort::GetNumInDevs() {
    std::lock_guard lock(m.m_mutex);
    uint32_t n = 0;
    for (const auto& c : m.m_cards)
        n += c.hasWaveIn ? 1 : 0;
    return n;
}

std::optional<std::string> SimSound::WaveOutPort::GetInDevCapsName(uint32_t id) {
    std::lock_guard lock(m.m_mutex);
    const int c = m.CardOfWaveIn(static_cast<int>(id));
    if (c < 0)
        return std::nullopt;
    return m.m_cards[c].name;
}

uint32_t SimSound::WaveOutPort::Open(WaveOutHandle& out, int deviceId, const WaveFormat& format,
                                     DoneFn done) {
    std::lock_guard lock(m.m_mutex);
    out = 0;
    // The mapper plays on the first device.
    const int card = m.CardOfWaveOut(deviceId < 0 ? 0 : deviceId);
    if (card < 0)
        return kBadDeviceId;
    if (!FormatTaken(format))
        return waveconst::kBadFormat;
    out = m.m_nextHandle++;
    m.m_waves[out] = {deviceId, card, format, std::move(done), {}};
    return 0;
}

uint32_t SimSound::WaveOutPort::Prepare(WaveOutHandle h, WaveHeader& hdr) {
    std::lock_guard lock(m.m_mutex);
    if (!m.m_waves.count(h))
        return kInvalHandle;
    if (!hdr.data && hdr.length)
        return kInvalParam;
    hdr.flags = (hdr.flags | waveconst::kPrepared) & ~(waveconst::kDone | waveconst::kInQueue);
    return 0;
}

uint32_t SimSound::WaveOutPort::Unprepare(WaveOutHandle h, WaveHeader& hdr) {
    std::lock_guard lock(m.m_mutex);
    if (!m.m_waves.count(h))
        return kInvalHandle;
    if (hdr.flags & waveconst::kInQueue)
        return kStillPlaying;
    hdr.flags &= ~waveconst::kPrepared;
    return 0;
}

uint32_t SimSound::WaveOutPort::Write(WaveOutHandle h, WaveHeader& hdr) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_waves.find(h);
    if (it == m.m_waves.end())
        return kInvalHandle;
    if (!(hdr.flags & waveconst::kPrepared))
        return kUnprepared;
    OpenWave& w = it->second;
    const uint32_t now = m.m_clock.GetTickCount();
    uint32_t start = now;
    if (!w.queue.empty())
        start = std::max(start, m.m_playbacks[w.queue.back().playback].endTick);
    SimPlayback p;
    p.deviceId = w.deviceId;
    p.deviceName = m.m_cards[w.card].name;
    p.bytes.assign(reinterpret_cast<const char*>(hdr.data), hdr.length);
    p.startTick = start;
    const bool looped = (hdr.flags & (waveconst::kBeginLoop | waveconst::kEndLoop)) ==
                        (waveconst::kBeginLoop | waveconst::kEndLoop);
    p.looped = looped;
    p.loops = looped ? std::max<uint32_t>(hdr.loops, 1) : 1;
    p.format = w.format;
    p.endTick = start + static_cast<uint32_t>(std::min<uint64_t>(
                            uint64_t(DurationMs(w.format, hdr.length)) * p.loops, UINT32_MAX / 2));
    hdr.flags = (hdr.flags | waveconst::kInQueue) & ~waveconst::kDone;
    m.m_playbacks.push_back(p);
    const std::size_t idx = m.m_playbacks.size() - 1;
    w.queue.push_back({&hdr, idx});
    return 0;
}

uint32_t SimSound::WaveOutPort::Reset(WaveOutHandle h) {
    std::vector<Done> done;
    {
        std::lock_guard lock(m.m_mutex);
        const auto it = m.m_waves.find(h);
        if (it == m.m_waves.end())
            return kInvalHandle;
        const uint32_t now = m.m_clock.GetTickCount();
        for (const Queued& q : it->second.queue) {
            SimPlayback& p = m.m_playbacks[q.playback];
            if (p.endTick > now) {
                p.endTick = std::max(now, p.startTick);
                p.stopped = true;
            }
            q.hdr->flags = (q.hdr->flags | waveconst::kDone) & ~waveconst::kInQueue;
            done.push_back({it->second.done, {h, q.hdr}});
        }
        it->second.queue.clear();
    }
    m.Deliver(done);
    return 0;
}

uint32_t SimSound::WaveOutPort::Close(WaveOutHandle h) {
    std::lock_guard lock(m.m_mutex);
    const auto it = m.m_waves.find(h);
    if (it == m.m_waves.end())
        return kInvalHandle;
    if (!it->second.queue.empty())
        return kStillPlaying;
    m.m_waves.erase(it);
    return 0;
}

}  // namespace vocastra
