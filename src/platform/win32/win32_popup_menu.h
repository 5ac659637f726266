// The tray menu: resource menu 130 with the portable code's texts, tracked
// with the rules a notification-area menu needs.
#pragma once
#include <windows.h>

#include "platform/popup_menu.h"

namespace vocastra::win32 {

class Win32MainWindow;

class Win32PopupMenu : public PopupMenu {
  public:
    // The main dialog owns the menu and gets its command.
    explicit Win32PopupMenu(Win32MainWindow& owner) : m_owner(owner) {}
    void ShowTrayMenu(const TrayMenuContent& menu) override;

  private:
    Win32MainWindow& m_owner;
};

}  // namespace vocastra::win32
