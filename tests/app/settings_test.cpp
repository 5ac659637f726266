#include "app/settings.h"

#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

struct SettingsFixture : ::testing::Test {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Settings settings;
    SettingsStore store{settings, sim.profile, sim.modulePath, sim.registry};
};

TEST_F(SettingsFixture, MissingFileGivesTheDefaults) {
    store.LoadSettings();
    EXPECT_EQ(settings.programDirectory, dir.Path());
    EXPECT_EQ(settings.VAL_AUTORUN_API, 1);
    EXPECT_EQ(settings.VAL_ENABLE_KEYTONE, 1);
    EXPECT_EQ(settings.VAL_ENABLE_LCM, 1);
    EXPECT_EQ(settings.VAL_AUDIO_OUT_VOLUME, 25);
    EXPECT_EQ(settings.VAL_AUDIO_IN_VOLUME, 25);
    EXPECT_EQ(settings.VAL_AUDIO_OUT_MUTE, 0);
    EXPECT_EQ(settings.VAL_AUDIO_IN_MUTE, 0);
    EXPECT_EQ(settings.VAL_LCM_CONTRAST, 1);
    EXPECT_EQ(settings.VAL_CONTRAST[1][0], 162);
    EXPECT_EQ(settings.VAL_CONTRAST[1][1], 35);
    EXPECT_EQ(settings.VAL_CONTRAST[1][2], 37);
    EXPECT_EQ(settings.VAL_RINGTONE, "");
    EXPECT_EQ(settings.Val_CustomRingTone, "");
    EXPECT_EQ(settings.VAL_RingTone_Select, 0);
    EXPECT_EQ(settings.VAL_RINGTONE_VOLUME, 31);
    EXPECT_EQ(settings.VAL_LANGUAGE, 0);
    const int scan[] = {10, 1, 4, 7, 22, 17, 2, 5, 8, 0, 18, 3, 6,
                        9, 23, 11, 12, 14, 15, 19, 13, 24, 16, 21, 20};
    for (int i = 0; i < kKeyScanCount; ++i) EXPECT_EQ(settings.VAL_KEYSCAN[i], scan[i]) << i;
}

TEST_F(SettingsFixture, FileValuesAreTakenAndContrastIsClamped) {
    dir.Write("Vocastra.ini",
              "[SETTING]\nVAL_AUDIO_OUT_VOLUME=7\nval_ringtone=Bell.wav\nVAL_LCM_CONTRAST=9\n"
              "[KEY]\nVAL_KEYSCAN_5=21\n[LCM]\nVAL_CONTRAST_2C=50\n");
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_AUDIO_OUT_VOLUME, 7);
    EXPECT_EQ(settings.VAL_RINGTONE, "Bell.wav");
    EXPECT_EQ(settings.VAL_LCM_CONTRAST, 2);
    EXPECT_EQ(settings.VAL_KEYSCAN[4], 21);  // scan code 5 now gives the mute key
    EXPECT_EQ(settings.VAL_CONTRAST[2][2], 50);

    dir.Write("Vocastra.ini", "[SETTING]\nVAL_LCM_CONTRAST=-3\n");
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_LCM_CONTRAST, 0);
}

TEST_F(SettingsFixture, SaveWritesTheThirteenKeysAndLeavesHandsetSectionsAlone) {
    dir.Write("Vocastra.ini", "[LCM]\nVAL_CONTRAST_0A=1 ; by hand\n[KEY]\nVAL_KEYSCAN_1=3\n");
    store.LoadSettings();
    settings.VAL_AUDIO_IN_VOLUME = 12;
    settings.VAL_RINGTONE = "Ring 2.wav";
    store.SaveSettings();
    const std::string text = dir.Read("Vocastra.ini");
    EXPECT_EQ(text,
              "[LCM]\nVAL_CONTRAST_0A=1 ; by hand\n[KEY]\nVAL_KEYSCAN_1=3\n[SETTING]\n"
              "VAL_AUTORUN_API=1\nVAL_ENABLE_KEYTONE=1\nVAL_ENABLE_LCM=1\n"
              "VAL_AUDIO_OUT_VOLUME=25\nVAL_AUDIO_IN_VOLUME=12\nVAL_AUDIO_OUT_MUTE=0\n"
              "VAL_AUDIO_IN_MUTE=0\nVAL_LCM_CONTRAST=1\nVAL_RINGTONE=Ring 2.wav\n"
              "Val_CustomRingTone=\nVAL_RingTone_Select=0\nVAL_RINGTONE_VOLUME=31\n"
              "VAL_LANGUAGE=0\n");
    Settings reloaded;
    SettingsStore again{reloaded, sim.profile, sim.modulePath, sim.registry};
    again.LoadSettings();
    EXPECT_EQ(reloaded.VAL_AUDIO_IN_VOLUME, 12);
    EXPECT_EQ(reloaded.VAL_RINGTONE, "Ring 2.wav");
    EXPECT_EQ(reloaded.VAL_KEYSCAN[0], 3);
}

TEST_F(SettingsFixture, AutorunSetsAndDeletesTheRunValue) {
    store.Ini().SetFileName(store.SettingsFilePath());
    store.SetAutorun(true, 3);
    EXPECT_EQ(sim.registry.GetString(RegistryRoot::CurrentUser, kRunKey, "ORMA_VOCASTRA"),
              dir.Path() + "vocastra.exe");
    EXPECT_EQ(settings.VAL_LANGUAGE, 3);
    EXPECT_NE(dir.Read("Vocastra.ini").find("VAL_LANGUAGE=3"), std::string::npos);

    store.SetAutorun(false, 3);
    EXPECT_FALSE(sim.registry.GetString(RegistryRoot::CurrentUser, kRunKey, "ORMA_VOCASTRA"));
    EXPECT_NE(dir.Read("Vocastra.ini").find("VAL_AUTORUN_API=0"), std::string::npos);
}

TEST_F(SettingsFixture, ModuleDirectoryAndIniAccessor) {
    EXPECT_EQ(store.GetModuleDirectory(), dir.Path());
    sim.modulePath.Set("C:\\Program Files\\Vocastra\\vocastra.exe");
    EXPECT_EQ(store.GetModuleDirectory(), "C:\\Program Files\\Vocastra\\");
    sim.modulePath.Set("noseparator");
    EXPECT_EQ(store.GetModuleDirectory(), "");

    CIniFile ini(sim.profile);
    ini.SetFileName(dir.File("lang.ini"));
    std::string out = "stale";
    EXPECT_EQ(ini.ReadString("k", "s", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(ini.WriteInt(-12, "k", "s"), 1);
    EXPECT_EQ(ini.ReadString("k", "s", out), 1);
    EXPECT_EQ(out, "-12");
    EXPECT_EQ(ini.GetLastResult(), 3);
}

}  // namespace
}  // namespace vocastra
