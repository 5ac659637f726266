// The handset display's off-screen canvas: 128 x 64 one-bit pixels (lit =
// white = a pixel the handset shows), and its conversion to the handset's
// page format.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/text_renderer.h"

namespace vocastra {

inline constexpr int kDisplayWidth = 128;
inline constexpr int kDisplayHeight = 64;
inline constexpr int kDisplayLines = 4;
inline constexpr int kLineHeight = 16;

// One display page: 128 columns of 8 rows, bit k of byte x = row k of column x.
using DisplayPage = std::array<uint8_t, kDisplayWidth>;

class Canvas {
  public:
    Canvas() { m_pixels.fill(0); }

    bool Get(int x, int y) const { return Inside(x, y) && m_pixels[y * kDisplayWidth + x]; }
    void Set(int x, int y, bool lit) {
        if (Inside(x, y))
            m_pixels[y * kDisplayWidth + x] = lit;
    }
    // Set for a pixel known to be on the canvas.
    void SetInside(int x, int y, bool lit) { m_pixels[y * kDisplayWidth + x] = lit; }
    // Fills [left, right) x [top, bottom), clipped to the canvas.
    void FillRect(int left, int top, int right, int bottom, bool lit);
    // Outline of [left, right) x [top, bottom), one pixel wide.
    void FrameRect(int left, int top, int right, int bottom, bool lit);
    // Puts the lit pixels of `mask` (from its column `srcX` on) at (x, y) in
    // `lit`, clipped to [clipLeft, clipRight) and the rows [y, y + 16).
    void DrawMask(const TextMask& mask, int srcX, int x, int y, int clipLeft, int clipRight,
                  bool lit);

    // The kLineHeight * kDisplayWidth pixels of line n (0..3), row by row.
    const uint8_t* LinePixels(int line) const {
        return m_pixels.data() + kLineHeight * line * kDisplayWidth;
    }
    // Upper (rows 16n..16n+7) and lower (16n+8..16n+15) page of line n.
    void LinePages(int line, DisplayPage& upper, DisplayPage& lower) const;

    // The canvas as 64 text rows of '#' (lit) and '.', each ending in '\n'.
    std::string ToText() const;
    // The inverse of ToText; false (canvas unchanged) when `text` is not 64
    // rows of 128 such characters.
    bool FromText(const std::string& text);

  private:
    static bool Inside(int x, int y) {
        return x >= 0 && x < kDisplayWidth && y >= 0 && y < kDisplayHeight;
    }
    std::array<uint8_t, kDisplayWidth * kDisplayHeight> m_pixels;
};

}  // namespace vocastra
