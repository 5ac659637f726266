#include "modes/mode_links.h"

namespace vocastra {

ModeLinks::ModeLinks(ConnectionLog& log)
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
    GetCurrentCalls.Fill([] { return std::vector<CallView>{}; });
    GetMute.Fill([] { return 0; });
    GetSkypeMajorVersion.Fill([] { return 0; });
    GetCountryPrefix.Fill([] { return std::string(); });
    GetFocusedContact.Fill([] { return std::string(); });
    GetLastCallTarget.Fill([] { return std::string(); });
    GetCurrentUserFullName.Fill([] { return std::string(); });
    GetContactCount.Fill([] { return 0; });
    IsVoiceMailPlaying.Fill([] { return false; });
    GetSelectedVoiceMailId.Fill([] { return std::string(); });
    IsSkypeAttached.Fill([] { return false; });
}

}  // namespace vocastra
