// The tray icon's right-click menu: the language choice, the five settings
// pages and Exit, in the current language, with the current language
// checked. The chosen command goes to the main window (CVocastraDlg).
#pragma once
#include <cstdint>

#include "platform/popup_menu.h"

namespace vocastra {

class LanguageTexts;
class SettingsStore;

inline constexpr uintptr_t kTrayIconId = 130;
inline constexpr intptr_t kRButtonUp = 0x0205;  // tray callback lParam

class CTrayMenu {
  public:
    CTrayMenu(PopupMenu& menu, const LanguageTexts& language, SettingsStore& store)
        : m_menu(menu), m_language(language), m_store(store) {}

    // A tray callback: `wParam` the icon's id, `lParam` the mouse message.
    // A right-button release on the program's icon shows the menu; returns
    // true when it did.
    bool OnTrayNotification(uintptr_t wParam, intptr_t lParam);
    // The menu's texts from the language and settings files.
    TrayMenuContent BuildMenu() const;
    // Checks the current language's entry.
    void CustomizeMenu(TrayMenuContent& menu) const;

  private:
    PopupMenu& m_menu;
    const LanguageTexts& m_language;
    SettingsStore& m_store;
};

}  // namespace vocastra
