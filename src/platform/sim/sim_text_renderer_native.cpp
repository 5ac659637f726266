#include "platform/sim/box_text_renderer.h"
#include "platform/sim/freetype_text_renderer.h"

namespace vocastra {

std::unique_ptr<TextRenderer> CreateSimTextRenderer() {
    auto ft = std::make_unique<FreeTypeTextRenderer>();
    if (ft->HasFont())
        return ft;
    return std::make_unique<BoxTextRenderer>();
}

}  // namespace vocastra
