#include <ft2build.h>
#include FT_FREETYPE_H

#include <filesystem>

#include "platform/sim/freetype_text_renderer.h"

namespace vocastra {

namespace {

constexpr int kPixelSize = 14;
// Row of the baseline within the 16-row line: digits (10 px high) then take
// rows 3..12 and descenders keep three rows below.
constexpr int kBaseline = 13;

// Decodes one code point; invalid or truncated sequences give U+FFFD and
// consume one byte, so the loop always advances and never reads past `end`.
char32_t NextCodePoint(const unsigned char*& p, const unsigned char* end) {
    const unsigned char c = *p;
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || end - p < len) {
        ++p;
        return 0xFFFD;
    }
    if (len == 1)
        return *p++;
    char32_t cp = c & (0x7F >> len);
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += len;
    return cp;
}

}  // namespace

struct FreeTypeTextRenderer::Impl {
    FT_Library library = nullptr;
    std::vector<FT_Face> faces;
};

std::vector<std::string> FreeTypeTextRenderer::DefaultFontFiles() {
    return {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
            "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
            "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"};
}

FreeTypeTextRenderer::FreeTypeTextRenderer(std::vector<std::string> files)
    : m_impl(std::make_unique<Impl>()) {
    if (files.empty())
        files = DefaultFontFiles();
    if (FT_Init_FreeType(&m_impl->library) != 0) {
        m_impl->library = nullptr;
        return;
    }
    for (const auto& f : files) {
        std::error_code ec;
        if (!std::filesystem::exists(f, ec))
            continue;
        FT_Face face = nullptr;
        if (FT_New_Face(m_impl->library, f.c_str(), 0, &face) != 0)
            continue;
        if (FT_Set_Pixel_Sizes(face, 0, kPixelSize) != 0) {
            FT_Done_Face(face);
            continue;
        }
        m_impl->faces.push_back(face);
    }
}

FreeTypeTextRenderer::~FreeTypeTextRenderer() {
    for (FT_Face f : m_impl->faces)
        FT_Done_Face(f);
    if (m_impl->library)
        FT_Done_FreeType(m_impl->library);
}

bool FreeTypeTextRenderer::HasFont() const {
    return !m_impl->faces.empty();
}

TextMask FreeTypeTextRenderer::Render(std::string_view utf8) {
    struct Placed {
        int x, top, w, h, pitch;
        std::vector<uint8_t> bits;
    };
    std::vector<Placed> glyphs;
    TextMask mask;
    int pen = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const char32_t cp = NextCodePoint(p, end);
        FT_Face face = nullptr;
        FT_UInt index = 0;
        for (FT_Face f : m_impl->faces) {
            index = FT_Get_Char_Index(f, cp);
            if (index != 0) {
                face = f;
                break;
            }
        }
        if (!face && !m_impl->faces.empty())
            face = m_impl->faces.front();  // .notdef box
        if (face && FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
            const FT_GlyphSlot g = face->glyph;
            const FT_Bitmap& b = g->bitmap;
            if (b.pixel_mode == FT_PIXEL_MODE_MONO && b.width > 0 && b.rows > 0) {
                Placed pl{pen + g->bitmap_left, kBaseline - g->bitmap_top,        int(b.width),
                          int(b.rows),          b.pitch < 0 ? -b.pitch : b.pitch, {}};
                pl.bits.assign(b.buffer, b.buffer + size_t(pl.pitch) * b.rows);
                glyphs.push_back(std::move(pl));
            }
            pen += int((g->advance.x + 32) >> 6);
        }
        mask.charEnds.push_back(pen);
    }
    mask.width = pen;
    mask.pixels.assign(size_t(pen) * TextMask::kHeight, 0);
    for (const auto& g : glyphs) {
        for (int y = 0; y < g.h; ++y) {
            const int ty = g.top + y;
            if (ty < 0 || ty >= TextMask::kHeight)
                continue;
            for (int x = 0; x < g.w; ++x) {
                const int tx = g.x + x;
                if (tx < 0 || tx >= pen)
                    continue;
                if (g.bits[size_t(y) * g.pitch + x / 8] & (0x80 >> (x % 8)))
                    mask.pixels[size_t(ty) * pen + tx] = 1;
            }
        }
    }
    return mask;
}

}  // namespace vocastra
