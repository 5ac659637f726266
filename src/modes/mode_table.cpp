#include "modes/mode_table.h"

#include "modes/handset_modes.h"

namespace vocastra {

namespace {

// The idle mode picks its variant from the display flag on every call, so a
// change of the setting takes effect at the next key or redraw.
void Mode_Main_AnyProc(HandsetModes& m, int32_t key) {
    if (m.DisplayEnabled())
        Mode_Main_Proc(m, key);
    else
        Mode_Main_NoLCD_Proc(m, key);
}

void Mode_Main_AnyDisplay(HandsetModes& m) {
    if (m.DisplayEnabled())
        Mode_Main_Display(m);
    else
        Mode_Main_NoLCD_Display(m);
}

// Mode transitions. Boxes are modes; arrows are keys (K_) or client events
// (ev:); "digit" is number-entry forwarding (digits, #, long 0).
//
//              start-up / tray: device or client missing
//                              |
//                              v
//     +------------------ UNCONNECTED <---------------- (any mode, tray)
//     | tray: both present
//     v
//   MAIN ---K_LEFT---> SETTINGMENU --> VOLUMESETTING / CONFERENCE / BALANCE
//    |  \--K_RIGHT---> HISTORYMENU --> HISTORY_* --> HISTORYDETAIL
//    |  \--K_UP/DOWN-> CONTACTLIST --> CONTACTDETAIL
//    |  \--digit-----> NUMDIAL --K_HOOKUP--> (CALL sent) --1 s, confirm form--> SYSCONFIRM
//    |                   |  \--K_HOOKDOWN / clear last digit--> MAIN            |
//    |                   |                                   K_HOOKDOWN/K_RIGHT-> MAIN
//    |  ev: call rings or is routed, or a CALL is placed
//    v
//  RINGING --ev: call in progress--> TALKING --ev: last call finished--> MAIN
//    |  \--K_* with no call id (hang up by button)--> MAIN      |
//    \--ev: call refused / missed / failed --> MAIN             \--K_HOOKDOWN with no call id-->
//    MAIN
//
// Menus (K_HOOKDOWN goes to MAIN from each but VOICEMAIL_PLAYING, K_RIGHT goes back a level):
//
//   SETTINGMENU --K_LEFT--> VOLUMESETTING | CONFERENCE --K_HOOKUP--> (CALL a, b) | BALANCE
//   HISTORYMENU --K_LEFT--> HISTORY_INCOMING | _OUTGOING | _MISSEDCALL | _VMAIL
//                             --K_LEFT--> HISTORYDETAIL --K_RIGHT--> the list, same record
//   HISTORYDETAIL (voicemail) --K_LEFT: OPEN VOICEMAIL; ev: PLAYING within 3 s--> VOICEMAIL_PLAYING
//   VOICEMAIL_PLAYING --K_RIGHT when played--> HISTORYDETAIL
//   CONTACTLIST (ev: CONTACTS FOCUSED while MAIN) --K_LEFT--> CONTACTDETAIL --K_RIGHT-->
//   CONTACTLIST
//
// RESERVED (13) and VOICEMAIL_PLAYEND (19) are never entered; should one be,
// K_HOOKDOWN and K_RIGHT still lead to MAIN.
constexpr ModeHandlers kModeHandlers[MODE_COUNT] = {
    /* MODE_MAIN               */ {nullptr, Mode_Main_AnyProc, nullptr, Mode_Main_AnyDisplay},
    /* MODE_CONTACTLIST        */
    {Mode_ContactList_Init, Mode_ContactList_Proc, nullptr, Mode_ContactList_Display},
    /* MODE_RINGING            */
    {Mode_Ringing_Init, Mode_Ringing_Proc, Mode_Ringing_Exit, Mode_Ringing_Display},
    /* MODE_TALKING            */
    {Mode_Talking_Init, Mode_Talking_Proc, Mode_Talking_Exit, Mode_Talking_Display},
    /* MODE_NUMDIAL            */
    {Mode_NumDial_Init, Mode_NumDial_Proc, nullptr, Mode_NumDial_Display},
    /* MODE_SETTINGMENU        */
    {Mode_SettingMenu_Init, Mode_SettingMenu_Proc, nullptr, Mode_Menu_Display},
    /* MODE_HISTORYMENU        */
    {Mode_HistoryMenu_Init, Mode_HistoryMenu_Proc, nullptr, Mode_Menu_Display},
    /* MODE_HISTORY_INCOMING   */
    {Mode_HistoryIncoming_Init, Mode_HistoryIncoming_Proc, nullptr, Mode_HistoryList_Display},
    /* MODE_HISTORY_OUTGOING   */
    {Mode_HistoryOutgoing_Init, Mode_HistoryOutgoing_Proc, nullptr, Mode_HistoryList_Display},
    /* MODE_HISTORY_MISSEDCALL */
    {Mode_HistoryMissedcall_Init, Mode_HistoryMissedcall_Proc, nullptr, Mode_HistoryList_Display},
    /* MODE_HISTORY_VMAIL      */
    {Mode_HistoryVMail_Init, Mode_HistoryVMail_Proc, nullptr, Mode_HistoryList_Display},
    /* MODE_CONTACTDETAIL      */
    {Mode_ContactDetail_Init, Mode_ContactDetail_Proc, nullptr, Mode_ContactDetail_Display},
    /* MODE_HISTORYDETAIL      */
    {Mode_HistoryDetail_Init, Mode_HistoryDetail_Proc, nullptr, Mode_HistoryDetail_Display},
    /* MODE_RESERVED           */ {nullptr, Mode_Unused_Proc, nullptr, nullptr},
    /* MODE_VOLUMESETTING      */
    {nullptr, Mode_VolumeSetting_Proc, nullptr, Mode_VolumeSetting_Display},
    /* MODE_CONFERENCE         */
    {Mode_Conference_Init, Mode_Conference_Proc, Mode_Conference_Exit, Mode_Conference_Display},
    /* MODE_UNCONNECTED        */ {nullptr, nullptr, nullptr, Mode_Unconnected_Display},
    /* MODE_BALANCE            */ {nullptr, Mode_Balance_Proc, nullptr, Mode_Balance_Display},
    /* MODE_VOICEMAIL_PLAYING  */
    {nullptr, Mode_VoiceMailPlaying_Proc, nullptr, Mode_VoiceMailPlaying_Display},
    /* MODE_VOICEMAIL_PLAYEND  */ {nullptr, Mode_Unused_Proc, nullptr, nullptr},
    /* MODE_SYSCONFIRM         */ {nullptr, Mode_SysConfirm_Proc, nullptr, Mode_SysConfirm_Display},
};

}  // namespace

const ModeHandlers& GetModeHandlers(int mode) {
    return kModeHandlers[mode];
}

}  // namespace vocastra
