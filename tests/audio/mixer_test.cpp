// The handset's volume and mute on the mixer and on the endpoint volume.
#include "app/settings.h"
#include "audio/mixer_names.h"
#include "audio_fixture.h"

namespace vocastra {
namespace {

using namespace mixerconst;

struct Mixers : test::AudioFixture {
    Settings settings;
    AudioMixers& mx = audio.mixers;
    std::vector<uint32_t> Speaker(const std::string& card = "USB Phone") {
        return sound.ControlValues(card, kDstSpeakers, kControlVolume);
    }
};

TEST_F(Mixers, LevelsStepsAndRoundingOnTheMixer) {
    os.SetWindowsXp();
    sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
    sound.AddCard(MakeHandsetSoundCard("USB Phone"));
    mx.InitializeMixers("usb phone", settings);  // the name is matched ignoring case
    ASSERT_TRUE(mx.g_AudioOutMixer.IsBound());
    // Start-up applies the stored level 25.
    EXPECT_EQ(Speaker(), std::vector<uint32_t>{52850});
    EXPECT_EQ(mx.GetAudioOutVolume(), 25);
    // The other card was left alone.
    EXPECT_EQ(sound.ControlValues("Realtek HD Audio", kDstSpeakers, kControlVolume),
              (std::vector<uint32_t>{65535, 65535}));

    mx.g_AudioOutMixer.SetFaderValue(31, 4);
    EXPECT_EQ(Speaker()[0], 65535u);
    EXPECT_EQ(mx.GetAudioOutVolume(), 31);
    mx.g_AudioOutMixer.SetFaderValue(31, 2);
    EXPECT_EQ(Speaker()[0], 65535u);

    // Within 25 steps of the top a step up gives the top; a step down from
    // 25 steps or fewer gives 0.
    mx.g_AudioOutMixer.SetFaderValue(0, 0);
    EXPECT_EQ(Speaker()[0], 65535u);
    mx.g_AudioOutMixer.SetFaderValue(0, 1);
    EXPECT_EQ(Speaker()[0], 65535u - 25);
    mx.g_AudioOutMixer.SetFaderValue(1, 4);  // 2114
    mx.g_AudioOutMixer.SetFaderValue(0, 1);
    EXPECT_EQ(Speaker()[0], 2114u - 25);
    mx.g_AudioOutMixer.SetFaderValue(0, 4);
    mx.g_AudioOutMixer.SetFaderValue(0, 1);
    EXPECT_EQ(Speaker()[0], 0u);
    mx.g_AudioOutMixer.SetFaderValue(0, 7);  // unknown type: 0
    EXPECT_EQ(Speaker()[0], 0u);

    // A level out of scale from a hand-edited file stays on the scale.
    mx.g_AudioOutMixer.SetFaderValue(99, 4);
    EXPECT_EQ(Speaker()[0], 65535u);
    mx.g_AudioOutMixer.SetFaderValue(-5, 4);
    EXPECT_EQ(Speaker()[0], 0u);
}

TEST_F(Mixers, TheBalanceLastReadIsKept) {
    os.SetWindowsXp();
    SimSoundCard card = MakeStereoSoundCard("USB Headset");
    card.destinations[0].controls[0].values = {0, 40000};  // all right
    sound.AddCard(card);
    settings.VAL_AUDIO_OUT_VOLUME = 31;
    mx.InitializeMixers("USB Headset", settings);
    EXPECT_FLOAT_EQ(mx.g_AudioOutMixer.m_fBalance, 1.0f);
    EXPECT_EQ(sound.ControlValues("USB Headset", kDstSpeakers, kControlVolume),
              (std::vector<uint32_t>{0, 65535}));

    // Left louder by a quarter: the right channel follows at three quarters.
    sound.SetControlFromOutside("USB Headset", kDstSpeakers, kControlVolume, {40000, 30000});
    mx.InitializeMixers("USB Headset", settings);
    EXPECT_FLOAT_EQ(mx.g_AudioOutMixer.m_fBalance, -0.25f);
    EXPECT_EQ(sound.ControlValues("USB Headset", kDstSpeakers, kControlVolume),
              (std::vector<uint32_t>{65535, 49151}));
}

TEST_F(Mixers, EndpointVolumeOnVistaAndLater) {
    sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
    SimSoundCard phone = MakeHandsetSoundCard("USB Phone");
    phone.renderEndpointName = "Speakers (USB Phone)";
    sound.AddCard(phone);
    mx.InitializeMixers("USB Phone", settings);
    ASSERT_NE(mx.g_AudioOutMixer.m_pEndpointVolume, 0u);
    EXPECT_TRUE(log.Contains("Find Speakers (Realtek HD Audio)"));
    // The mixer is left alone; the endpoint carries the level.
    EXPECT_EQ(Speaker()[0], 65535u);
    mx.g_AudioOutMixer.SetFaderValue(31, 4);
    EXPECT_FLOAT_EQ(sound.RenderScalar("USB Phone"), 1.0f);
    mx.g_AudioOutMixer.SetFaderValue(0, 4);
    EXPECT_FLOAT_EQ(sound.RenderScalar("USB Phone"), 0.0f);
    EXPECT_FLOAT_EQ(sound.RenderScalar("Realtek HD Audio"), 1.0f);

    sound.endpoints.SetMasterVolumeScalar(mx.g_AudioOutMixer.m_pEndpointVolume, 0.5f);
    EXPECT_EQ(mx.GetAudioOutVolume(), 15);
    sound.endpoints.SetMasterVolumeScalar(mx.g_AudioOutMixer.m_pEndpointVolume,
                                          15.0f / 31.0f - 1e-6f);
    EXPECT_EQ(mx.GetAudioOutVolume(), 14);

    // The volume keys move one level from where the endpoint stands.
    mx.g_AudioOutMixer.SetFaderValue(0, 0);
    EXPECT_EQ(mx.GetAudioOutVolume(), 15);
    mx.g_AudioOutMixer.SetFaderValue(0, 1);
    mx.g_AudioOutMixer.SetFaderValue(0, 1);
    EXPECT_EQ(mx.GetAudioOutVolume(), 13);
}

TEST_F(Mixers, AnEndpointWithoutUsbInItsNameGetsNoVolume) {
    SimSoundCard phone = MakeHandsetSoundCard("USB Phone");
    phone.renderEndpointName = "Speakers (2- C-Media Audio)";
    sound.AddCard(phone);
    mx.InitializeMixers("USB Phone", settings);
    EXPECT_EQ(mx.g_AudioOutMixer.m_pEndpointVolume, 0u);
    log.Clear();
    mx.g_AudioOutMixer.SetFaderValue(20, 4);
    EXPECT_TRUE(log.Contains("Enter SetVistaVolume"));
    EXPECT_FALSE(log.Contains("SetMasterVolumeLevelScalar"));
    EXPECT_FLOAT_EQ(sound.RenderScalar("USB Phone"), 1.0f);
}

TEST_F(Mixers, RecordingVolumeFallsBackToTheMicrophoneAndMutesFollowSettings) {
    os.SetWindowsXp();
    sound.AddCard(MakeHandsetSoundCard("USB Phone"));
    settings.VAL_AUDIO_IN_VOLUME = 31;
    settings.VAL_AUDIO_OUT_MUTE = 1;
    mx.InitializeMixers("USB Phone", settings);
    EXPECT_TRUE(
        log.Contains("Could not find specified mixer control. Associated Windows control "
                     "will be disabled.\nControl type: MIXERCONTROL_CONTROLTYPE_VOLUME,\n\n"
                     "Dest line type: MIXERLINE_COMPONENTTYPE_DST_WAVEIN,\nSrc  line type: "
                     "No source line\n"));
    EXPECT_TRUE(mx.g_AudioInMixer.IsBound());
    EXPECT_EQ(sound.ControlValues("USB Phone", kSrcMicrophone, kControlVolume),
              std::vector<uint32_t>{65535});
    EXPECT_EQ(sound.ControlValues("USB Phone", kDstSpeakers, kControlMute),
              std::vector<uint32_t>{1});
    EXPECT_EQ(mx.g_AudioOutMute.GetSwitchValue(), 1u);
    EXPECT_EQ(mx.g_AudioInMute.GetSwitchValue(), 0u);
}

TEST_F(Mixers, UnusableMixersAreRefusedAndLeaveEverythingUnbound) {
    os.SetWindowsXp();
    // No handset at all.
    sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
    mx.InitializeMixers("", settings);
    EXPECT_FALSE(mx.g_AudioOutMixer.IsBound());
    EXPECT_TRUE(log.Contains("Could not open mixer device"));
    log.Clear();
    mx.g_AudioOutMixer.SetFaderValue(10, 4);
    EXPECT_TRUE(log.Contains("SetFaderValue Step 1"));
    EXPECT_EQ(mx.GetAudioOutVolume(), 0);

    // A volume of 0 steps, and one of fewer range units than steps: refused
    // when bound, never divided by.
    for (uint32_t steps : {0u, 70000u}) {
        sound.RemoveAllCards();
        SimSoundCard odd = MakeHandsetSoundCard("USB Odd");
        odd.destinations[0].controls[0].info.steps = steps;
        sound.AddCard(odd);
        mx.InitializeMixers("USB Odd", settings);
        EXPECT_FALSE(mx.g_AudioOutMixer.IsBound()) << steps;
        EXPECT_TRUE(mx.g_AudioOutMute.IsBound());
        mx.g_AudioOutMixer.SetFaderValue(0, 0);
        mx.g_AudioOutMixer.SetFaderValue(10, 2);
    }

    // A line without any controls, and a control in units of its own.
    sound.RemoveAllCards();
    SimSoundCard bare = MakeHandsetSoundCard("USB Bare");
    bare.destinations[0].controls.clear();
    bare.destinations[1].controls[0].info.controlType = 0x20000002;  // no known units
    sound.AddCard(bare);
    log.Clear();
    mx.InitializeMixers("USB Bare", settings);
    EXPECT_TRUE(log.Contains("No controls available for this audio line: Speaker"));
    EXPECT_FALSE(mx.g_AudioOutMixer.IsBound());
    EXPECT_FALSE(mx.g_AudioOutMute.IsBound());
    EXPECT_EQ(mx.g_AudioInMute.GetSwitchValue(), 0u);
    EXPECT_EQ(sound.OpenMixers(), 1);  // only the microphone fader holds one
}

TEST(MixerNames, EveryConstantHasItsName) {
    EXPECT_STREQ(GetControlTypeName(0x50030001), "MIXERCONTROL_CONTROLTYPE_VOLUME");
    EXPECT_STREQ(GetControlTypeName(0x20012277), "MIXERCONTROL_CONTROLTYPE_BASS_BOOST");
    EXPECT_STREQ(GetControlTypeName(0x61030000), "MIXERCONTROL_CONTROLTYPE_MILLITIME");
    EXPECT_STREQ(GetControlTypeName(0x12345678), "---- UNKNOWN CONTROL TYPE ----");
    EXPECT_STREQ(GetLineTypeName(4), "MIXERLINE_COMPONENTTYPE_DST_SPEAKERS");
    EXPECT_STREQ(GetLineTypeName(0x100A), "MIXERLINE_COMPONENTTYPE_SRC_ANALOG");
    EXPECT_STREQ(GetLineTypeName(0x100B), "No source line");
    EXPECT_STREQ(GetLineTypeName(9), "---- UNKNOWN LINE TYPE ----");
}

}  // namespace
}  // namespace vocastra
