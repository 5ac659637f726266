// OsVersion port: the version of Windows the program runs on, as the
// version-information functions report it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vocastra {

struct OsVersionInfo {
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;
    uint32_t platformId = 0;
    uint32_t servicePackMajor = 0;
    uint32_t servicePackMinor = 0;
    std::string csdVersion;  // service pack text, UTF-8
    uint32_t suiteMask = 0;
    uint32_t productType = 0;
};

class OsVersion {
  public:
    virtual ~OsVersion() = default;
    // The extended version information, or the plain one when that is not
    // available (the service pack, suite and product fields then stay 0);
    // empty when both fail. Asked afresh on every call; any thread.
    virtual std::optional<OsVersionInfo> GetVersionInfo() = 0;
};

}  // namespace vocastra
