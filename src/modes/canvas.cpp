#include "modes/canvas.h"

#include <algorithm>

namespace vocastra {

void Canvas::FillRect(int left, int top, int right, int bottom, bool lit) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, kDisplayWidth);
    bottom = std::min(bottom, kDisplayHeight);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            m_pixels[y * kDisplayWidth + x] = lit;
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
    for (int row = 0; row < TextMask::kHeight; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= kDisplayHeight)
            continue;
        for (int col = srcX; col < mask.width; ++col) {
            const int tx = x + col - srcX;
            if (tx < clipLeft)
                continue;
            if (tx >= clipRight)
                break;
            if (mask.pixels[std::size_t(row) * mask.width + col])
                m_pixels[ty * kDisplayWidth + tx] = lit;
        }
    }
}

void Canvas::LinePages(int line, DisplayPage& upper, DisplayPage& lower) const {
    const int top = kLineHeight * line;
    for (int x = 0; x < kDisplayWidth; ++x) {
        uint8_t u = 0, l = 0;
        for (int k = 0; k < 8; ++k) {
            if (Get(x, top + k))
                u |= uint8_t(1u << k);
            if (Get(x, top + 8 + k))
                l |= uint8_t(1u << k);
        }
        upper[x] = u;
        lower[x] = l;
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
