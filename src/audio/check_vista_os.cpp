#include "audio/check_vista_os.h"

#include "app/log.h"
#include "platform/os_version.h"

namespace vocastra {

int CheckIsVistaOs(OsVersion& os) {
    LogPrintA("Enter CheckIsVistaOs");
    const auto v = os.GetVersionInfo();
    if (!v) {
        LogPrintA("GetVersionEx Error...");
        return 0;
    }
    LogPrintA(
        "dwMajorVersion = %ld;dwMinorVersion = %ld;dwBuildNumber = %ld;dwPlatformId = %ld;"
        "wServicePackMajor = %ld;wServicePackMinor = %ld;szCSDVersion = %s;wSuiteMask = %ld;"
        "wProductType = %ld;",
        long(v->majorVersion), long(v->minorVersion), long(v->buildNumber), long(v->platformId),
        long(v->servicePackMajor), long(v->servicePackMinor), v->csdVersion.c_str(),
        long(v->suiteMask), long(v->productType));
    return v->majorVersion > 5 ? 1 : 0;
}

}  // namespace vocastra
