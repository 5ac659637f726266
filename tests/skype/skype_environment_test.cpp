// Finding the installed client, its profile, and the commands that give it
// the handset's devices and the program's ring tone.
#include "skype/skype_environment.h"

#include "app/log.h"
#include "app/settings.h"
#include "platform/sim/host_file_system.h"
#include "platform/sim/memory_log_sink.h"
#include "platform/sim/memory_registry.h"
#include "platform/sim/sim_shell.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr const char* kPhone = "Software\\Skype\\Phone";
constexpr const char* kWowPhone = "Software\\Wow6432Node\\Skype\\Phone";

struct ClientInstall : ::testing::Test {
    test::TempDir dir;
    MemoryRegistry registry;
    HostFileSystem fs;
    SimShell shell;
    MemoryLogSink log;
    CSkypeEnvironment env{registry, fs, shell};
    ClientInstall() {
        SetLogSink(&log);
        dir.Write("Skype.exe", "MZ");
    }
    ~ClientInstall() override { SetLogSink(nullptr); }
    void Put(RegistryRoot root, const char* key, const std::string& value) {
        registry.CreateKey(root, key);
        registry.SetString(root, key, "SkypePath", value);
    }
};

TEST_F(ClientInstall, TheFirstPathFoundDecidesEvenWhenItsFileIsMissing) {
    std::string path;
    EXPECT_EQ(env.GetSkypePath(path), 0);
    EXPECT_TRUE(log.Contains("Can not find Skype registry key."));

    Put(kMachine, kPhone, dir.File("Skype.exe"));
    EXPECT_EQ(env.GetSkypePath(path), 1);
    EXPECT_EQ(env.SkypePath(), dir.File("Skype.exe"));
    EXPECT_FALSE(log.Contains("Found Skype registry key."));  // said for the user's keys only

    // The user's own value comes first, and names a missing file: no client,
    // though the machine's value names one.
    Put(kUser, kPhone, dir.File("Gone.exe"));
    EXPECT_EQ(env.GetSkypePath(path), 0);
    EXPECT_EQ(env.SkypePath(), dir.File("Gone.exe"));

    // A value of the wrong type is passed over; the 32-bit view of the user's
    // keys is the last place looked at.
    MemoryRegistry r2;
    CSkypeEnvironment env2{r2, fs, shell};
    r2.CreateKey(kUser, kPhone);
    r2.SetDword(kUser, kPhone, "SkypePath", 7);
    r2.CreateKey(kUser, kWowPhone);
    r2.SetString(kUser, kWowPhone, "SkypePath", dir.File("Skype.exe"));
    log.Clear();
    EXPECT_EQ(env2.GetSkypePath(path), 1);
    EXPECT_EQ(path, dir.File("Skype.exe"));
    EXPECT_TRUE(log.Contains("Found Skype registry key."));

    // A path longer than any real one is not cut into another file's name.
    Put(kUser, kPhone, std::string(kMaxSkypePathBytes + 1, 'a'));
    EXPECT_EQ(env.GetSkypePath(path), 0);
    EXPECT_EQ(env.SkypePath(), "");
}

TEST_F(ClientInstall, ProfilePathsLieUnderTheApplicationDataFolder) {
    shell.SetAppDataFolder("C:\\Users\\ann\\AppData\\Roaming");
    EXPECT_EQ(env.GetSkypeDataPath("live#3aalice"),
              "C:\\Users\\ann\\AppData\\Roaming\\Skype\\live#3aalice\\");
    EXPECT_EQ(env.GetSkypeConfigPath("live#3aalice"),
              "C:\\Users\\ann\\AppData\\Roaming\\Skype\\live#3aalice\\config.xml");
    EXPECT_TRUE(log.Contains(
        "Skype config = [C:\\Users\\ann\\AppData\\Roaming\\Skype\\live#3aalice\\config.xml]"));
    // Without that folder there is no profile: no path relative to wherever
    // the program happens to run.
    shell.SetAppDataFolder("");
    EXPECT_EQ(env.GetSkypeDataPath("bob"), "");
    EXPECT_EQ(env.GetSkypeConfigPath("bob"), "");
}

TEST(ClientAudioDevices, HandsetNamesOnCurrentWindowsAndTheDriverNameOnXp) {
    EXPECT_THAT(
        SkypeAudioDeviceCommands(false, "Mic", "Speaker"),
        ElementsAre("SET AUDIO_IN USB PHONE", "SET AUDIO_OUT USB PHONE", "SET RINGER USB PHONE"));
    EXPECT_THAT(
        SkypeAudioDeviceCommands(true, "USB Mic", "USB Speaker"),
        ElementsAre("SET AUDIO_IN USB Mic", "SET AUDIO_OUT USB Speaker", "SET RINGER USB Speaker"));
    // Never an empty name: what was not found is left as the user set it.
    EXPECT_THAT(SkypeAudioDeviceCommands(true, "", ""), ElementsAre("GET RINGER"));
    EXPECT_THAT(SkypeAudioDeviceCommands(true, "USB Mic", ""),
                ElementsAre("SET AUDIO_IN USB Mic", "GET RINGER"));
    // Long names are cut to the client's limit on a character boundary.
    const auto cmds = SkypeAudioDeviceCommands(
        true, std::string(200, 'a') + "\xC3\xA9\xC3\xA9" + std::string(60, 'b'), "x");
    EXPECT_EQ(cmds[0],
              "SET AUDIO_IN " + std::string(200, 'a') + "\xC3\xA9\xC3\xA9" + std::string(50, 'b'));
}

TEST(ClientRingTone, TheChosenFileOrNothingWhenItCannotBeSentWhole) {
    Settings s;
    s.VAL_RINGTONE = "Ring1.wav";
    s.Val_CustomRingTone = "D:\\tones\\mine.wav";
    EXPECT_EQ(SkypeRingToneCommand(s, "C:\\Vocastra\\"),
              "SET RINGTONE 1 C:\\Vocastra\\RingTone\\Ring1.wav");
    s.VAL_RingTone_Select = 1;
    EXPECT_EQ(SkypeRingToneCommand(s, "C:\\Vocastra\\"), "SET RINGTONE 1 D:\\tones\\mine.wav");
    s.Val_CustomRingTone = "D:\\" + std::string(kMaxRingToneCommandBytes, 'x') + ".wav";
    EXPECT_EQ(SkypeRingToneCommand(s, "C:\\Vocastra\\"), std::nullopt);
}

TEST(ClientVersions, RefusedAndWindowDialledVersions) {
    EXPECT_TRUE(IsRefusedSkypeVersion(6, 22));
    EXPECT_TRUE(IsRefusedSkypeVersion(7, 0));
    EXPECT_FALSE(IsRefusedSkypeVersion(7, 40));
    EXPECT_FALSE(DialsThroughSkypeWindow(7, 5));
    EXPECT_FALSE(DialsThroughSkypeWindow(6, 99));
    EXPECT_TRUE(DialsThroughSkypeWindow(7, 9));
    EXPECT_TRUE(DialsThroughSkypeWindow(7, 40));
    EXPECT_TRUE(DialsThroughSkypeWindow(8, 0));
}

}  // namespace
}  // namespace vocastra
