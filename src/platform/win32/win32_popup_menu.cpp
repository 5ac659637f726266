#include "platform/win32/win32_popup_menu.h"

#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_text.h"
#include "resource.h"

namespace vocastra::win32 {
namespace {

void SetItemText(HMENU menu, UINT item, BOOL byPosition, const std::string& text) {
    std::wstring w = Wide(text);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = w.data();
    ::SetMenuItemInfoW(menu, item, byPosition, &info);
}

}  // namespace

void Win32PopupMenu::ShowTrayMenu(const TrayMenuContent& content) {
    HWND owner = m_owner.Handle();
    HMENU bar = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MENU_TRAY));
    if (!bar)
        return;
    HMENU menu = ::GetSubMenu(bar, 0);
    if (menu) {
        SetItemText(menu, 0, TRUE, content.languageTitle);
        // By command, the language submenu's items are found too.
        for (const MenuItemText& item : content.items)
            SetItemText(menu, static_cast<UINT>(item.command), FALSE, item.text);
        if (content.checkedLanguage >= 0)
            ::CheckMenuItem(::GetSubMenu(menu, 0), static_cast<UINT>(content.checkedLanguage),
                            MF_BYPOSITION | MF_CHECKED);
        POINT at{};
        ::GetCursorPos(&at);
        // Without the owner in the foreground the menu would not close when
        // the user clicks elsewhere, and the message afterwards lets it
        // close properly the next time.
        ::SetForegroundWindow(owner);
        ::TrackPopupMenu(menu, TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
        ::PostMessageW(owner, WM_NULL, 0, 0);
    }
    ::DestroyMenu(bar);
}

}  // namespace vocastra::win32
