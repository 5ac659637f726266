#include "modes/virtual_display.h"

#include <gtest/gtest.h>

#include <random>

#include "app/log.h"
#include "platform/sim/box_text_renderer.h"
#include "platform/sim/memory_log_sink.h"

namespace vocastra {
namespace {

struct Sent {
    int line;
    std::string upper, lower;
};

class VirtualDisplayTest : public ::testing::Test {
  protected:
    VirtualDisplayTest() : display(renderer, flag, log) {
        SetLogSink(&sink);
        display.points.IsWriteHandleValid.Fill([this] { return handleValid; });
        display.points.NewWriteDevice.Fill(
            [this](int line, const PageBytes& u, const PageBytes& l) {
                sent.push_back({line, u, l});
            });
        display.Create();
    }
    ~VirtualDisplayTest() override { SetLogSink(nullptr); }

    int CountLit(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += display.GetCanvas().Get(x, y);
        return n;
    }
    // Leftmost and rightmost lit column of a line, -1 when the line is dark.
    std::pair<int, int> LitSpan(int line) const {
        int lo = -1, hi = -1;
        for (int x = 0; x < kDisplayWidth; ++x)
            for (int y = 16 * line; y < 16 * line + 16; ++y)
                if (display.GetCanvas().Get(x, y)) {
                    if (lo < 0)
                        lo = x;
                    hi = x;
                }
        return {lo, hi};
    }

    BoxTextRenderer renderer;
    std::atomic<int32_t> flag{1};
    ConnectionLog log;
    MemoryLogSink sink;
    bool handleValid = true;
    std::vector<Sent> sent;
    CVirtualDisplay display;
};

TEST_F(VirtualDisplayTest, PagesCarryColumnsLowBitOnTop) {
    Canvas& c = display.GetCanvas();
    c.Set(5, 16, true);       // line 1, top row
    c.Set(6, 16 + 15, true);  // line 1, bottom row
    c.Set(7, 16 + 8, true);   // first row of the lower page
    DisplayPage up, lo;
    c.LinePages(1, up, lo);
    EXPECT_EQ(up[5], 0x01);
    EXPECT_EQ(lo[6], 0x80);
    EXPECT_EQ(lo[7], 0x01);
    EXPECT_EQ(up[6], 0);
    c.LinePages(0, up, lo);
    EXPECT_EQ(up, DisplayPage{});
}

TEST_F(VirtualDisplayTest, OnlyChangedLinesReachTheHandset) {
    display.FlushAllLines();  // black canvas equals the zeroed cache
    EXPECT_TRUE(sent.empty());
    display.DrawLineText(0, 2, "12:34", ALIGN_RIGHT);
    display.FlushAllLines();
    display.FlushAllLines();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].line, 2);
    EXPECT_TRUE(sink.Contains("FlushLine: 2"));

    // A closed handle: logged, and the cache still moves on, so the same
    // picture is not sent again when the handle comes back.
    handleValid = false;
    display.ClearScreen();
    display.FlushLine(2);
    EXPECT_TRUE(sink.Contains("NewWriteDevice:Write USB failed: m_WriteHandle is not valid"));
    handleValid = true;
    display.FlushLine(2);
    EXPECT_EQ(sent.size(), 1u);

    // A handset that has just started shows nothing: every line goes again,
    // once, even the ones whose pictures did not change.
    display.InvalidateLineCache();
    display.FlushAllLines();
    display.FlushAllLines();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[1].line, 0);
    EXPECT_EQ(sent[4].line, 3);
}

TEST_F(VirtualDisplayTest, DisplayFlagZeroDrawsOnlyNoLcd) {
    flag = 0;
    display.DrawLineText(0, 1, "Alice", ALIGN_LEFT);
    display.DrawLineIcon(0, 0, 0);
    display.DrawScrollBar(10, 5);
    display.DrawVolumeBars(16);
    display.DrawScrollingText(2, std::string(40, 'x'), ALIGN_LEFT);
    EXPECT_EQ(CountLit(0, 0, 128, 64), 0);
    EXPECT_TRUE(display.ShowNoLcdOnce());
    EXPECT_FALSE(display.ShowNoLcdOnce());
    ASSERT_EQ(sent.size(), 1u);  // only line 0 differs from the zeroed cache
    EXPECT_EQ(sent[0].line, 0);
    display.Blank();  // quit blanks the handset whatever the flag
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].upper, std::string(PageBytes{}));
}

