#include "modes/menu_list.h"

#include <algorithm>

#include "modes/virtual_display.h"

namespace vocastra {

void MenuList::Clear() {
    std::lock_guard lock(m_mutex);
    m_ItemText.clear();
    m_ItemData.clear();
    g_ConferenceMarks.clear();
    m_nSelected = 0;
    m_nTop = 0;
    m_pfnDrawItem = nullptr;
}

void MenuList::Add(std::string text, MenuItemData data) {
    std::lock_guard lock(m_mutex);
    m_ItemText.push_back(std::move(text));
    m_ItemData.push_back(std::move(data));
}

int MenuList::Count() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_ItemText.size());
}

void MenuList::SetPainter(MenuItemPainter painter) {
    std::lock_guard lock(m_mutex);
    m_pfnDrawItem = painter;
}

void MenuList::MoveUp() {
    std::lock_guard lock(m_mutex);
    const int count = static_cast<int>(m_ItemText.size());
    if (count == 0)
        return;  // nothing to select: wrapping would select item -1
    if (--m_nSelected < 0) {
        m_nSelected = count - 1;
        m_nTop = std::max(count - kMenuRows, 0);
    } else if (m_nSelected < m_nTop) {
        m_nTop = m_nSelected;
    }
}

void MenuList::MoveDown() {
    std::lock_guard lock(m_mutex);
    const int count = static_cast<int>(m_ItemText.size());
    if (count == 0)
        return;
    if (++m_nSelected >= count) {
        m_nSelected = 0;
        m_nTop = 0;
    } else if (m_nSelected > m_nTop + kMenuRows - 1) {
        m_nTop = m_nSelected - (kMenuRows - 1);
    }
}

void MenuList::SelectData(const MenuItemData& data) {
    std::lock_guard lock(m_mutex);
    const auto it = std::find(m_ItemData.begin(), m_ItemData.end(), data);
    if (it == m_ItemData.end())
        return;
    m_nSelected = m_nTop = static_cast<int32_t>(it - m_ItemData.begin());
}

int MenuList::Selected() const {
    std::lock_guard lock(m_mutex);
    return m_nSelected;
}

int MenuList::Top() const {
    std::lock_guard lock(m_mutex);
    return m_nTop;
}

std::optional<MenuItemData> MenuList::SelectedData() const {
    std::lock_guard lock(m_mutex);
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_ItemData.size()))
        return std::nullopt;
    return m_ItemData[m_nSelected];
}

void MenuList::AllocateMarks() {
    std::lock_guard lock(m_mutex);
    g_ConferenceMarks.assign(m_ItemText.size(), 0);
}

void MenuList::FreeMarks() {
    std::lock_guard lock(m_mutex);
    g_ConferenceMarks.clear();
}

void MenuList::ToggleMark(int index) {
    std::lock_guard lock(m_mutex);
    if (index >= 0 && index < static_cast<int>(g_ConferenceMarks.size()))
        g_ConferenceMarks[index] = !g_ConferenceMarks[index];
}

std::vector<MenuItemData> MenuList::MarkedData() const {
    std::lock_guard lock(m_mutex);
    std::vector<MenuItemData> out;
    for (std::size_t i = 0; i < g_ConferenceMarks.size() && i < m_ItemData.size(); ++i)
        if (g_ConferenceMarks[i])
            out.push_back(m_ItemData[i]);
    return out;
}

MenuList::Window MenuList::Visible() const {
    std::lock_guard lock(m_mutex);
    Window w;
    w.count = static_cast<int>(m_ItemText.size());
    w.selected = m_nSelected;
    w.painter = m_pfnDrawItem;
    for (int i = std::max(m_nTop, 0); i < w.count && i < m_nTop + kMenuRows; ++i) {
        MenuRow r;
        r.line = i - m_nTop;
        r.text = m_ItemText[i];
        r.data = m_ItemData[i];
        r.selected = i == m_nSelected;
        r.marked = i < static_cast<int>(g_ConferenceMarks.size()) && g_ConferenceMarks[i] != 0;
        w.rows.push_back(std::move(r));
    }
    return w;
}

void DrawMenuList(CVirtualDisplay& d, const MenuList& list) {
    const MenuList::Window w = list.Visible();
    for (int line = 0; line < kMenuRows; ++line) {
        const auto it = std::find_if(w.rows.begin(), w.rows.end(),
                                     [line](const MenuRow& r) { return r.line == line; });
        if (it == w.rows.end()) {
            d.SetRowColors(false);
            d.FillRowBand(line);
            continue;
        }
        d.SetRowColors(it->selected);
        d.FillRowBand(line);
        if (w.painter)
            w.painter(d, *it);
        else
            d.DrawLineText(0, line, it->text, ALIGN_LEFT);
    }
    d.RestoreNormalColors();
    if (w.count > 1)
        d.DrawScrollBar(w.count - 1, w.selected);
}

void PaintIconRow(CVirtualDisplay& d, int line, int icon, const std::string& text, bool scroll) {
    d.DrawLineIcon(line, icon, 0);
    if (scroll)
        d.DrawScrollingText(line, text, ALIGN_LEFT);
    else
        d.DrawLineText(16, line, text, ALIGN_LEFT);
}

void PaintHistoryMenuItem(CVirtualDisplay& d, const MenuRow& row) {
    static constexpr int kIcons[] = {kIconIncoming, kIconOutgoing, kIconMissed, kIconVoiceMail};
    const int n = row.data.value;
    const int icon = n >= 0 && n < 4 ? kIcons[n] : -1;
    PaintIconRow(d, row.line, icon, row.text, false);
}

void PaintIncomingItem(CVirtualDisplay& d, const MenuRow& row) {
    PaintIconRow(d, row.line, kIconIncoming, row.text, row.selected);
}

void PaintOutgoingItem(CVirtualDisplay& d, const MenuRow& row) {
    PaintIconRow(d, row.line, kIconOutgoing, row.text, row.selected);
}

void PaintMissedItem(CVirtualDisplay& d, const MenuRow& row) {
    PaintIconRow(d, row.line, kIconMissed, row.text, row.selected);
}

void PaintVoiceMailItem(CVirtualDisplay& d, const MenuRow& row) {
    PaintIconRow(d, row.line, kIconVoiceMail, row.text, row.selected);
}

void PaintConferenceItem(CVirtualDisplay& d, const MenuRow& row) {
    PaintIconRow(d, row.line, row.marked ? kIconMarked : kIconUnmarked, row.text, row.selected);
}

}  // namespace vocastra
