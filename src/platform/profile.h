// Profile port: INI files, with the rules of the Windows profile functions
// that the program depends on (case-insensitive section and key names, values
// written in place with every other line kept, UTF-16LE files kept UTF-16LE).
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vocastra {

class Profile {
  public:
    virtual ~Profile() = default;
    // The value of `key` in `section` of the file at `path`, or `def` when the
    // file, section or key is missing. At most `maxChars` - 1 UTF-16 units are
    // returned, as the profile functions cut to their buffer, never half a
    // character.
    // Returns the value; `*found` (optional) tells whether the key existed.
    virtual std::string GetString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& def,
                                  std::size_t maxChars, bool* found = nullptr) = 0;
    // The value parsed as a decimal integer (optional sign, leading digits;
    // 0 when the value has none), or `def` when the key is missing.
    virtual int GetInt(const std::string& path, const std::string& section, const std::string& key,
                       int def) = 0;
    // Writes `key`=`value` in `section`, creating file and section as needed.
    // Returns false when the file cannot be written.
    virtual bool WriteString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // Writes several keys of `section` as one change of the file: afterwards
    // the file holds all of them or, on failure, none (false then).
    using Entries = std::vector<std::pair<std::string, std::string>>;
    virtual bool WriteStrings(const std::string& path, const std::string& section,
                              const Entries& entries) = 0;
};

}  // namespace vocastra