TEST_F(VirtualDisplayTest, TextAlignsInItsBoxAndIsCutAtTheRight) {
    display.DrawLineText(0, 0, "abc", ALIGN_LEFT);  // 3 boxes of 7 px
    EXPECT_EQ(LitSpan(0), std::make_pair(3, 21));
    display.DrawLineText(0, 1, "abc", ALIGN_RIGHT);
    EXPECT_EQ(LitSpan(1).second, 128 - 2 - 2);
    display.DrawLineText(0, 2, "abc", ALIGN_CENTER);
    const auto [lo, hi] = LitSpan(2);
    EXPECT_NEAR((lo + hi) / 2.0, 64, 2);
    display.DrawLineText(40, 3, std::string(30, 'w'), ALIGN_CENTER);  // too wide
    EXPECT_EQ(LitSpan(3).first, 43);
    EXPECT_EQ(LitSpan(3).second, 127);
    EXPECT_EQ(CountLit(0, 0, 128, 64) > 0, true);
    // Lines outside 0..3 and an x outside the canvas draw nothing, safely.
    display.ClearScreen();
    display.DrawLineText(0, 4, "x", ALIGN_LEFT);
    display.DrawLineText(-5, -1, "x", ALIGN_LEFT);
    display.DrawLineText(300, 0, "x", ALIGN_LEFT);
    display.DrawLineIcon(9, 0, 0);
    display.DrawLineIcon(0, 99, 0);
    EXPECT_EQ(CountLit(0, 0, 128, 64), 0);
}

TEST_F(VirtualDisplayTest, MarqueeScrollsLongTextOneCharacterPerCall) {
    // Fits in 112 px (15 boxes + padding): drawn still.
    display.DrawScrollingText(1, "short", ALIGN_LEFT);
    const std::string still = display.GetCanvas().ToText();
    display.DrawScrollingText(1, "short", ALIGN_LEFT);
    EXPECT_EQ(display.GetCanvas().ToText(), still);

    // 20 characters do not fit: each call shows the text one character on,
    // with four blanks between its end and its restart (24 calls per cycle).
    const std::string name = "abcdefghijklmnopqrst";
    std::vector<std::string> frames;
    for (int i = 0; i < 25; ++i) {
        display.ClearScreen();
        display.DrawScrollingText(2, name, ALIGN_LEFT);
        frames.push_back(display.GetCanvas().ToText());
    }
    EXPECT_NE(frames[0], frames[17]);  // the gap has come into view
    EXPECT_EQ(frames[0], frames[24]);
    // After 19 steps "t" leads, followed by the four-blank gap: one box then
    // 28 dark pixels, then the restart.
    display.ClearScreen();
    Canvas c;
    c.FromText(frames[19]);
    int firstLit = -1;
    for (int x = 16; x < 128 && firstLit < 0; ++x)
        for (int y = 32; y < 48; ++y)
            if (c.Get(x, y))
                firstLit = x;
    EXPECT_EQ(firstLit, 16 + 2 + 1);
    bool gapDark = true;
    for (int x = 16 + 2 + 7; x < 16 + 2 + 7 + 28; ++x)
        for (int y = 32; y < 48; ++y)
            gapDark = gapDark && !c.Get(x, y);
    EXPECT_TRUE(gapDark);

    // Another text (or line) restarts at its beginning.
    display.ClearScreen();
    display.DrawScrollingText(2, name + "!", ALIGN_LEFT);
    const std::string restarted = display.GetCanvas().ToText();
    display.ClearScreen();
    display.DrawScrollingText(3, name + "!", ALIGN_LEFT);
    EXPECT_NE(display.GetCanvas().ToText(), restarted);  // line changed: restart on line 3
    EXPECT_EQ(LitSpan(3).first, 19);
}

TEST_F(VirtualDisplayTest, ScrollBarAndVolumeBarsAtTheirEnds) {
    display.DrawScrollBar(0, 0);
    EXPECT_EQ(CountLit(0, 0, 128, 64), 0);
    display.DrawScrollBar(10, 10);
    EXPECT_EQ(CountLit(122, 43, 128, 48), 6 * 5);  // thumb at the bottom
    EXPECT_EQ(CountLit(123, 1, 127, 43), 0);       // inside of the track dark
    EXPECT_EQ(CountLit(0, 48, 128, 64), 0);
    display.ClearScreen();
    display.DrawScrollBar(10, 99);  // a position past the end stays in the track
    EXPECT_EQ(CountLit(0, 48, 128, 64), 0);

    display.ClearScreen();
    display.DrawVolumeBars(0);  // outlines only
    EXPECT_EQ(CountLit(16, 46, 19, 47), 0);
    display.DrawVolumeBars(16);  // every bar filled: the last is 25 rows high
    EXPECT_EQ(CountLit(105, 23, 110, 48), 5 * 25);
    EXPECT_EQ(CountLit(105, 0, 110, 23), 0);
}

