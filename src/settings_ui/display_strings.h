// The string-table entries whose texts are the language-file keys of the
// handset display's words. The Windows resource (res/strings.rc) carries the
// same table; the portable code reads this copy.
#pragma once
#include <string_view>

namespace vocastra {

enum : int {
    IDS_SCREEN_SETTING = 103,
    IDS_SCREEN_HISTORY = 104,
    IDS_SCREEN_BACK = 105,
    IDS_SCREEN_DETAIL = 106,
    IDS_SCREEN_CALL = 107,
    IDS_SCREEN_HANGUP = 108,
    IDS_SCREEN_ACCEPT = 109,
    IDS_SCREEN_REFUSE = 110,
    IDS_SCREEN_MUTE = 111,
    IDS_SCREEN_DELETE = 112,
    IDS_SCREEN_SELECT = 113,
    IDS_SCREEN_DIALFAILED = 114,
    IDS_SCREEN_VOLUMESETTING = 115,
    IDS_SCREEN_CONFERENCE = 116,
    IDS_SCREEN_BALANCE = 117,
    IDS_SCREEN_INCOMINGCALL = 118,
    IDS_SCREEN_OUTGOINGCALL = 119,
    IDS_SCREEN_MISSEDCALL = 120,
    IDS_SCREEN_CURRENCY = 121,
    IDS_SCREEN_BALANCE2 = 122,
    IDS_SCREEN_VOICEMAIL = 123,
    IDS_SCREEN_PLAY = 124,
    IDS_SCREEN_STOP = 125,
    IDS_SCREEN_PLAYING = 126,
    IDS_SCREEN_PLAYEND = 127,
    IDS_SCREEN_SKYPE_INIT = 131,
};

struct DisplayStringEntry {
    int id;
    std::string_view key;
};

inline constexpr DisplayStringEntry kDisplayStrings[] = {
    {IDS_SCREEN_SETTING, "Screen_Display_Setting"},
    {IDS_SCREEN_HISTORY, "Screen_Display_History"},
    {IDS_SCREEN_BACK, "Screen_Display_BACK"},
    {IDS_SCREEN_DETAIL, "Screen_Display_Detail"},
    {IDS_SCREEN_CALL, "Screen_Display_Call"},
    {IDS_SCREEN_HANGUP, "Screen_Display_Hangup"},
    {IDS_SCREEN_ACCEPT, "Screen_Display_Accept"},
    {IDS_SCREEN_REFUSE, "Screen_Display_Refuse"},
    {IDS_SCREEN_MUTE, "Screen_Display_Mute"},
    {IDS_SCREEN_DELETE, "Screen_Display_Delete"},
    {IDS_SCREEN_SELECT, "Screen_Display_Select"},
    {IDS_SCREEN_DIALFAILED, "Screen_Display_DialFailed"},
    {IDS_SCREEN_VOLUMESETTING, "Screen_Display_VolumeSetting"},
    {IDS_SCREEN_CONFERENCE, "Screen_Display_Conference"},
    {IDS_SCREEN_BALANCE, "Screen_Display_Balance"},
    {IDS_SCREEN_INCOMINGCALL, "Screen_Display_IncomingCall"},
    {IDS_SCREEN_OUTGOINGCALL, "Screen_Display_OutgoingCall"},
    {IDS_SCREEN_MISSEDCALL, "Screen_Display_MissedCall"},
    {IDS_SCREEN_CURRENCY, "Screen_Display_Currency"},
    {IDS_SCREEN_BALANCE2, "Screen_Display_Balance2"},
    {IDS_SCREEN_VOICEMAIL, "Screen_Display_VoiceMail"},
    {IDS_SCREEN_PLAY, "Screen_Display_Play"},
    {IDS_SCREEN_STOP, "Screen_Display_Stop"},
    {IDS_SCREEN_PLAYING, "Screen_Display_Playing"},
    {IDS_SCREEN_PLAYEND, "Screen_Display_PlayEnd"},
    {IDS_SCREEN_SKYPE_INIT, "Screen_SKYPE_INIT"},
};

// The key stored under `id`; empty when the table has no such entry.
constexpr std::string_view DisplayStringKey(int id) {
    for (const auto& e : kDisplayStrings)
        if (e.id == id)
            return e.key;
    return {};
}

}  // namespace vocastra
