// The program's start (the instance start of the Windows program): common
// controls, the settings file, the single-instance rule, the window class and
// the hidden modal dialog.
#pragma once
#include <windows.h>

namespace vocastra::win32 {

// Returns the process exit code; in normal operation the quit routine ends
// the process before this returns.
int RunVocastra(HINSTANCE instance);

}  // namespace vocastra::win32
