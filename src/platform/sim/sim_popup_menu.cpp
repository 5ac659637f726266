#include "platform/sim/sim_popup_menu.h"

#include "app/messages.h"
#include "platform/main_window.h"

namespace vocastra {

void SimPopupMenu::ShowTrayMenu(const TrayMenuContent& menu) {
    ++m_shown;
    m_last = menu;
    const int command = m_chooser ? m_chooser(menu) : 0;
    if (command != 0)
        m_mainWindow.Post(kMsgCommand, static_cast<uintptr_t>(command), 0);
}

std::string SimPopupMenu::ItemText(int command) const {
    if (m_last)
        for (const MenuItemText& i : m_last->items)
            if (i.command == command)
                return i.text;
    return {};
}

std::vector<std::string> SimPopupMenu::Lines() const {
    std::vector<std::string> out;
    if (!m_last)
        return out;
    out.push_back(m_last->languageTitle + " >");
    for (int i = 0; i < 5; ++i)
        out.push_back(std::string(m_last->checkedLanguage == i ? "    [x] " : "    [ ] ") +
                      ItemText(ID_LANGUAGE_COMMANDS[i]));
    out.push_back("--");
    for (int i = 0; i < 5; ++i)
        out.push_back(ItemText(ID_SETTING_PAGE_COMMANDS[i]));
    out.push_back("--");
    out.push_back(ItemText(ID_APP_EXIT_CMD));
    return out;
}

}  // namespace vocastra
