#include "settings_ui/language_text.h"

#include <fstream>
#include <iterator>
#include <regex>

#include "app/settings.h"
#include "platform/sim/ini_profile.h"
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

TEST(ShippedLanguageTest, EnglishFileHoldsEveryKeyAndTheResourceTableMatches) {
    IniProfile profile;
    const std::string eng = std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/Eng.ini";
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
    for (const auto& key : keys) {
        bool found = false;
        const std::string v = profile.GetString(eng, kLanguageSection, key, "", 255, &found);
        EXPECT_TRUE(found && !v.empty()) << key;
    }
    EXPECT_NE(profile.GetString(eng, kLanguageSection, "Version_Info", "", 255).find("%s"),
              std::string::npos);

    // The Windows string table carries the same ids and keys.
    const std::string rc = ReadSource("res/strings.rc");
    std::size_t entries = 0;
    const std::regex line(R"re((\d+)\s+"(\w+)")re");
    for (auto it = std::sregex_iterator(rc.begin(), rc.end(), line); it != std::sregex_iterator();
         ++it, ++entries)
        EXPECT_EQ(DisplayStringKey(std::stoi((*it)[1])), (*it)[2].str());
    EXPECT_EQ(entries, std::size(kDisplayStrings));
}

}  // namespace
}  // namespace vocastra
