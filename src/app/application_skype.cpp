// Wiring of the client link into the main window and the other subsystems.
#include "app/application.h"
#include "audio/check_vista_os.h"
#include "platform/message_boxes.h"

namespace vocastra {

void Application::ConnectSkype() {
    dlg.points.CreateSkypeMonitor.Fill([this] { skype.Create(); });
    dlg.points.SkypeMonitorExists.Fill([this] { return skype.Exists(); });
    dlg.points.BroadcastDiscover.Fill([this] { skype.BroadcastDiscover(); });

    // Calls the link shares with the main window go wherever the main
    // window's go, so each subsystem fills them once.
    skype.points.SwitchMode.Fill([this](int mode) { dlg.points.SwitchMode(mode); });
    skype.points.NewWriteCmd.Fill(
        [this](int cmd, int a, int b, int c) { dlg.points.NewWriteCmd(cmd, a, b, c); });
    skype.points.GetPopupMessage.Fill([this](int n) { return dlg.points.GetPopupMessage(n); });
    skype.points.ShowWarningBox.Fill(
        [this](std::string text) { ports.messageBoxes.ShowWarning(text); });

    // The client's mute shows on the handset's LED.
    skype.points.IsWriteHandleValid.Fill([this] { return device.commands.IsWriteHandleValid(); });
    skype.points.SetLedFlashPeriod.Fill([this](int ms) { device.commands.SetFlashPeriod(ms); });

    // A handset that arrives is the client's audio device, as at attach.
    device.deviceChange.points.SetSkypeAudioDevices.Fill(
        [this] { skype.points.SetSkypeAudioDevices(); });

    // The handset as the client's audio devices, by the names the main
    // window keeps (older Windows: by the name the handset's driver gives).
    skype.points.SetSkypeAudioDevices.Fill([this] {
        const bool vista = CheckIsVistaOs(ports.osVersion) == 1;
        for (const std::string& cmd :
             SkypeAudioDeviceCommands(vista, dlg.InDeviceName(), dlg.OutDeviceName()))
            skype.SendMessageToSkype(cmd);
    });
    skype.points.SetSkypeRingTone.Fill([this] {
        if (skype.m_bRingerIsHandset.load() == 1)
            return;
        if (const auto cmd = SkypeRingToneCommand(g_Settings, settingsStore.GetModuleDirectory()))
            skype.SendMessageToSkype(*cmd);
    });

    // The client's profile: its configuration file and its database.
    skype.points.GetSkypeConfigPath.Fill(
        [this](std::string folder) { return skypeEnv.GetSkypeConfigPath(folder); });
    skype.points.GetSkypeDataPath.Fill(
        [this](std::string folder) { return skypeEnv.GetSkypeDataPath(folder); });
    skype.points.EditSkypeConfig.Fill([this](std::string path) { skypeEnv.EditSkypeConfig(path); });

    // Calls by the client's URI or through its windows where its API cannot place them.
    skype.points.DialCall.Fill([this](std::string cmd) { return dialler.DialCallCommand(cmd); });
}

}  // namespace vocastra
