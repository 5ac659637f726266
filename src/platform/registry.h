// Registry port: string and DWORD values under existing keys of HKCU/HKLM.
// Keys are never created implicitly: the program only writes under keys that
// exist (the Run key, the client's own keys).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vocastra {

enum class RegistryRoot { CurrentUser, LocalMachine };

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
    virtual bool DeleteValue(RegistryRoot root, const std::string& key,
                             const std::string& name) = 0;
};

}  // namespace vocastra
