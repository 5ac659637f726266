// A number is typed on the handset and dialled; and the screen shown when the
// client asks for a confirmation after the call command.
#include "app/log.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "platform/clock.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

constexpr const char* kConfirmForm = "TskConfirmForm.UnicodeClass";
constexpr std::size_t kNumDialLine = 14;  // characters of the number per display line
constexpr uint32_t kVkEscape = 27;

// The number is changed on the key thread and drawn on the redraw threads,
// which hold the display lock: so is every change.
std::unique_lock<std::recursive_mutex> LockNumber(HandsetModes& m) {
    return std::unique_lock(m.m_state.m_csDisplay);
}

void Append(HandsetModes& m, char c) {
    {
        auto lock = LockNumber(m);
        m.m_DialNumber += c;
    }
    m.RefreshDisplay();
}

void Dial(HandsetModes& m) {
    const std::string number = [&] {
        auto lock = LockNumber(m);
        return m.m_DialNumber;
    }();
    if (number.size() > 2) {
        m.Send("OPEN DIALPAD");
    } else {
        m.OpenSkypeContacts();
        m.g_nContactsTab = 0;
    }
    m.Send("BTN_PRESSED NO");
    m.Send("BTN_RELEASED NO");
    for (char c : number) {
        m.Send(StrPrintf("BTN_PRESSED %c", c));
        m.Send(StrPrintf("BTN_RELEASED %c", c));
    }
    m.KeyToneDelay();
    // The number travels in a 100-byte buffer: at most 99 characters of it.
    m.SendNumberByRule(number.substr(0, kCommandBuffer - 1), kCommandBuffer);
    m.m_clock.Sleep(1000);
    if (m.m_windows.FindTopLevelWindow(kConfirmForm)) {
        LogRaw("Find TskConfirmForm.UnicodeClass 1");
        m.SwitchMode(MODE_SYSCONFIRM);
    }
}

}  // namespace

void Mode_NumDial_Init(HandsetModes& m) {
    auto lock = LockNumber(m);
    m.m_DialNumber.clear();
}

void Mode_NumDial_Proc(HandsetModes& m, int32_t key) {
    if (key >= KEY_0 && key <= KEY_9) {
        Append(m, char('0' + key));
        return;
    }
    switch (key) {
        case KEY_STAR:
            Append(m, '*');
            break;
        case KEY_SHARP:
            Append(m, '#');
            break;
        case KEY_0_LONG:
            Append(m, '+');
            break;
        case KEY_HOOKUP:
        case KEY_LEFT_FUNCTION:
            Dial(m);
            break;
        case KEY_RIGHT_FUNCTION:
        case KEY_CLEAR: {
            bool shortened = false;
            {
                auto lock = LockNumber(m);
                if (m.m_DialNumber.size() >= 2) {
                    m.m_DialNumber.pop_back();
                    shortened = true;
                }
            }
            if (shortened)
                m.RefreshDisplay();
            else
                m.SwitchMode(MODE_MAIN);
            break;
        }
        case KEY_HOOKDOWN:
            m.SwitchMode(MODE_MAIN);
            break;
        default:
            break;
    }
}

void Mode_NumDial_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    d.DrawLineIcon(0, 0, 0);
    d.DrawLineText(0, 0, m.CurrentTimeText(), ALIGN_RIGHT);
    const std::string& number = m.m_DialNumber;
    if (number.size() > kNumDialLine) {
        d.DrawLineText(0, 1, number.substr(0, kNumDialLine), ALIGN_LEFT);
        d.DrawLineText(0, 2, number.substr(kNumDialLine), ALIGN_LEFT);
    } else {
        d.DrawLineText(0, 1, number, ALIGN_LEFT);
    }
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_CALL), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_DELETE), ALIGN_RIGHT);
}

void Mode_SysConfirm_Proc(HandsetModes& m, int32_t key) {
    if (key != KEY_HOOKDOWN && key != KEY_RIGHT_FUNCTION)
        return;
    if (const WindowId form = m.m_windows.FindTopLevelWindow(kConfirmForm)) {
        LogRaw("Find TskConfirmForm.UnicodeClass 4");
        m.m_windows.SendWindowMessage(form, kWmKeyDown, kVkEscape, 0);
    }
    m.SwitchMode(MODE_MAIN);
}

void Mode_SysConfirm_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    d.DrawLineText(0, 1, m.Text(IDS_SCREEN_DIALFAILED), ALIGN_CENTER);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
}

}  // namespace vocastra
