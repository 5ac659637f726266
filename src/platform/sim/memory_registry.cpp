#include "platform/sim/memory_registry.h"

#include "app/text_util.h"

namespace vocastra {

std::string MemoryRegistry::Normalise(RegistryRoot root, const std::string& key) {
    std::string k = ToLowerAscii(key);
    while (!k.empty() && k.back() == '\\') k.pop_back();
    return (root == RegistryRoot::CurrentUser ? "hkcu\\" : "hklm\\") + k;
}

MemoryRegistry::Key* MemoryRegistry::Find(RegistryRoot root, const std::string& key) {
    auto it = m_keys.find(Normalise(root, key));
    return it == m_keys.end() ? nullptr : &it->second;
}

void MemoryRegistry::CreateKey(RegistryRoot root, const std::string& key) {
    std::lock_guard lock(m_mutex);
    m_keys[Normalise(root, key)];
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& key) {
    std::lock_guard lock(m_mutex);
    return Find(root, key) != nullptr;
}

std::optional<std::string> MemoryRegistry::GetString(RegistryRoot root, const std::string& key,
                                                     const std::string& name) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    if (!k) return std::nullopt;
    auto it = k->find(ToLowerAscii(name));
    if (it == k->end() || !std::holds_alternative<std::string>(it->second)) return std::nullopt;
    return std::get<std::string>(it->second);
}

std::optional<uint32_t> MemoryRegistry::GetDword(RegistryRoot root, const std::string& key,
                                                 const std::string& name) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    if (!k) return std::nullopt;
    auto it = k->find(ToLowerAscii(name));
    if (it == k->end() || !std::holds_alternative<uint32_t>(it->second)) return std::nullopt;
    return std::get<uint32_t>(it->second);
}

bool MemoryRegistry::SetString(RegistryRoot root, const std::string& key, const std::string& name,
                               const std::string& value) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    if (!k) return false;
    (*k)[ToLowerAscii(name)] = value;
    return true;
}

bool MemoryRegistry::SetDword(RegistryRoot root, const std::string& key, const std::string& name,
                              uint32_t value) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    if (!k) return false;
    (*k)[ToLowerAscii(name)] = value;
    return true;
}

bool MemoryRegistry::DeleteValue(RegistryRoot root, const std::string& key,
                                 const std::string& name) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    return k && k->erase(ToLowerAscii(name)) > 0;
}

}  // namespace vocastra
