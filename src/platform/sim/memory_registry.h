// An in-memory registry tree: keys must be created before values are set,
// as with the real one when the program opens (never creates) a key.
#pragma once
#include <map>
#include <mutex>
#include <variant>

#include "platform/registry.h"

namespace vocastra {

class MemoryRegistry : public Registry {
public:
    void CreateKey(RegistryRoot root, const std::string& key);

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
    // Stores a value exactly as given (any type, any bytes), as another
    // program may have written it.
    bool SetRawValue(RegistryRoot root, const std::string& key, const std::string& name,
                     RegistryRawValue value);

private:
    using Value = std::variant<std::string, uint32_t, RegistryRawValue>;
    using Key = std::map<std::string, Value>;  // value name, lower-cased
    static std::string Normalise(RegistryRoot root, const std::string& key);
    Key* Find(RegistryRoot root, const std::string& key);

    std::mutex m_mutex;
    std::map<std::string, Key> m_keys;
};

}  // namespace vocastra
