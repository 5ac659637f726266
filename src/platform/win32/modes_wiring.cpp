// The handset modes' Win32 side: the tray icon belongs to the main dialog,
// whose handle exists only once the dialog runs, and is shown again when the
// shell's taskbar is created anew.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

void WireModes(MainDialog& dialog, Application& app, Win32Platform& platform) {
    platform.trayIcon.SetOwnerSource([&dialog] { return static_cast<void*>(dialog.Handle()); });
    dialog.hooks.registeredMessages.push_back(
        {::RegisterWindowMessageW(L"TaskbarCreated"),
         [&app](HWND, WPARAM, LPARAM) { app.tray.OnTaskbarCreated(); }});
}

}  // namespace vocastra::win32
