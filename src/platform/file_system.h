// FileSystem port: the program's own file access (wave files, the client's
// configuration file, the ring-tone folder). Paths are UTF-8; "\" separates
// folders as on Windows ("/" is accepted too). Every call is safe from any
// thread; files are opened so that others may keep reading and writing them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vocastra {

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // The file's size in bytes; empty when it cannot be opened for reading.
    virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;
    // At most `maxBytes` bytes from `offset` (fewer at the end of the file);
    // empty when the file cannot be opened or read.
    virtual std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes,
                                                uint64_t offset = 0) = 0;
    // Replaces the file's contents as one step: the bytes go to a temporary
    // file beside it, which is then renamed over it, so a failure or a crash
    // leaves either the old or the new file whole. False on failure (the old
    // file is then unchanged).
    virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // Names (not paths) of the plain files in `folder` whose name ends in
    // `suffix` (compared without regard to ASCII case, as the shell's
    // "*.wav" does), in no particular order. Empty when the folder is missing.
    virtual std::vector<std::string> ListFiles(const std::string& folder,
                                               const std::string& suffix) = 0;
};

}  // namespace vocastra
