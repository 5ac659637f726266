// Choosing the language: the tray menu and its check mark, the tray's
// language commands, the Advanced page, and what follows a choice at once.
#include "app/settings.h"
#include "sheet_fixture.h"

namespace vocastra {
namespace {

using test::SheetFixture;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class LanguageChoice : public SheetFixture {
  protected:
    void RightClick() { app.HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, kRButtonUp); }
};

TEST_F(LanguageChoice, RightClickShowsTheMenuInTheCurrentLanguageWithItsCheck) {
    SetInFile("VAL_LANGUAGE", "3");
    Start();
    // Other clicks, and clicks on another icon, show nothing.
    for (intptr_t click : {0x201, 0x202, 0x207, 0x208, 0x200})
        app.HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, click);
    app.HandleMessage(WM_TRAY_NOTIFY, 131, kRButtonUp);
    EXPECT_EQ(sim.popupMenu.ShownCount(), 0);

    RightClick();
    ASSERT_EQ(sim.popupMenu.ShownCount(), 1);
    EXPECT_THAT(
        sim.popupMenu.Lines(),
        ElementsAre("&Język >", "    [ ] English", "    [ ] 中文(简体)", "    [ ] 中文(繁體)",
                    "    [x] Polski", "    [ ] Italiano", "--", "Ustawienia &dźwięku...",
                    "Ustawienia &telefonu...", "Ustawienia dzwo&nka...",
                    "Ustawienia &zaawansowane...", "&O programie Vocastra...", "--", "Za&kończ"));

    // A language index out of range checks nothing and reads English.
    app.g_Settings.VAL_LANGUAGE = 99;
    RightClick();
    EXPECT_EQ(sim.popupMenu.Last()->checkedLanguage, -1);
    EXPECT_EQ(sim.popupMenu.ItemText(ID_APP_EXIT_CMD), "&Exit");
}

TEST_F(LanguageChoice, MissingNamesAndFilesGiveEmptyItemsNotACrash) {
    dir.Write("Vocastra.ini", "[SETTING]\r\nLanguage_0=English\r\nLanguage_1=Deutsch\r\n");
    std::filesystem::remove(dir.Path() + "Language/Cht.ini");
    SetInFile("VAL_LANGUAGE", "2");
    Start();
    RightClick();
    EXPECT_EQ(sim.popupMenu.ItemText(ID_LANGUAGE_COMMANDS[1]), "Deutsch");
    EXPECT_EQ(sim.popupMenu.ItemText(ID_LANGUAGE_COMMANDS[2]), "");
    EXPECT_EQ(sim.popupMenu.ItemText(ID_SETTING_PAGE_COMMANDS[0]), "");
    EXPECT_EQ(sim.popupMenu.Last()->languageTitle, "");
    EXPECT_EQ(sim.popupMenu.Last()->checkedLanguage, 2);
    EXPECT_EQ(sim.trayIcon.Tip(), "");
}

TEST_F(LanguageChoice, ChoosingFromTheMenuWritesAtOnceAndTheTipFollows) {
    Start();
    EXPECT_EQ(sim.trayIcon.Tip(), "Vocastra: handset not connected");
    sim.popupMenu.SetChooser([](const TrayMenuContent&) { return ID_LANGUAGE_COMMANDS[4]; });
    RightClick();
    sim.mainWindow.Pump();
    EXPECT_EQ(app.g_Settings.VAL_LANGUAGE, 4);
    EXPECT_THAT(SettingsFile(), HasSubstr("VAL_LANGUAGE=4"));
    EXPECT_EQ(sim.trayIcon.Tip(), Text(4, "Tray_Tip_Info_2"));
    // The handset's words follow at its next redraw.
    EXPECT_EQ(app.languageTexts.DisplayText(131), "Connessione a Skype...");
}

