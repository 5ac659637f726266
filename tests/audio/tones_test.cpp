// Ring tones and key tones in the assembled program.
#include "audio/tones.h"
#include "app/messages.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

std::string WaveFile(uint32_t frames, char fill) {
    CWave w;
    w.m_Format = WaveFormat{1, 1, 8000, 16000, 2, 16, 0};
    w.Allocate(frames, 2);
    std::fill(w.m_pSamples.begin(), w.m_pSamples.end(), static_cast<uint8_t>(fill));
    return w.Store();
}

struct Tones : ::testing::Test {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    Tones() {
        std::filesystem::create_directories(dir.Path() + "RingTone");
        dir.Write("RingTone/Bell.wav", WaveFile(4000, 'b'));
        dir.Write("5.wav", WaveFile(1200, '5'));
        dir.Write("star.wav", WaveFile(1200, '*'));
        dir.Write("0.wav", WaveFile(1200, '0'));
        sim.sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
        sim.sound.AddCard(MakeHandsetSoundCard("USB Phone"));
        app.g_Settings.VAL_RINGTONE = "Bell.wav";
        app.dlg.SetDeviceNames("USB Phone", "USB Phone");
        app.device.keys.SetOutDeviceName("USB Phone");
    }
    std::vector<SimPlayback> Unstopped() {
        std::vector<SimPlayback> out;
        for (const auto& p : sim.sound.Playbacks())
            if (!p.stopped)
                out.push_back(p);
        return out;
    }
};

TEST_F(Tones, TheRingLoopsOnTheHandsetUntilStoppedAndASecondStartReplacesIt) {
    app.HandleMessage(WM_START_RING, 0, 0);
    app.HandleMessage(WM_START_RING, 0, 0);
    auto p = sim.sound.Playbacks();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_TRUE(p[0].stopped);
    EXPECT_FALSE(p[1].stopped);
    EXPECT_TRUE(p[1].looped);
    EXPECT_EQ(p[1].loops, 300u);
    EXPECT_EQ(p[1].deviceName, "USB Phone");
    EXPECT_EQ(p[1].bytes, WaveFile(4000, 'b').substr(44));
    EXPECT_EQ(sim.sound.OpenWaveOuts(), 1);
    sim.fakeClock.Advance(1500);
    app.HandleMessage(WM_STOP_RING, 0, 0);
    EXPECT_EQ(sim.sound.OpenWaveOuts(), 0);
    EXPECT_EQ(sim.sound.Playbacks()[1].endTick, 1500u);
    EXPECT_TRUE(sim.logSink.Contains("***************Stop Play Incoming Ring Tone***************"));

    // A self-chosen tone that is broken, or missing: nothing plays, nothing
    // stays open, the program goes on.
    app.g_Settings.VAL_RingTone_Select = 1;
    dir.Write("broken.wav", "RIFF\x10\0\0\0WAVEfmt ");
    for (const char* path : {"broken.wav", "missing.wav"}) {
        app.g_Settings.Val_CustomRingTone = dir.File(path);
        sim.sound.ClearPlaybacks();
        app.HandleMessage(WM_START_RING, 0, 0);
        EXPECT_TRUE(sim.sound.Playbacks().empty()) << path;
        EXPECT_EQ(sim.sound.OpenWaveOuts(), 0) << path;
    }
    EXPECT_TRUE(sim.logSink.Contains("Wave file cannot be played (invalid file): " +
                                     dir.File("broken.wav")));
}

TEST_F(Tones, EachKeyPlaysItsToneAndANewKeyCutsThePrevious) {
    app.device.SetThreadsEnabled(false);
    app.g_Settings.VAL_ENABLE_KEYTONE = 1;
    auto keyFile = [&](int key) {
        sim.sound.ClearPlaybacks();
        app.device.keys.ProcessKey(key);
        const auto p = Unstopped();
        return p.empty() ? std::string() : p.back().bytes.substr(0, 1);
    };
    EXPECT_EQ(keyFile(KEY_5), "5");
    EXPECT_EQ(keyFile(KEY_STAR), "*");
    EXPECT_EQ(keyFile(KEY_HOOKUP), "0");
    EXPECT_EQ(keyFile(KEY_SHARP), "");  // sharp.wav is missing: silent, nothing open
    EXPECT_EQ(sim.sound.OpenWaveOuts(), 0);
    EXPECT_EQ(keyFile(KEY_5), "5");
    EXPECT_EQ(keyFile(KEY_STAR), "*");
    EXPECT_EQ(sim.sound.OpenWaveOuts(), 1);  // the 5 was cut when the star came
    app.g_Settings.VAL_ENABLE_KEYTONE = 0;
    EXPECT_EQ(keyFile(KEY_5), "");
}

}  // namespace
}  // namespace vocastra
