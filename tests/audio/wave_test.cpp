// Wave files in and out, hostile ones included, and the playable-file check.
#include "audio/wave.h"
#include "audio_fixture.h"

namespace vocastra {
namespace {

std::string Le32(uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

// A 44-byte header as the files in the wild carry it.
std::string Header(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                   uint32_t dataLength, const char* chunk = "data", uint16_t align = 0) {
    if (!align)
        align = static_cast<uint16_t>(channels * bits / 8);
    std::string h = "RIFF" + Le32(dataLength + 36) + "WAVEfmt " + Le32(16);
    h += {char(tag & 0xFF), char(tag >> 8), char(channels & 0xFF), char(channels >> 8)};
    h += Le32(rate) + Le32(rate * align);
    h += {char(align & 0xFF), char(align >> 8), char(bits & 0xFF), char(bits >> 8)};
    h += std::string(chunk, 4) + Le32(dataLength);
    return h;
}

TEST(Wave, ReadsTheHeaderWithItsQuirksAndWritesItBack) {
    std::string samples;
    for (int i = 0; i < 8000; ++i)
        samples += {char(i & 0xFF), char((i >> 8) & 0x7F)};
    CWave w;
    ASSERT_EQ(w.LoadFromBytes(Header(1, 1, 8000, 16, 16000) + samples), WaveLoad::Ok);
    EXPECT_EQ(w.m_nSamples, 8000u);
    EXPECT_EQ(w.m_nSampleSize, 2u);
    EXPECT_EQ(w.m_pSamples.size(), 8001u * 2);  // one frame more than held
    EXPECT_EQ(w.Store(), Header(1, 1, 8000, 16, 16000) + samples);

    // Another tag is still taken as PCM.
    ASSERT_EQ(w.LoadFromBytes(Header(3, 1, 8000, 16, 4) + "abcd"), WaveLoad::Ok);
    EXPECT_EQ(w.m_Format.formatTag, 1);

    // A chunk before "data": the RIFF size + 16 bytes from byte 44 are the
    // samples, the chunk's own bytes included.
    const std::string list = Header(1, 1, 8000, 8, 10, "LIST") + "0123456789";
    ASSERT_EQ(w.LoadFromBytes(list), WaveLoad::Ok);
    EXPECT_EQ(w.m_nSamples, 10u);  // RIFF size 46 + 16 asks for 62; the file holds 10
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(w.Samples()), 10), "0123456789");
}

TEST(Wave, HostileFilesAreRefusedOrCutToWhatTheyHold) {
    CWave w;
    ASSERT_EQ(w.LoadFromBytes(Header(1, 1, 8000, 16, 4) + "abcd"), WaveLoad::Ok);
    // A refused file leaves the wave as it was.
    EXPECT_EQ(w.LoadFromBytes(Header(1, 1, 8000, 16, 4).substr(0, 43)), WaveLoad::InvalidFile);
    EXPECT_EQ(w.LoadFromBytes("RIFX" + Header(1, 1, 8000, 16, 0).substr(4)), WaveLoad::InvalidFile);
    EXPECT_EQ(w.LoadFromBytes(Header(1, 1, 8000, 16, 0).replace(8, 4, "AVI ")),
              WaveLoad::InvalidFile);
    EXPECT_EQ(w.LoadFromBytes(Header(1, 1, 8000, 16, 4, "data", 0xFFFF).replace(32, 2, "\0\0", 2) +
                              "abcd"),
              WaveLoad::InvalidFile);  // block alignment 0
    EXPECT_EQ(w.m_nSamples, 2u);

    // Lengths beyond the file: only whole frames the file holds.
    ASSERT_EQ(w.LoadFromBytes(Header(1, 1, 8000, 16, 0xFFFFFFF0) + "abcde"), WaveLoad::Ok);
    EXPECT_EQ(w.m_nSamples, 2u);
    ASSERT_EQ(w.LoadFromBytes(Header(1, 2, 8000, 16, 1000000) + "abc"), WaveLoad::Ok);
    EXPECT_EQ(w.m_nSamples, 0u);
    // 0 channels reads (the device refuses it later).
    ASSERT_EQ(w.LoadFromBytes(Header(1, 0, 8000, 16, 4, "data", 2) + "abcd"), WaveLoad::Ok);
    EXPECT_EQ(w.m_Format.channels, 0);
}

struct ValidWav : test::AudioFixture {
    test::TempDir dir;
    ValidWav() { sound.AddCard(MakeHandsetSoundCard("USB Phone")); }
    bool Check(const std::string& bytes) {
        dir.Write("t.wav", bytes);
        return IsValidWavFile(fs, sound.waveOut, dir.File("t.wav"), 0);
    }
};

TEST_F(ValidWav, TakesWhatTheDeviceAcceptsAndRefusesTheRest) {
    EXPECT_TRUE(Check(Header(1, 1, 8000, 8, 2) + "ab"));
    EXPECT_EQ(sound.OpenWaveOuts(), 0);  // asked and closed
    EXPECT_TRUE(log.Contains("dwSamplesPerSec = 8000"));

    EXPECT_FALSE(Check(Header(3, 1, 8000, 32, 4) + "abcd"));
    EXPECT_TRUE(log.Contains("IsValidWavFile  return FALSE because not PCM format wav"));
    EXPECT_FALSE(Check(Header(1, 0, 8000, 16, 0)));
    EXPECT_TRUE(log.Contains("WAVERR_BADFORMAT : unsupported wave format"));
    EXPECT_TRUE(log.Contains("IsValidWavFile  return FALSE because waveOutOpen return error"));
    EXPECT_FALSE(Check("RIFF"));  // the rest reads as zero
    EXPECT_TRUE(log.Contains("IsValidWavFile  return FALSE because not WAVEfmt"));
    EXPECT_FALSE(Check("MZ"));
    EXPECT_TRUE(log.Contains("IsValidWavFile  return FALSE because not RIFF"));
    EXPECT_FALSE(IsValidWavFile(fs, sound.waveOut, dir.File("missing.wav"), 0));
    EXPECT_TRUE(log.Contains("IsValidWavFile failed on open wav"));

    dir.Write("big.wav", Header(1, 1, 8000, 8, 6000000) + std::string(6000000, 'x'));
    EXPECT_EQ(GetWavFileSize(fs, dir.File("big.wav")), 6000044u);
    EXPECT_EQ(GetWavFileSize(fs, dir.File("missing.wav")), 0u);
}

}  // namespace
}  // namespace vocastra
