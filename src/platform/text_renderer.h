// TextRenderer port: turns a line of text into a one-bit glyph mask for the
// handset display. Only rasterisation lives behind the port; placing,
// aligning and clipping the mask on the canvas is portable.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace vocastra {

// One line of rendered text, 16 rows high (the height of a display line).
// Pixel (x, y) is lit when pixels[y * width + x] is non-zero. The baseline
// sits so that digits are centred vertically in the 16 rows.
struct TextMask {
    static constexpr int kHeight = 16;
    int width = 0;                // pen advance of the whole text, in pixels
    std::vector<uint8_t> pixels;  // width * kHeight bytes
    std::vector<int> charEnds;    // per code point: pen position after it

    bool At(int x, int y) const {
        return x >= 0 && x < width && y >= 0 && y < kHeight && pixels[y * width + x] != 0;
    }
};

class TextRenderer {
  public:
    virtual ~TextRenderer() = default;
    // Renders UTF-8 text (invalid bytes show as a replacement glyph) in the
    // display font, 14 pixels em, without anti-aliasing. Characters the main
    // font lacks come from a fallback font (CJK) where one is available.
    // Never fails: without a usable font the mask has no lit pixels.
    // Called under the display lock; need not be thread-safe.
    virtual TextMask Render(std::string_view utf8) = 0;
};

}  // namespace vocastra
