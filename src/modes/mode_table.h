// The handlers of every mode and the table that maps a mode id to them.
#pragma once
#include <cstdint>

#include "modes/mode_ids.h"

namespace vocastra {

class HandsetModes;

using ModeFn = void (*)(HandsetModes&);
using ModeKeyFn = void (*)(HandsetModes&, int32_t key);

// One row per mode id: entry, key, exit and display handler; nullptr is an
// empty handler.
struct ModeHandlers {
    ModeFn Init;
    ModeKeyFn Proc;
    ModeFn Exit;
    ModeFn Display;
};

const ModeHandlers& GetModeHandlers(int mode);  // mode in 0..MODE_COUNT-1

// Call modes.
void Mode_Main_Proc(HandsetModes& m, int32_t key);
void Mode_Main_NoLCD_Proc(HandsetModes& m, int32_t key);
void Mode_Main_Display(HandsetModes& m);
void Mode_Main_NoLCD_Display(HandsetModes& m);
void Mode_Ringing_Init(HandsetModes& m);
void Mode_Ringing_Proc(HandsetModes& m, int32_t key);
void Mode_Ringing_Exit(HandsetModes& m);
void Mode_Ringing_Display(HandsetModes& m);
void Mode_Talking_Init(HandsetModes& m);
void Mode_Talking_Proc(HandsetModes& m, int32_t key);
void Mode_Talking_Exit(HandsetModes& m);
void Mode_Talking_Display(HandsetModes& m);
void Mode_NumDial_Init(HandsetModes& m);
void Mode_NumDial_Proc(HandsetModes& m, int32_t key);
void Mode_NumDial_Display(HandsetModes& m);
void Mode_SysConfirm_Proc(HandsetModes& m, int32_t key);
void Mode_SysConfirm_Display(HandsetModes& m);
void Mode_Unconnected_Display(HandsetModes& m);

// Menu and list modes.
void Mode_SettingMenu_Init(HandsetModes& m);
void Mode_SettingMenu_Proc(HandsetModes& m, int32_t key);
void Mode_HistoryMenu_Init(HandsetModes& m);
void Mode_HistoryMenu_Proc(HandsetModes& m, int32_t key);
void Mode_Menu_Display(HandsetModes& m);
void Mode_VolumeSetting_Proc(HandsetModes& m, int32_t key);
void Mode_VolumeSetting_Display(HandsetModes& m);
void Mode_Balance_Proc(HandsetModes& m, int32_t key);
void Mode_Balance_Display(HandsetModes& m);
void Mode_HistoryIncoming_Init(HandsetModes& m);
void Mode_HistoryIncoming_Proc(HandsetModes& m, int32_t key);
void Mode_HistoryOutgoing_Init(HandsetModes& m);
void Mode_HistoryOutgoing_Proc(HandsetModes& m, int32_t key);
void Mode_HistoryMissedcall_Init(HandsetModes& m);
void Mode_HistoryMissedcall_Proc(HandsetModes& m, int32_t key);
void Mode_HistoryVMail_Init(HandsetModes& m);
void Mode_HistoryVMail_Proc(HandsetModes& m, int32_t key);
void Mode_HistoryList_Display(HandsetModes& m);
void Mode_HistoryDetail_Init(HandsetModes& m);
void Mode_HistoryDetail_Proc(HandsetModes& m, int32_t key);
void Mode_HistoryDetail_Display(HandsetModes& m);
void Mode_VoiceMailPlaying_Proc(HandsetModes& m, int32_t key);
void Mode_VoiceMailPlaying_Display(HandsetModes& m);
void Mode_ContactList_Init(HandsetModes& m);
void Mode_ContactList_Proc(HandsetModes& m, int32_t key);
void Mode_ContactList_Display(HandsetModes& m);
void Mode_ContactDetail_Init(HandsetModes& m);
void Mode_ContactDetail_Proc(HandsetModes& m, int32_t key);
void Mode_ContactDetail_Display(HandsetModes& m);
void Mode_Conference_Init(HandsetModes& m);
void Mode_Conference_Proc(HandsetModes& m, int32_t key);
void Mode_Conference_Exit(HandsetModes& m);
void Mode_Conference_Display(HandsetModes& m);
void Mode_Unused_Proc(HandsetModes& m, int32_t key);

}  // namespace vocastra
