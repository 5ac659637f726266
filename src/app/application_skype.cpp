// Wiring of the client link into the main window and the other subsystems.
#include "app/application.h"
#include "app/text_util.h"

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

    // Until the client configuration code fills it: the handset's devices
    // by name, as on current Windows versions.
    skype.points.SetSkypeAudioDevices.Fill([this] {
        const std::string in = CutBytesUtf8(dlg.InDeviceName(), 254);
        const std::string out = CutBytesUtf8(dlg.OutDeviceName(), 254);
        skype.SendMessageToSkype("SET AUDIO_IN " + in);
        skype.SendMessageToSkype("SET AUDIO_OUT " + out);
        skype.SendMessageToSkype("SET RINGER " + out);
    });
}

}  // namespace vocastra
