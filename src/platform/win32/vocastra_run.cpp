#include "platform/win32/vocastra_run.h"

#include <commctrl.h>

#include <memory>

#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

int RunVocastra(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    ::InitCommonControlsEx(&icc);

    // One instance only: a second one ends at once and leaves the first alone.
    // Checked before anything is created, so a second instance never opens
    // devices, pipes or windows the first one uses (nor waits for them).
    if (::FindWindowW(nullptr, L"ORMA-VOCASTRA"))
        return 0;

    // Process-wide for the life of the process: the quit routine terminates
    // the process without unwinding.
    static Win32Platform platform;
    static Application app(platform.MakePorts());
    static MainDialog dialog(instance, app, platform.mainWindow);
    WireAll(dialog, app, platform);

    for (auto& f : dialog.hooks.beforeDialog)
        f();
    app.PrepareInstance();

    if (!dialog.RegisterWindowClass())
        return 1;
    dialog.RunModal();

    // Only reached when the dialog ends some other way than the quit routine:
    // the worker threads end before the process does, and the icon goes.
    app.dlg.OnModalLoopEnded();
    return 0;
}

}  // namespace vocastra::win32
