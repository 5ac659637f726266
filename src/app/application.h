// The composition root shared by every entry point: given the platform's
// ports, it creates the process-wide objects under their usual names and
// connects the subsystems. The Win32 entry point and the simulator differ
// only in the ports they pass in.
#pragma once
#include <atomic>

#include "app/connection_points.h"
#include "app/settings.h"
#include "app/system_tray.h"
#include "app/tray_menu.h"
#include "app/vocastra_dlg.h"
#include "audio/audio_system.h"
#include "device/handset_device.h"
#include "modes/handset_modes.h"
#include "modes/virtual_display.h"
#include "settings_ui/language_text.h"
#include "settings_ui/settings_ui.h"
#include "skype/skype_dialler.h"
#include "skype/skype_environment.h"
#include "skype/skype_monitor.h"

namespace vocastra {

class Clock;
class HidBus;
class Collator;
class LogSink;
class MainWindow;
class ModulePath;
class Profile;
class Registry;
class TextRenderer;
class SkypeWire;
class TrayIcon;
class WindowAutomation;
class Shell;
class OsVersion;
class FileSystem;
class MessageBoxes;
class PopupMenu;
class SettingSheetHost;
class FileDialog;
class Mixer;
class AudioEndpoints;
class WaveOut;

// The OS services, one port each. Subsystems add theirs here.
struct Ports {
    Clock& clock;
    LogSink& logSink;
    Profile& profile;
    Registry& registry;
    ModulePath& modulePath;
    MainWindow& mainWindow;
    TextRenderer& textRenderer;
    HidBus& hidBus;
    SkypeWire& skypeWire;
    Collator& collator;
    WindowAutomation& windowAutomation;
    TrayIcon& trayIcon;
    Shell& shell;
    OsVersion& osVersion;
    FileSystem& fileSystem;
    MessageBoxes& messageBoxes;
    PopupMenu& popupMenu;
    SettingSheetHost& settingSheet;
    FileDialog& fileDialog;
    Mixer& mixer;
    AudioEndpoints& audioEndpoints;
    WaveOut& waveOut;
};

class Application {
  public:
    explicit Application(const Ports& ports);
    // Leaves no log sink behind that dies with the ports.
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up before the main window exists: points the program-wide INI
    // accessor at the settings file.
    void PrepareInstance();
    // Routes one main-window message; returns true when it was handled.
    bool HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
        return dlg.HandleMessage(msg, wParam, lParam);
    }

    Ports ports;
    ConnectionLog connectionLog;  // calls that reached unfilled points
    Settings g_Settings;
    SettingsStore settingsStore;
    AppFlags flags;
    CVocastraDlg dlg;
    HandsetDevice device;        // g_UsbWriteDevice, g_UsbReadDevice, key pipeline, flasher
    CSkypeMonitor skype;         // the client link
    CSkypeEnvironment skypeEnv;  // the installed client: path, profile, config.xml
    CSkypeDialler dialler;       // calls the API cannot place
    AudioSystem audio;           // mixers, sound devices, players
    // Handset modes and display, the language texts and the tray.
    LanguageTexts languageTexts;
    CVirtualDisplay display;
    HandsetModes modes;
    CSystemTray tray;
    // The tray's menu and the settings sheet.
    CTrayMenu trayMenu;
    SettingsUi settingsUi;

  private:
    // Each subsystem's wiring, one file each: application_<subsystem>.cpp.
    void ConnectMainWindow();
    void ConnectSkype();
    void ConnectModes();
    void ConnectMenus();
    void ConnectFace();
    void ConnectAudio();
    // UI thread: TIMER_DISPLAY_REFRESH set for the current screen's wait.
    void ArmDisplayRefresh();
    // What the handset shows is known to us: false from its removal until
    // the first redraw after its start.
    std::atomic<bool> m_handsetScreenKnown{false};
};

}  // namespace vocastra
