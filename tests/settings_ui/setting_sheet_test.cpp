// The settings sheet through the assembled program: opened from the tray's
// commands, its texts, its pages' init and apply, OK, Apply and Cancel.
#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "app/settings.h"
#include "device/key_codes.h"
#include "settings_ui/setting_dlg.h"
#include "sheet_fixture.h"

namespace vocastra {
namespace {

using test::SheetFixture;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class SettingSheet : public SheetFixture {};

TEST_F(SettingSheet, TextsComeFromTheLanguageFileAsEachPageIsShown) {
    SetInFile("VAL_LANGUAGE", "3");  // Polish
    Start();
    OpenSheet(kRingTonePage, [&](SimSettingSheet& s) {
        EXPECT_EQ(s.Caption(), Text(3, "Dlg_Caption"));
        EXPECT_EQ(s.TabTitle(kAdvancedPage), "Zaawansowane");
        EXPECT_EQ(s.ButtonText(IDCANCEL_BUTTON), "Anuluj");
        EXPECT_EQ(s.ButtonText(IDAPPLY_BUTTON), "Zastosuj");
        EXPECT_EQ(s.Page(kRingTonePage)->GetText(IDC_RING_VOLUME_LABEL), "Głośność dzwonka");
        EXPECT_EQ(s.Page(kAboutPage), nullptr);
        s.ShowPage(kAboutPage);  // a page shown later gets its texts when it is created
        EXPECT_EQ(s.Page(kAboutPage)->GetText(IDC_VERSION), "Vocastra, wersja 1.8");
        EXPECT_EQ(s.Page(kAboutPage)->GetText(IDC_COPYRIGHT), Text(3, "Copyright_Info"));
        s.ShowPage(kAudioPage);
        EXPECT_EQ(s.Page(kAudioPage)->GetText(IDC_DEVICE_OUT_LABEL), "Głośnik");
        EXPECT_EQ(s.Page(kAudioPage)->GetText(IDC_IN_HIGH), "Maks.");
        s.PressOk();
    });
    EXPECT_EQ(sheet.RunCount(), 1);
    EXPECT_FALSE(app.dlg.IsSettingSheetOpen());
    EXPECT_EQ(app.settingsUi.m_pSettingDlg, nullptr);
    // The tray's tip was refreshed in the sheet's language.
    EXPECT_EQ(sim.trayIcon.Tip(), Text(3, "Tray_Tip_Info_2"));
}

TEST_F(SettingSheet, AMissingKeyLeavesItsControlEmptyAndTheVersionIsNeverAFormat) {
    dir.Write("Language/Eng.ini",
              "[Language]\r\nButton_Cancel=Cancel\r\nVersion_Info=%d%n %s%% %s\r\n");
    Start();
    OpenSheet(kAboutPage, [&](SimSettingSheet& s) {
        EXPECT_EQ(s.ButtonText(IDOK_BUTTON), "");
        EXPECT_EQ(s.ButtonText(IDCANCEL_BUTTON), "Cancel");
        EXPECT_EQ(s.Page(kAboutPage)->GetText(IDC_VERSION), "%d%n 1.8% %s");
        EXPECT_EQ(s.Page(kAboutPage)->GetText(IDC_COPYRIGHT), "");
    });
    EXPECT_EQ(FormatVersionText("Wersja %s", "1.8"), "Wersja 1.8");
    EXPECT_EQ(FormatVersionText("no placeholder%", "1.8"), "no placeholder%");
}

TEST_F(SettingSheet, ApplyRunsEveryShownPageAndCancelWritesNothing) {
    Start();
    const std::string before = SettingsFile();
    // Cancel after changing every page: nothing reaches the file or the handset.
    OpenSheet(kAudioPage, [&](SimSettingSheet& s) {
        s.MoveSlider(IDC_SLIDER_1, 3);
        s.ShowPage(kPhonePage);
        s.MoveSlider(IDC_SLIDER_1, 2);
        s.ShowPage(kAdvancedPage);
        s.SelectEntry(IDC_LANGUAGE_LIST, 4);
        s.Click(IDC_AUTORUN);
        EXPECT_TRUE(s.ApplyEnabled());
        s.PressCancel();
    });
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_EQ(app.g_Settings.VAL_AUDIO_OUT_VOLUME, 25);
    EXPECT_EQ(app.g_Settings.VAL_LANGUAGE, 0);
    EXPECT_FALSE(HandsetGot("HANDSET <- CMD_SET_CONTRAST 162 35 40"));

    sim.registry.SetString(RegistryRoot::CurrentUser, kRunKey, kAutorunValue, "old");
    OpenSheet(kAudioPage, [&](SimSettingSheet& s) {
        s.MoveSlider(IDC_SLIDER_1, 3);
        s.MoveSlider(IDC_SLIDER_2, 40);  // past the end: the slider stops at 31
        s.ShowPage(kPhonePage);
        s.MoveSlider(IDC_SLIDER_1, 2);
        s.Click(IDC_ENABLE_KEYTONE);
        s.ShowPage(kAdvancedPage);
        s.Click(IDC_AUTORUN);
        s.PressApply();
        EXPECT_FALSE(s.ApplyEnabled());
        EXPECT_TRUE(s.IsOpen());
        s.PressOk();
    });
    const std::string after = SettingsFile();
    EXPECT_THAT(after, HasSubstr("VAL_AUDIO_OUT_VOLUME=3"));
    EXPECT_THAT(after, HasSubstr("VAL_AUDIO_IN_VOLUME=31"));
    EXPECT_THAT(after, HasSubstr("VAL_AUTORUN_API=0"));
    EXPECT_THAT(after, HasSubstr("VAL_LCM_CONTRAST=2"));     // saved by the Advanced page after it
    EXPECT_THAT(after, HasSubstr("Language_1=中文(简体)"));  // never rewritten
    EXPECT_EQ(app.g_Settings.VAL_ENABLE_KEYTONE, 0);
    EXPECT_FALSE(sim.registry.GetString(RegistryRoot::CurrentUser, kRunKey, kAutorunValue));
    // Both OK and Apply applied each page: the levels went to the mixers, the
    // contrast of level 2 to the handset.
    int levels = 0;
    for (const auto& line : sim.logSink.Lines())
        levels += line == "SetFaderValue ;type=4, value = 3";
    EXPECT_EQ(levels, 2);
    EXPECT_TRUE(sim.logSink.Contains("SetFaderValue ;type=4, value = 31"));
    EXPECT_TRUE(HandsetGot("HANDSET <- CMD_SET_CONTRAST 162 35 40"));
    EXPECT_THAT(sheet.Records(), ElementsAre("SHEET open 0", "SHEET cancel", "SHEET open 0",
                                             "SHEET apply", "SHEET ok"));
}

TEST_F(SettingSheet, OneSheetAtATimeAndExitCancelsTheOpenOne) {
    Start();
    OpenSheet(kPhonePage, [&](SimSettingSheet& s) {
        s.MoveSlider(IDC_SLIDER_1, 0);
        // The tray asks again, by double click and by menu: only the page changes.
        app.HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, kLButtonDblClk);
        EXPECT_EQ(s.ActivePage(), kPhonePage);
        app.HandleMessage(kMsgCommand, ID_SETTING_PAGE_COMMANDS[kAboutPage], 0);
        EXPECT_EQ(s.ActivePage(), kAboutPage);
        EXPECT_TRUE(s.Page(kAboutPage));
        app.HandleMessage(kMsgCommand, ID_APP_EXIT_CMD, 0);
        EXPECT_FALSE(s.IsOpen());
    });
    EXPECT_EQ(sheet.RunCount(), 1);
    EXPECT_THAT(sheet.Records(), ElementsAre("SHEET open 1", "SHEET page 4", "SHEET cancel"));
    EXPECT_TRUE(sim.mainWindow.Terminated());
    // The phone page's change was cancelled, not applied on the way out.
    EXPECT_EQ(app.g_Settings.VAL_LCM_CONTRAST, 1);
    // Once closed, a double click opens a new sheet on the audio page.
    sheet.SetUser(nullptr);
    app.HandleMessage(WM_TRAY_NOTIFY, kTrayIconId, kLButtonDblClk);
    EXPECT_EQ(sheet.RunCount(), 2);
    EXPECT_EQ(sheet.Records().back(), "SHEET cancel");
    EXPECT_EQ(sheet.Records()[3], "SHEET open 0");
}

TEST_F(SettingSheet, AudioPageListsTheDevicesAndHidesWhatItsWindowsVersionDoesNotUse) {
    auto& l = app.settingsUi.links;
    l.GetWaveOutDeviceNames.Fill([] {
        return std::vector<std::string>{"Speakers (Realtek)", "USB Audio Device",
                                        "USB Audio Device"};
    });
    l.GetWaveInDeviceNames.Fill([] { return std::vector<std::string>{"Mic", "USB Audio Device"}; });
    SoundDeviceNames defaults{"USB Audio Device", "usb audio device"};
    l.GetSystemDefaultSoundDevices.Fill([&] { return defaults; });
    std::vector<std::string> written;
    l.SetSystemDefaultSoundDevices.Fill(
        [&](std::string p, std::string r) { written.push_back(p + "|" + r); });
    Start();
    sim.osVersion.SetWindowsXp();  // Windows XP: lists, no buttons
    OpenSheet(kAudioPage, [&](SimSettingSheet& s) {
        SimDialogControls& c = *s.Page(kAudioPage);
        EXPECT_EQ(c.ItemCount(IDC_PLAYBACK_LIST), 3);
        EXPECT_EQ(c.SelectedItem(IDC_PLAYBACK_LIST), 1);  // the first exact match
        EXPECT_EQ(c.SelectedItem(IDC_RECORD_LIST), 0);    // no exact match: entry 0
        EXPECT_EQ(c.GetPos(IDC_SLIDER_1), 25);
        EXPECT_TRUE(c.IsVisible(IDC_PLAYBACK_LIST));
        EXPECT_FALSE(c.IsVisible(IDC_SET_PLAYBACK));
        EXPECT_FALSE(c.IsVisible(IDC_SET_RECORD));
        s.SelectEntry(IDC_RECORD_LIST, 1);
        s.PressOk();
    });
    EXPECT_THAT(written, ElementsAre("USB Audio Device|USB Audio Device"));

    sim.osVersion.Set(
        OsVersionInfo{6, 1, 7601, 2, 1, 0, "", 0, 1});  // Windows 7: the Sound panel instead
    l.GetWaveOutDeviceNames.Fill([] { return std::vector<std::string>{}; });
    l.GetWaveInDeviceNames.Fill([] { return std::vector<std::string>{}; });
    OpenSheet(kAudioPage, [&](SimSettingSheet& s) {
        SimDialogControls& c = *s.Page(kAudioPage);
        EXPECT_FALSE(c.IsVisible(IDC_PLAYBACK_LIST));
        EXPECT_FALSE(c.IsVisible(IDC_RECORD_LIST));
        EXPECT_TRUE(c.IsVisible(IDC_SET_PLAYBACK));
        EXPECT_EQ(c.SelectedItem(IDC_PLAYBACK_LIST), -1);
        s.Click(IDC_SET_PLAYBACK);
        s.Click(IDC_SET_RECORD);
        s.PressOk();
    });
    EXPECT_THAT(sim.shell.Opened(),
                ElementsAre("rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0",
                            "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,1"));
    // No devices to choose from: the system's defaults stay as they were.
    EXPECT_EQ(written.back(), "USB Audio Device|usb audio device");
}

TEST_F(SettingSheet, PhonePageWithoutDisplayShowsOnlyKeyTonesAndSendsLowBytes) {
    dir.Write("Vocastra.ini",
              "[SETTING]\r\nVAL_ENABLE_LCM=0\r\nVAL_ENABLE_KEYTONE=0\r\n"
              "[LCM]\r\nVAL_CONTRAST_0A=418\r\nVAL_CONTRAST_0B=-1\r\nVAL_CONTRAST_0C=34\r\n");
    Start();
    const std::string before = SettingsFile();
    OpenSheet(kPhonePage, [&](SimSettingSheet& s) {
        SimDialogControls& c = *s.Page(kPhonePage);
        for (int id : {IDC_SLIDER_1, IDC_GROUP_LCM, IDC_CONTRAST_LABEL, IDC_LOW, IDC_HIGH})
            EXPECT_FALSE(c.IsVisible(id)) << id;
        EXPECT_TRUE(c.IsVisible(IDC_GROUP_KEYTONE));
        EXPECT_FALSE(c.IsChecked(IDC_ENABLE_KEYTONE));
        EXPECT_EQ(c.GetPos(IDC_SLIDER_1), 1);
        c.SetPos(IDC_SLIDER_1, 0);  // set behind the user's back: still applied
        s.SetCheckBox(IDC_ENABLE_KEYTONE, true);
        s.PressOk();
    });
    EXPECT_EQ(app.g_Settings.VAL_LCM_CONTRAST, 0);
    EXPECT_EQ(app.g_Settings.VAL_ENABLE_KEYTONE, 1);
    EXPECT_TRUE(HandsetGot("HANDSET <- CMD_SET_CONTRAST 162 255 34"));
    // This page leaves saving to the next save.
    EXPECT_EQ(SettingsFile(), before);
}

}  // namespace
}  // namespace vocastra