TEST_F(LanguageChoice, ChoosingWhileTheSheetIsOpenSwitchesItsTextsAtOnce) {
    Start();
    OpenSheet(kAdvancedPage, [&](SimSettingSheet& s) {
        s.ShowPage(kPhonePage);
        EXPECT_EQ(s.Caption(), "Vocastra Settings");
        app.HandleMessage(kMsgCommand, ID_LANGUAGE_COMMANDS[3], 0);  // "Polski"
        // Without Apply: the file has it, the sheet and the list show it.
        EXPECT_THAT(SettingsFile(), HasSubstr("VAL_LANGUAGE=3"));
        EXPECT_EQ(s.Caption(), Text(3, "Dlg_Caption"));
        EXPECT_EQ(s.Page(kPhonePage)->GetText(IDC_ENABLE_KEYTONE), Text(3, "Enable_KeyTone"));
        EXPECT_EQ(s.Page(kAdvancedPage)->SelectedItem(IDC_LANGUAGE_LIST), 3);
        EXPECT_EQ(s.ButtonText(IDOK_BUTTON), "OK");
        sim.mainWindow.Pump();
        EXPECT_EQ(sim.trayIcon.Tip(), Text(3, "Tray_Tip_Info_2"));
        // Back to English by the Advanced page: Apply shows it at once too.
        s.ShowPage(kAdvancedPage);
        s.SelectEntry(IDC_LANGUAGE_LIST, 0);
        s.PressApply();
        EXPECT_EQ(s.Caption(), "Vocastra Settings");
        EXPECT_EQ(s.Page(kPhonePage)->GetText(IDC_ENABLE_KEYTONE),
                  "Play a tone for each key pressed");
    });
    EXPECT_EQ(app.g_Settings.VAL_LANGUAGE, 0);
    EXPECT_THAT(SettingsFile(), HasSubstr("VAL_LANGUAGE=0"));
}

TEST_F(LanguageChoice, AdvancedPageListsNamesUpToTheFirstGapAndKeepsTheLanguageWithoutOne) {
    // Language_2 missing; the file's language is read as text, not from memory.
    dir.Write("Vocastra.ini",
              "[SETTING]\r\nVAL_LANGUAGE=1\r\nLanguage_0=English\r\nLanguage_1=中文(简体)\r\n"
              "Language_3=Polski\r\nVAL_AUTORUN_API=1\r\n");
    Start();
    app.g_Settings.VAL_LANGUAGE = 4;
    OpenSheet(kAdvancedPage, [&](SimSettingSheet& s) {
        SimDialogControls& c = *s.Page(kAdvancedPage);
        EXPECT_EQ(c.ItemCount(IDC_LANGUAGE_LIST), 2);
        EXPECT_EQ(c.SelectedItem(IDC_LANGUAGE_LIST), 1);
        EXPECT_TRUE(c.IsChecked(IDC_AUTORUN));
        s.PressOk();
    });
    EXPECT_EQ(app.g_Settings.VAL_LANGUAGE, 1);
    // Autorun on: the Run value holds the program's full path.
    EXPECT_EQ(sim.registry.GetString(RegistryRoot::CurrentUser, kRunKey, kAutorunValue),
              dir.Path() + "vocastra.exe");

    // An index no entry has (and then no names at all): nothing is
    // selected, and applying keeps the language instead of storing "none".
    dir.Write("Vocastra.ini", "[SETTING]\r\nVAL_LANGUAGE=99\r\n");
    app.g_Settings.VAL_LANGUAGE = 99;
    OpenSheet(kAdvancedPage, [&](SimSettingSheet& s) {
        SimDialogControls& c = *s.Page(kAdvancedPage);
        EXPECT_EQ(c.ItemCount(IDC_LANGUAGE_LIST), 0);
        EXPECT_EQ(c.SelectedItem(IDC_LANGUAGE_LIST), -1);
        EXPECT_EQ(s.Caption(), "Vocastra Settings");  // index 99 reads English
        s.Click(IDC_AUTORUN);
        s.PressOk();
    });
    EXPECT_EQ(app.g_Settings.VAL_LANGUAGE, 99);
    EXPECT_THAT(SettingsFile(), HasSubstr("VAL_LANGUAGE=99"));
    EXPECT_FALSE(sim.registry.GetString(RegistryRoot::CurrentUser, kRunKey, kAutorunValue));
}

}  // namespace
}  // namespace vocastra
