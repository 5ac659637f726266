#include "app/tray_menu.h"

#include "app/messages.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "settings_ui/language_text.h"

namespace vocastra {

bool CTrayMenu::OnTrayNotification(uintptr_t wParam, intptr_t lParam) {
    if (wParam != kTrayIconId || lParam != kRButtonUp)
        return false;
    TrayMenuContent menu = BuildMenu();
    CustomizeMenu(menu);
    m_menu.ShowTrayMenu(menu);
    return true;
}

TrayMenuContent CTrayMenu::BuildMenu() const {
    static constexpr const char* kPageKeys[5] = {"Menu_Audio_Setting", "Menu_Phone_Setting",
                                                 "Menu_RingTone_Setting", "Menu_Advanced_Setting",
                                                 "Menu_About"};
    TrayMenuContent menu;
    menu.languageTitle = m_language.GetLanguageText("Menu_Language");
    CIniFile& ini = m_store.Ini();
    for (int i = 0; i < 5; ++i) {
        std::string name;
        ini.ReadString(StrPrintf("Language_%d", i), "SETTING", name);
        menu.items.push_back({ID_LANGUAGE_COMMANDS[i], name});
    }
    for (int i = 0; i < 5; ++i)
        menu.items.push_back(
            {ID_SETTING_PAGE_COMMANDS[i], m_language.GetLanguageText(kPageKeys[i])});
    menu.items.push_back({ID_APP_EXIT_CMD, m_language.GetLanguageText("Menu_Exit")});
    return menu;
}

void CTrayMenu::CustomizeMenu(TrayMenuContent& menu) const {
    const int language = m_store.settings().VAL_LANGUAGE.load();
    menu.checkedLanguage = language >= 0 && language < 5 ? language : -1;
}

}  // namespace vocastra
