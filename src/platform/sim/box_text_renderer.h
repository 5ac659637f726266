// A font-free TextRenderer: every code point is a 5 x 9 outlined box on a
// 7-pixel advance (a blank is empty). Used where no font files exist (the Windows build of the
// tests) and by tests that check placement rather than letter shapes.
#pragma once
#include <memory>

#include "platform/text_renderer.h"

namespace vocastra {

class BoxTextRenderer : public TextRenderer {
  public:
    static constexpr int kAdvance = 7;
    TextMask Render(std::string_view utf8) override;
};

// The renderer the simulated platform uses: FreeType with the system's fonts
// natively (boxes when the fonts are missing), boxes in the Windows build.
std::unique_ptr<TextRenderer> CreateSimTextRenderer();

}  // namespace vocastra
