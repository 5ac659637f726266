// FNV-1a over what an input made the program do: enough to tell two runs of
// a target kept between inputs apart.
#pragma once
#include <cstdint>
#include <string_view>

namespace vocastra {

struct Digest {
    uint64_t h = 1469598103934665603ull;
    void Add(std::string_view s) {
        for (unsigned char c : s)
            h = (h ^ c) * 1099511628211ull;
        h = (h ^ 0xff) * 1099511628211ull;
    }
};

}  // namespace vocastra
