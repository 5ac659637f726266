// ModulePath from GetModuleFileNameW.
#pragma once
#include "platform/module_path.h"

namespace vocastra::win32 {

class Win32ModulePath : public ModulePath {
  public:
    std::string GetModuleFileName(std::size_t maxChars) override;
};

}  // namespace vocastra::win32
