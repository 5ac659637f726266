// The client link's Win32 fillings: the link window is a child of the main
// dialog, the attach message (a broadcast reply, so it reaches the dialog)
// is passed on to it, and the attach-refused warning is a message box.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

void WireClientLink(MainDialog& dialog, Application& app, Win32Platform& platform) {
    Win32SkypeWire& wire = platform.skypeWire;
    dialog.hooks.onDialogCreated.push_back([&wire](HWND hwnd) { wire.SetParent(hwnd); });
    dialog.hooks.registeredMessages.push_back(
        {Win32SkypeWire::AttachMessage(), [&wire](HWND, WPARAM wParam, LPARAM lParam) {
             if (wire.Handle())
                 ::SendMessageW(wire.Handle(), Win32SkypeWire::AttachMessage(), wParam, lParam);
         }});
    app.skype.points.ShowWarningBox.Fill([](std::string text) {
        ::MessageBoxW(nullptr, Wide(text).c_str(), nullptr, MB_OK | MB_ICONWARNING);
    });
}

}  // namespace vocastra::win32
