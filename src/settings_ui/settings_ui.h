// The settings sheet as the main window uses it: run one modally at a page,
// switch or cancel the one that is open, and the tray's language choice,
// which an open sheet follows at once.
#pragma once
#include "settings_ui/setting_dlg.h"
#include "settings_ui/settings_links.h"

namespace vocastra {

class SettingSheetHost;

// The ports the ring-tone page reaches.
struct SheetPorts {
    FileSystem& fileSystem;
    WaveOut& waveOut;
    FileDialog& fileDialog;
    MessageBoxes& messageBoxes;
};

class SettingsUi {
  public:
    SettingsUi(SettingSheetHost& host, LanguageTexts& language, SettingsStore& store,
               MainWindow& mainWindow, OsVersion& osVersion, ConnectionLog& log,
               const SheetPorts& ports);

    // Creates the sheet, shows it modally at `page` and destroys it when it
    // closes. The caller makes sure only one runs at a time.
    void RunSettingSheet(int page);
    void SetSettingSheetPage(int page);
    void CancelSettingSheet();
    // The tray's language command: stores and writes the index at once;
    // an open sheet shows the new language at once, and so does the tray's
    // tip.
    void SelectLanguage(int language);

    // The open sheet, none when closed.
    CSettingDlg* m_pSettingDlg = nullptr;
    SettingsLinks links;

  private:
    SettingSheetHost& m_host;
    SheetServices m_services;
};

}  // namespace vocastra
