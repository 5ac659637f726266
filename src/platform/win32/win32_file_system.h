// FileSystem on the wide-character file functions.
#pragma once
#include "platform/file_system.h"

namespace vocastra::win32 {

class Win32FileSystem : public FileSystem {
  public:
    std::optional<uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes,
                                        uint64_t offset = 0) override;
    bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
    bool FileExists(const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& suffix) override;
};

}  // namespace vocastra::win32
