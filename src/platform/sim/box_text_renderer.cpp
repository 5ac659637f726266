#include "platform/sim/box_text_renderer.h"

#include <cstdint>

#include "app/text_util.h"

namespace vocastra {

TextMask BoxTextRenderer::Render(std::string_view utf8) {
    TextMask mask;
    const std::size_t count = CodePointCount(utf8);
    mask.width = int(count) * kAdvance;
    mask.pixels.assign(std::size_t(mask.width) * TextMask::kHeight, 0);
    std::size_t byte = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string cp = CutCodePoints(utf8.substr(byte), 1);
        byte += cp.size();
        mask.charEnds.push_back(int(i + 1) * kAdvance);
        if (cp == " ")
            continue;  // blanks stay blank, so gaps can be seen
        const int left = int(i) * kAdvance + 1;
        // Inside the box, a pattern of the character's bytes: different texts
        // differ on the canvas, as they do with real glyphs.
        uint32_t pattern = 2166136261u;
        for (unsigned char c : cp)
            pattern = (pattern ^ c) * 16777619u;
        for (int y = 3; y <= 11; ++y)
            for (int x = left; x < left + 5; ++x) {
                const bool edge = y == 3 || y == 11 || x == left || x == left + 4;
                const int bit = (y - 4) * 3 + (x - left - 1);
                if (edge || ((pattern >> bit) & 1))
                    mask.pixels[std::size_t(y) * mask.width + x] = 1;
            }
    }
    return mask;
}

#ifdef _WIN32
std::unique_ptr<TextRenderer> CreateSimTextRenderer() {
    return std::make_unique<BoxTextRenderer>();
}
#endif

}  // namespace vocastra
