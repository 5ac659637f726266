#include "app/settings.h"

#include "app/log.h"
#include "app/text_util.h"
#include "platform/sim/ini_profile.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra {
namespace {

struct SettingsFixture : ::testing::Test {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Settings settings;
    SettingsStore store{settings, sim.profile, sim.modulePath, sim.registry};
    SettingsFixture() { SetLogSink(&sim.logSink); }
    ~SettingsFixture() override { SetLogSink(nullptr); }
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
    const int scan[] = {10, 1,  4,  7,  22, 17, 2,  5,  8,  0,  18, 3, 6,
                        9,  23, 11, 12, 14, 15, 19, 13, 24, 16, 21, 20};
    for (int i = 0; i < kKeyScanCount; ++i)
        EXPECT_EQ(settings.VAL_KEYSCAN[i], scan[i]) << i;
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

    // The display flag is 0 or 1: any other value would give a blank handset.
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_ENABLE_LCM=2\n");
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_ENABLE_LCM, 1);
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_ENABLE_LCM=-1\n");
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_ENABLE_LCM, 0);
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

// A ring tone path longer than its buffer is cut; a cut that ends in blanks
// must not load differently once saved (the reader drops trailing blanks).
TEST_F(SettingsFixture, ARingTonePathCutAtItsBufferLoadsTheSameAfterASave) {
    const std::string head = "C:\\Tones\\" + std::string(248, 'x');
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_RINGTONE=" + head + "  \r tail.wav\n");
    store.LoadSettings();
    const std::string loaded = settings.VAL_RINGTONE;
    EXPECT_EQ(loaded, head);
    store.SaveSettings();
    Settings reloaded;
    SettingsStore again{reloaded, sim.profile, sim.modulePath, sim.registry};
    again.LoadSettings();
    EXPECT_EQ(reloaded.VAL_RINGTONE, loaded);
}

// A save that cannot put the new file in place says so and leaves the old
// file whole; one that cannot read the file never replaces it with the
// thirteen keys alone.
TEST_F(SettingsFixture, ASaveThatCannotWriteLeavesTheFileAndLogs) {
    const std::string handWritten = "[SETTING]\n; mine\nVAL_LANGUAGE=2\n[KEY]\nVAL_KEYSCAN_1=3\n";
    dir.Write("Vocastra.ini", handWritten);
    store.LoadSettings();
    settings.VAL_LANGUAGE = 4;
    std::filesystem::create_directory(dir.File("Vocastra.ini.tmp"));
    store.SaveSettings();
    EXPECT_EQ(dir.Read("Vocastra.ini"), handWritten);
    EXPECT_TRUE(sim.logSink.Contains("SaveSettings: " + store.SettingsFilePath() +
                                     " could not be written, the settings are not saved"));
    store.Ini().SetFileName(store.SettingsFilePath());
    EXPECT_EQ(store.Ini().WriteInt(4, "VAL_LANGUAGE", "SETTING"), 0);
    EXPECT_TRUE(
        sim.logSink.Contains("CIniFile: VAL_LANGUAGE not written to " + store.SettingsFilePath()));
    EXPECT_EQ(dir.Read("Vocastra.ini"), handWritten);
}

// The file is there but cannot be read (locked, no access).
class UnreadableProfile : public IniProfile {
  protected:
    std::optional<std::string> ReadBytes(const std::string&) override { return std::nullopt; }
};

TEST(IniProfileWrites, AnUnreadableFileIsNeverReplaced) {
    test::TempDir dir;
    dir.Write("s.ini", "[S]\nmine=1\n");
    UnreadableProfile p;
    EXPECT_FALSE(p.WriteString(dir.File("s.ini"), "S", "K", "v"));
    EXPECT_FALSE(p.WriteStrings(dir.File("s.ini"), "S", {{"K", "v"}, {"L", "w"}}));
    EXPECT_EQ(dir.Read("s.ini"), "[S]\nmine=1\n");
    // A missing one is made as before.
    EXPECT_TRUE(p.WriteStrings(dir.File("n.ini"), "S", {{"K", "v"}, {"L", "w"}}));
    EXPECT_EQ(dir.Read("n.ini"), "[S]\r\nK=v\r\nL=w\r\n");
}

TEST(ParseUsbId, TakesWhatDeviceManagerShowsAndNothingElse) {
    struct Case {
        const char* text;
        bool ok;
        uint16_t id;
    } cases[] = {
        {"0d8c", true, 0x0D8C},  {"0D8C", true, 0x0D8C}, {"0x1130", true, 0x1130},
        {" 13d ", true, 0x013D}, {"ffff", true, 0xFFFF}, {"0202 ; mine", true, 0x0202},
        {"", false, 0},          {"0x", false, 0},       {"12345", false, 0},
        {"VID_0D8C", false, 0},  {"0d8c&", false, 0},    {"-1", false, 0},
        {"12 34", false, 0},     {"g1", false, 0},
    };
    for (const auto& c : cases) {
        uint16_t id = 0x4242;
        EXPECT_EQ(ParseUsbId(c.text, id), c.ok) << c.text;
        EXPECT_EQ(id, c.ok ? c.id : 0x4242) << c.text;
    }
}

TEST_F(SettingsFixture, HandsetIdsFromTheFileAndKeptBySave) {
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_HANDSET_VID, kHandsetVendorId);
    EXPECT_EQ(settings.VAL_HANDSET_PID, kHandsetProductId);
    EXPECT_TRUE(sim.logSink.Contains(
        StrPrintf("LoadSettings: handset VID_%04X (built in), PID_%04X (built in)",
                  unsigned{kHandsetVendorId}, unsigned{kHandsetProductId})));

    sim.logSink.Clear();
    const std::string file = "[SETTING]\nVAL_HANDSET_VID=0d8c\nVAL_HANDSET_PID=0x013C ; mine\n";
    dir.Write("Vocastra.ini", file);
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_HANDSET_VID, 0x0D8C);
    EXPECT_EQ(settings.VAL_HANDSET_PID, 0x013C);
    EXPECT_TRUE(sim.logSink.Contains(
        "LoadSettings: handset VID_0D8C (Vocastra.ini), PID_013C (Vocastra.ini)"));
    // Saving writes the thirteen keys after the user's lines and leaves those as they are.
    store.SaveSettings();
    EXPECT_EQ(dir.Read("Vocastra.ini").rfind(file, 0), 0u);

    sim.logSink.Clear();
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_HANDSET_VID=VID_0D8C\nVAL_HANDSET_PID=013C\n");
    store.LoadSettings();
    EXPECT_EQ(settings.VAL_HANDSET_VID, kHandsetVendorId);
    EXPECT_EQ(settings.VAL_HANDSET_PID, 0x013C);
    EXPECT_EQ(sim.logSink.Lines().size(), 1u);
    EXPECT_TRUE(sim.logSink.Contains(
        StrPrintf("LoadSettings: handset VID_%04X (built in, VAL_HANDSET_VID \"VID_0D8C\" is not a "
                  "hexadecimal id), PID_013C (Vocastra.ini)",
                  unsigned{kHandsetVendorId})));
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
