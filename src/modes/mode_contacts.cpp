// The contact list that follows the client's focused contact, the contact
// detail, and the choice of contacts for a conference call.
#include <algorithm>

#include "app/log.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/menu_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "platform/clock.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

// Online status 0..7 (UNKNOWN .. SKYPEME) as display icons.
constexpr int kStatusIcons[] = {5, 4, 6, 31, 30, 32, 35, 33};

int StatusIcon(int status) {
    return status >= 0 && status < 8 ? kStatusIcons[status] : -1;
}

// The client's own list moves its focus; its CONTACTS FOCUSED report then
// redraws the handset's list.
void MoveClientFocus(HandsetModes& m, const char* button) {
    m.OpenSkypeContacts();
    m.Send(StrPrintf("BTN_PRESSED %s", button));
    m.Send(StrPrintf("BTN_RELEASED %s", button));
    m.g_nContactsTab = 0;
}

void CallFocusedContact(HandsetModes& m) {
    const std::string focused = m.links.GetFocusedContact();
    if (focused.empty())
        return;  // no one to call
    m.Send("CALL " + focused, kLongCommandBuffer);
}

// Position of the focused contact, compared without regard to case.
int FindFocused(const std::vector<CContactInfo>& contacts, const std::string& focused) {
    for (std::size_t i = 0; i < contacts.size(); ++i)
        if (EqualsNoCase(contacts[i].strHandle, focused))
            return static_cast<int>(i);
    return -1;
}

}  // namespace

void Mode_ContactList_Init(HandsetModes& m) {
    if (!m.links.GetFocusedContact().empty())
        return;
    const std::vector<CContactInfo> contacts = m.links.GetContacts();
    if (!contacts.empty())
        m.links.SetFocusedContact(contacts.front().strHandle);
}

void Mode_ContactList_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key))
        return;
    switch (key) {
        case KEY_HOOKUP:
        case KEY_HOTKEY_2:
            m.KeyToneDelay();
            m.m_clock.Sleep(200);
            CallFocusedContact(m);
            break;
        case KEY_HOOKDOWN:
            m.HangUpByButton("001");
            break;
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_LEFT_FUNCTION:
            m.SwitchMode(MODE_CONTACTDETAIL);
            break;
        case KEY_UP:
            MoveClientFocus(m, "UP");
            break;
        case KEY_DOWN:
            MoveClientFocus(m, "DOWN");
            break;
        case KEY_STAR:
            m.Send("SET WINDOWSTATE NORMAL");
            break;
        default:
            break;
    }
}

void Mode_ContactList_Display(HandsetModes& m) {
    LogRaw("Mode_ContactList_Display Start");
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    const std::vector<CContactInfo> contacts = m.links.GetContacts();
    const int p = FindFocused(contacts, m.links.GetFocusedContact());
    if (p >= 0) {
        // The focus's letter case follows the contact list.
        m.links.SetFocusedContact(contacts[p].strHandle);
        const int count = static_cast<int>(contacts.size());
        int last = p == 0 ? 2 : (p == count - 1 ? p : p + 1);
        const int first = std::max(last - 2, 0);
        last = std::min(last, count - 1);
        for (int i = first; i <= last; ++i) {
            const int line = i - first;
            const bool selected = i == p;
            d.SetRowColors(selected);
            d.FillRowBand(line);
            PaintIconRow(d, line, StatusIcon(contacts[i].nOnlineStatus), contacts[i].strDisplayName,
                         selected);
        }
        d.RestoreNormalColors();
        for (int line = last - first + 1; line < kMenuRows; ++line)
            d.FillRowBand(line);
        d.DrawScrollBar(count - 1, p);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_DETAIL), ALIGN_LEFT);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
    }
    LogRaw("Mode_ContactList_Display End");
}

void Mode_ContactDetail_Init(HandsetModes& m) {
    // The notification thread may be redrawing the canvas meanwhile.
    std::lock_guard lock(m.m_state.m_csDisplay);
    m.m_display.ClearScreen();
}

void Mode_ContactDetail_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key))
        return;
    switch (key) {
        case KEY_HOOKUP:
        case KEY_LEFT_FUNCTION:
            m.KeyToneDelay();
            CallFocusedContact(m);
            break;
        case KEY_HOOKDOWN:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_CONTACTLIST);
            break;
        case KEY_UP:
            MoveClientFocus(m, "UP");
            break;
        case KEY_DOWN:
            MoveClientFocus(m, "DOWN");
            break;
        default:
            break;
    }
}

void Mode_ContactDetail_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    d.DrawLineIcon(0, 0, 0);
    d.DrawLineText(0, 0, m.CurrentTimeText(), ALIGN_RIGHT);
    const std::vector<CContactInfo> contacts = m.links.GetContacts();
    const int p = FindFocused(contacts, m.links.GetFocusedContact());
    if (p < 0)
        return;
    std::string handle = contacts[p].strHandle;
    if (handle.rfind("1:", 0) == 0)
        handle.erase(0, 2);
    d.DrawLineText(0, 1, handle, ALIGN_LEFT);
    d.DrawLineText(0, 2, contacts[p].strDisplayName, ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_CALL), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
}

void Mode_Conference_Init(HandsetModes& m) {
    MenuList& l = m.m_MenuList;
    l.Clear();
    l.SetPainter(PaintConferenceItem);
    for (const CContactInfo& c : m.links.GetContacts())
        l.Add(c.strDisplayName, {0, c.strHandle});
    l.AllocateMarks();
}

void Mode_Conference_Exit(HandsetModes& m) {
    m.m_MenuList.FreeMarks();
}

void Mode_Conference_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key) || MoveMenuSelection(m, key))
        return;
    switch (key) {
        case KEY_HOOKUP: {
            const std::vector<MenuItemData> marked = m.m_MenuList.MarkedData();
            if (marked.empty())
                break;
            std::string command = "CALL ";
            for (std::size_t i = 0; i < marked.size(); ++i)
                command += (i ? ", " : "") + marked[i].record;
            // Sent whole: a cut list would call someone not chosen.
            m.Send(command, command.size() + 1);
            break;
        }
        case KEY_HOOKDOWN:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_LEFT_FUNCTION:
            m.m_MenuList.ToggleMark(m.m_MenuList.Selected());
            m.RefreshDisplay();
            break;
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_SETTINGMENU);
            break;
        default:
            break;
    }
}

void Mode_Conference_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    DrawMenuList(d, m.m_MenuList);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_SELECT), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
    d.DrawLineIcon(3, kIconConference, 56);
}

}  // namespace vocastra
