// The contact order on Windows: the user's locale, case ignored.
#pragma once
#include <windows.h>

#include "platform/collator.h"

namespace vocastra::win32 {

class Win32Collator : public Collator {
  public:
    int Compare(std::u16string_view a, std::u16string_view b) override {
        const int r = ::CompareStringW(
            LOCALE_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<const wchar_t*>(a.data()),
            static_cast<int>(a.size()), reinterpret_cast<const wchar_t*>(b.data()),
            static_cast<int>(b.size()));
        return r == 0 ? 0 : r - CSTR_EQUAL;
    }
};

}  // namespace vocastra::win32
