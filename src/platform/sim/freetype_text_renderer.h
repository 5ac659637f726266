// The native TextRenderer: FreeType in monochrome mode with Liberation Sans
// (metric-compatible with the Windows build's Arial) and a CJK fallback.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/text_renderer.h"

namespace vocastra {

class FreeTypeTextRenderer : public TextRenderer {
  public:
    // `fontFiles`: the main font first, then fallbacks in order; files that
    // cannot be opened are skipped. Empty: the system's usual locations.
    explicit FreeTypeTextRenderer(std::vector<std::string> fontFiles = {});
    ~FreeTypeTextRenderer() override;
    TextMask Render(std::string_view utf8) override;

    // True when at least the main font could be loaded.
    bool HasFont() const;

    static std::vector<std::string> DefaultFontFiles();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vocastra
