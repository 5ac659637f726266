#include "earpiece.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "audio/wave.h"

namespace vocastra::sim {
namespace {

// One frame of `p` as a mono sample in -1..1 (channels averaged).
double FrameAt(const SimPlayback& p, std::size_t frame) {
    const WaveFormat& f = p.format;
    const std::size_t align = f.blockAlign;
    const std::size_t width = f.bitsPerSample / 8;
    if (align == 0 || width == 0 || f.channels == 0)
        return 0;
    const std::size_t at = frame * align;
    if (at + align > p.bytes.size())
        return 0;
    double sum = 0;
    for (std::size_t c = 0; c < f.channels && (c + 1) * width <= align; ++c) {
        const auto* b = reinterpret_cast<const uint8_t*>(p.bytes.data() + at + c * width);
        if (width == 1)
            sum += (double(b[0]) - 128.0) / 128.0;
        else  // the top two bytes of a wider sample
            sum += double(int16_t(uint16_t(b[width - 2]) | uint16_t(b[width - 1]) << 8)) / 32768.0;
    }
    return sum / f.channels;
}

double GainAt(const std::vector<SimLevelChange>& levels, const std::string& card, uint32_t tick) {
    double gain = 1.0;
    for (const SimLevelChange& l : levels)
        if (l.card == card && static_cast<int32_t>(tick - l.tick) >= 0)
            gain = l.gain;
    return gain;
}

}  // namespace

std::string RenderEarpiece(const std::vector<SimPlayback>& playbacks,
                           const std::vector<SimLevelChange>& levels, const std::string& card,
                           uint32_t from, uint32_t to) {
    const uint32_t ms = to > from ? to - from : 0;
    std::vector<double> mix(uint64_t(ms) * kEarpieceRate / 1000, 0.0);
    std::vector<double> gain(ms + 1);  // per ms: levels change on ticks
    for (uint32_t m = 0; m <= ms; ++m)
        gain[m] = GainAt(levels, card, from + m);
    for (const SimPlayback& p : playbacks) {
        if (p.deviceName != card || p.format.formatTag != 1 || p.format.samplesPerSec == 0 ||
            p.format.blockAlign == 0)
            continue;
        const std::size_t frames = p.bytes.size() / p.format.blockAlign;
        if (frames == 0)
            continue;
        // Whole output samples throughout: 16 per ms, so a tick is a sample.
        const auto sampleAt = [&](uint32_t tick) {
            return (int64_t(tick) - int64_t(from)) * kEarpieceRate / 1000;
        };
        const int64_t first = sampleAt(p.startTick);
        const int64_t last = std::min<int64_t>(sampleAt(p.endTick), int64_t(mix.size()));
        for (int64_t i = std::max<int64_t>(first, 0); i < last; ++i) {
            std::size_t frame =
                static_cast<std::size_t>((i - first) * p.format.samplesPerSec / kEarpieceRate);
            if (p.looped)
                frame %= frames;
            else if (frame >= frames)
                continue;
            mix[std::size_t(i)] += FrameAt(p, frame) * gain[std::size_t(i * 1000 / kEarpieceRate)];
        }
    }
    CWave out;
    out.m_Format = WaveFormat{1, 1, kEarpieceRate, kEarpieceRate * 2, 2, 16, 0};
    out.Allocate(static_cast<uint32_t>(mix.size()), 2);
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const long v = std::lround(std::clamp(mix[i], -1.0, 1.0) * 32767.0);
        out.m_pSamples[2 * i] = static_cast<uint8_t>(v & 0xFF);
        out.m_pSamples[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    return out.Store();
}

void ToneNames::AddFolder(const std::string& dir) {
    namespace fs = std::filesystem;
    for (const char* sub : {"", "RingTone"}) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(fs::path(dir) / sub, ec)) {
            std::string ext = e.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (!e.is_regular_file(ec) || ext != ".wav")
                continue;
            std::ifstream in(e.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            CWave w;
            if (w.LoadFromBytes(bytes) != WaveLoad::Ok)
                continue;
            const std::string name =
                std::string(sub) + (*sub ? "/" : "") + e.path().filename().string();
            m_data[name].assign(reinterpret_cast<const char*>(w.Samples()), w.ByteLength());
        }
    }
}

std::string ToneNames::NameOf(const SimPlayback& p) const {
    if (!p.bytes.empty())
        for (const auto& [name, data] : m_data)
            if (data.find(p.bytes) != std::string::npos)
                return name;
    return "a wave";
}

}  // namespace vocastra::sim
