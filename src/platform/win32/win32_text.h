// UTF-8 <-> UTF-16 at the Win32 edge: portable code speaks UTF-8, the wide
// API functions take UTF-16 (wchar_t is 16 bits with MinGW and MSVC).
#pragma once
#include <string>
#include <string_view>

#include "app/text_util.h"

namespace vocastra::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");

inline std::wstring Wide(std::string_view utf8) {
    const std::u16string s = Utf8ToUtf16(utf8);
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}

inline std::string Narrow(std::wstring_view utf16) {
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

}  // namespace vocastra::win32
