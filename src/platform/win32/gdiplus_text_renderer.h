// The Windows TextRenderer: GDI+ with Arial at 14 pixels, drawn with the
// single-bit-per-pixel grid-fit hint so no anti-aliasing reaches the
// one-bit display.
#pragma once
#include <memory>

#include "platform/text_renderer.h"

namespace vocastra {

class GdiplusTextRenderer : public TextRenderer {
  public:
    GdiplusTextRenderer();  // starts GDI+; shut down with the object
    ~GdiplusTextRenderer() override;
    TextMask Render(std::string_view utf8) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vocastra
