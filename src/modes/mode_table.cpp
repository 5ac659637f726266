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
// RESERVED (13) and VOICEMAIL_PLAYEND (19) are never entered.
constexpr ModeHandlers kModeHandlers[MODE_COUNT] = {
    /* MODE_MAIN               */ {nullptr, Mode_Main_AnyProc, nullptr, Mode_Main_AnyDisplay},
    /* MODE_CONTACTLIST        */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_RINGING            */
    {Mode_Ringing_Init, Mode_Ringing_Proc, Mode_Ringing_Exit, Mode_Ringing_Display},
    /* MODE_TALKING            */
    {Mode_Talking_Init, Mode_Talking_Proc, Mode_Talking_Exit, Mode_Talking_Display},
    /* MODE_NUMDIAL            */
    {Mode_NumDial_Init, Mode_NumDial_Proc, nullptr, Mode_NumDial_Display},
    /* MODE_SETTINGMENU        */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_HISTORYMENU        */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_HISTORY_INCOMING   */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_HISTORY_OUTGOING   */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_HISTORY_MISSEDCALL */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_HISTORY_VMAIL      */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_CONTACTDETAIL      */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_HISTORYDETAIL      */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_RESERVED           */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_VOLUMESETTING      */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_CONFERENCE         */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_UNCONNECTED        */ {nullptr, nullptr, nullptr, Mode_Unconnected_Display},
    /* MODE_BALANCE            */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_VOICEMAIL_PLAYING  */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_VOICEMAIL_PLAYEND  */ {nullptr, nullptr, nullptr, nullptr},
    /* MODE_SYSCONFIRM         */ {nullptr, Mode_SysConfirm_Proc, nullptr, Mode_SysConfirm_Display},
};

}  // namespace

const ModeHandlers& GetModeHandlers(int mode) {
    return kModeHandlers[mode];
}

}  // namespace vocastra
