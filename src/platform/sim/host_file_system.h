// FileSystem on the host's own files, for the simulated platform: "\" in a
// path is taken as a folder separator, so the program's Windows-style paths
// work unchanged on Linux.
#pragma once
#include "platform/file_system.h"

namespace vocastra {

class HostFileSystem : public FileSystem {
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

}  // namespace vocastra
