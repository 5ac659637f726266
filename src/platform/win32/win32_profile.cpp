#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "app/ini_save.h"
#include "app/log.h"
#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

namespace {

// A value is one line of the file, so a default holding a line break can only
// come back when the key is missing.
constexpr wchar_t kMissing[] = L"\n";

// The profile functions take their buffer size as a DWORD.
constexpr std::size_t kMaxBufferChars = 1u << 20;

// A file without a byte-order mark is read in the system code page.
std::string AnsiText(std::string_view utf8) {
    const std::wstring w = Wide(std::string(utf8));
    if (w.empty())
        return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), out.data(), n,
                              nullptr, nullptr);
    return out;
}

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
    return WriteStrings(path, section, {{key, value}});
}

bool Win32Profile::WriteStrings(const std::string& path, const std::string& section,
                                const Entries& entries) {
    if (section.empty())
        return false;
    // Keys and values are one line each: a line break would create new keys.
    auto oneLine = [](std::string s) {
        for (auto& c : s)
            if (c == '\r' || c == '\n')
                c = ' ';
        return s;
    };
    Entries lines;
    lines.reserve(entries.size());
    for (const auto& [key, value] : entries) {
        if (key.empty())
            return false;
        lines.emplace_back(oneLine(key), oneLine(value));
    }
    // The profile functions' own writer rewrites the file in place, so a
    // process ended in the middle leaves it cut short: the new text is
    // written beside the file and moved over it instead.
    const IniSaveResult r = SaveIniValues(m_files, path, oneLine(section), lines, AnsiText);
    const DWORD error = ::GetLastError();
    // What the profile functions keep of the file in memory is stale now.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(path).c_str());
    if (r != IniSaveResult::Written)
        LogPrintA("Profile: %s left as it was, %s (error %lu)", path.c_str(), IniSaveResultText(r),
                  error);
    return r == IniSaveResult::Written;
}

}  // namespace vocastra::win32
