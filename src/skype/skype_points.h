// The calls the client link makes into other subsystems (modes, handset,
// mixer, client configuration, language texts). The composition root fills
// them; unfilled ones are recorded in the connection log.
#pragma once
#include <string>

#include "app/connection_points.h"

namespace vocastra {

struct SkypePoints {
    explicit SkypePoints(const ConnectionOwner& log);
    // Mode framework.
    ConnectionPoint<void(int)> SwitchMode;
    ConnectionPoint<void()> RefreshDisplay;
    ConnectionPoint<int()> GetCurrentMode;
    ConnectionPoint<void()> OpenSkypeContacts;
    ConnectionPoint<bool()> IsMenuListEmpty;
    // Handset.
    ConnectionPoint<void(int, int, int, int)> NewWriteCmd;
    ConnectionPoint<bool()> IsWriteHandleValid;
    ConnectionPoint<void(int)> SetLedFlashPeriod;  // g_nLedFlashPeriod
    // Playback mixer: g_AudioOutMixer.SetFaderValue(level, type), GetAudioOutVolume().
    ConnectionPoint<void(int, int)> SetFaderValue;
    ConnectionPoint<int()> GetAudioOutVolume;
    // Client installation and configuration.
    ConnectionPoint<void()> SetSkypeAudioDevices;
    ConnectionPoint<std::string(std::string)> GetSkypeConfigPath;
    ConnectionPoint<void(std::string)> EditSkypeConfig;
    ConnectionPoint<std::string(std::string)> GetSkypeDataPath;
    ConnectionPoint<void()> SetSkypeRingTone;
    // Dialling rules for a "CALL " command: returns true when the call was
    // placed another way and nothing is to be sent. Unfilled, the link
    // records the target and switches the handset to the ringing mode.
    ConnectionPoint<bool(std::string)> DialCall;
    // User-visible texts and the attach-refused warning box.
    ConnectionPoint<std::string(int)> GetPopupMessage;
    ConnectionPoint<void(std::string)> ShowWarningBox;
};

}  // namespace vocastra
