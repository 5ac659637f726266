#include "settings_ui/settings_ui.h"

#include "app/messages.h"
#include "app/settings.h"
#include "platform/main_window.h"
#include "platform/setting_sheet.h"
#include "settings_ui/setting_ids.h"

namespace vocastra {

SettingsLinks::SettingsLinks(const ConnectionOwner& log)
    : GetWaveOutDeviceNames(log, "GetWaveOutDeviceNames"),
      GetWaveInDeviceNames(log, "GetWaveInDeviceNames"),
      GetSystemDefaultSoundDevices(log, "GetSystemDefaultSoundDevices"),
      SetSystemDefaultSoundDevices(log, "SetSystemDefaultSoundDevices"),
      SetAudioOutLevel(log, "SetAudioOutLevel"),
      SetAudioInLevel(log, "SetAudioInLevel"),
      OpenPlaybackDevicesPanel(log, "OpenPlaybackDevicesPanel"),
      OpenRecordingDevicesPanel(log, "OpenRecordingDevicesPanel"),
      GetOutDeviceName(log, "GetOutDeviceName"),
      SetSkypeRingTone(log, "SetSkypeRingTone"),
      NewWriteCmd(log, "NewWriteCmd") {}

SettingsUi::SettingsUi(SettingSheetHost& host, LanguageTexts& language, SettingsStore& store,
                       MainWindow& mainWindow, OsVersion& osVersion, ConnectionLog& log,
                       const SheetPorts& ports)
    : links({log, "settingsUi.links"}),
      m_host(host),
      m_services{language,         store,         mainWindow,       osVersion,         links,
                 ports.fileSystem, ports.waveOut, ports.fileDialog, ports.messageBoxes} {}

void SettingsUi::RunSettingSheet(int page) {
    if (page < 0 || page >= kSettingPageCount)
        page = 0;
    CSettingDlg sheet(m_services);
    m_pSettingDlg = &sheet;
    m_host.Run(sheet, page);
    m_pSettingDlg = nullptr;
}

void SettingsUi::SetSettingSheetPage(int page) {
    if (m_pSettingDlg && page >= 0 && page < kSettingPageCount)
        m_host.SetActivePage(page);
}

void SettingsUi::CancelSettingSheet() {
    if (m_pSettingDlg)
        m_host.PressCancel();
}

void SettingsUi::SelectLanguage(int language) {
    m_services.store.settings().VAL_LANGUAGE = language;
    m_services.store.Ini().WriteInt(language, "VAL_LANGUAGE", "SETTING");
    if (m_pSettingDlg) {
        m_pSettingDlg->SelectLanguageEntry(language);
        m_pSettingDlg->ApplyLanguageTexts();  // also refreshes the tray
    } else {
        // The tip follows the choice at once, not at the next state change.
        m_services.mainWindow.Post(WM_UPDATE_TRAY, 0, 0);
    }
}

}  // namespace vocastra
