// Collators for the simulated platform: the system's own (ICU) natively,
// and a plain case-folding one where ICU is not built in.
#pragma once
#include <memory>

#include "platform/collator.h"

namespace vocastra {

// Orders by code unit after folding ASCII and Latin-1 letters to lower case.
class SimpleCollator : public Collator {
  public:
    int Compare(std::u16string_view a, std::u16string_view b) override;
};

// The best collator this build has: ICU with the process locale when built
// natively, SimpleCollator otherwise.
std::unique_ptr<Collator> MakeSystemCollator();

}  // namespace vocastra
