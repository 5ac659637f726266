#include "platform/win32/win32_os_version.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

std::optional<OsVersionInfo> Win32OsVersion::GetVersionInfo() {
    OSVERSIONINFOEXW ex{};
    ex.dwOSVersionInfoSize = sizeof(ex);
    OsVersionInfo info;
    if (::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex))) {
        info.servicePackMajor = ex.wServicePackMajor;
        info.servicePackMinor = ex.wServicePackMinor;
        info.suiteMask = ex.wSuiteMask;
        info.productType = ex.wProductType;
    } else {
        ex = OSVERSIONINFOEXW{};
        ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex)))
            return std::nullopt;
    }
    info.majorVersion = ex.dwMajorVersion;
    info.minorVersion = ex.dwMinorVersion;
    info.buildNumber = ex.dwBuildNumber;
    info.platformId = ex.dwPlatformId;
    ex.szCSDVersion[std::size(ex.szCSDVersion) - 1] = L'\0';
    info.csdVersion = Narrow(ex.szCSDVersion);
    return info;
}

}  // namespace vocastra::win32
