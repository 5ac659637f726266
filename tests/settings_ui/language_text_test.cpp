#include "settings_ui/language_text.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "app/settings.h"
#include "app/text_util.h"
#include "platform/sim/fixed_module_path.h"
#include "platform/sim/ini_profile.h"
#include "platform/sim/memory_registry.h"
#include "settings_ui/display_strings.h"
#include "test_support.h"

namespace vocastra {
namespace {

class LanguageTextTest : public ::testing::Test {
  protected:
    LanguageTextTest() : texts(profile, settings) {
        settings.programDirectory = dir.Path();
        std::filesystem::create_directories(dir.Path() + "Language");
    }
    void WriteLanguage(const std::string& file, const std::string& body) {
        dir.Write("Language/" + file, "[Language]\r\n" + body);
    }

    test::TempDir dir;
    IniProfile profile;
    Settings settings;
    LanguageTexts texts;
};

TEST_F(LanguageTextTest, FileFollowsTheLanguageIndexAndUnknownIndicesReadEnglish) {
    WriteLanguage("Eng.ini", "Screen_Display_Call=Call\r\n");
    WriteLanguage("Pol.ini", "Screen_Display_Call=Dzwo\xc5\x84\r\n");
    EXPECT_EQ(texts.GetLanguageText("Screen_Display_Call"), "Call");
    settings.VAL_LANGUAGE = 3;  // taken at the next lookup, nothing cached
    EXPECT_EQ(texts.GetLanguageText("Screen_Display_Call"), "Dzwo\xc5\x84");
    EXPECT_EQ(texts.DisplayText(IDS_SCREEN_CALL), "Dzwo\xc5\x84");
    settings.VAL_LANGUAGE = 7;
    EXPECT_EQ(texts.LanguageFilePath(), dir.Path() + "Language/Eng.ini");
    EXPECT_EQ(texts.GetLanguageText("Screen_Display_Call"), "Call");
    settings.VAL_LANGUAGE = -1;
    EXPECT_EQ(texts.GetLanguageText("Screen_Display_Call"), "Call");
    settings.VAL_LANGUAGE = 1;  // no such file: empty texts, no fall-back
    EXPECT_EQ(texts.GetLanguageText("Screen_Display_Call"), "");
}

TEST_F(LanguageTextTest, LongValuesAreCutAndDisplayTextsFitTheirBuffer) {
    WriteLanguage("Eng.ini", "Popup_Message_2=" + std::string(300, 'a') +
                                 "\r\nScreen_Display_Hangup=Rozł"
                                 "\xc4\x85"
                                 "cz\r\n");
    EXPECT_EQ(texts.GetPopupMessage(2), std::string(254, 'a'));
    EXPECT_EQ(texts.GetPopupMessage(9), "");

    std::string out = "old";
    EXPECT_EQ(texts.LoadDisplayText(IDS_SCREEN_HANGUP, out, 100),
              int(std::string_view("Screen_Display_Hangup").size()));
    EXPECT_EQ(out,
              "Rozł"
              "\xc4\x85"
              "cz");
    // 7 bytes with the terminator: "Rozł" is 5 bytes, "ą" would split.
    texts.LoadDisplayText(IDS_SCREEN_HANGUP, out, 7);
    EXPECT_EQ(out, "Rozł");
    EXPECT_EQ(texts.LoadDisplayText(IDS_SCREEN_HANGUP, out, 0), 21);
    EXPECT_EQ(out, "");
    EXPECT_EQ(texts.LoadDisplayText(128, out, 100), 0);  // no such entry
    EXPECT_EQ(out, "");
    EXPECT_EQ(texts.DisplayText(IDS_SCREEN_BACK), "");  // key missing in the file
}

std::string ReadSource(const std::string& rel) {
    std::ifstream in(std::string(VOCASTRA_SOURCE_DIR) + "/" + rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every key the program looks up: the sheet's texts, the tray's, the
// message boxes' and the handset display's (the string-table entries).
std::vector<std::string> AllLanguageKeys() {
    std::vector<std::string> keys = {"Dlg_Caption",
                                     "Page_Audio_Setting",
                                     "Page_Phone_Setting",
                                     "Page_RingTone_Setting",
                                     "Page_Advance_Setting",
                                     "Page_About",
                                     "Volume_Setting",
                                     "DefaultSoundDevice_Setting",
                                     "Audio_Out",
                                     "Audio_In",
                                     "Low",
                                     "High",
                                     "Button_Set",
                                     "LCM",
                                     "Contrast",
                                     "KeyTone",
                                     "Enable_KeyTone",
                                     "RingTone_Setting",
                                     "RingTone",
                                     "Ring_Volume",
                                     "Button_Play",
                                     "Browse",
                                     "RingTone_1",
                                     "RingTone_2",
                                     "Language",
                                     "Startup",
                                     "Auto_Run",
                                     "Copyright_Info",
                                     "Version_Info",
                                     "Button_OK",
                                     "Button_Cancel",
                                     "Button_Apply",
                                     "Menu_Language",
                                     "Menu_Audio_Setting",
                                     "Menu_Phone_Setting",
                                     "Menu_RingTone_Setting",
                                     "Menu_Advanced_Setting",
                                     "Menu_About",
                                     "Menu_Exit",
                                     "Tray_Tip_Info_1",
                                     "Tray_Tip_Info_2",
                                     "Tray_Tip_Info_3",
                                     "Popup_Message_1",
                                     "Popup_Message_2",
                                     "Popup_Message_3",
                                     "Popup_Message_4"};
    for (const auto& e : kDisplayStrings)
        keys.emplace_back(e.key);
    return keys;
}

// True when `text` holds nothing but names, codes, numbers and punctuation,
// which a translation keeps as they are.
bool OnlyNamesAndCodes(std::string text) {
    for (const char* word : {"Vocastra", "Skype", "Windows", "API", "PCM", "WAV", "MB", "OK", "%s"})
        for (std::size_t at; (at = text.find(word)) != std::string::npos;)
            text.erase(at, std::string_view(word).size());
    return std::none_of(text.begin(), text.end(), [](char c) { return std::isalpha(uint8_t(c)); });
}

TEST(ShippedLanguageTest, EveryFileHoldsEveryKeyTranslatedAndReadableAsUnicode) {
    IniProfile profile;
    const std::string dir = std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/";
    const std::vector<std::string> keys = AllLanguageKeys();
    auto value = [&](const std::string& file, const std::string& key, bool* found = nullptr) {
        return profile.GetString(dir + file, kLanguageSection, key, "", kLanguageTextChars, found);
    };
    // Words that are the same in English and in that language.
    const std::set<std::pair<std::string, std::string>> sameWord = {
        {"Ita.ini", "Page_Audio_Setting"}};
    for (const char* file : {"Eng.ini", "Chs.ini", "Cht.ini", "Pol.ini", "Ita.ini"}) {
        SCOPED_TRACE(file);
        // The profile functions read a file without a byte-order mark in the
        // ANSI code page: every file is UTF-16LE with one.
        EXPECT_EQ(ReadSource(std::string("data/Language/") + file).substr(0, 2), "\xFF\xFE");
        std::set<char> mnemonics;
        for (const auto& key : keys) {
            bool found = false;
            const std::string v = value(file, key, &found);
            EXPECT_TRUE(found && !v.empty()) << key;
            if (std::string(file) != "Eng.ini" && !sameWord.count({file, key})) {
                EXPECT_TRUE(v != value("Eng.ini", key) || OnlyNamesAndCodes(v))
                    << key << " left in English: " << v;
            }
            // One access key per menu item, none used twice in the menu.
            if (key.rfind("Menu_", 0) == 0) {
                const std::size_t amp = v.find('&');
                ASSERT_NE(amp, std::string::npos) << key;
                EXPECT_EQ(v.find('&', amp + 1), std::string::npos) << key;
                EXPECT_TRUE(mnemonics.insert(char(std::tolower(uint8_t(v[amp + 1])))).second)
                    << key << ": access key used twice";
            }
        }
        // The version format takes the version once, and nothing else.
        const std::string version = value(file, "Version_Info");
        EXPECT_EQ(std::count(version.begin(), version.end(), '%'), 1) << version;
        EXPECT_NE(version.find("%s"), std::string::npos) << version;
    }
    // The two Chinese files are written for their readers, not converted.
    int same = 0;
    for (const auto& key : keys)
        same += value("Chs.ini", key) == value("Cht.ini", key);
    EXPECT_LT(same, int(keys.size()) / 4);

    // The Windows string table carries the same ids and keys.
    const std::string rc = ReadSource("res/strings.rc");
    std::size_t entries = 0;
    const std::regex line(R"re((\d+)\s+"(\w+)")re");
    for (auto it = std::sregex_iterator(rc.begin(), rc.end(), line); it != std::sregex_iterator();
         ++it, ++entries)
        EXPECT_EQ(DisplayStringKey(std::stoi((*it)[1])), (*it)[2].str());
    EXPECT_EQ(entries, std::size(kDisplayStrings));
}

TEST(ShippedSettingsTest, DefaultFileHoldsEveryDefaultAndTheLanguageNames) {
    test::TempDir dir;
    std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Vocastra.ini",
                               dir.Path() + "Vocastra.ini");
    IniProfile profile;
    MemoryRegistry registry;
    FixedModulePath module(dir.Path() + "vocastra.exe");
    Settings loaded, defaults;
    // Every field starts from something else, so a key the file lacks shows.
    using Field = std::atomic<int32_t> Settings::*;
    const Field fields[] = {&Settings::VAL_AUTORUN_API,     &Settings::VAL_ENABLE_KEYTONE,
                            &Settings::VAL_ENABLE_LCM,      &Settings::VAL_AUDIO_OUT_VOLUME,
                            &Settings::VAL_AUDIO_IN_VOLUME, &Settings::VAL_AUDIO_OUT_MUTE,
                            &Settings::VAL_AUDIO_IN_MUTE,   &Settings::VAL_LCM_CONTRAST,
                            &Settings::VAL_RingTone_Select, &Settings::VAL_RINGTONE_VOLUME,
                            &Settings::VAL_LANGUAGE};
    for (Field f : fields)
        loaded.*f = 2;
    for (auto& level : loaded.VAL_CONTRAST)
        for (auto& v : level)
            v = 77;
    for (auto& v : loaded.VAL_KEYSCAN)
        v = 77;
    loaded.VAL_RINGTONE = loaded.Val_CustomRingTone = "x";
    SettingsStore store(loaded, profile, module, registry);
    store.LoadSettings();
    for (Field f : fields)
        EXPECT_EQ((loaded.*f).load(), (defaults.*f).load());
    // The shipped file names a shipped ring tone, so a new install rings.
    EXPECT_EQ(loaded.VAL_RINGTONE, "Classic.wav");
    EXPECT_EQ(loaded.Val_CustomRingTone, defaults.Val_CustomRingTone);
    for (int l = 0; l < kContrastLevels; ++l)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(loaded.VAL_CONTRAST[l][i], defaults.VAL_CONTRAST[l][i]);
    for (int i = 0; i < kKeyScanCount; ++i)
        EXPECT_EQ(loaded.VAL_KEYSCAN[i], defaults.VAL_KEYSCAN[i]) << i;
    // Each language's name in its own script, in index order.
    const char* names[] = {"English", "中文(简体)", "中文(繁體)", "Polski", "Italiano"};
    store.Ini().SetFileName(store.SettingsFilePath());
    for (int n = 0; n < 5; ++n) {
        std::string name;
        store.Ini().ReadString(StrPrintf("Language_%d", n), "SETTING", name);
        EXPECT_EQ(name, names[n]);
    }
    // Saving keeps the file Unicode, so the names survive.
    store.SaveSettings();
    EXPECT_EQ(dir.Read("Vocastra.ini").substr(0, 2), "\xFF\xFE");
    std::string name;
    store.Ini().ReadString("Language_2", "SETTING", name);
    EXPECT_EQ(name, "中文(繁體)");
}

}  // namespace
}  // namespace vocastra
