// PopupMenu port: the tray icon's right-click menu (resource menu 130), with
// the texts and the check mark the portable code chose.
#pragma once
#include <string>
#include <vector>

namespace vocastra {

struct MenuItemText {
    int command;  // the item's command id
    std::string text;
};

struct TrayMenuContent {
    std::string languageTitle;        // position 0: the language submenu
    std::vector<MenuItemText> items;  // every other item, by command id
    int checkedLanguage = -1;         // position in the language submenu; -1: none
};

class PopupMenu {
  public:
    virtual ~PopupMenu() = default;
    // Shows the menu at the mouse position, owned by the main window, and
    // returns when it closes. A chosen item reaches the main window as its
    // command message afterwards. UI thread.
    virtual void ShowTrayMenu(const TrayMenuContent& menu) = 0;
};

}  // namespace vocastra
