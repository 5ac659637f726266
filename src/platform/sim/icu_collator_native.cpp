// The contact order on Linux: ICU's collation for the process locale at
// secondary strength, which ignores case and keeps accents, as the Windows
// comparison with "ignore case" does.
#include <unicode/ucol.h>

#include <clocale>
#include <mutex>

#include "platform/sim/sim_collator.h"

namespace vocastra {

namespace {

class IcuCollator : public Collator {
  public:
    IcuCollator() {
        UErrorCode status = U_ZERO_ERROR;
        const char* locale = std::setlocale(LC_COLLATE, nullptr);
        // "C" and "POSIX" say nothing about names: use the root order.
        if (!locale || locale[0] == 'C' || std::string_view(locale) == "POSIX")
            locale = "";
        m_collator = ucol_open(locale, &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            m_collator = ucol_open("", &status);
        }
        if (m_collator)
            ucol_setStrength(m_collator, UCOL_SECONDARY);
    }
    ~IcuCollator() override {
        if (m_collator)
            ucol_close(m_collator);
    }
    int Compare(std::u16string_view a, std::u16string_view b) override {
        if (!m_collator)
            return m_fallback.Compare(a, b);
        // A collator object is not safe for concurrent use.
        std::lock_guard lock(m_mutex);
        const UCollationResult r = ucol_strcoll(
            m_collator, reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
            reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()));
        return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
    }

  private:
    std::mutex m_mutex;
    UCollator* m_collator = nullptr;
    SimpleCollator m_fallback;
};

}  // namespace

std::unique_ptr<Collator> MakeSystemCollator() {
    return std::make_unique<IcuCollator>();
}

}  // namespace vocastra
