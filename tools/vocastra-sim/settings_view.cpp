#include "settings_view.h"

#include <algorithm>

#include "app/messages.h"
#include "platform/sim/sim_setting_sheet.h"
#include "settings_ui/setting_ids.h"

namespace vocastra::sim {
namespace {

// One line of a page: a group title, a slider with its label and ends, or a
// label with the control(s) beside it (only the visible ones show).
struct Row {
    enum Kind { Group, Slider, Controls } kind;
    int label;
    int controls[2];
    int low = 0, high = 0;
};

const std::vector<Row>& PageRows(int page) {
    static const std::vector<Row> kRows[kSettingPageCount] = {
        {{Row::Group, IDC_GROUP_VOLUME, {}},
         {Row::Slider, IDC_VOLUME_OUT_LABEL, {IDC_SLIDER_1}, IDC_OUT_LOW, IDC_OUT_HIGH},
         {Row::Slider, IDC_VOLUME_IN_LABEL, {IDC_SLIDER_2}, IDC_IN_LOW, IDC_IN_HIGH},
         {Row::Group, IDC_GROUP_DEVICES, {}},
         {Row::Controls, IDC_DEVICE_OUT_LABEL, {IDC_PLAYBACK_LIST, IDC_SET_PLAYBACK}},
         {Row::Controls, IDC_DEVICE_IN_LABEL, {IDC_RECORD_LIST, IDC_SET_RECORD}}},
        {{Row::Group, IDC_GROUP_LCM, {}},
         {Row::Slider, IDC_CONTRAST_LABEL, {IDC_SLIDER_1}, IDC_LOW, IDC_HIGH},
         {Row::Group, IDC_GROUP_KEYTONE, {}},
         {Row::Controls, 0, {IDC_ENABLE_KEYTONE}}},
        {{Row::Group, IDC_GROUP_RINGTONE, {}},
         {Row::Controls, 0, {IDC_RINGTONE_DEFAULT}},
         {Row::Controls, 0, {IDC_RINGTONE_LIST}},
         {Row::Controls, 0, {IDC_RINGTONE_CUSTOM}},
         {Row::Controls, 0, {IDC_CUSTOM_PATH, IDC_BROWSE}},
         {Row::Slider, IDC_RING_VOLUME_LABEL, {IDC_SLIDER_1}, IDC_LOW, IDC_HIGH},
         {Row::Controls, 0, {IDC_PLAY, IDC_STOP}}},
        {{Row::Group, IDC_GROUP_LANGUAGE, {}},
         {Row::Controls, 0, {IDC_LANGUAGE_LIST}},
         {Row::Group, IDC_GROUP_STARTUP, {}},
         {Row::Controls, 0, {IDC_AUTORUN}}},
        {{Row::Controls, 0, {IDC_VERSION}}, {Row::Controls, 0, {IDC_COPYRIGHT}}},
    };
    return kRows[page];
}

bool TakesFocus(const SimControl& c) {
    switch (c.kind) {
        case ControlKind::Slider:
        case ControlKind::DropList:
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            return c.visible;
        default:
            return false;
    }
}

std::string Pad(std::string s, std::size_t width) {
    // Wide (CJK) characters take two cells; counted by their UTF-8 lead byte.
    std::size_t cells = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        cells += len >= 3 ? 2 : 1;
        i += len;
    }
    if (cells < width)
        s.append(width - cells, ' ');
    return s;
}

std::string ControlText(const SimControl& c) {
    switch (c.kind) {
        case ControlKind::DropList: {
            const std::string sel = c.selection >= 0 && c.selection < int(c.items.size())
                                        ? c.items[static_cast<std::size_t>(c.selection)]
                                        : std::string("(none)");
            return "< " + sel + " >  (" + std::to_string(c.items.size()) + ")";
        }
        case ControlKind::Button:
            return "[" + c.text + "]";
        case ControlKind::CheckBox:
            return std::string(c.checked ? "[x] " : "[ ] ") + c.text;
        case ControlKind::Radio:
            return std::string(c.checked ? "(*) " : "( ) ") + c.text;
        case ControlKind::Edit:
            return "|" + c.text + "|";
        default:
            return c.text;
    }
}

// A menu text as shown: "&" marks the access key ("&&" is an ampersand).
std::string Shown(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

}  // namespace

// --- Tray menu -----------------------------------------------------------

std::string TrayMenuView::Text(int command) const {
    for (const MenuItemText& i : m_menu.items)
        if (i.command == command)
            return Shown(i.text);
    return {};
}

std::vector<std::string> TrayMenuView::Lines() const {
    std::vector<std::string> out;
    auto mark = [](bool at) { return at ? "> " : "  "; };
    out.push_back(mark(m_cursor == 0) + Pad(Shown(m_menu.languageTitle), 24) + " >");
    if (m_languageCursor >= 0)
        for (int i = 0; i < 5; ++i)
            out.push_back(std::string("      ") + mark(m_languageCursor == i) +
                          (m_menu.checkedLanguage == i ? "v " : "  ") +
                          Text(ID_LANGUAGE_COMMANDS[i]));
    out.push_back("  ------------------------");
    for (int i = 0; i < 5; ++i)
        out.push_back(mark(m_cursor == i + 1) + Text(ID_SETTING_PAGE_COMMANDS[i]));
    out.push_back("  ------------------------");
    out.push_back(mark(m_cursor == 6) + Text(ID_APP_EXIT_CMD));
    return out;
}

std::optional<int> TrayMenuView::OnKey(ViewInput in) {
    if (m_languageCursor >= 0) {
        switch (in.key) {
            case ViewKey::Up:
                m_languageCursor = (m_languageCursor + 4) % 5;
                return std::nullopt;
            case ViewKey::Down:
                m_languageCursor = (m_languageCursor + 1) % 5;
                return std::nullopt;
            case ViewKey::Left:
            case ViewKey::Escape:
                m_languageCursor = -1;
                return std::nullopt;
            case ViewKey::Enter:
            case ViewKey::Space:
                return ID_LANGUAGE_COMMANDS[m_languageCursor];
            default:
                return std::nullopt;
        }
    }
    switch (in.key) {
        case ViewKey::Up:
            m_cursor = (m_cursor + 6) % 7;
            return std::nullopt;
        case ViewKey::Down:
            m_cursor = (m_cursor + 1) % 7;
            return std::nullopt;
        case ViewKey::Escape:
            return 0;
        case ViewKey::Right:
        case ViewKey::Enter:
        case ViewKey::Space:
            if (m_cursor == 0) {
                m_languageCursor = std::max(0, m_menu.checkedLanguage);
                return std::nullopt;
            }
            if (in.key == ViewKey::Right)
                return std::nullopt;
            return m_cursor == 6 ? ID_APP_EXIT_CMD : ID_SETTING_PAGE_COMMANDS[m_cursor - 1];
        default:
            return std::nullopt;
    }
}

// --- Settings sheet ------------------------------------------------------

const char* SheetView::KeyHelp() {
    return "Tab/1-5 page  up/down control  left/right change  space press  "
           "a Apply  k OK  Esc Cancel  o tray menu";
}

std::vector<int> SheetView::Focusable(SimSettingSheet& sheet) {
    // Another page shown: the cursor starts at its first control.
    if (sheet.ActivePage() != m_page) {
        m_page = sheet.ActivePage();
        m_cursor = 0;
    }
    std::vector<int> ids;
    SimDialogControls* page = sheet.Page(sheet.ActivePage());
    if (!page)
        return ids;
    for (const Row& row : PageRows(sheet.ActivePage()))
        for (int id : row.controls)
            if (const SimControl* c = id ? page->Find(id) : nullptr; c && TakesFocus(*c))
                ids.push_back(id);
    return ids;
}

std::vector<std::string> SheetView::Lines(SimSettingSheet& sheet) {
    std::vector<std::string> out;
    const int active = sheet.ActivePage();
    SimDialogControls* page = sheet.Page(active);
    if (!page)
        return out;
    const std::vector<int> focus = Focusable(sheet);
    const int focused = focus.empty() ? 0 : focus[std::min(m_cursor, focus.size() - 1)];
    out.push_back(sheet.Caption());
    std::string tabs;
    for (int p = 0; p < kSettingPageCount; ++p)
        tabs += p == active ? "[" + sheet.TabTitle(p) + "] " : " " + sheet.TabTitle(p) + "  ";
    out.push_back(tabs);
    for (const Row& row : PageRows(active)) {
        if (row.kind == Row::Group) {
            const SimControl* g = page->Find(row.label);
            if (g && g->visible)
                out.push_back("-- " + g->text + " --");
            continue;
        }
        std::string line;
        bool any = false, at = false;
        if (row.label) {
            const SimControl* l = page->Find(row.label);
            if (l && l->visible)
                line += Pad(l->text, 18);
        }
        for (int id : row.controls) {
            const SimControl* c = id ? page->Find(id) : nullptr;
            if (!c || !c->visible)
                continue;
            any = true;
            at = at || id == focused;
            if (row.kind == Row::Slider) {
                const SimControl* low = page->Find(row.low);
                const SimControl* high = page->Find(row.high);
                const int span = std::max(1, c->max - c->min);
                const int filled = (c->pos - c->min) * 16 / span;
                line += (low ? low->text : "") + " [" + std::string(filled, '#') +
                        std::string(16 - filled, '-') + "] " + (high ? high->text : "") + "  " +
                        std::to_string(c->pos);
            } else {
                line += ControlText(*c) + "  ";
            }
        }
        if (any)
            out.push_back((at ? "> " : "  ") + line);
    }
    out.push_back("");
    out.push_back("[" + sheet.ButtonText(IDOK_BUTTON) + "] [" + sheet.ButtonText(IDCANCEL_BUTTON) +
                  "] [" + sheet.ButtonText(IDAPPLY_BUTTON) + "]" +
                  (sheet.ApplyEnabled() ? "  (changed)" : ""));
    return out;
}

void SheetView::OnKey(SimSettingSheet& sheet, ViewInput in) {
    const std::vector<int> focus = Focusable(sheet);
    SimDialogControls* page = sheet.Page(sheet.ActivePage());
    const int id = focus.empty() ? 0 : focus[std::min(m_cursor, focus.size() - 1)];
    SimControl* c = page && id ? page->Find(id) : nullptr;
    switch (in.key) {
        case ViewKey::Tab:
            sheet.ShowPage((sheet.ActivePage() + 1) % kSettingPageCount);
            return;
        case ViewKey::Up:
            if (!focus.empty())
                m_cursor = (std::min(m_cursor, focus.size() - 1) + focus.size() - 1) % focus.size();
            return;
        case ViewKey::Down:
            if (!focus.empty())
                m_cursor = (std::min(m_cursor, focus.size() - 1) + 1) % focus.size();
            return;
        case ViewKey::Left:
        case ViewKey::Right: {
            const int step = in.key == ViewKey::Left ? -1 : 1;
            if (c && c->kind == ControlKind::Slider)
                sheet.MoveSlider(id, c->pos + step);
            else if (c && c->kind == ControlKind::DropList && !c->items.empty())
                sheet.SelectEntry(
                    id, std::clamp(c->selection + step, 0, static_cast<int>(c->items.size()) - 1));
            return;
        }
        case ViewKey::Enter:
        case ViewKey::Space:
            if (c && c->kind != ControlKind::Slider && c->kind != ControlKind::DropList)
                sheet.Click(id);
            return;
        case ViewKey::Escape:
            sheet.PressCancel();
            return;
        case ViewKey::Char:
            if (in.ch >= '1' && in.ch <= '5')
                sheet.ShowPage(in.ch - '1');
            else if (in.ch == 'a')
                sheet.PressApply();
            else if (in.ch == 'k')
                sheet.PressOk();
            return;
    }
}

}  // namespace vocastra::sim
