// Registry on the Windows registry. Keys are opened, never created: the
// program writes only under keys that exist.
#pragma once
#include "platform/registry.h"

namespace vocastra::win32 {

class Win32Registry : public Registry {
  public:
    bool KeyExists(RegistryRoot root, const std::string& key) override;
    std::optional<std::string> GetString(RegistryRoot root, const std::string& key,
                                         const std::string& name) override;
    std::optional<uint32_t> GetDword(RegistryRoot root, const std::string& key,
                                     const std::string& name) override;
    bool SetString(RegistryRoot root, const std::string& key, const std::string& name,
                   const std::string& value) override;
    bool SetDword(RegistryRoot root, const std::string& key, const std::string& name,
                  uint32_t value) override;
    bool DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) override;
    std::optional<RegistryRawValue> GetRawValue(RegistryRoot root, const std::string& key,
                                                const std::string& name,
                                                std::size_t maxBytes) override;
};

}  // namespace vocastra::win32
