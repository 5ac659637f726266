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

}  // namespace vocastra
