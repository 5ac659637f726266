// Shell on ShellExecuteW and the shell's folder lookup.
#pragma once
#include "platform/shell.h"

namespace vocastra::win32 {

class Win32Shell : public Shell {
  public:
    bool Open(const std::string& file, const std::string& parameters) override;
    std::string GetAppDataFolder() override;
};

}  // namespace vocastra::win32
