// Wiring of the program's face: the tray menu, the language choice and the
// settings sheet.
#include "app/application.h"

namespace vocastra {

void Application::ConnectFace() {
    auto& pt = dlg.points;
    pt.OnTrayNotification.Fill(
        [this](uintptr_t wParam, intptr_t lParam) { trayMenu.OnTrayNotification(wParam, lParam); });
    pt.SelectLanguage.Fill([this](int language) { settingsUi.SelectLanguage(language); });
    pt.RunSettingSheet.Fill([this](int page) { settingsUi.RunSettingSheet(page); });
    pt.SetSettingSheetPage.Fill([this](int page) { settingsUi.SetSettingSheetPage(page); });
    pt.CancelSettingSheet.Fill([this] { settingsUi.CancelSettingSheet(); });

    SettingsLinks& l = settingsUi.links;
    l.NewWriteCmd.Fill(
        [this](int cmd, int a, int b, int c) { dlg.points.NewWriteCmd(cmd, a, b, c); });
}

}  // namespace vocastra
