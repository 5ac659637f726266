#include "platform/sim/sim_setting_sheet.h"

#include <algorithm>

namespace vocastra {

SimDialogControls::SimDialogControls(int page, std::function<void()> onModified)
    : m_onModified(std::move(onModified)) {
    for (const PageControl& c : PageControls(page)) {
        SimControl& s = m_controls[c.id];
        s.kind = c.kind;
        s.visible = c.visible;
    }
}

SimControl* SimDialogControls::Find(int id) {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

void SimDialogControls::SetText(int id, const std::string& text) {
    if (SimControl* c = Find(id))
        c->text = text;
}

std::string SimDialogControls::GetText(int id) {
    SimControl* c = Find(id);
    return c ? c->text : std::string();
}

void SimDialogControls::Show(int id, bool visible) {
    if (SimControl* c = Find(id))
        c->visible = visible;
}

bool SimDialogControls::IsVisible(int id) {
    SimControl* c = Find(id);
    return c && c->visible;
}

void SimDialogControls::SetCheck(int id, bool checked) {
    if (SimControl* c = Find(id))
        c->checked = checked;
}

bool SimDialogControls::IsChecked(int id) {
    SimControl* c = Find(id);
    return c && c->checked;
}

void SimDialogControls::SetRange(int id, int min, int max) {
    if (SimControl* c = Find(id)) {
        c->min = min;
        c->max = max;
        c->pos = std::clamp(c->pos, min, std::max(min, max));
    }
}

void SimDialogControls::SetPos(int id, int pos) {
    // A slider keeps its position inside its range, as the trackbar does.
    if (SimControl* c = Find(id))
        c->pos = std::clamp(pos, c->min, std::max(c->min, c->max));
}

int SimDialogControls::GetPos(int id) {
    SimControl* c = Find(id);
    return c ? c->pos : 0;
}

void SimDialogControls::ResetItems(int id) {
    if (SimControl* c = Find(id)) {
        c->items.clear();
        c->selection = -1;
    }
}

void SimDialogControls::InsertItem(int id, int index, const std::string& text) {
    SimControl* c = Find(id);
    if (!c || index > static_cast<int>(c->items.size()))
        return;
    if (index < 0)
        index = static_cast<int>(c->items.size());
    c->items.insert(c->items.begin() + index, text);
    if (c->selection >= index)
        ++c->selection;
}

int SimDialogControls::ItemCount(int id) {
    SimControl* c = Find(id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string SimDialogControls::ItemText(int id, int index) {
    SimControl* c = Find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size()))
        return {};
    return c->items[static_cast<std::size_t>(index)];
}

void SimDialogControls::SelectItem(int id, int index) {
    if (SimControl* c = Find(id))
        c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

int SimDialogControls::SelectedItem(int id) {
    SimControl* c = Find(id);
    return c ? c->selection : -1;
}

void SimDialogControls::SetModified() {
    if (m_onModified)
        m_onModified();
}

void SimSettingSheet::Run(SettingSheetEvents& events, int startPage) {
    ++m_runs;
    m_events = &events;
    m_applyEnabled = false;
    m_records.push_back("SHEET open " + std::to_string(startPage));
    events.OnSheetInit(*this);
    ShowPage(startPage);
    if (m_user)
        m_user(*this);
    if (IsOpen())
        PressCancel();
}

void SimSettingSheet::Close() {
    SettingSheetEvents* events = m_events;
    for (int p = 0; p < kSettingPageCount; ++p)
        if (m_pages[p])
            events->OnPageDestroy(p);
    for (auto& page : m_pages)
        page.reset();
    m_events = nullptr;
    m_active = -1;
}

void SimSettingSheet::SetActivePage(int page) {
    m_records.push_back("SHEET page " + std::to_string(page));
    ShowPage(page);
}

void SimSettingSheet::PressCancel() {
    if (!IsOpen())
        return;
    m_records.push_back("SHEET cancel");
    Close();
}

void SimSettingSheet::SetCaption(const std::string& text) {
    m_caption = text;
}

void SimSettingSheet::SetTabTitle(int page, const std::string& text) {
    if (page >= 0 && page < kSettingPageCount)
        m_tabs[page] = text;
}

void SimSettingSheet::SetButtonText(int id, const std::string& text) {
    m_buttons[id] = text;
}

void SimSettingSheet::ShowPage(int page) {
    if (!IsOpen() || page < 0 || page >= kSettingPageCount)
        return;
    m_active = page;
    if (m_pages[page])
        return;
    m_pages[page] = std::make_unique<SimDialogControls>(page, [this] { m_applyEnabled = true; });
    m_events->OnPageInit(page, *m_pages[page]);
}

void SimSettingSheet::Click(int id) {
    SimDialogControls* c = Page(m_active);
    SimControl* ctl = c ? c->Find(id) : nullptr;
    if (!ctl || !ctl->visible)
        return;
    // Check boxes toggle and radio buttons check themselves, as their
    // automatic styles do.
    if (ctl->kind == ControlKind::CheckBox)
        ctl->checked = !ctl->checked;
    if (ctl->kind == ControlKind::Radio)
        ctl->checked = true;
    m_events->OnPageEvent(m_active, id, ControlEvent::Clicked);
}

void SimSettingSheet::SelectEntry(int id, int index) {
    SimDialogControls* c = Page(m_active);
    SimControl* ctl = c ? c->Find(id) : nullptr;
    if (!ctl || !ctl->visible || index < 0 || index >= static_cast<int>(ctl->items.size()))
        return;
    ctl->selection = index;
    m_events->OnPageEvent(m_active, id, ControlEvent::SelectionChanged);
}

void SimSettingSheet::MoveSlider(int id, int pos) {
    SimDialogControls* c = Page(m_active);
    SimControl* ctl = c ? c->Find(id) : nullptr;
    if (!ctl || !ctl->visible)
        return;
    c->SetPos(id, pos);
    m_events->OnPageEvent(m_active, id, ControlEvent::SliderReleased);
}

void SimSettingSheet::SetCheckBox(int id, bool checked) {
    SimDialogControls* c = Page(m_active);
    if (c && c->IsChecked(id) != checked)
        Click(id);
}

void SimSettingSheet::ApplyAll() {
    for (int p = 0; p < kSettingPageCount && IsOpen(); ++p)
        if (m_pages[p])
            m_events->OnPageApply(p);
    m_applyEnabled = false;
}

void SimSettingSheet::PressApply() {
    if (!IsOpen())
        return;
    m_records.push_back("SHEET apply");
    ApplyAll();
}

void SimSettingSheet::PressOk() {
    if (!IsOpen())
        return;
    m_records.push_back("SHEET ok");
    ApplyAll();
    if (IsOpen())
        Close();
}

bool SimSettingSheet::PageExists(int page) const {
    return page >= 0 && page < kSettingPageCount && m_pages[page] != nullptr;
}

SimDialogControls* SimSettingSheet::Page(int page) {
    return PageExists(page) ? m_pages[page].get() : nullptr;
}

std::string SimSettingSheet::TabTitle(int page) const {
    return page >= 0 && page < kSettingPageCount ? m_tabs[page] : std::string();
}

std::string SimSettingSheet::ButtonText(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? std::string() : it->second;
}

}  // namespace vocastra
