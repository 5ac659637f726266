// The simulator's text menu and sheet: typed keys change the program's
// settings through its real tray menu and sheet, and the handset follows.
#include <filesystem>

#include "app/messages.h"
#include "app/tray_menu.h"
#include "session.h"
#include "settings_ui/display_strings.h"
#include "settings_ui/setting_ids.h"
#include "settings_view.h"
#include "test_support.h"

namespace vocastra::sim {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class SettingsView : public ::testing::Test {
  protected:
    SettingsView() {
        const std::string data = std::string(VOCASTRA_SOURCE_DIR) + "/data/";
        std::filesystem::copy(data + "Language", dir.Path() + "Language");
        std::filesystem::copy_file(data + "Vocastra.ini", dir.Path() + "Vocastra.ini");
        session = std::make_unique<Session>(dir.Path());
        session->Start();
        session->TakeTrace();
    }
    // Right-clicks the tray icon and types `keys` into the menu.
    void Menu(std::vector<ViewInput> keys) {
        session->sim().popupMenu.SetChooser([&](const TrayMenuContent& menu) {
            TrayMenuView view(menu);
            for (const ViewInput& k : keys)
                if (auto chosen = view.OnKey(k))
                    return *chosen;
            return 0;
        });
        session->app().HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, kRButtonUp);
        session->Settle();
    }

    test::TempDir dir;
    std::unique_ptr<Session> session;
    const ViewInput up{ViewKey::Up}, down{ViewKey::Down}, right{ViewKey::Right},
        enter{ViewKey::Enter}, escape{ViewKey::Escape}, space{ViewKey::Space};
};

TEST_F(SettingsView, LanguageFromTheMenuReachesTheHandsetAndTheTip) {
    TrayMenuView view(TrayMenuContent{"&Language", {}, 0});
    EXPECT_EQ(view.OnKey(escape), 0);        // dismissed
    Menu({enter, down, down, down, enter});  // the submenu opens on the checked entry
    EXPECT_EQ(session->app().g_Settings.VAL_LANGUAGE, 3);
    EXPECT_EQ(session->sim().trayIcon.Tip(), "Vocastra: słuchawka gotowa");
    session->Advance(1000);  // the next redraw has the soft keys in Polish
    EXPECT_EQ(session->app().languageTexts.DisplayText(IDS_SCREEN_SETTING), "Opcje");
    EXPECT_THAT(session->TakeTrace(), Contains(HasSubstr("LINE")));
}

TEST_F(SettingsView, ContrastAndKeyTonesFromTheSheet) {
    std::vector<std::string> shown;
    session->sim().settingSheet.SetUser([&](SimSettingSheet& sheet) {
        SheetView view;
        view.OnKey(sheet, right);  // contrast 1 -> 2
        view.OnKey(sheet, down);
        view.OnKey(sheet, space);  // key tones off
        shown = view.Lines(sheet);
        view.OnKey(sheet, {ViewKey::Char, 'k'});
    });
    Menu({down, down, enter});  // Phone settings
    EXPECT_THAT(shown, Contains("-- Display --"));
    EXPECT_THAT(shown, Contains(HasSubstr("Contrast")));
    EXPECT_THAT(shown, Contains("> [ ] Play a tone for each key pressed  "));
    EXPECT_THAT(shown, Contains(HasSubstr("(changed)")));
    EXPECT_EQ(session->app().g_Settings.VAL_LCM_CONTRAST, 2);
    EXPECT_EQ(session->app().g_Settings.VAL_ENABLE_KEYTONE, 0);
    EXPECT_THAT(session->TakeTrace(), Contains("HANDSET <- CMD_SET_CONTRAST 162 35 40"));
}

TEST_F(SettingsView, VolumeAndExitFromTheMenuWhileTheSheetIsOpen) {
    session->sim().settingSheet.SetUser([&](SimSettingSheet& sheet) {
        SheetView view;
        for (int i = 0; i < 5; ++i)
            view.OnKey(sheet, {ViewKey::Left});
        view.OnKey(sheet, {ViewKey::Char, 'a'});
        EXPECT_EQ(session->app().g_Settings.VAL_AUDIO_OUT_VOLUME, 20);
        // The tray's Exit while the sheet is open: the sheet is cancelled
        // and the program ends.
        Menu({up, enter});
    });
    Menu({down, enter});  // Audio settings
    EXPECT_TRUE(session->Ended());
}

}  // namespace
}  // namespace vocastra::sim
