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

std::optional<RegistryRawValue> MemoryRegistry::GetRawValue(RegistryRoot root,
                                                            const std::string& key,
                                                            const std::string& name,
                                                            std::size_t maxBytes) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    if (!k) return std::nullopt;
    auto it = k->find(ToLowerAscii(name));
    if (it == k->end()) return std::nullopt;
    RegistryRawValue raw;
    if (const auto* str = std::get_if<std::string>(&it->second)) {
        const std::u16string wide = Utf8ToUtf16(*str) + u'\0';
        raw.type = 1;
        for (char16_t c : wide) {
            raw.bytes += static_cast<char>(c & 0xFF);
            raw.bytes += static_cast<char>(c >> 8);
        }
    } else if (const auto* dw = std::get_if<uint32_t>(&it->second)) {
        raw.type = 4;
        for (int i = 0; i < 4; ++i) raw.bytes += static_cast<char>((*dw >> (8 * i)) & 0xFF);
    } else {
        raw = std::get<RegistryRawValue>(it->second);
    }
    if (raw.bytes.size() > maxBytes) return std::nullopt;
    return raw;
}

bool MemoryRegistry::SetRawValue(RegistryRoot root, const std::string& key,
                                 const std::string& name, RegistryRawValue value) {
    std::lock_guard lock(m_mutex);
    Key* k = Find(root, key);
    if (!k) return false;
    (*k)[ToLowerAscii(name)] = std::move(value);
    return true;
}

}  // namespace vocastra
