#include "modes/mode_links.h"

namespace vocastra {

ModeLinks::ModeLinks(const ConnectionOwner& log)
    : NewWriteCmd(log, "NewWriteCmd"),
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
}

}  // namespace vocastra
