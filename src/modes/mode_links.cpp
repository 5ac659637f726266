#include "modes/mode_links.h"

namespace vocastra {

ModeLinks::ModeLinks(const ConnectionOwner& log)
    : NewWriteCmd(log, "NewWriteCmd"),
      RefreshTimingChanged(log, "RefreshTimingChanged"),
      SendMessageToSkype(log, "SendMessageToSkype"),
      GetCurrentCalls(log, "GetCurrentCalls"),
      RotateCalls(log, "RotateCalls"),
      GetMute(log, "GetMute"),
      GetSkypeMajorVersion(log, "GetSkypeMajorVersion"),
      GetCountryPrefix(log, "GetCountryPrefix"),
      GetFocusedContact(log, "GetFocusedContact"),
      GetLastCallTarget(log, "GetLastCallTarget"),
      GetCurrentUserFullName(log, "GetCurrentUserFullName"),
      GetContactCount(log, "GetContactCount"),
      IsVoiceMailPlaying(log, "IsVoiceMailPlaying"),
      GetSelectedVoiceMailId(log, "GetSelectedVoiceMailId"),
      IsSkypeAttached(log, "IsSkypeAttached"),
      GetCallHistory(log, "GetCallHistory"),
      FindHistoryCall(log, "FindHistoryCall"),
      GetContacts(log, "GetContacts"),
      SetFocusedContact(log, "SetFocusedContact"),
      GetPstnBalance(log, "GetPstnBalance"),
      GetPstnBalanceCurrency(log, "GetPstnBalanceCurrency"),
      SetVoiceMailPlayTick(log, "SetVoiceMailPlayTick"),
      EndVoiceMailFromHandset(log, "EndVoiceMailFromHandset"),
      SetAudioOutFaderValue(log, "SetAudioOutFaderValue"),
      RememberAudioOutLevel(log, "RememberAudioOutLevel") {
    // Queries answer "nothing known" until the client link is connected;
    // only actions are worth recording (queries run every second).
    GetCurrentCalls.Default([] { return std::vector<CallView>{}; });
    GetMute.Default([] { return 0; });
    GetSkypeMajorVersion.Default([] { return 0; });
    GetCountryPrefix.Default([] { return std::string(); });
    GetFocusedContact.Default([] { return std::string(); });
    GetLastCallTarget.Default([] { return std::string(); });
    GetCurrentUserFullName.Default([] { return std::string(); });
    GetContactCount.Default([] { return 0; });
    IsVoiceMailPlaying.Default([] { return false; });
    GetSelectedVoiceMailId.Default([] { return std::string(); });
    IsSkypeAttached.Default([] { return false; });
    GetCallHistory.Default([](int) { return std::vector<CallView>{}; });
    FindHistoryCall.Default([](std::string) { return std::optional<CallView>{}; });
    GetContacts.Default([] { return std::vector<CContactInfo>{}; });
    GetPstnBalance.Default([] { return std::string(); });
    GetPstnBalanceCurrency.Default([] { return std::string(); });
}

}  // namespace vocastra
