// A call rings or is being set up: answer, refuse or cancel it.
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

constexpr int kIncomingFrames[3] = {12, 13, 14};
constexpr int kOutgoingFrames[3] = {9, 10, 11};

void Answer(HandsetModes& m, const std::vector<CallView>& calls) {
    const std::string id = calls.empty() ? std::string() : calls.back().szCallId;
    if (!id.empty())
        m.Send(StrPrintf("SET CALL %s STATUS INPROGRESS", id.c_str()));
    // Other calls still ringing or being set up are ended.
    for (const CallView& c : calls)
        if (c.szStatus != "INPROGRESS" && c.szStatus != "ONHOLD" && c.szCallId != id)
            m.Send(StrPrintf("SET CALL %s STATUS FINISHED", c.szCallId.c_str()));
}

void Finish(HandsetModes& m, const std::string& id) {
    m.Send(StrPrintf("SET CALL %s STATUS FINISHED", id.c_str()));
}

void DrawAnimation(HandsetModes& m, const int (&frames)[3], int& frame) {
    CVirtualDisplay& d = m.m_display;
    d.DrawLineIcon(0, 0, 0);
    d.DrawLineIcon(0, frames[frame % 3], 18);
    d.DrawLineText(0, 0, m.CurrentTimeText(), ALIGN_RIGHT);
    frame = (frame + 1) % 3;
}

}  // namespace

void Mode_Ringing_Init(HandsetModes& m) {
    if (m.links.IsVoiceMailPlaying())
        m.Send(StrPrintf("ALTER VOICEMAIL %s STOPPLAYBACK ",
                         m.links.GetSelectedVoiceMailId().c_str()));
    m.Cmd(CMD_LED_FLASH_100MS);
}

void Mode_Ringing_Exit(HandsetModes& m) {
    m.Cmd(CMD_LED_OFF);
    m.Cmd(CMD_RING_STOP);
}

void Mode_Ringing_Proc(HandsetModes& m, int32_t key) {
    const std::vector<CallView> calls = m.Calls();
    const CallView* current = calls.empty() ? nullptr : &calls.back();
    const std::string id = current ? current->szCallId : std::string();
    switch (key) {
        case KEY_LEFT_FUNCTION:
        case KEY_HOTKEY_3:
            m.Cmd(CMD_LED_ON);
            Answer(m, calls);
            break;
        case KEY_HOOKUP:
            Answer(m, calls);
            break;
        case KEY_HOOKDOWN:
        case KEY_RIGHT_FUNCTION:
            m.Cmd(CMD_LED_OFF);
            m.KeyToneDelay();
            if (!id.empty())
                Finish(m, id);
            else
                m.HangUpByButton("004");
            break;
        case KEY_HOTKEY_1:
            if (calls.size() >= 2) {
                m.KeyToneDelay();
                if (!id.empty())
                    Finish(m, id);
            } else if (id.empty()) {
                m.HangUpByButton("002");
            } else if (IsIncomingType(current->nType)) {
                Finish(m, id);  // an outgoing call is left alone
            }
            break;
        case KEY_HOTKEY_2:
            if (id.empty()) {
                m.HangUpByButton("003");
            } else if (current->bRouted == 1) {  // our own call being set up: cancel
                m.KeyToneDelay();
                Finish(m, id);
            } else {
                m.Send(StrPrintf("SET CALL %s STATUS INPROGRESS", id.c_str()));
            }
            break;
        case KEY_HOTKEY_1_LONG:
            m.Send("MINIMIZE");
            break;
        default:
            break;
    }
}

void Mode_Ringing_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    // Redrawn every second over itself: start from a clean screen so the
    // clock and the animation frames do not pile up.
    d.ClearScreen();
    const std::vector<CallView> calls = m.Calls();
    if (calls.empty()) {
        std::string target = m.links.GetLastCallTarget();
        if (target.compare(0, 2, "1:") == 0)
            target.erase(0, 2);
        d.DrawLineText(0, 1, target, ALIGN_LEFT);
        DrawAnimation(m, kOutgoingFrames, m.m_nOutgoingFrame);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_HANGUP), ALIGN_RIGHT);
        return;
    }
    const CallView& call = calls.back();
    d.DrawLineText(0, 1, call.szPartnerDispName, ALIGN_LEFT);
    if (IsIncomingType(call.nType)) {
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_ACCEPT), ALIGN_LEFT);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_REFUSE), ALIGN_RIGHT);
        DrawAnimation(m, kIncomingFrames, m.m_nIncomingFrame);
        m.Cmd(CMD_RING);  // once per redraw: the handset rings while the call does
    } else if (call.nType == E_TYPE_UNKNOWN) {
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_HANGUP), ALIGN_RIGHT);
    } else {
        DrawAnimation(m, kOutgoingFrames, m.m_nOutgoingFrame);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_HANGUP), ALIGN_RIGHT);
    }
}

}  // namespace vocastra
