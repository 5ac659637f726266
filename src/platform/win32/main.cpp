// vocastra.exe entry point.
#include <windows.h>

#include "platform/win32/vocastra_run.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return vocastra::win32::RunVocastra(instance);
}
