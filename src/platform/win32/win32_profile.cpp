#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

namespace {

// A value is one line of the file, so a default holding a line break can only
// come back when the key is missing.
constexpr wchar_t kMissing[] = L"\n";

// The profile functions take their buffer size as a DWORD.
constexpr std::size_t kMaxBufferChars = 1u << 20;

}  // namespace

std::string Win32Profile::GetString(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& def,
                                    std::size_t maxChars, bool* found) {
    if (found)
        *found = false;
    if (maxChars == 0)
        return std::string();
    // Two characters at least, so the missing-key marker always fits; the
    // caller's limit is applied afterwards.
    std::size_t size = maxChars < kMaxBufferChars ? maxChars : kMaxBufferChars;
    if (size < 2)
        size = 2;
    std::vector<wchar_t> buf(size + 1, L'\0');
    const std::wstring wPath = Wide(path), wSection = Wide(section), wKey = Wide(key);
    const DWORD n = ::GetPrivateProfileStringW(wSection.c_str(), wKey.c_str(), kMissing, buf.data(),
                                               static_cast<DWORD>(size), wPath.c_str());
    std::wstring value(buf.data(), n < size ? n : size - 1);
    if (value == kMissing)
        return CutCodePoints(def, maxChars - 1);
    if (value.size() > maxChars - 1)
        value.resize(maxChars - 1);
    // A cut in the middle of a surrogate pair leaves half a character.
    if (!value.empty() && value.back() >= 0xD800 && value.back() <= 0xDBFF)
        value.pop_back();
    if (found)
        *found = true;
    return Narrow(value);
}

int Win32Profile::GetInt(const std::string& path, const std::string& section,
                         const std::string& key, int def) {
    const std::wstring wPath = Wide(path), wSection = Wide(section), wKey = Wide(key);
    return static_cast<int>(
        ::GetPrivateProfileIntW(wSection.c_str(), wKey.c_str(), def, wPath.c_str()));
}

bool Win32Profile::WriteString(const std::string& path, const std::string& section,
                               const std::string& key, const std::string& value) {
    if (section.empty() || key.empty())
        return false;
    // Keys and values are one line each: a line break would create new keys.
    auto oneLine = [](std::string s) {
        for (auto& c : s)
            if (c == '\r' || c == '\n')
                c = ' ';
        return s;
    };
    const std::wstring wPath = Wide(path), wSection = Wide(oneLine(section)),
                       wKey = Wide(oneLine(key)), wValue = Wide(oneLine(value));
    return ::WritePrivateProfileStringW(wSection.c_str(), wKey.c_str(), wValue.c_str(),
                                        wPath.c_str()) != FALSE;
}

}  // namespace vocastra::win32
