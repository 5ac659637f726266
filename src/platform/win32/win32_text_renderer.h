// The handset display's glyph rasteriser on Windows.
#pragma once
#include <memory>

#include "platform/text_renderer.h"

namespace vocastra::win32 {

std::unique_ptr<TextRenderer> CreateWin32TextRenderer();

}  // namespace vocastra::win32
