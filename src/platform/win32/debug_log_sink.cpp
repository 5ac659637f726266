#include "platform/win32/debug_log_sink.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

// OutputDebugStringW serialises its callers itself; one call per line keeps
// lines of different threads apart.
void DebugLogSink::Write(std::string_view line) {
    const std::wstring w = Wide(line);
    ::OutputDebugStringW(w.c_str());
}

}  // namespace vocastra::win32
