// The tray menu on the simulated platform: keeps what was shown and lets the
// "user" pick an item, whose command then reaches the main window as the
// menu's command message does.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/popup_menu.h"

namespace vocastra {

class MainWindow;

class SimPopupMenu : public PopupMenu {
  public:
    explicit SimPopupMenu(MainWindow& mainWindow) : m_mainWindow(mainWindow) {}

    // Called while the menu is shown: returns the command to choose, or 0
    // to dismiss the menu. Without a chooser every menu is dismissed.
    void SetChooser(std::function<int(const TrayMenuContent&)> chooser) {
        m_chooser = std::move(chooser);
    }
    void ShowTrayMenu(const TrayMenuContent& menu) override;

    int ShownCount() const { return m_shown; }
    // The last menu shown, if any.
    const std::optional<TrayMenuContent>& Last() const { return m_last; }
    // The text of `command` in the last menu; empty when absent.
    std::string ItemText(int command) const;
    // The last menu as the user reads it, one line an item: the language
    // submenu indented, "[x]" on the checked entry, "--" for separators.
    std::vector<std::string> Lines() const;

  private:
    MainWindow& m_mainWindow;
    std::function<int(const TrayMenuContent&)> m_chooser;
    std::optional<TrayMenuContent> m_last;
    int m_shown = 0;
};

}  // namespace vocastra
