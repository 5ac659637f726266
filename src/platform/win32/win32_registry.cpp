#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

namespace {

// Strings longer than this are not ours (paths, version texts).
constexpr DWORD kMaxStringBytes = 64 * 1024;

// An open key, closed when it goes out of scope.
class Key {
  public:
    Key(RegistryRoot root, const std::string& path, REGSAM access) {
        // "Run\" and "Run" name the same key; the trailing separator is not
        // part of the name.
        std::string p = path;
        while (!p.empty() && p.back() == '\\')
            p.pop_back();
        const HKEY base =
            root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        if (::RegOpenKeyExW(base, Wide(p).c_str(), 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key() {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

  private:
    HKEY m_key = nullptr;
};

}  // namespace

bool Win32Registry::KeyExists(RegistryRoot root, const std::string& key) {
    return static_cast<bool>(Key(root, key, KEY_QUERY_VALUE));
}

std::optional<std::string> Win32Registry::GetString(RegistryRoot root, const std::string& key,
                                                    const std::string& name) {
    Key k(root, key, KEY_QUERY_VALUE);
    if (!k)
        return std::nullopt;
    const std::wstring wName = Wide(name);
    // The value may change between the size query and the read: retry a few
    // times rather than trust a stale size.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0, bytes = 0;
        if (::RegQueryValueExW(k.get(), wName.c_str(), nullptr, &type, nullptr, &bytes) !=
                ERROR_SUCCESS ||
            type != REG_SZ || bytes > kMaxStringBytes)
            return std::nullopt;
        // Stored strings need not end in a zero: read into a buffer one
        // character larger and cut at the first zero.
        std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = bytes;
        const LSTATUS rc = ::RegQueryValueExW(k.get(), wName.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(buf.data()), &got);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        std::wstring s(buf.data(), got / sizeof(wchar_t));
        if (auto z = s.find(L'\0'); z != std::wstring::npos)
            s.resize(z);
        return Narrow(s);
    }
    return std::nullopt;
}

std::optional<uint32_t> Win32Registry::GetDword(RegistryRoot root, const std::string& key,
                                                const std::string& name) {
    Key k(root, key, KEY_QUERY_VALUE);
    if (!k)
        return std::nullopt;
    DWORD type = 0, value = 0, bytes = sizeof(value);
    if (::RegQueryValueExW(k.get(), Wide(name).c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(value))
        return std::nullopt;
    return value;
}

bool Win32Registry::SetString(RegistryRoot root, const std::string& key, const std::string& name,
                              const std::string& value) {
    Key k(root, key, KEY_SET_VALUE);
    if (!k)
        return false;
    const std::wstring w = Wide(value);
    // The stored length counts the terminating zero.
    const DWORD bytes = static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(k.get(), Wide(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(w.c_str()), bytes) == ERROR_SUCCESS;
}

bool Win32Registry::SetDword(RegistryRoot root, const std::string& key, const std::string& name,
                             uint32_t value) {
    Key k(root, key, KEY_SET_VALUE);
    if (!k)
        return false;
    const DWORD v = value;
    return ::RegSetValueExW(k.get(), Wide(name).c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&v), sizeof(v)) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegistryRoot root, const std::string& key,
                                const std::string& name) {
    Key k(root, key, KEY_SET_VALUE);
    if (!k)
        return false;
    return ::RegDeleteValueW(k.get(), Wide(name).c_str()) == ERROR_SUCCESS;
}

std::optional<RegistryRawValue> Win32Registry::GetRawValue(RegistryRoot root,
                                                           const std::string& key,
                                                           const std::string& name,
                                                           std::size_t maxBytes) {
    Key k(root, key, KEY_QUERY_VALUE);
    if (!k)
        return std::nullopt;
    // A value longer than the buffer is refused (ERROR_MORE_DATA), never cut.
    std::vector<BYTE> buf(std::min<std::size_t>(maxBytes, kMaxStringBytes) + 1);
    DWORD type = 0, got = static_cast<DWORD>(buf.size() - 1);
    if (::RegQueryValueExW(k.get(), Wide(name).c_str(), nullptr, &type, buf.data(), &got) !=
            ERROR_SUCCESS ||
        got > maxBytes)
        return std::nullopt;
    return RegistryRawValue{type, std::string(reinterpret_cast<const char*>(buf.data()), got)};
}

}  // namespace vocastra::win32
