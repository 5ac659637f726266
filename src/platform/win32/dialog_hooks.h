// The places where the Win32 layers of the subsystems attach themselves to the
// hidden main dialog. Each layer fills its hooks in its own Wire* function
// (wiring.h); the dialog procedure calls them and knows nothing else of them.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace vocastra::win32 {

struct DialogHooks {
    // Start-up, before the dialog exists (the client environment looks up the
    // client's path here). Runs only in the one instance that goes on.
    std::vector<std::function<void()>> beforeDialog;

    // WM_INITDIALOG, once the window handle is known and the title is set,
    // before the core's start-up (LoadSettings onwards) runs.
    std::vector<std::function<void(HWND)>> onDialogCreated;

    // WM_DEVICECHANGE: device arrival and removal (the device layer).
    // Returns the message's result (TRUE grants a query).
    std::function<LRESULT(HWND, WPARAM, LPARAM)> onDeviceChange;

    // Registered window messages (their ids are known only at run time), for
    // example the client's attach reply, which arrives here because the
    // discover request is broadcast. Each message then goes on to default
    // processing.
    struct RegisteredMessage {
        UINT id = 0;
        std::function<void(HWND, WPARAM, LPARAM)> handler;
    };
    std::vector<RegisteredMessage> registeredMessages;
};

}  // namespace vocastra::win32
