// The display's icon strip: 16 x 16 one-bit pictures addressed by index.
#pragma once
#include <array>
#include <cstdint>

namespace vocastra {

inline constexpr int kIconSize = 16;
inline constexpr int kIconCount = 37;

// Row r of icon i: bit 15 is the leftmost pixel. Out-of-range indices give
// nullptr.
const std::array<uint16_t, kIconSize>* GetDisplayIcon(int index);

}  // namespace vocastra
