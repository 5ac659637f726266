// Fills the connection points and dialog hooks that belong to the Win32
// layers. One Wire* function per layer, each in its own file; WireAll calls
// them in the order listed in wiring.cpp.
#pragma once

namespace vocastra {
class Application;
}

namespace vocastra::win32 {

class MainDialog;
struct Win32Platform;

// The HID bus: its window, WM_DEVICECHANGE, virtual handset events (device_wiring.cpp).
void WireDevice(MainDialog& dialog, Application& app, Win32Platform& platform);

// The tray icon's owner window and its return after a shell restart (modes_wiring.cpp).
void WireModes(MainDialog& dialog, Application& app, Win32Platform& platform);

// The client link: its window's parent and the attach message (skype_wiring.cpp).
void WireClientLink(MainDialog& dialog, Application& app, Win32Platform& platform);

// Further layers add theirs here.

void WireAll(MainDialog& dialog, Application& app, Win32Platform& platform);

}  // namespace vocastra::win32
