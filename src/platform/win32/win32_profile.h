// Profile on the Windows profile functions (GetPrivateProfileStringW and
// friends) for reading; writes replace the whole file in one step. Names,
// values and paths are converted at this edge.
#pragma once
#include "platform/profile.h"
#include "platform/win32/win32_file_system.h"

namespace vocastra::win32 {

class Win32Profile : public Profile {
  public:
    std::string GetString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def, std::size_t maxChars,
                          bool* found = nullptr) override;
    int GetInt(const std::string& path, const std::string& section, const std::string& key,
               int def) override;
    bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool WriteStrings(const std::string& path, const std::string& section,
                      const Entries& entries) override;

  private:
    Win32FileSystem m_files;
};

}  // namespace vocastra::win32
