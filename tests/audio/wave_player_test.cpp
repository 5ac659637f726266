// Playback on the simulated wave devices, in fake time.
#include "audio/wave_player.h"
#include "app/settings.h"
#include "audio_fixture.h"

namespace vocastra {
namespace {

CWave Tone(uint32_t rate, uint16_t bits, uint32_t frames) {
    CWave w;
    w.m_Format = WaveFormat{1, 1, rate, rate * (bits / 8u), uint16_t(bits / 8), bits, 0};
    w.Allocate(frames, bits / 8u);
    for (uint32_t i = 0; i < w.ByteLength(); ++i)
        w.m_pSamples[i] = static_cast<uint8_t>(i * 7);
    return w;
}

struct Player : test::AudioFixture {
    CWaveOut out{sound.waveOut};
    Player() {
        sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
        sound.AddCard(MakeHandsetSoundCard("USB Phone"));
    }
    void Run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) {
            clock.Advance(10);
            sound.Pump();
        }
    }
};

TEST_F(Player, StreamsInOneSecondBuffersAndRefillsAsTheyComeBack) {
    out.m_Wave = Tone(8000, 16, 16000);  // 2 s
    out.m_Device.m_strName = "USB Phone";
    ASSERT_TRUE(out.Open());
    EXPECT_TRUE(log.Contains("ModifyWaveOutBufferLength = 16000"));
    // Two one-second buffers; the third finds nothing left.
    EXPECT_FALSE(out.Play());
    EXPECT_TRUE(log.Contains("CWaveOut::m_nIndexWaveHdr return false 001"));
    EXPECT_TRUE(out.IsPlaying());
    Run(2100);
    EXPECT_FALSE(out.IsPlaying());
    auto p = sound.Playbacks();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].deviceId, 1);
    EXPECT_EQ(p[0].deviceName, "USB Phone");
    EXPECT_EQ(p[0].startTick, 0u);
    EXPECT_EQ(p[1].startTick, 1000u);
    EXPECT_EQ(p[1].endTick, 2000u);
    EXPECT_EQ(p[0].bytes + p[1].bytes,
              std::string(reinterpret_cast<const char*>(out.m_Wave.Samples()), 32000));

    // 3.5 s: three queued at once, each returned one refilled in order.
    sound.ClearPlaybacks();
    out.m_Wave = Tone(8000, 16, 28000);
    EXPECT_TRUE(out.Play());
    Run(4000);
    p = sound.Playbacks();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[3].startTick, p[0].startTick + 3000);
    EXPECT_EQ(p[3].bytes.size(), 8000u);
    EXPECT_TRUE(log.Contains("CWaveOut::waveOutProc: Call AddNewHeader"));
    EXPECT_TRUE(out.Close());
    EXPECT_EQ(sound.OpenWaveOuts(), 0);
}

TEST_F(Player, BufferLengthIsOneSecondButNeverBelow4096) {
    for (auto [rate, bits, want] : {std::tuple{8000u, 8, 8000}, {1000u, 8, 4096}}) {
        out.m_Wave = Tone(rate, static_cast<uint16_t>(bits), 10);
        ASSERT_TRUE(out.Open());
        EXPECT_TRUE(log.Contains("ModifyWaveOutBufferLength = " + std::to_string(want)));
        out.Close();
    }
}

TEST_F(Player, StopCloseAndTheWaveMapper) {
    out.m_Wave = Tone(8000, 16, 80000);  // 10 s
    out.m_Device.m_strName = "No Such Device";
    ASSERT_TRUE(out.Open());
    EXPECT_TRUE(out.Play());
    Run(1500);
    EXPECT_TRUE(out.Stop());
    Run(5000);
    auto p = sound.Playbacks();
    ASSERT_EQ(p.size(), 4u);       // three, and the refill of the first
    EXPECT_EQ(p[0].deviceId, -1);  // the wave mapper
    EXPECT_TRUE(p[1].stopped);
    EXPECT_EQ(p[1].endTick, 1500u);
    EXPECT_TRUE(out.Close());
    log.Clear();
    EXPECT_TRUE(out.Close());
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"WaveOut::Close( 001", "WaveOut::Close( 004"}));

    // A device that refuses the format stays closed.
    out.m_Wave.m_Format.channels = 0;
    EXPECT_FALSE(out.Open());
    EXPECT_FALSE(out.IsOpen());
    EXPECT_TRUE(log.Contains("WAVERR_BADFORMAT : unsupported wave format"));
    EXPECT_FALSE(out.Play());
    EXPECT_FALSE(out.PlayLooped());
}

TEST_F(Player, LoopedPlaysTheWholeWave300Times) {
    out.m_Wave = Tone(8000, 16, 4000);  // 0.5 s
    out.m_Device.m_strName = "USB Phone";
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(out.PlayLooped());
    Run(3000);
    EXPECT_TRUE(out.IsPlaying());
    auto p = sound.Playbacks();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_TRUE(p[0].looped);
    EXPECT_EQ(p[0].loops, 300u);
    EXPECT_EQ(p[0].bytes.size(), 8000u);
    EXPECT_EQ(p[0].endTick, 150000u);
    out.Close();
    EXPECT_EQ(sound.Playbacks()[0].endTick, 3000u);
}

}  // namespace
}  // namespace vocastra