namespace vocastra {
namespace {

// The dialog resources have exactly the controls the pages address, each
// visible or hidden as the pages expect.
TEST(SettingResources, DialogsCarryThePagesControls) {
    std::ifstream in(std::string(VOCASTRA_SOURCE_DIR) + "/res/settings.rc");
    const std::string rc(std::istreambuf_iterator<char>(in), {});
    const std::regex control(R"re((?:"[^"]*",|COMBOBOX|EDITTEXT)\s*(\d{4}),[^\n]*)re");
    for (int page = 0; page < kSettingPageCount; ++page) {
        SCOPED_TRACE(page);
        const std::string head = std::to_string(kPageDialogIds[page]) + " DIALOGEX";
        const std::size_t at = rc.find(head);
        ASSERT_NE(at, std::string::npos);
        const std::string body = rc.substr(at, rc.find("\nEND", at) - at);
        std::map<int, bool> found;  // id -> visible
        for (auto it = std::sregex_iterator(body.begin(), body.end(), control);
             it != std::sregex_iterator(); ++it)
            found[std::stoi((*it)[1])] = it->str().find("NOT WS_VISIBLE") == std::string::npos;
        std::map<int, bool> wanted;
        for (const PageControl& c : PageControls(page))
            wanted[c.id] = c.visible;
        EXPECT_EQ(found, wanted);
    }
}

}  // namespace
}  // namespace vocastra
