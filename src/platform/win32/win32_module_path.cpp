#include "platform/win32/win32_module_path.h"

#include <windows.h>

#include <vector>

// The port's method shares its name with the API's A/W macro.
#undef GetModuleFileName

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

std::string Win32ModulePath::GetModuleFileName(std::size_t maxChars) {
    if (maxChars == 0 || maxChars > 32768)
        maxChars = 32768;  // the longest path Windows has
    std::vector<wchar_t> buf(maxChars + 1, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(maxChars));
    // A full buffer means the path was cut: a cut path names another file.
    if (n == 0 || n >= maxChars)
        return std::string();
    return Narrow(std::wstring_view(buf.data(), n));
}

}  // namespace vocastra::win32
