// A call is in progress: DTMF, mute, hang-up, switching between two calls
// and the earpiece volume.
#include <algorithm>

#include "app/log.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

void ToggleMute(HandsetModes& m) {
    m.Send(m.links.GetMute() ? "SET MUTE OFF" : "SET MUTE ON");
}

// The earpiece level 0..31 moves on the 16-step scale of the volume screen.
void StepVolume(HandsetModes& m, bool up) {
    const int level = m.m_settings.VAL_AUDIO_OUT_VOLUME.load();
    const int s = ((level + 1) * 16) / 31;
    const int next = up ? std::min(s + 2, 16) : (s >= 3 ? s - 2 : 0);
    const int newLevel = (next * 31 + 8) / 16;
    m.m_settings.VAL_AUDIO_OUT_VOLUME = newLevel;
    m.links.RememberAudioOutLevel(newLevel);
    LogRaw(up ? "g_AudioOutMixer.SetFaderValue 001" : "g_AudioOutMixer.SetFaderValue 002");
    m.links.SetAudioOutFaderValue(newLevel, 4);
    m.RefreshDisplay();
}

}  // namespace

void Mode_Talking_Init(HandsetModes& m) {
    m.Cmd(CMD_LED_ON);
}

void Mode_Talking_Exit(HandsetModes& m) {
    m.Cmd(CMD_LED_OFF);
}

void Mode_Talking_Proc(HandsetModes& m, int32_t key) {
    // During a call the hook and hot key 1 act as the mute key.
    if (key == KEY_HOOKUP || key == KEY_HOTKEY_1)
        key = KEY_MUTE;
    const std::vector<CallView> calls = m.Calls();
    const std::string id = calls.empty() ? std::string() : calls.back().szCallId;
    if (key >= KEY_0 && key <= KEY_9) {
        m.Send(StrPrintf("SET CALL %s DTMF %d", id.c_str(), key));
        return;
    }
    switch (key) {
        // A long 0 is still the 0 the user holds down.
        case KEY_0_LONG:
            m.Send(StrPrintf("SET CALL %s DTMF 0", id.c_str()));
            break;
        case KEY_STAR:
            m.Send(StrPrintf("SET CALL %s DTMF *", id.c_str()));
            break;
        case KEY_SHARP:
            m.Send(StrPrintf("SET CALL %s DTMF #", id.c_str()));
            break;
        case KEY_MUTE:
            ToggleMute(m);
            break;
        case KEY_LEFT_FUNCTION:
            if (m.DisplayEnabled())
                ToggleMute(m);
            break;
        case KEY_HOOKDOWN:
        case KEY_RIGHT_FUNCTION:
            m.Cmd(CMD_LED_OFF);
            m.KeyToneDelay();
            if (id.empty()) {
                // A call that rang in during the key tone's wait keeps its
                // screen: putting the handset down was for the call before.
                if (m.CurrentMode() == MODE_TALKING)
                    m.SwitchMode(MODE_MAIN);
            } else {
                m.Cmd(CMD_LED_OFF);
                m.Send(StrPrintf("SET CALL %s STATUS FINISHED", id.c_str()));
            }
            break;
        case KEY_HOTKEY_2: {
            const std::string finish = StrPrintf("SET CALL %s STATUS FINISHED", id.c_str());
            m.KeyToneDelay();
            if (calls.size() == 1)
                m.Cmd(CMD_LED_OFF);
            m.links.RotateCalls();
            const std::vector<CallView> rotated = m.Calls();
            if (!rotated.empty())
                m.Send(StrPrintf("SET CALL %s STATUS INPROGRESS", rotated.back().szCallId.c_str()));
            m.Send(finish);
            break;
        }
        case KEY_UP:
            StepVolume(m, true);
            break;
        case KEY_DOWN:
            StepVolume(m, false);
            break;
        default:
            break;
    }
}

void Mode_Talking_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    d.DrawLineIcon(0, 0, 0);
    d.DrawLineIcon(0, 36, 18);
    d.DrawLineText(0, 0, m.CurrentTimeText(), ALIGN_RIGHT);
    if (m.links.GetMute() == 1)
        d.DrawLineIcon(0, 8, 35);
    const std::vector<CallView> calls = m.Calls();
    if (!calls.empty()) {
        const CallView& call = calls.back();
        d.DrawLineText(0, 1, call.szPartnerDispName, ALIGN_LEFT);
        const int t = call.nDuration < 0 ? 0 : call.nDuration;
        d.DrawLineText(0, 2, StrPrintf("%02d:%02d:%02d", t / 3600, t / 60 % 60, t % 60),
                       ALIGN_CENTER);
    }
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_HANGUP), ALIGN_RIGHT);
}

}  // namespace vocastra
