// The main window's behaviour, free of Win32: the start-up sequence, the
// routing of the private and cross-thread messages, and the quit routine.
// The Win32 dialog (and the simulator) translate window messages into
// HandleMessage calls; everything this window starts in other subsystems is
// reached through the connection points below.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "app/connection_points.h"

namespace vocastra {

class Clock;
class Registry;
class SettingsStore;

// Cross-thread flags: each is written by one thread and read by others.
struct AppFlags {
    std::atomic<int32_t> m_bQuit{0};
    std::atomic<int32_t> m_bReconnecting{0};
    std::atomic<int32_t> g_bDeviceStarted{0};
    std::atomic<bool> g_bKeyActivity{false};
    std::atomic<int32_t> g_bExiting{0};
};

class CVocastraDlg {
  public:
    CVocastraDlg(SettingsStore& store, Clock& clock, Registry& registry, AppFlags& flags,
                 ConnectionLog& log);

    // Start-up from "load settings" on (the Win32 dialog has set its icons
    // and title before). Returns true, as the dialog initialisation does.
    bool OnInitDialog();

    // Private, registered and standard messages, as the window receives them.
    // Returns true when the message was one of the main window's own.
    bool HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam);

    void QuitApplication();
    // The modal loop ended some other way than QuitApplication: the worker
    // threads are told to end, woken and waited for, and the tray icon goes.
    void OnModalLoopEnded();
    void OpenSettingSheet(int page);
    bool IsSettingSheetOpen() const { return m_bSettingSheetOpen.load(); }

    // The device objects, the key pipeline, the tray, the client link, the
    // display, audio and settings sheet, as they become available.
    struct Points {
        explicit Points(const ConnectionOwner& log);
        ConnectionPoint<void()> RegisterDeviceNotification;
        ConnectionPoint<void()> CreateTrayIcon;
        ConnectionPoint<void()> CreateVirtualDisplay;
        ConnectionPoint<void()> CreateSkypeMonitor;
        ConnectionPoint<bool()> SkypeMonitorExists;
        ConnectionPoint<void()> WriteDeviceFirst;
        ConnectionPoint<void()> ReadDeviceFirst;
        ConnectionPoint<void()> ClearKeyQueue;
        ConnectionPoint<void()> StartHidReadThread;
        ConnectionPoint<void(int)> SwitchMode;
        ConnectionPoint<void(int, int, int, int)> NewWriteCmd;
        ConnectionPoint<std::string()> GetUsbPhoneWaveOutDeviceName;
        ConnectionPoint<void(std::string)> InitializeMixers;
        ConnectionPoint<std::string()> GetUsbPhoneWaveInDeviceName;
        ConnectionPoint<void()> StartKeyProcessThread;
        ConnectionPoint<void()> BroadcastDiscover;
        ConnectionPoint<void()> UpdateTrayIcon;
        ConnectionPoint<void()> StartLedFlashThread;
        // Messages routed to other subsystems.
        ConnectionPoint<void()> StartRingTone;
        ConnectionPoint<void()> StopRingTone;
        ConnectionPoint<std::string(int)> GetPopupMessage;
        ConnectionPoint<void(std::string)> ShowErrorBox;  // stop icon, OK button
        ConnectionPoint<int()> AudioOutMuteSwitch;
        ConnectionPoint<int()> AudioInMuteSwitch;
        ConnectionPoint<void(uintptr_t, intptr_t)> OnTrayNotification;
        ConnectionPoint<void(int)> SelectLanguage;
        ConnectionPoint<void(uint32_t)> OnTimer;
        // The display refresh timer armed for the current screen; the clock
        // was set (the time shown may be off by more than the timer's wait).
        ConnectionPoint<void()> ArmDisplayRefresh;
        ConnectionPoint<void()> OnTimeChange;
        // The settings sheet: run modally on `page`, switch an open one, cancel it.
        ConnectionPoint<void(int)> RunSettingSheet;
        ConnectionPoint<void(int)> SetSettingSheetPage;
        ConnectionPoint<void()> CancelSettingSheet;
        // Shutdown.
        ConnectionPoint<void()> BlankDisplay;
        ConnectionPoint<void()> RemoveTrayIcon;
        ConnectionPoint<void()> EndDialog;
        ConnectionPoint<void()> TerminateProcess;
        ConnectionPoint<void()> StopThreads;  // wakes every worker thread and waits for its end
    } points;

    const std::string& OutDeviceName() const { return m_strOutDevice; }
    const std::string& InDeviceName() const { return m_strInDevice; }
    void SetDeviceNames(std::string out, std::string in);

  private:
    SettingsStore& m_store;
    Clock& m_clock;
    Registry& m_registry;
    AppFlags& m_flags;
    std::atomic<bool> m_bSettingSheetOpen{false};
    std::string m_strOutDevice;  // handset playback device name
    std::string m_strInDevice;   // handset recording device name
};

}  // namespace vocastra
