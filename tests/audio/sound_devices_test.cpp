// Which sound devices are the handset's, and the system default devices.
#include "audio/sound_devices.h"
#include "audio_fixture.h"
#include "platform/sim/memory_registry.h"
#include "platform/sim/sim_shell.h"

namespace vocastra {
namespace {

struct SoundDevices : test::AudioFixture {
    std::string Out() {
        std::string n;
        const int found = GetUsbPhoneWaveOutDeviceName(audio.ctx, n);
        EXPECT_EQ(found, n.empty() ? 0 : 1);
        return n;
    }
};

TEST_F(SoundDevices, TheFirstDeviceWithUsbInItsMixerNameIsTheHandset) {
    EXPECT_EQ(Out(), "");
    sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
    sound.AddCard(MakeStereoSoundCard("usb lower case only"));
    sound.AddCard(MakeHandsetSoundCard("USB Audio Device"));
    sound.AddCard(MakeHandsetSoundCard("USB Second Phone"));
    EXPECT_EQ(Out(), "USB Audio Device");
    std::string in;
    EXPECT_EQ(GetUsbPhoneWaveInDeviceName(audio.ctx, in), 1);
    EXPECT_EQ(in, "USB Audio Device");
    EXPECT_TRUE(log.Contains("Enter GetSysWaveOutSoundDeviceNames"));
    EXPECT_TRUE(log.Contains("Find usb lower case only"));
    EXPECT_EQ(sound.OpenMixers(), 0);
}

TEST_F(SoundDevices, OnlyEightDevicesWithMixersAreLookedAt) {
    for (int i = 0; i < 8; ++i)
        sound.AddCard(MakeStereoSoundCard("Card " + std::to_string(i)));
    sound.AddCard(MakeHandsetSoundCard("USB Ninth"));
    EXPECT_EQ(GetWaveOutSoundDeviceNames(audio.ctx).size(), 8u);
    EXPECT_EQ(Out(), "");

    // A handset behind a wave device without a mixer is not found either.
    sound.RemoveAllCards();
    SimSoundCard noMixer = MakeHandsetSoundCard("USB Phone");
    noMixer.hasMixer = false;
    sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
    sound.AddCard(noMixer);
    EXPECT_EQ(GetWaveOutSoundDeviceNames(audio.ctx), std::vector<std::string>{"Realtek HD Audio"});
    EXPECT_EQ(Out(), "");
    // The settings page still lists every wave device.
    EXPECT_EQ(ListWaveOutProductNames(sound.waveOut),
              (std::vector<std::string>{"Realtek HD Audio", "USB Phone"}));
}

TEST(SoundMapper, OnlyWholeTerminatedStringsAreTaken) {
    MemoryRegistry r;
    std::string play = "x", rec = "y";
    EXPECT_EQ(GetSystemDefaultSoundDevices(r, play, rec), 0);
    EXPECT_EQ(play, "");
    EXPECT_EQ(SetSystemDefaultSoundDevices(r, "A", "B"), 0);

    r.CreateKey(RegistryRoot::CurrentUser, kSoundMapperKey);
    EXPECT_EQ(SetSystemDefaultSoundDevices(r, "USB Phone", "USB Mic"), 1);
    EXPECT_EQ(GetSystemDefaultSoundDevices(r, play, rec), 1);
    EXPECT_EQ(play, "USB Phone");
    EXPECT_EQ(rec, "USB Mic");

    auto wide = [](const std::string& ascii, bool terminated) {
        std::string b;
        for (char c : ascii)
            b += {c, '\0'};
        if (terminated)
            b += std::string(2, '\0');
        return b;
    };
    auto raw = [&](uint32_t type, std::string bytes) {
        r.SetRawValue(RegistryRoot::CurrentUser, kSoundMapperKey, "Playback",
                      {type, std::move(bytes)});
        GetSystemDefaultSoundDevices(r, play, rec);
        return play;
    };
    EXPECT_EQ(raw(2, wide("Expandable", true)), "Expandable");
    EXPECT_EQ(raw(4, std::string("\x01\0\0\0", 4)), "");  // a number
    EXPECT_EQ(raw(1, wide("No terminator", false)), "");
    EXPECT_EQ(raw(1, wide("Odd", true) + "x"), "");  // odd byte length
    EXPECT_EQ(raw(1, wide(std::string(79, 'a'), true)), std::string(79, 'a'));
    EXPECT_EQ(raw(1, wide(std::string(80, 'a'), true)), "");  // longer than 80
    EXPECT_EQ(rec, "USB Mic");                                // the other value is read on its own
}

TEST(SoundPanel, OpensTheControlPanelOnItsTab) {
    SimShell shell;
    OpenPlaybackDevicesPanel(shell);
    OpenRecordingDevicesPanel(shell);
    EXPECT_EQ(shell.Opened(),
              (std::vector<std::string>{"rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0",
                                        "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,1"}));
}

}  // namespace
}  // namespace vocastra
