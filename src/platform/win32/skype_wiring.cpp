// The client link's Win32 fillings: the link window is a child of the main
// dialog, and the attach message (a broadcast reply, so it reaches the
// dialog) is passed on to it.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

void WireClientLink(MainDialog& dialog, Application& app, Win32Platform& platform) {
    (void)app;
    Win32SkypeWire& wire = platform.skypeWire;
    dialog.hooks.onDialogCreated.push_back([&wire](HWND hwnd) { wire.SetParent(hwnd); });
    dialog.hooks.registeredMessages.push_back(
        {Win32SkypeWire::AttachMessage(), [&wire](HWND, WPARAM wParam, LPARAM lParam) {
             if (wire.Handle())
                 ::SendMessageW(wire.Handle(), Win32SkypeWire::AttachMessage(), wParam, lParam);
         }});
}

}  // namespace vocastra::win32
