// The tray menu and the settings sheet as text, for the simulator's
// terminal: what to show, and what a typed key does to them. The sheet is
// the program's real sheet on the simulated platform (SimSettingSheet), so
// its pages apply their settings as on Windows.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/popup_menu.h"

namespace vocastra {
class SimSettingSheet;
}

namespace vocastra::sim {

enum class ViewKey { Up, Down, Left, Right, Enter, Escape, Tab, Space, Char };
struct ViewInput {
    ViewKey key = ViewKey::Char;
    char ch = 0;  // ViewKey::Char
};

// The tray menu with a cursor; Right or Enter on the first item opens the
// language submenu, Left or Escape closes it.
class TrayMenuView {
  public:
    explicit TrayMenuView(TrayMenuContent menu) : m_menu(std::move(menu)) {}
    std::vector<std::string> Lines() const;
    // Empty while the menu stays open; then the chosen command, or 0 when
    // the menu was dismissed.
    std::optional<int> OnKey(ViewInput in);

  private:
    std::string Text(int command) const;
    TrayMenuContent m_menu;
    int m_cursor = 0;           // in the main menu: 0 languages, 1-5 pages, 6 exit
    int m_languageCursor = -1;  // >= 0 while the submenu is open
};

// The open sheet: its caption, tabs, the shown page's controls one a line
// (a cursor on one of them) and its buttons.
class SheetView {
  public:
    std::vector<std::string> Lines(SimSettingSheet& sheet);
    void OnKey(SimSettingSheet& sheet, ViewInput in);
    static const char* KeyHelp();

  private:
    std::vector<int> Focusable(SimSettingSheet& sheet);
    std::size_t m_cursor = 0;
    int m_page = -1;
};

}  // namespace vocastra::sim
