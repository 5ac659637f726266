#include "modes/canvas.h"

#include <algorithm>
#include <cstring>

namespace vocastra {

void Canvas::FillRect(int left, int top, int right, int bottom, bool lit) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, kDisplayWidth);
    bottom = std::min(bottom, kDisplayHeight);
    if (right <= left)
        return;
    for (int y = top; y < bottom; ++y) {
        auto* row = m_pixels.data() + y * kDisplayWidth;
        std::fill(row + left, row + right, uint8_t(lit));
    }
}

void Canvas::FrameRect(int left, int top, int right, int bottom, bool lit) {
    if (right <= left || bottom <= top)
        return;
    FillRect(left, top, right, top + 1, lit);
    FillRect(left, bottom - 1, right, bottom, lit);
    FillRect(left, top, left + 1, bottom, lit);
    FillRect(right - 1, top, right, bottom, lit);
}

void Canvas::DrawMask(const TextMask& mask, int srcX, int x, int y, int clipLeft, int clipRight,
                      bool lit) {
    clipLeft = std::max(clipLeft, 0);
    clipRight = std::min(clipRight, kDisplayWidth);
    // The columns that land inside the clip, worked out once, not per pixel.
    const int firstCol = std::max(srcX, clipLeft - x + srcX);
    const int endCol = std::min(mask.width, clipRight - x + srcX);
    if (firstCol >= endCol || mask.pixels.size() < std::size_t(mask.width) * TextMask::kHeight)
        return;
    // Canvas pixels are 0 or 1: lit mask pixels are or-ed in (or and-ed
    // out) eight at a time, without a branch per pixel.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    const auto apply = [lit](uint8_t* dst, uint64_t litMask) {
        uint64_t d;
        std::memcpy(&d, dst, 8);
        d = lit ? d | litMask : d & ~litMask;
        std::memcpy(dst, &d, 8);
    };
    const int shift = x - srcX;
    for (int row = 0; row < TextMask::kHeight; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= kDisplayHeight)
            continue;
        const uint8_t* src = mask.pixels.data() + std::size_t(row) * mask.width;
        uint8_t* dst = m_pixels.data() + ty * kDisplayWidth + shift;
        int col = firstCol;
        for (; col + 8 <= endCol; col += 8) {
            uint64_t s;
            std::memcpy(&s, src + col, 8);
            // Any bit of a byte down to its lowest: 1 per non-zero byte.
            s |= s >> 4;
            s |= s >> 2;
            s |= s >> 1;
            apply(dst + col, s & kOnes);
        }
        for (; col < endCol; ++col)
            dst[col] =
                lit ? uint8_t(dst[col] | (src[col] != 0)) : uint8_t(dst[col] & (src[col] == 0));
    }
}

void Canvas::LinePages(int line, DisplayPage& upper, DisplayPage& lower) const {
    upper.fill(0);
    lower.fill(0);
    if (line < 0 || line >= kDisplayLines)
        return;
    // Pixels are 0 or 1 bytes, so eight columns at a time: shifting a word of
    // eight pixels by the row number puts each pixel on its bit of its byte.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    const uint8_t* top = LinePixels(line);
    for (int x = 0; x < kDisplayWidth; x += 8) {
        uint64_t u = 0, l = 0;
        for (int k = 0; k < 8; ++k) {
            uint64_t a, b;
            std::memcpy(&a, top + k * kDisplayWidth + x, 8);
            std::memcpy(&b, top + (8 + k) * kDisplayWidth + x, 8);
            u |= (a & kOnes) << k;
            l |= (b & kOnes) << k;
        }
        std::memcpy(upper.data() + x, &u, 8);
        std::memcpy(lower.data() + x, &l, 8);
    }
}

std::string Canvas::ToText() const {
    std::string out;
    out.reserve((kDisplayWidth + 1) * kDisplayHeight);
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x)
            out += m_pixels[y * kDisplayWidth + x] ? '#' : '.';
        out += '\n';
    }
    return out;
}

bool Canvas::FromText(const std::string& text) {
    std::array<uint8_t, kDisplayWidth * kDisplayHeight> px{};
    std::size_t pos = 0;
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x, ++pos) {
            if (pos >= text.size() || (text[pos] != '#' && text[pos] != '.'))
                return false;
            px[y * kDisplayWidth + x] = text[pos] == '#';
        }
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos >= text.size() || text[pos] != '\n')
            return false;
        ++pos;
    }
    m_pixels = px;
    return true;
}

}  // namespace vocastra
