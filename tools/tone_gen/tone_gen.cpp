// Writes the shipped sounds into a data folder: the key tones as their DTMF
// pairs, the ring tones, and the empty IVR folder the ring-tone browser
// opens in. Deterministic: the same bytes on every build.
//   tone_gen DATA_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 16000;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;  // -1..1

void Put32(std::string& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& b, uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}

// PCM mono 16-bit with the plain 44-byte header.
bool WriteWave(const std::filesystem::path& path, const Samples& s) {
    const uint32_t bytes = static_cast<uint32_t>(s.size() * 2);
    std::string b = "RIFF";
    Put32(b, bytes + 36);
    b += "WAVEfmt ";
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, kRate);
    Put32(b, kRate * 2);
    Put16(b, 2);
    Put16(b, 16);
    b += "data";
    Put32(b, bytes);
    for (double v : s) {
        const double c = v > 1 ? 1 : (v < -1 ? -1 : v);
        Put16(b, static_cast<uint16_t>(static_cast<int16_t>(std::lround(c * 32767))));
    }
    std::ofstream out(path, std::ios::binary);
    out << b;
    return static_cast<bool>(out);
}

Samples Silence(double seconds) {
    return Samples(static_cast<std::size_t>(seconds * kRate), 0.0);
}

// A sum of sines under an envelope (time in seconds -> 0..1).
Samples Tone(double seconds, const std::vector<std::pair<double, double>>& partials,
             const std::function<double(double)>& envelope) {
    Samples s(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        double v = 0;
        for (auto [f, a] : partials)
            v += a * std::sin(2 * kPi * f * t);
        s[i] = v * envelope(t);
    }
    return s;
}

// Flat with short ramps, so a tone starts and ends without a click.
std::function<double(double)> Ramped(double seconds, double ramp = 0.005) {
    return [=](double t) {
        if (t < ramp)
            return t / ramp;
        if (t > seconds - ramp)
            return std::max(0.0, (seconds - t) / ramp);
        return 1.0;
    };
}

// A struck bar or bell: fast attack, exponential decay.
std::function<double(double)> Struck(double decay) {
    return [=](double t) { return std::min(1.0, t / 0.004) * std::exp(-t / decay); };
}

void Append(Samples& to, const Samples& s) {
    to.insert(to.end(), s.begin(), s.end());
}

// Adds `s` into `to` from `at` seconds on.
void Mix(Samples& to, const Samples& s, double at) {
    const std::size_t from = static_cast<std::size_t>(at * kRate);
    if (to.size() < from + s.size())
        to.resize(from + s.size(), 0.0);
    for (std::size_t i = 0; i < s.size(); ++i)
        to[from + i] += s[i];
}

double Note(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

Samples Classic() {  // the double ring of a desk telephone
    Samples s;
    for (int burst = 0; burst < 2; ++burst) {
        Append(s, Tone(0.4, {{400, 0.3}, {450, 0.3}}, Ramped(0.4, 0.01)));
        Append(s, Silence(0.2));
    }
    Append(s, Silence(1.4));
    return s;
}

Samples Trill() {  // a bright warble
    Samples s;
    for (int i = 0; i < 20; ++i)
        Append(s, Tone(0.05, {{i % 2 ? 1200.0 : 1000.0, 0.45}}, Ramped(0.05, 0.003)));
    Append(s, Silence(1.0));
    return s;
}

Samples Chime() {  // three falling bell notes
    Samples s = Silence(2.5);
    const int notes[] = {7, 3, -2};  // E5, C5, G4
    for (int i = 0; i < 3; ++i) {
        const double f = Note(notes[i]);
        Mix(s, Tone(1.4, {{f, 0.35}, {f * 2.76, 0.08}, {f * 5.4, 0.03}}, Struck(0.45)), i * 0.45);
    }
    return s;
}

Samples Marimba() {  // a rising arpeggio
    Samples s = Silence(2.4);
    const int notes[] = {-9, -5, -2, 3, -2, -5};  // C4 E4 G4 C5 G4 E4
    for (int i = 0; i < 6; ++i) {
        const double f = Note(notes[i]);
        Mix(s, Tone(0.6, {{f, 0.4}, {f * 4.0, 0.06}}, Struck(0.15)), i * 0.18);
    }
    return s;
}

Samples SoftBell() {  // one soft bell, repeated
    Samples s = Silence(3.0);
    for (int i = 0; i < 2; ++i)
        Mix(s, Tone(1.2, {{660, 0.3}, {660 * 2.0, 0.1}, {660 * 3.01, 0.05}}, Struck(0.35)),
            i * 0.6);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tone_gen DATA_DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path dir = argv[1];
    std::error_code ec;
    fs::create_directories(dir / "RingTone", ec);
    fs::create_directories(dir / "IVR", ec);

    // The keypad's DTMF pairs: row frequency + column frequency.
    struct Key {
        const char* name;
        double low, high;
    };
    const Key keys[] = {{"1", 697, 1209}, {"2", 697, 1336},    {"3", 697, 1477},
                        {"4", 770, 1209}, {"5", 770, 1336},    {"6", 770, 1477},
                        {"7", 852, 1209}, {"8", 852, 1336},    {"9", 852, 1477},
                        {"0", 941, 1336}, {"star", 941, 1209}, {"sharp", 941, 1477}};
    bool ok = true;
    for (const Key& k : keys)
        ok &= WriteWave(dir / (std::string(k.name) + ".wav"),
                        Tone(0.15, {{k.low, 0.4}, {k.high, 0.4}}, Ramped(0.15)));
    ok &= WriteWave(dir / "RingTone" / "Chime.wav", Chime());
    ok &= WriteWave(dir / "RingTone" / "Classic.wav", Classic());
    ok &= WriteWave(dir / "RingTone" / "Marimba.wav", Marimba());
    ok &= WriteWave(dir / "RingTone" / "Soft Bell.wav", SoftBell());
    ok &= WriteWave(dir / "RingTone" / "Trill.wav", Trill());
    if (!ok || !fs::is_directory(dir / "IVR")) {
        std::fprintf(stderr, "tone_gen: cannot write into %s\n", dir.string().c_str());
        return 1;
    }
    return 0;
}
