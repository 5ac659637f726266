#include "platform/sim/sim_collator.h"

namespace vocastra {

namespace {

char16_t Fold(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    return c;
}

}  // namespace

int SimpleCollator::Compare(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = Fold(a[i]), y = Fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

#if defined(_WIN32)
std::unique_ptr<Collator> MakeSystemCollator() {
    return std::make_unique<SimpleCollator>();
}
#endif

}  // namespace vocastra
