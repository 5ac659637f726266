#include "modes/virtual_display.h"

#include <algorithm>
#include <cstring>

#include "app/log.h"
#include "app/text_util.h"
#include "modes/display_icons.h"
#include "platform/text_renderer.h"

namespace vocastra {

namespace {

// Space left between the box edge and left- or right-aligned text, about the
// padding the Windows text layout adds (one sixth of the em).
constexpr int kTextPad = 2;
constexpr int kScrollLeft = 16;
constexpr int kScrollWidth = 112;
constexpr const char* kNoLcd = "NO LCD";

}  // namespace

PageBytes::operator std::string() const {
    static const char* hex = "0123456789abcdef";
    std::string s;
    s.reserve(size() * 2);
    for (uint8_t b : *this) {
        s += hex[b >> 4];
        s += hex[b & 15];
    }
    return s;
}

CVirtualDisplay::Points::Points(const ConnectionOwner& log)
    : IsWriteHandleValid(log, "IsWriteHandleValid"), NewWriteDevice(log, "NewWriteDevice") {
    // Until the device side answers, there is no open handset to write to.
    IsWriteHandleValid.Default([] { return false; });
}

CVirtualDisplay::CVirtualDisplay(TextRenderer& renderer, const std::atomic<int32_t>& displayFlag,
                                 ConnectionLog& log)
    : points({log, "display.points"}), m_renderer(renderer), m_displayFlag(displayFlag) {}

bool CVirtualDisplay::Create() {
    RestoreNormalColors();
    ClearScreen();
    return true;
}

void CVirtualDisplay::ClearScreen() {
    if (!Enabled())
        return;
    m_canvas.FillRect(0, 0, kDisplayWidth, kDisplayHeight, m_backgroundLit);
}

void CVirtualDisplay::DrawMaskAligned(const TextMask& mask, int left, int width, int line,
                                      int align) {
    int x = left + kTextPad;
    if (align == ALIGN_CENTER)
        x = left + (width - mask.width) / 2;
    else if (align == ALIGN_RIGHT)
        x = left + width - kTextPad - mask.width;
    // Text wider than its box keeps its beginning and loses its end.
    if (x < left + kTextPad && mask.width + kTextPad > width)
        x = left + kTextPad;
    m_canvas.DrawMask(mask, 0, x, kLineHeight * line, left, left + width, m_textLit);
}

void CVirtualDisplay::DrawLineText(int x, int line, const std::string& text, int align) {
    if (!Enabled() && text != kNoLcd)
        return;
    if (line < 0 || line >= kDisplayLines || x < 0 || x >= kDisplayWidth)
        return;
    DrawMaskAligned(Render(text), x, kDisplayWidth - x, line, align);
}

void CVirtualDisplay::DrawScrollingText(int line, const std::string& text, int align) {
    if (!Enabled() || line < 0 || line >= kDisplayLines)
        return;
    const TextMask& mask = Render(text);
    if (mask.width + 2 * kTextPad <= kScrollWidth) {
        DrawMaskAligned(mask, kScrollLeft, kScrollWidth, line, align);
        return;
    }
    if (text != m_marqueeSource || line != m_marqueeLine) {
        m_marqueeText = text + "    ";
        m_marqueeSource = text;
        m_marqueeLine = line;
    }
    DrawMaskAligned(m_renderer.Render(m_marqueeText), kScrollLeft, kScrollWidth, line, ALIGN_LEFT);
    const std::string first = CutCodePoints(m_marqueeText, 1);
    m_marqueeText = m_marqueeText.substr(first.size()) + first;
}

const TextMask& CVirtualDisplay::Render(const std::string& text) {
    for (const CachedMask& c : m_masks)
        if (c.used && c.text == text)
            return c.mask;
    CachedMask& slot = m_masks[m_nextMask];
    m_nextMask = (m_nextMask + 1) % kMaskCacheSize;
    slot.mask = m_renderer.Render(text);
    slot.text = text;
    slot.used = true;
    return slot.mask;
}

void CVirtualDisplay::DrawLineIcon(int line, int icon, int x) {
    if (!Enabled() || line < 0 || line >= kDisplayLines)
        return;
    const auto* rows = GetDisplayIcon(icon);
    if (!rows || x <= -kIconSize || x >= kDisplayWidth)
        return;
    // Clipped once, then row by row: the icon's lines never leave the canvas
    // vertically (line is 0..3), only a column beyond an edge may.
    const int top = kLineHeight * line;
    const int c0 = std::max(0, -x), c1 = std::min(kIconSize, kDisplayWidth - x);
    for (int r = 0; r < kIconSize; ++r)
        for (int c = c0; c < c1; ++c) {
            const bool lit = ((*rows)[r] >> (kIconSize - 1 - c)) & 1;
            m_canvas.SetInside(x + c, top + r, lit ? m_textLit : m_backgroundLit);
        }
}

void CVirtualDisplay::DrawScrollBar(int last, int position) {
    if (!Enabled() || last <= 0)
        return;
    if (position < 0)
        position = 0;
    if (position > last)
        position = last;
    // Track: white outline, black inside; thumb: solid white, five rows.
    m_canvas.FillRect(122, 0, 128, 48, false);
    m_canvas.FrameRect(122, 0, 128, 48, true);
    const int t = position * 43 / last;
    m_canvas.FillRect(122, t, 128, t + 5, true);
}

void CVirtualDisplay::DrawVolumeBars(int level) {
    if (!Enabled())
        return;
    for (int i = 0; i < 16; ++i) {
        const int h = (6 + 3 * i) / 2;
        const int left = 15 + 6 * i, right = 20 + 6 * i;
        m_canvas.FillRect(left, 48 - h, right, 48, i < level);
        m_canvas.FrameRect(left, 48 - h, right, 48, true);
    }
}

void CVirtualDisplay::SetRowColors(bool highlighted) {
    m_textLit = !highlighted;
    m_backgroundLit = highlighted;
}

void CVirtualDisplay::FillRowBand(int line) {
    if (!Enabled() || line < 0 || line >= kDisplayLines)
        return;
    m_canvas.FillRect(0, kLineHeight * line, kDisplayWidth, kLineHeight * line + 15,
                      m_backgroundLit);
}

void CVirtualDisplay::FlushLine(int line) {
    if (line < 0 || line >= kDisplayLines)
        return;
    const uint8_t* pixels = m_canvas.LinePixels(line);
    auto& last = m_lastPixels[line];
    if (m_cacheValid[line] && m_lastPixelsValid[line] &&
        std::memcmp(pixels, last.data(), last.size()) == 0)
        return;
    std::memcpy(last.data(), pixels, last.size());
    m_lastPixelsValid[line] = true;
    PageBytes upper, lower;
    m_canvas.LinePages(line, upper, lower);
    if (m_cacheValid[line] && upper == m_cache[line][0] && lower == m_cache[line][1])
        return;
    m_cacheValid[line] = true;
    m_cache[line][0] = upper;
    m_cache[line][1] = lower;
    LogPrintA("FlushLine: %d", line);
    if (!points.IsWriteHandleValid()) {
        LogRaw("NewWriteDevice:Write USB failed: m_WriteHandle is not valid");
        return;
    }
    points.NewWriteDevice(line, upper, lower);
}

void CVirtualDisplay::FlushAllLines() {
    for (int line = 0; line < kDisplayLines; ++line)
        FlushLine(line);
}

void CVirtualDisplay::InvalidateLineCache() {
    for (bool& valid : m_cacheValid)
        valid = false;
}

void CVirtualDisplay::Blank() {
    m_canvas.FillRect(0, 0, kDisplayWidth, kDisplayHeight, false);
    FlushAllLines();
}

bool CVirtualDisplay::ShowNoLcdOnce() {
    if (m_noLcdShown)
        return false;
    m_noLcdShown = true;
    DrawLineText(0, 0, kNoLcd, ALIGN_CENTER);
    FlushAllLines();
    return true;
}

}  // namespace vocastra
