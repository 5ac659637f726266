#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>
#include <unordered_map>

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
    // A code point as the font draws it at the display size: the bitmap
    // relative to the pen, and the pen advance.
    struct Glyph {
        bool loaded = false;  // false: no face could load it (no advance)
        int left = 0, top = 0, w = 0, h = 0, pitch = 0, advance = 0;
        std::vector<uint8_t> bits;
    };
    // Loading and rasterising a glyph is what drawing text costs, and the
    // screens use few characters: each is rendered once. Received text may
    // hold any number of distinct code points, so the cache is bounded: it
    // starts over before a text that could take it past the bound.
    static constexpr std::size_t kGlyphCacheMax = 1024;

    const Glyph& Lookup(char32_t cp);

    FT_Library library = nullptr;
    std::vector<FT_Face> faces;
    std::unordered_map<char32_t, Glyph> glyphs;
};

const FreeTypeTextRenderer::Impl::Glyph& FreeTypeTextRenderer::Impl::Lookup(char32_t cp) {
    if (auto it = glyphs.find(cp); it != glyphs.end())
        return it->second;
    Glyph& out = glyphs[cp];
    FT_Face face = nullptr;
    FT_UInt index = 0;
    for (FT_Face f : faces) {
        index = FT_Get_Char_Index(f, cp);
        if (index != 0) {
            face = f;
            break;
        }
    }
    if (!face && !faces.empty())
        face = faces.front();  // .notdef box
    if (!face || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
        return out;
    const FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& b = g->bitmap;
    out.loaded = true;
    out.advance = int((g->advance.x + 32) >> 6);
    if (b.pixel_mode == FT_PIXEL_MODE_MONO && b.width > 0 && b.rows > 0) {
        out.left = g->bitmap_left;
        out.top = kBaseline - g->bitmap_top;
        out.w = int(b.width);
        out.h = int(b.rows);
        out.pitch = b.pitch < 0 ? -b.pitch : b.pitch;
        out.bits.assign(b.buffer, b.buffer + size_t(out.pitch) * b.rows);
    }
    return out;
}

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
        int x;
        const Impl::Glyph* glyph;
    };
    // Cleared only here, before the layout, so the glyphs it points at stay
    // put (the map's nodes never move); one text adds at most one glyph per
    // byte.
    if (m_impl->glyphs.size() + utf8.size() > Impl::kGlyphCacheMax)
        m_impl->glyphs.clear();
    std::vector<Placed> placed;
    placed.reserve(utf8.size());
    TextMask mask;
    mask.charEnds.reserve(utf8.size());
    int pen = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const Impl::Glyph& g = m_impl->Lookup(NextCodePoint(p, end));
        if (g.loaded) {
            if (!g.bits.empty())
                placed.push_back({pen + g.left, &g});
            pen += g.advance;
        }
        mask.charEnds.push_back(pen);
    }
    mask.width = pen;
    mask.pixels.assign(size_t(pen) * TextMask::kHeight, 0);
    for (const Placed& pl : placed) {
        const Impl::Glyph& g = *pl.glyph;
        // The columns that land inside the mask, worked out once per glyph.
        const int x0 = std::max(0, -pl.x), x1 = std::min(g.w, pen - pl.x);
        for (int y = 0; y < g.h; ++y) {
            const int ty = g.top + y;
            if (ty < 0 || ty >= TextMask::kHeight)
                continue;
            const uint8_t* bits = g.bits.data() + size_t(y) * g.pitch;
            uint8_t* dst = mask.pixels.data() + size_t(ty) * pen + pl.x;
            for (int x = x0; x < x1; ++x)
                dst[x] |= (bits[x >> 3] >> (7 - (x & 7))) & 1;  // glyphs may overlap
        }
    }
    return mask;
}

}  // namespace vocastra
