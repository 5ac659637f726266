// The idle mode in both handset variants, and the unconnected screen.
#include "app/settings.h"
#include "app/text_util.h"
#include "app/vocastra_dlg.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "platform/clock.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

void SendContrast(HandsetModes& m) {
    const auto c = ContrastBytes(m.m_settings);
    m.Cmd(CMD_SET_CONTRAST, c[0], c[1], c[2]);
}

void MoveInSkypeList(HandsetModes& m, const char* button) {
    if (!m.FindSkypeMainWindow())
        return;
    if (m.g_nNoLcdNumberLen != 0) {
        m.ClearSkypeDialPad();
        m.ClearNoLcdNumber();
    }
    if (m.SkypeWindowState() == 1) {
        m.Send("SET WINDOWSTATE NORMAL");
        m.m_clock.Sleep(50);
        m.Send(StrPrintf("BTN_PRESSED %s", button));
        m.Send(StrPrintf("BTN_RELEASED %s", button));
    } else {
        m.OpenSkypeContacts();
        m.g_nContactsTab = 0;
    }
}

// A character typed without a display goes to the client's dial pad and is
// remembered for the hook key.
void PressOnSkypePad(HandsetModes& m, const std::string& button, char c) {
    if (m.g_nNoLcdNumberLen == 0)
        m.ClearSkypeDialPad();
    if (m.links.GetSkypeMajorVersion() == 3)
        m.Send("FOCUS");
    m.Send("BTN_PRESSED " + button);
    m.Send("BTN_RELEASED " + button);
    m.AppendNoLcdNumber(c);
    if (m.SkypeWindowState() == 2) {
        m.OpenSkypeContacts();
        m.g_nContactsTab = 0;
    }
}

void DialFromSkypePad(HandsetModes& m) {
    const int state = m.SkypeWindowState();
    if (state == 0)
        return;
    if (state == 2) {  // bring the client up first; the number is kept
        m.OpenSkypeContacts();
        m.g_nContactsTab = 0;
        return;
    }
    m.KeyToneDelay();
    const bool older = m.links.GetSkypeMajorVersion() == 3;
    if (m.g_nNoLcdNumberLen == 0) {
        const std::string focused = m.links.GetFocusedContact();
        if (older || focused.empty()) {
            m.Send("BTN_PRESSED YES");
            m.Send("BTN_RELEASED YES");
        } else {
            m.m_clock.Sleep(200);
            m.Send("CALL " + focused);
        }
    } else if (older) {
        m.Send("BTN_PRESSED YES");
        m.Send("BTN_RELEASED YES");
    } else {
        m.SendNumberByRule(m.NoLcdNumber(), kLongCommandBuffer);
    }
    m.ClearNoLcdNumber();
}

}  // namespace

void Mode_Main_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key))
        return;
    switch (key) {
        case KEY_HOOKUP:
            m.Send("SET WINDOWSTATE NORMAL");
            break;
        case KEY_HOOKDOWN:
            m.Send("MINIMIZE");
            m.CloseSkypeCallForms();
            break;
        case KEY_LEFT_FUNCTION:
            m.SwitchMode(MODE_SETTINGMENU);
            break;
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_HISTORYMENU);
            break;
        case KEY_UP:
        case KEY_DOWN:
            if (m.links.GetContactCount() > 0) {
                m.SwitchMode(MODE_CONTACTLIST);
                m.DispatchKeyToMode(key);
            }
            break;
        case KEY_STAR:
            m.ToggleSkypeFocus();
            break;
        case KEY_CLEAR:
            m.Send("SET WINDOWSTATE NORMAL");
            m.PressBackspaceInSkype();
            break;
        default:
            break;
    }
}

void Mode_Main_NoLCD_Proc(HandsetModes& m, int32_t key) {
    if (key >= KEY_0 && key <= KEY_9) {
        PressOnSkypePad(m, std::to_string(key), char('0' + key));
        return;
    }
    switch (key) {
        case KEY_STAR:
            PressOnSkypePad(m, "*", '*');
            break;
        case KEY_SHARP:
            PressOnSkypePad(m, "#", '#');
            break;
        case KEY_0_LONG:
            PressOnSkypePad(m, "+", '+');
            break;
        case KEY_HOOKUP:
        case KEY_HOTKEY_2:
            DialFromSkypePad(m);
            break;
        case KEY_HOOKDOWN:
            m.Cmd(CMD_LED_OFF);
            if (m.SkypeWindowState() == 1) {
                m.ClearSkypeDialPad();
                m.Send("MINIMIZE");
                m.ClearNoLcdNumber();
                m.CloseSkypeCallForms();
            }
            break;
        case KEY_HOTKEY_1:
            m.ToggleSkypeFocus();
            break;
        case KEY_HOTKEY_3:
            m.Cmd(CMD_LED_ON);
            m.OpenSkypeContacts();
            m.g_nContactsTab = 0;
            break;
        case KEY_UP:
            MoveInSkypeList(m, "UP");
            break;
        case KEY_DOWN:
            MoveInSkypeList(m, "DOWN");
            break;
        case KEY_MUTE: {
            const int state = m.SkypeWindowState();
            if (state == 1) {
                m.Send("SET WINDOWSTATE NORMAL");
            } else if (state == 2) {
                m.OpenSkypeContacts();
                m.g_nContactsTab = 0;
            }
            break;
        }
        case KEY_CLEAR:
            m.Send("FOCUS");
            m.m_clock.Sleep(100);
            m.PressBackspaceInSkype();
            break;
        case KEY_HOTKEY_1_LONG:
            m.Send("MINIMIZE");
            break;
        default:
            break;
    }
}

void Mode_Main_Display(HandsetModes& m) {
    SendContrast(m);
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    d.DrawLineIcon(0, 0, 0);
    d.DrawLineText(0, 0, m.CurrentTimeText(), ALIGN_RIGHT);
    d.DrawLineText(0, 1, CutBytesUtf8(m.links.GetCurrentUserFullName(), 19), ALIGN_CENTER);
    d.DrawLineText(0, 2, m.CurrentDateText(), ALIGN_CENTER);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_SETTING), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_HISTORY), ALIGN_RIGHT);
}

void Mode_Main_NoLCD_Display(HandsetModes& m) {
    SendContrast(m);
    m.m_display.ShowNoLcdOnce();
}

void Mode_Unconnected_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    d.DrawLineText(0, 1, m.m_flags.g_bDeviceStarted.load() ? "Skype" : "DEVICE", ALIGN_CENTER);
    d.DrawLineText(0, 2, "UNCONNECTED!", ALIGN_CENTER);
}

}  // namespace vocastra
