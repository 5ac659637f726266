// The two soft-key menus, the volume screen and the balance screen.
#include <algorithm>

#include "app/log.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/menu_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

// The playback volume on the handset's 16-step scale, two steps per key.
int VolumeSteps(int level) {
    return ((level + 1) * 16) / 31;
}

void DrawClockHeader(HandsetModes& m) {
    m.m_display.DrawLineIcon(0, 0, 0);
    m.m_display.DrawLineText(0, 0, m.CurrentTimeText(), ALIGN_RIGHT);
}

}  // namespace

bool MoveMenuSelection(HandsetModes& m, int32_t key) {
    if (key == KEY_UP)
        m.m_MenuList.MoveUp();
    else if (key == KEY_DOWN)
        m.m_MenuList.MoveDown();
    else
        return false;
    m.RefreshDisplay();
    return true;
}

void StepAudioOutVolume(HandsetModes& m, bool up, const char* tag) {
    const int s = VolumeSteps(m.m_settings.VAL_AUDIO_OUT_VOLUME.load());
    const int next = up ? std::min(s + 2, 16) : (s >= 3 ? s - 2 : 0);
    LogPrintA("g_AudioOutMixer.SetFaderValue %s", tag);
    const int level = (next * 31 + 8) / 16;
    m.m_settings.VAL_AUDIO_OUT_VOLUME = level;
    m.links.SetAudioOutFaderValue(level, 4);
    m.RefreshDisplay();
}

void Mode_SettingMenu_Init(HandsetModes& m) {
    MenuList& l = m.m_MenuList;
    l.Clear();
    l.Add(m.Text(IDS_SCREEN_VOLUMESETTING), {0, {}});
    l.Add(m.Text(IDS_SCREEN_CONFERENCE), {1, {}});
    l.Add(m.Text(IDS_SCREEN_BALANCE), {2, {}});
}

void Mode_SettingMenu_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key) || MoveMenuSelection(m, key))
        return;
    static constexpr int kTargets[] = {MODE_VOLUMESETTING, MODE_CONFERENCE, MODE_BALANCE};
    switch (key) {
        case KEY_HOOKDOWN:
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_LEFT_FUNCTION: {
            const int i = m.m_MenuList.Selected();
            if (i >= 0 && i < 3)
                m.SwitchMode(kTargets[i]);
            break;
        }
        default:
            break;
    }
}

void Mode_HistoryMenu_Init(HandsetModes& m) {
    MenuList& l = m.m_MenuList;
    l.Clear();
    l.SetPainter(PaintHistoryMenuItem);
    l.Add(m.Text(IDS_SCREEN_INCOMINGCALL), {0, {}});
    l.Add(m.Text(IDS_SCREEN_OUTGOINGCALL), {1, {}});
    l.Add(m.Text(IDS_SCREEN_MISSEDCALL), {2, {}});
    l.Add(m.Text(IDS_SCREEN_VOICEMAIL), {3, {}});
}

void Mode_HistoryMenu_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key) || MoveMenuSelection(m, key))
        return;
    static constexpr int kTargets[] = {MODE_HISTORY_INCOMING, MODE_HISTORY_OUTGOING,
                                       MODE_HISTORY_MISSEDCALL, MODE_HISTORY_VMAIL};
    switch (key) {
        case KEY_HOOKDOWN:
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_LEFT_FUNCTION: {
            const int i = m.m_MenuList.Selected();
            if (i >= 0 && i < 4)
                m.SwitchMode(kTargets[i]);
            break;
        }
        default:
            break;
    }
}

void Mode_Menu_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    DrawMenuList(d, m.m_MenuList);
    d.DrawLineText(0, 3, "OK", ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
}

void Mode_VolumeSetting_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key))
        return;
    switch (key) {
        case KEY_HOOKDOWN:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_SETTINGMENU);
            break;
        case KEY_UP:
        case KEY_VOLUME_UP:
            StepAudioOutVolume(m, true, "003");
            break;
        case KEY_DOWN:
        case KEY_VOLUME_DOWN:
            StepAudioOutVolume(m, false, "004");
            break;
        default:
            break;
    }
}

void Mode_VolumeSetting_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    DrawClockHeader(m);
    d.DrawVolumeBars(VolumeSteps(m.m_settings.VAL_AUDIO_OUT_VOLUME.load()));
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
}

void Mode_Balance_Proc(HandsetModes& m, int32_t key) {
    LogRaw("Mode_Balance_Proc entering");
    if (m.ForwardToNumberEntry(key))
        return;
    if (key == KEY_HOOKDOWN)
        m.SwitchMode(MODE_MAIN);
    else if (key == KEY_RIGHT_FUNCTION)
        m.SwitchMode(MODE_SETTINGMENU);
}

void Mode_Balance_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    // Hundredths as the client reports them; anything else reads as 0.
    const double balance = ParseDecimal(m.links.GetPstnBalance()) / 100.0;
    d.ClearScreen();
    d.DrawLineText(0, 1, m.Text(IDS_SCREEN_CURRENCY), ALIGN_LEFT);
    d.DrawLineText(65, 1, m.links.GetPstnBalanceCurrency(), ALIGN_LEFT);
    d.DrawLineText(0, 2, m.Text(IDS_SCREEN_BALANCE2), ALIGN_LEFT);
    d.DrawLineText(65, 2, StrPrintf("%.2f", balance), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
}

void Mode_Unused_Proc(HandsetModes& m, int32_t key) {
    if (key == KEY_HOOKDOWN || key == KEY_RIGHT_FUNCTION)
        m.SwitchMode(MODE_MAIN);
}

}  // namespace vocastra
