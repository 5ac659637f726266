#include "platform/win32/win32_file_dialog.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <commdlg.h>

#include <vector>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

std::optional<std::string> Win32FileDialog::OpenFile(const FileOpenRequest& request) {
    // The filter is pairs of zero-terminated strings, ended by an empty one.
    std::wstring filter = Wide(request.filterName);
    filter.push_back(L'\0');
    filter += Wide(request.filterPattern);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    const std::wstring folder = Wide(request.initialFolder);
    const std::wstring ext = Wide(request.defaultExtension);
    std::vector<wchar_t> path(32768, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = ::GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&ofn))
        return std::nullopt;
    return Narrow(path.data());
}

}  // namespace vocastra::win32
