// The handset modes' Win32 side: the tray icon belongs to the main dialog,
// whose handle exists only once the dialog runs.
#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

void WireModes(MainDialog& dialog, Application& /*app*/, Win32Platform& platform) {
    platform.trayIcon.SetOwnerSource([&dialog] { return static_cast<void*>(dialog.Handle()); });
}

}  // namespace vocastra::win32
