// The device layer's Win32 fillings: the HID bus gets the main dialog's
// window for device notifications, WM_DEVICECHANGE goes to the bus, and the
// virtual handset's plug events reach the UI thread.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_hid_bus.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

void WireDevice(MainDialog& dialog, Application& app, Win32Platform& platform) {
    (void)app;
    Win32HidBus& bus = *platform.hidBus;
    dialog.hooks.onDialogCreated.push_back([&bus](HWND hwnd) { bus.AttachWindow(hwnd); });
    dialog.hooks.onDeviceChange = [&bus](HWND, WPARAM wParam, LPARAM lParam) {
        return bus.OnDeviceChange(wParam, lParam);
    };
    if (const UINT msg = bus.NotifyMessage())
        dialog.hooks.registeredMessages.push_back(
            {msg, [&bus](HWND, WPARAM, LPARAM) { bus.OnNotifyMessage(); }});
}

}  // namespace vocastra::win32
