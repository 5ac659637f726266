// Registry port: string and DWORD values under existing keys of HKCU/HKLM.
// Keys are never created implicitly: the program only writes under keys that
// exist (the Run key, the client's own keys).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vocastra {

enum class RegistryRoot { CurrentUser, LocalMachine };

// A value as stored: its registry type (1 REG_SZ, 2 REG_EXPAND_SZ, 4
// REG_DWORD, ...) and its bytes (UTF-16LE for strings, terminator included
// when stored with one).
struct RegistryRawValue {
    uint32_t type = 0;
    std::string bytes;
};

class Registry {
  public:
    virtual ~Registry() = default;
    virtual bool KeyExists(RegistryRoot root, const std::string& key) = 0;
    // Empty optional when the key or value is missing or of another type.
    virtual std::optional<std::string> GetString(RegistryRoot root, const std::string& key,
                                                 const std::string& name) = 0;
    virtual std::optional<uint32_t> GetDword(RegistryRoot root, const std::string& key,
                                             const std::string& name) = 0;
    // False when the key does not exist or the write fails.
    virtual bool SetString(RegistryRoot root, const std::string& key, const std::string& name,
                           const std::string& value) = 0;
    virtual bool SetDword(RegistryRoot root, const std::string& key, const std::string& name,
                          uint32_t value) = 0;
    // The value's type and bytes; empty when the key or value is missing or
    // the value is longer than `maxBytes`.
    virtual std::optional<RegistryRawValue> GetRawValue(RegistryRoot root, const std::string& key,
                                                        const std::string& name,
                                                        std::size_t maxBytes) = 0;
    virtual bool DeleteValue(RegistryRoot root, const std::string& key,
                             const std::string& name) = 0;
};

}  // namespace vocastra
