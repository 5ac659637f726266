#include "app/application.h"

#include "app/log.h"
#include "app/messages.h"
#include "platform/main_window.h"

namespace vocastra {
namespace {
// The members log while they are built: the sink must be in place first.
const Ports& InstallLogSink(const Ports& p) {
    SetLogSink(&p.logSink);
    return p;
}
}  // namespace

Application::Application(const Ports& p)
    : ports(InstallLogSink(p)),
      settingsStore(g_Settings, p.profile, p.modulePath, p.registry),
      dlg(settingsStore, p.clock, p.registry, flags, connectionLog),
      device(p.hidBus, settingsStore, flags, p.mainWindow, p.clock, dlg, connectionLog),
      skype({p.skypeWire, p.mainWindow, p.clock, p.collator, p.profile, settingsStore, flags,
             connectionLog}),
      skypeEnv(p.registry, p.fileSystem, p.shell),
      dialler({p.windowAutomation, p.clock, p.shell, skype, skypeEnv}),
      audio(p.mixer, p.audioEndpoints, p.osVersion, p.waveOut, p.fileSystem,
            device.transport.g_UsbWriteDevice.m_DeviceLock),
      languageTexts(p.profile, g_Settings),
      display(p.textRenderer, g_Settings.VAL_ENABLE_LCM, connectionLog),
      modes(g_Settings, p.clock, display, languageTexts, p.windowAutomation, flags, connectionLog),
      tray(p.trayIcon),
      trayMenu(p.popupMenu, languageTexts, settingsStore),
      settingsUi(p.settingSheet, languageTexts, settingsStore, p.mainWindow, p.osVersion,
                 connectionLog, {p.fileSystem, p.waveOut, p.fileDialog, p.messageBoxes}) {
    ConnectMainWindow();
    ConnectSkype();
    ConnectModes();
    ConnectMenus();
    ConnectFace();
    ConnectAudio();
}

Application::~Application() {
    // The threads are stopped first: they may log until they end.
    device.StopThreads();
    dialler.Stop();
    skype.Stop();
    SetLogSink(nullptr);
}

void Application::ConnectModes() {
    auto& pt = dlg.points;
    pt.CreateTrayIcon.Fill([this] { tray.Create(); });
    pt.CreateVirtualDisplay.Fill([this] {
        display.Create();
        ArmDisplayRefresh();
    });
    pt.SwitchMode.Fill([this](int mode) { modes.SwitchMode(mode); });
    pt.UpdateTrayIcon.Fill([this] {
        const int before = modes.CurrentMode();
        UpdateTrayIcon(tray, modes, languageTexts, flags);
        // What asks for a tray update (the client attached or gone, the
        // handset started or removed, another language) is also what the
        // idle screens show; a switch of mode has redrawn already.
        if (modes.CurrentMode() == before)
            modes.RefreshIdleScreen();
    });
    pt.BlankDisplay.Fill([this] { modes.BlankDisplay(); });
    pt.RemoveTrayIcon.Fill([this] { tray.RemoveIcon(); });
    pt.GetPopupMessage.Fill([this](int n) { return languageTexts.GetPopupMessage(n); });
    pt.OnTimer.Fill([this](uint32_t id) {
        if (id == TIMER_DISPLAY_REFRESH) {
            modes.OnRefreshTimer();
            // The one-second timer repeats by itself; the wait for the next
            // minute is taken from the clock each time.
            if (HandsetModes::ShowsMinutesOnly(modes.CurrentMode()))
                ArmDisplayRefresh();
        } else {
            device.keys.OnTimer(id);
        }
    });
    pt.ArmDisplayRefresh.Fill([this] { ArmDisplayRefresh(); });
    pt.OnTimeChange.Fill([this] {
        modes.RefreshIdleScreen();
        ArmDisplayRefresh();
    });
    // Mode switches happen on any thread; the timer is re-armed on the UI
    // thread, which owns it.
    modes.links.RefreshTimingChanged.Fill(
        [this] { ports.mainWindow.Post(WM_REARM_DISPLAY_REFRESH, 0, 0); });
    // The modes' device commands take the same road as the main window's.
    modes.links.NewWriteCmd.Fill(
        [this](int cmd, int a, int b, int c) { dlg.points.NewWriteCmd(cmd, a, b, c); });
    display.points.IsWriteHandleValid.Fill([this] { return device.commands.IsWriteHandleValid(); });
    display.points.NewWriteDevice.Fill([this](int line, const PageBytes& up, const PageBytes& low) {
        device.commands.NewWriteDevice(line, up.data(), low.data());
    });
    // The client link: commands, the current calls and the client's state.
    ModeLinks& l = modes.links;
    l.SendMessageToSkype.Fill([this](std::string cmd) { skype.SendMessageToSkype(cmd); });
    l.GetCurrentCalls.Fill([this] { return skype.m_CurrCallList.Snapshot(); });
    l.RotateCalls.Fill([this] { skype.m_CurrCallList.RotateCalls(); });
    l.GetMute.Fill([this] { return int(skype.m_bMute.load()); });
    l.GetSkypeMajorVersion.Fill([this] { return int(skype.g_nSkypeMajor.load()); });
    l.GetCountryPrefix.Fill([this] { return skype.CountryPrefix(); });
    l.GetFocusedContact.Fill([this] { return skype.FocusedContact(); });
    l.GetLastCallTarget.Fill([this] { return skype.LastCallTarget(); });
    l.GetCurrentUserFullName.Fill([this] { return skype.CurrentUserFullName(); });
    l.GetContactCount.Fill([this] { return skype.m_ContactList.GetCount(); });
    l.IsVoiceMailPlaying.Fill([this] { return skype.g_bVoiceMailFromHandset.load(); });
    l.IsSkypeAttached.Fill([this] { return skype.IsAttached(); });
    l.RememberAudioOutLevel.Fill([this](int level) { skype.m_nSavedVolume = level; });
    skype.points.RefreshDisplay.Fill([this] { modes.RefreshDisplay(); });
    skype.points.GetCurrentMode.Fill([this] { return modes.CurrentMode(); });
    skype.points.OpenSkypeContacts.Fill([this] { modes.OpenSkypeContacts(); });
    // The key pipeline hands keys and redraws to the modes.
    auto& kp = device.keys.points;
    kp.CurrentMode.Fill([this] { return modes.CurrentMode(); });
    kp.DispatchKeyToMode.Fill([this](int key) { modes.DispatchKeyToMode(key); });
    kp.RefreshDisplay.Fill([this] {
        // The first redraw after the handset started goes out whole: the
        // handset has forgotten every line sent before it (re)started.
        const bool started = flags.g_bDeviceStarted.load() != 0;
        if (started && !m_handsetScreenKnown)
            modes.OnHandsetStarted();
        m_handsetScreenKnown = started;
        modes.RefreshDisplay();
    });
    device.deviceChange.points.HandsetRemoved.Fill([this] { m_handsetScreenKnown = false; });
}

void Application::ArmDisplayRefresh() {
    ports.mainWindow.SetTimer(TIMER_DISPLAY_REFRESH, modes.RefreshDelayMs());
}

void Application::PrepareInstance() {
    // The client's program path, for dialling by its URI; none is no error.
    std::string skypePath;
    skypeEnv.GetSkypePath(skypePath);
    settingsStore.Ini().SetFileName(settingsStore.SettingsFilePath());
}

}  // namespace vocastra
