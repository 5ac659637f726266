#include "platform/win32/wiring.h"

#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_platform.h"

namespace vocastra::win32 {

void WireAll(MainDialog& dialog, Application& app, Win32Platform& platform) {
    WireDevice(dialog, app, platform);
    WireModes(dialog, app, platform);
    WireClientLink(dialog, app, platform);
}

}  // namespace vocastra::win32
