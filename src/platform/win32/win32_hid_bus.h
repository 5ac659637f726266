// The HID bus on Windows: the HidBus port plus what the main dialog needs to
// feed it (its window for device notifications, WM_DEVICECHANGE, and a
// private message for buses that learn of devices on another thread).
//
// Two implementations: the real one over SetupAPI and the HID class driver,
// and the virtual handset served on a named pipe, chosen when the
// environment variable VOCASTRA_VIRTUAL_HANDSET names the pipe.
#pragma once
#include <windows.h>

#include <memory>

#include "platform/hid_bus.h"

namespace vocastra::win32 {

class Win32HidBus : public HidBus {
  public:
    // The main dialog's window, once it exists (UI thread).
    virtual void AttachWindow(HWND hwnd) = 0;
    // WM_DEVICECHANGE; returns the message's result.
    virtual LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam) = 0;
    // A registered message the bus posts to the window to have device
    // changes announced on the UI thread (0: none), and its handler.
    virtual UINT NotifyMessage() const { return 0; }
    virtual void OnNotifyMessage() {}
};

// The pipe bus when VOCASTRA_VIRTUAL_HANDSET is set, else the SetupAPI bus.
std::unique_ptr<Win32HidBus> CreateWin32HidBus();

std::unique_ptr<Win32HidBus> CreateSetupApiHidBus();
std::unique_ptr<Win32HidBus> CreatePipeHidBus(const std::wstring& pipeName);

}  // namespace vocastra::win32
