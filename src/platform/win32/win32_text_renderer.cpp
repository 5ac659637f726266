#include "platform/win32/win32_text_renderer.h"

namespace vocastra::win32 {

namespace {

// Until the GDI+ rasteriser lands, text advances but lights no pixel (what
// the port promises when no font is usable).
class BlankTextRenderer : public TextRenderer {
  public:
    TextMask Render(std::string_view utf8) override {
        constexpr int kAdvance = 7;
        TextMask m;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            // One advance per code point: count lead bytes only.
            if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
                continue;
            m.width += kAdvance;
            m.charEnds.push_back(m.width);
        }
        m.pixels.assign(static_cast<std::size_t>(m.width) * TextMask::kHeight, 0);
        return m;
    }
};

}  // namespace

std::unique_ptr<TextRenderer> CreateWin32TextRenderer() {
    return std::make_unique<BlankTextRenderer>();
}

}  // namespace vocastra::win32
