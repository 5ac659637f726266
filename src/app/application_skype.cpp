// Wiring of the client link into the main window and the other subsystems.
#include "app/application.h"
#include "app/text_util.h"
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

    // Until the client configuration code fills it: the handset's devices
    // by name, as on current Windows versions. A device not found has no
    // name; sending that would clear the user's own choice in the client.
    // The client's RINGER answer decides who rings, so without a name the
    // ringer is asked for instead of set.
    skype.points.SetSkypeAudioDevices.Fill([this] {
        const std::string in = CutBytesUtf8(dlg.InDeviceName(), 254);
        const std::string out = CutBytesUtf8(dlg.OutDeviceName(), 254);
        if (!in.empty())
            skype.SendMessageToSkype("SET AUDIO_IN " + in);
        if (!out.empty()) {
            skype.SendMessageToSkype("SET AUDIO_OUT " + out);
            skype.SendMessageToSkype("SET RINGER " + out);
        } else {
            skype.SendMessageToSkype("GET RINGER");
        }
    });
}

}  // namespace vocastra
