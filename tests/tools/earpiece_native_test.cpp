// What the simulator's earpiece stream holds for a ringing call answered
// and a key pressed afterwards, checked on the samples and their spectrum.
#include "earpiece.h"

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "audio/wave.h"
#include "script_runner.h"
#include "test_support.h"

namespace vocastra::sim {
namespace {

std::vector<double> Samples(const std::string& fileBytes) {
    CWave w;
    EXPECT_EQ(w.LoadFromBytes(fileBytes), WaveLoad::Ok);
    EXPECT_EQ(w.m_Format.samplesPerSec, kEarpieceRate);
    EXPECT_EQ(w.m_Format.bitsPerSample, 16);
    std::vector<double> out(w.m_nSamples);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(w.Samples()[2 * i] | w.Samples()[2 * i + 1] << 8) / 32768.0;
    return out;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Radix-2 FFT in place; the size is a power of two.
void Fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / double(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
                const auto u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// The frequencies of the two strongest spectral peaks of `s`, ascending.
std::pair<double, double> TwoStrongest(const std::vector<double>& s) {
    std::vector<std::complex<double>> a(1 << 14);  // ~1 Hz bins
    for (std::size_t i = 0; i < s.size() && i < a.size(); ++i)
        a[i] = s[i] * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(s.size())));
    Fft(a);
    const double bin = double(kEarpieceRate) / double(a.size());
    std::vector<std::pair<double, std::size_t>> peaks;
    for (std::size_t k = 1; k + 1 < a.size() / 2; ++k)
        if (std::abs(a[k]) > std::abs(a[k - 1]) && std::abs(a[k]) >= std::abs(a[k + 1]))
            peaks.push_back({std::abs(a[k]), k});
    std::sort(peaks.rbegin(), peaks.rend());
    EXPECT_GE(peaks.size(), 2u);
    if (peaks.size() < 2)
        return {0, 0};
    const double f1 = double(peaks[0].second) * bin, f2 = double(peaks[1].second) * bin;
    return {std::min(f1, f2), std::max(f1, f2)};
}

std::size_t At(double seconds) {
    return static_cast<std::size_t>(seconds * kEarpieceRate);
}

// Each buffer sounds from its start to its end (a reset cuts it), at the
// card's gain of the moment; a looped one repeats; other cards are not heard.
TEST(Earpiece, BuffersSoundInTheirTimeAtTheGainOfTheMoment) {
    SimPlayback stereo8;  // 8 kHz, 8-bit stereo, both channels at +0.5
    stereo8.deviceName = "USB PHONE";
    stereo8.format = WaveFormat{1, 2, 8000, 16000, 2, 8, 0};
    stereo8.bytes = std::string(2 * 800, char(192));  // 100 ms of frames
    stereo8.startTick = 10;
    stereo8.endTick = 20;  // reset after 10 ms
    SimPlayback looped;    // 16 kHz mono 16-bit: +0.25, -0.25, repeated
    looped.deviceName = "USB PHONE";
    looped.format = WaveFormat{1, 1, 16000, 32000, 2, 16, 0};
    looped.bytes = std::string("\x00\x20\x00\xe0", 4);
    looped.looped = true;
    looped.startTick = 30;
    looped.endTick = 32;
    SimPlayback elsewhere = stereo8;
    elsewhere.deviceName = "Speakers";
    const std::vector<SimLevelChange> levels = {
        {0, "USB PHONE", 1.0}, {15, "USB PHONE", 0.5}, {0, "Speakers", 1.0}};
    const std::vector<double> out =
        Samples(RenderEarpiece({stereo8, looped, elsewhere}, levels, "USB PHONE", 0, 40));
    ASSERT_EQ(out.size(), At(0.040));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double want = 0;
        if (i >= 160 && i < 240)
            want = 0.5;
        else if (i >= 240 && i < 320)
            want = 0.25;
        else if (i >= 480 && i < 512)
            want = (i % 2 == 0 ? 0.25 : -0.25) * 0.5;
        ASSERT_NEAR(out[i], want, 2.0 / 32768) << "sample " << i;
    }
}

TEST(Earpiece, ARingingCallRingsUntilAnsweredAndKeyFivePlaysItsDtmfPair) {
    test::TempDir dir;
    std::filesystem::copy(VOCASTRA_DATA_DIR, dir.Path(), std::filesystem::copy_options::recursive);
    const std::string wav = dir.File("out.wav");
    std::ostringstream trace;
    ASSERT_EQ(RunScriptText(ReadAll(std::string(VOCASTRA_SOURCE_DIR) +
                                    "/tests/scenarios/ring_answer_keytone.sim"),
                            dir.Path(), trace, wav),
              0)
        << trace.str();
    const std::vector<double> out = Samples(ReadAll(wav));
    // ring 3 s, answer 0.6 s, talk 2 s, idle 1 s and more, key 5, 0.5 s
    ASSERT_GE(out.size(), At(7.0)) << trace.str();

    // The ring tone, looped from the ring on, at one gain: sample for sample
    // the shipped file.
    const std::vector<double> ring = Samples(ReadAll(dir.File("RingTone/Classic.wav")));
    ASSERT_FALSE(ring.empty());
    std::size_t start = 0;
    while (start < out.size() && out[start] == 0)
        ++start;
    ASSERT_LT(start, At(0.1));
    double best = 1e9, gain = 0;
    for (std::size_t s = start >= 3 ? start - 3 : 0; s <= start; ++s) {
        double num = 0, den = 0;
        for (std::size_t i = s; i < At(2.9); ++i) {
            const double r = ring[(i - s) % ring.size()];
            num += out[i] * r;
            den += r * r;
        }
        const double g = den > 0 ? num / den : 0;
        double worst = 0;
        for (std::size_t i = s; i < At(2.9); ++i)
            worst = std::max(worst, std::abs(out[i] - g * ring[(i - s) % ring.size()]));
        if (worst < best)
            best = worst, gain = g;
    }
    EXPECT_GT(gain, 0.5);
    EXPECT_LT(best, 3.0 / 32768);

    // Answered: the hook key's tone, the 500 ms it is given to end, then the
    // ring stops; nothing of ours plays during the call.
    for (std::size_t i = At(3.8); i < At(5.0); ++i)
        ASSERT_EQ(out[i], 0.0) << "sound at " << double(i) / kEarpieceRate << " s";

    // The last sound: key 5's tone, 770 Hz and 1336 Hz.
    std::size_t end = out.size();
    while (end > 0 && out[end - 1] == 0)
        --end;
    ASSERT_GT(end, At(6.1));
    const std::size_t begin = end - At(0.1);
    for (std::size_t i = begin; i < end; i += At(0.01))
        ASSERT_NE(out[i] + out[i + 1], 0.0) << "a gap at " << double(i) / kEarpieceRate << " s";
    const auto [low, high] = TwoStrongest({out.begin() + long(begin), out.begin() + long(end)});
    EXPECT_NEAR(low, 770, 5);
    EXPECT_NEAR(high, 1336, 5);
}

}  // namespace
}  // namespace vocastra::sim
