// INI files on the local file system, following the Windows profile
// functions where the program depends on them: case-insensitive names, the
// first of duplicate sections and keys wins, values written in place with
// every other line kept, UTF-16LE files (byte-order mark FF FE) kept UTF-16LE.
#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/ini_document.h"
#include "platform/profile.h"

namespace vocastra {

class IniProfile : public Profile {
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

  protected:
    // The whole file, or nothing when it cannot be read; and its replacement.
    virtual std::optional<std::string> ReadBytes(const std::string& path);
    // The whole file without a copy, for files kept in memory; nullptr
    // leaves it to ReadBytes.
    virtual const std::string* PeekBytes(const std::string& /*path*/) { return nullptr; }
    // Whether anything is at `path` (an unreadable file is never overwritten).
    virtual bool Exists(const std::string& path);
    virtual bool ReplaceBytes(const std::string& path, const std::string& bytes);

  private:
    struct ParsedFile {
        std::string path;
        std::string bytes;
        IniDocument doc;
        IniIndex index;  // a lookup is a hash, not a walk over the lines
    };
    // The file parsed; nullptr when it cannot be read. Parsing is the dear
    // part of a lookup and a file is looked up key by key: the parse is kept
    // while the file's bytes stay the same.
    const ParsedFile* Parsed(const std::string& path);

    // The settings, the country codes and every language file (the tray
    // menu names each language from its own file) stay parsed together.
    static constexpr std::size_t kParsedFiles = 16;
    std::vector<ParsedFile> m_parsed;  // most recent last
    std::mutex m_mutex;                // one writer at a time per process
};

}  // namespace vocastra
