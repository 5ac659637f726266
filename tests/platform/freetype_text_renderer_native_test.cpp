// The FreeType renderer keeps the glyphs it has drawn: a renderer that has
// drawn many texts must draw each exactly as a fresh one does, also after a
// text with more distinct characters than it keeps.
#include "platform/sim/freetype_text_renderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vocastra {
namespace {

std::string Utf8(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += char(cp);
    } else if (cp < 0x800) {
        s += char(0xC0 | (cp >> 6));
        s += char(0x80 | (cp & 0x3F));
    } else {
        s += char(0xE0 | (cp >> 12));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    }
    return s;
}

void ExpectSameMask(const TextMask& a, const TextMask& b, const std::string& what) {
    EXPECT_EQ(a.width, b.width) << what;
    EXPECT_EQ(a.charEnds, b.charEnds) << what;
    EXPECT_TRUE(a.pixels == b.pixels) << what;
}

TEST(FreeTypeTextRenderer, KeptGlyphsDrawAsFreshOnesDo) {
    FreeTypeTextRenderer warm;
    ASSERT_TRUE(warm.HasFont()) << "fonts-liberation is missing";
    std::string many;  // more distinct characters than the renderer keeps
    for (char32_t cp = 0x4E00; cp < 0x4E00 + 1500; ++cp)
        many += Utf8(cp);
    const std::vector<std::string> texts = {
        "14:05",
        "fj ffi Tf AV LT yj",  // glyphs that reach into their neighbours
        "\xe8\xae\xbe\xe7\xbd\xae \xe5\x8e\x86\xe5\x8f\xb2",
        "\xff bad \xc3",  // invalid bytes draw a replacement glyph
        many,
        "14:05",
        "\xc3\x84\xc3\x96\xc3\x9c \xc3\x9f",
        "",
    };
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& text : texts) {
            FreeTypeTextRenderer cold;
            ExpectSameMask(warm.Render(text), cold.Render(text), text.substr(0, 20));
        }
    const TextMask m = warm.Render(many);
    EXPECT_EQ(m.charEnds.size(), 1500u);
    EXPECT_GT(m.width, 1500 * 10);
}

}  // namespace
}  // namespace vocastra
