#include "platform/win32/win32_shell.h"

#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

bool Win32Shell::Open(const std::string& file, const std::string& parameters) {
    const std::wstring f = Wide(file);
    const std::wstring p = Wide(parameters);
    const HINSTANCE h = ::ShellExecuteW(nullptr, L"open", f.c_str(),
                                        p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success (the result is not a real handle).
    return reinterpret_cast<INT_PTR>(h) > 32;
}

std::string Win32Shell::GetAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    path[MAX_PATH - 1] = L'\0';
    std::string folder = Narrow(path);
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

}  // namespace vocastra::win32
