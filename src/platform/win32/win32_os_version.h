// OsVersion on GetVersionExW.
#pragma once
#include "platform/os_version.h"

namespace vocastra::win32 {

class Win32OsVersion : public OsVersion {
  public:
    std::optional<OsVersionInfo> GetVersionInfo() override;
};

}  // namespace vocastra::win32