// A mask is laid over what is drawn: only its lit pixels change the canvas,
// to the text colour, whatever non-zero value a renderer marks them with,
// and only inside the clip.
TEST(CanvasMask, LitPixelsTakeTheColourInsideTheClipOnly) {
    TextMask mask;
    mask.width = 4;
    mask.pixels.assign(4 * TextMask::kHeight, 0);
    mask.pixels[0] = 1;                          // (0, 0)
    mask.pixels[2] = 255;                        // (2, 0)
    mask.pixels[3] = 1;                          // (3, 0): beyond the clip below
    mask.pixels[TextMask::kHeight * 4 - 1] = 7;  // (3, 15)

    Canvas canvas;
    canvas.FillRect(10, 0, 20, 16, true);
    canvas.Set(12, 20, true);
    const Canvas before = canvas;
    canvas.DrawMask(mask, 0, 10, 0, 0, 13, false);  // dark text on a lit band
    EXPECT_FALSE(canvas.Get(10, 0));
    EXPECT_TRUE(canvas.Get(11, 0));
    EXPECT_FALSE(canvas.Get(12, 0));
    EXPECT_TRUE(canvas.Get(13, 0));  // clipped
    EXPECT_TRUE(canvas.Get(13, 15));
    EXPECT_TRUE(canvas.Get(12, 20));

    canvas = before;
    canvas.DrawMask(mask, 1, 100, 50, 0, kDisplayWidth, true);  // from column 1, rows off the foot
    EXPECT_TRUE(canvas.Get(101, 50));
    EXPECT_TRUE(canvas.Get(102, 50));
    EXPECT_FALSE(canvas.Get(100, 50));
    int lit = 0;
    for (int y = 0; y < kDisplayHeight; ++y)
        for (int x = 0; x < kDisplayWidth; ++x)
            lit += canvas.Get(x, y) != before.Get(x, y);
    EXPECT_EQ(lit, 2);
    // Pixels stay 0 or 1: the pages carry bit 0 of each.
    DisplayPage upper, lower;
    canvas.LinePages(3, upper, lower);
    EXPECT_EQ(upper[101], 1 << 2);
    EXPECT_EQ(lower[101], 0);
}

// Wide masks go on eight pixels at a time: any offset, clip and colour must
// give what laying them pixel by pixel gives.
TEST(CanvasMask, WideMasksMatchPixelByPixel) {
    std::mt19937 rng(7);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        TextMask mask;
        mask.width = pick(1, 150);
        mask.pixels.resize(std::size_t(mask.width) * TextMask::kHeight);
        for (auto& p : mask.pixels)
            p = pick(0, 3) == 0 ? uint8_t(pick(1, 255)) : 0;
        Canvas canvas;
        for (int y = 0; y < kDisplayHeight; ++y)
            for (int x = 0; x < kDisplayWidth; ++x)
                canvas.Set(x, y, pick(0, 1) == 1);
        const int srcX = pick(0, mask.width - 1), x = pick(-40, 130), y = pick(-20, 60);
        const int clipLeft = pick(-10, 100), clipRight = pick(clipLeft, 140);
        const bool lit = pick(0, 1) == 1;
        Canvas expected = canvas;
        for (int row = 0; row < TextMask::kHeight; ++row)
            for (int col = srcX; col < mask.width; ++col) {
                const int cx = x + col - srcX;
                if (mask.At(col, row) && cx >= clipLeft && cx < clipRight)
                    expected.Set(cx, y + row, lit);
            }
        canvas.DrawMask(mask, srcX, x, y, clipLeft, clipRight, lit);
        ASSERT_EQ(canvas.ToText(), expected.ToText())
            << "round " << round << ": width " << mask.width << " from " << srcX << " at " << x
            << "," << y << " clip " << clipLeft << ".." << clipRight << (lit ? " lit" : " dark");
    }
}

TEST_F(VirtualDisplayTest, IconsPastTheEdgesAreCut) {
    display.DrawLineIcon(1, 0, 120);  // half off the right edge
    display.DrawLineIcon(2, 0, -8);   // half off the left edge
    display.DrawLineIcon(3, 0, 200);
    display.DrawLineIcon(3, 0, -16);
    CVirtualDisplay other(renderer, flag, log);
    other.Create();
    other.DrawLineIcon(0, 0, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool lit = other.GetCanvas().Get(x, y);
            if (x < 8)
                EXPECT_EQ(display.GetCanvas().Get(120 + x, 16 + y), lit) << x << "," << y;
            else
                EXPECT_EQ(display.GetCanvas().Get(x - 8, 32 + y), lit) << x << "," << y;
        }
    EXPECT_EQ(CountLit(0, 48, kDisplayWidth, 64), 0);
}

}  // namespace
}  // namespace vocastra
