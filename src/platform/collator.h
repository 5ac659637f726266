// Collator port: the system's locale-aware, case-insensitive ordering of
// names, as the contact list shows them.
#pragma once
#include <string_view>

namespace vocastra {

class Collator {
  public:
    virtual ~Collator() = default;
    // Compares two UTF-16 texts ignoring case (accents still count), by the
    // user's locale. Returns <0, 0 or >0. Any thread.
    virtual int Compare(std::u16string_view a, std::u16string_view b) = 0;
};

}  // namespace vocastra
