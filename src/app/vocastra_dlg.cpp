#include "app/vocastra_dlg.h"

#include "app/log.h"
#include "app/messages.h"
#include "app/settings.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/clock.h"
#include "platform/registry.h"

namespace vocastra {

CVocastraDlg::Points::Points(const ConnectionOwner& log)
    : RegisterDeviceNotification(log, "RegisterDeviceNotification"),
      CreateTrayIcon(log, "CreateTrayIcon"),
      CreateVirtualDisplay(log, "CreateVirtualDisplay"),
      CreateSkypeMonitor(log, "CreateSkypeMonitor"),
      SkypeMonitorExists(log, "SkypeMonitorExists"),
      WriteDeviceFirst(log, "WriteDeviceFirst"),
      ReadDeviceFirst(log, "ReadDeviceFirst"),
      ClearKeyQueue(log, "ClearKeyQueue"),
      StartHidReadThread(log, "StartHidReadThread"),
      SwitchMode(log, "SwitchMode"),
      NewWriteCmd(log, "NewWriteCmd"),
      GetUsbPhoneWaveOutDeviceName(log, "GetUsbPhoneWaveOutDeviceName"),
      InitializeMixers(log, "InitializeMixers"),
      GetUsbPhoneWaveInDeviceName(log, "GetUsbPhoneWaveInDeviceName"),
      StartKeyProcessThread(log, "StartKeyProcessThread"),
      BroadcastDiscover(log, "BroadcastDiscover"),
      UpdateTrayIcon(log, "UpdateTrayIcon"),
      StartLedFlashThread(log, "StartLedFlashThread"),
      StartRingTone(log, "StartRingTone"),
      StopRingTone(log, "StopRingTone"),
      GetPopupMessage(log, "GetPopupMessage"),
      ShowErrorBox(log, "ShowErrorBox"),
      AudioOutMuteSwitch(log, "AudioOutMuteSwitch"),
      AudioInMuteSwitch(log, "AudioInMuteSwitch"),
      OnTrayNotification(log, "OnTrayNotification"),
      SelectLanguage(log, "SelectLanguage"),
      OnTimer(log, "OnTimer"),
      ArmDisplayRefresh(log, "ArmDisplayRefresh"),
      OnTimeChange(log, "OnTimeChange"),
      RunSettingSheet(log, "RunSettingSheet"),
      SetSettingSheetPage(log, "SetSettingSheetPage"),
      CancelSettingSheet(log, "CancelSettingSheet"),
      BlankDisplay(log, "BlankDisplay"),
      RemoveTrayIcon(log, "RemoveTrayIcon"),
      EndDialog(log, "EndDialog"),
      TerminateProcess(log, "TerminateProcess"),
      StopThreads(log, "StopThreads") {}

CVocastraDlg::CVocastraDlg(SettingsStore& store, Clock& clock, Registry& registry, AppFlags& flags,
                           ConnectionLog& log)
    : points({log, "dlg.points"}),
      m_store(store),
      m_clock(clock),
      m_registry(registry),
      m_flags(flags) {}

void CVocastraDlg::SetDeviceNames(std::string out, std::string in) {
    m_strOutDevice = std::move(out);
    m_strInDevice = std::move(in);
}

bool CVocastraDlg::OnInitDialog() {
    m_store.LoadSettings();
    points.RegisterDeviceNotification();
    points.CreateTrayIcon();
    points.CreateVirtualDisplay();
    points.CreateSkypeMonitor();
    // A missing handset is no error: the device handles simply stay invalid.
    points.WriteDeviceFirst();
    points.ReadDeviceFirst();
    points.ClearKeyQueue();
    points.StartHidReadThread();
    LogRaw("MODE_UNCONNECTED 000");
    points.SwitchMode(MODE_UNCONNECTED);
    points.NewWriteCmd(CMD_CONNECT, 0, 0, 0);
    m_strOutDevice = points.GetUsbPhoneWaveOutDeviceName();
    points.InitializeMixers(m_strOutDevice);
    m_strInDevice = points.GetUsbPhoneWaveInDeviceName();
    LogPrintA("InDevice=%s, OutDevice=%s", m_strInDevice.c_str(), m_strOutDevice.c_str());
    points.StartKeyProcessThread();
    if (points.SkypeMonitorExists()) {
        LogRaw("Connect: BroadCast attach request to Skype Start\n");
        points.BroadcastDiscover();
        LogRaw("Connect: BroadCast attach request to Skype End\n");
    }
    // Only an existing key is written: the client's key is never created here.
    static constexpr const char* kSkypeUiKey = "Software\\Skype\\Phone\\UI";
    if (m_registry.KeyExists(RegistryRoot::CurrentUser, kSkypeUiKey))
        m_registry.SetDword(RegistryRoot::CurrentUser, kSkypeUiKey, "APITimeoutDisabled", 1);
    points.UpdateTrayIcon();
    points.StartLedFlashThread();
    return true;
}

bool CVocastraDlg::HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
        case WM_START_RING:
            points.StartRingTone();
            return true;
        case WM_STOP_RING:
            points.StopRingTone();
            return true;
        case WM_UNSUPPORTED_SKYPE:
            points.ShowErrorBox(points.GetPopupMessage(2));
            QuitApplication();
            return true;
        case kMsgMixerControlChange:
            if (m_flags.g_bDeviceStarted) {
                Settings& s = m_store.settings();
                s.VAL_AUDIO_OUT_MUTE = points.AudioOutMuteSwitch() == 1 ? 1 : 0;
                s.VAL_AUDIO_IN_MUTE = points.AudioInMuteSwitch() == 1 ? 1 : 0;
            }
            return true;
        case WM_QUIT_REQUEST:
            LogRaw("Received quit message");
            QuitApplication();
            return true;
        case WM_UPDATE_TRAY:
            points.UpdateTrayIcon();
            return true;
        case WM_REARM_DISPLAY_REFRESH:
            points.ArmDisplayRefresh();
            return true;
        case kMsgTimeChange:
            points.OnTimeChange();
            return true;
        case WM_TRAY_NOTIFY:
            if (lParam == kLButtonDblClk) {
                // A double click while the sheet is open must not stack a second one.
                if (!m_bSettingSheetOpen)
                    OpenSettingSheet(0);
            } else {
                points.OnTrayNotification(wParam, lParam);
            }
            return true;
        case kMsgTimer:
            if (wParam == TIMER_LONG_KEY || wParam == TIMER_KEY_ACTIVITY ||
                wParam == TIMER_DISPLAY_REFRESH) {
                points.OnTimer(static_cast<uint32_t>(wParam));
                return true;
            }
            return false;
        case kMsgCommand: {
            const int id = static_cast<int>(wParam & 0xFFFF);
            if (id == ID_APP_EXIT_CMD) {
                QuitApplication();
                return true;
            }
            for (int i = 0; i < 5; ++i) {
                if (id == ID_LANGUAGE_COMMANDS[i]) {
                    points.SelectLanguage(i);
                    return true;
                }
                if (id == ID_SETTING_PAGE_COMMANDS[i]) {
                    OpenSettingSheet(i);
                    return true;
                }
            }
            return false;
        }
        default:
            return false;
    }
}

void CVocastraDlg::OpenSettingSheet(int page) {
    if (m_bSettingSheetOpen.exchange(true)) {
        points.SetSettingSheetPage(page);
        return;
    }
    points.RunSettingSheet(page);  // modal: returns when the sheet is closed
    m_bSettingSheetOpen = false;
}

void CVocastraDlg::QuitApplication() {
    m_flags.g_bExiting = 1;
    m_store.SaveSettings();
    points.BlankDisplay();
    if (m_bSettingSheetOpen) {
        // Cancel, so the sheet's pending changes are not applied on the way out.
        points.CancelSettingSheet();
        m_clock.Sleep(1000);
    }
    points.RemoveTrayIcon();
    points.EndDialog();
    points.TerminateProcess();
}

void CVocastraDlg::OnModalLoopEnded() {
    m_flags.m_bQuit = 1;
    // The threads wait on events, not on the flag: each must be woken.
    points.StopThreads();
    // No process end is coming to take the icon away.
    points.RemoveTrayIcon();
}

}  // namespace vocastra
