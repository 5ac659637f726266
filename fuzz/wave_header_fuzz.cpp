// Fuzz target: a wave file as the ring-tone browser and the players meet it.
// The header check and the reader must never crash or read past the file;
// a wave that loads keeps only frames the file holds, writes back to a file
// that loads the same, and plays to its end on a simulated device.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "audio/wave.h"
#include "audio/wave_player.h"
#include "platform/file_system.h"
#include "platform/sim/fake_clock.h"
#include "platform/sim/sim_main_window.h"
#include "platform/sim/sim_sound.h"

namespace {

// One file, in memory, at any path.
class OneFile : public vocastra::FileSystem {
  public:
    explicit OneFile(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::optional<uint64_t> FileSize(const std::string&) override { return m_bytes.size(); }
    std::optional<std::string> ReadFile(const std::string&, std::size_t maxBytes,
                                        uint64_t offset) override {
        if (offset > m_bytes.size())
            return std::string();
        return m_bytes.substr(static_cast<std::size_t>(offset), maxBytes);
    }
    bool WriteWholeFile(const std::string&, const std::string&) override { return false; }
    bool FileExists(const std::string&) override { return true; }
    bool DirectoryExists(const std::string&) override { return false; }
    std::vector<std::string> ListFiles(const std::string&, const std::string&) override {
        return {};
    }

  private:
    std::string m_bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vocastra;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    OneFile file(bytes);
    FakeClock clock;
    SimMainWindow mainWindow(clock);
    SimSound sound(clock, mainWindow);
    sound.AddCard(MakeHandsetSoundCard("USB Phone"));
    IsValidWavFile(file, sound.waveOut, "x.wav", 0);
    GetWavFileSize(file, "x.wav");

    CWave fromFile;
    const WaveLoad r = fromFile.LoadFromFile(file, "x.wav");
    CWave fromBytes;
    if (fromBytes.LoadFromBytes(bytes) != r)
        __builtin_trap();
    if (r != WaveLoad::Ok)
        return 0;
    const std::size_t held = size > 44 ? size - 44 : 0;
    if (fromFile.ByteLength() > held || fromFile.m_pSamples.size() < fromFile.ByteLength() ||
        fromFile.m_nSampleSize != fromFile.m_Format.blockAlign ||
        std::memcmp(fromFile.Samples(), data + 44, fromFile.ByteLength()) != 0)
        __builtin_trap();
    CWave again;
    if (again.LoadFromBytes(fromFile.Store()) != WaveLoad::Ok ||
        again.ByteLength() != fromFile.ByteLength() ||
        std::memcmp(again.Samples(), fromFile.Samples(), again.ByteLength()) != 0)
        __builtin_trap();

    // Played once, and looped, to the end of the device's time.
    CWaveOut player(sound.waveOut);
    player.m_Wave = fromFile;
    player.m_Device.m_strName = "USB Phone";
    if (player.Open()) {
        player.Play();
        for (int i = 0; i < 64 && sound.MsUntilNextDone() != UINT32_MAX; ++i) {
            clock.Advance(std::min<uint32_t>(sound.MsUntilNextDone(), 60'000));
            sound.Pump();
        }
        player.PlayLooped();
        clock.Advance(1000);
        sound.Pump();
        player.Close();
    }
    return 0;
}
