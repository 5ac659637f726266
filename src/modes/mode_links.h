// What the handset modes ask of the other subsystems: the device commands,
// the client link (commands, the current calls and the client-side state the
// screens show) and the playback fader. Each is a connection point the
// composition root fills; unfilled, a call is recorded and answers empty.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <optional>

#include "app/connection_points.h"
#include "skype/call_list.h"
#include "skype/contact_list.h"

namespace vocastra {

inline bool IsIncomingType(int32_t type) {
    return type == E_TYPE_INCOMING_PSTN || type == E_TYPE_INCOMING_P2P;
}

// The modes read copies of the client link's call records.
using CallView = CCallObject;

// The history lists, as GetCallHistory selects them from the call list.
enum HistoryList : int {
    HISTORY_INCOMING = 0,
    HISTORY_OUTGOING = 1,
    HISTORY_MISSED = 2,
    HISTORY_VOICEMAIL = 3,
};

struct ModeLinks {
    explicit ModeLinks(const ConnectionOwner& log);

    // Handset device.
    ConnectionPoint<void(int, int, int, int)> NewWriteCmd;
    // The current screen's refresh moved between a second and a minute
    // (HandsetModes::RefreshDelayMs): any thread.
    ConnectionPoint<void()> RefreshTimingChanged;
    // Client link.
    ConnectionPoint<void(std::string)> SendMessageToSkype;
    // m_CurrCallList in list order; the current call is the last.
    ConnectionPoint<std::vector<CallView>()> GetCurrentCalls;
    ConnectionPoint<void()> RotateCalls;
    ConnectionPoint<int()> GetMute;               // m_bMute
    ConnectionPoint<int()> GetSkypeMajorVersion;  // 0 when unknown
    ConnectionPoint<std::string()> GetCountryPrefix;
    ConnectionPoint<std::string()> GetFocusedContact;  // m_strFocusedContact
    ConnectionPoint<std::string()> GetLastCallTarget;  // m_szLastCallTarget
    ConnectionPoint<std::string()> GetCurrentUserFullName;
    ConnectionPoint<int()> GetContactCount;
    ConnectionPoint<bool()> IsVoiceMailPlaying;
    ConnectionPoint<std::string()> GetSelectedVoiceMailId;
    ConnectionPoint<bool()> IsSkypeAttached;
    // The call history (m_CallList) and the contacts, as copies.
    ConnectionPoint<std::vector<CallView>(int)> GetCallHistory;  // a HistoryList
    ConnectionPoint<std::optional<CallView>(std::string)> FindHistoryCall;
    ConnectionPoint<std::vector<CContactInfo>()> GetContacts;
    ConnectionPoint<void(std::string)> SetFocusedContact;
    ConnectionPoint<std::string()> GetPstnBalance;  // hundredths, as the client reports it
    ConnectionPoint<std::string()> GetPstnBalanceCurrency;
    // The handset asked for a voicemail playback at this tick count
    // (g_dwVoiceMailPlayTick); the playback the handset started is over.
    ConnectionPoint<void(uint32_t)> SetVoiceMailPlayTick;
    ConnectionPoint<void()> EndVoiceMailFromHandset;
    // Audio: g_AudioOutMixer.SetFaderValue(level, type), and the level the
    // notification handling restores after a call.
    ConnectionPoint<void(int, int)> SetAudioOutFaderValue;
    ConnectionPoint<void(int)> RememberAudioOutLevel;
};

}  // namespace vocastra
