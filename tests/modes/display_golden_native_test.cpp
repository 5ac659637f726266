// Display primitives with the real fonts, checked against golden screens.
#include <gtest/gtest.h>

#include "modes/golden_screen.h"
#include "modes/virtual_display.h"
#include "platform/sim/freetype_text_renderer.h"

namespace vocastra {
namespace {

class DisplayGoldenTest : public ::testing::Test {
  protected:
    DisplayGoldenTest() : display(renderer, flag, log) {
        display.points.IsWriteHandleValid.Fill([] { return true; });
        display.points.NewWriteDevice.Fill([](int, const PageBytes&, const PageBytes&) {});
        display.Create();
    }
    void SetUp() override { ASSERT_TRUE(renderer.HasFont()) << "fonts-liberation is missing"; }

    FreeTypeTextRenderer renderer;
    std::atomic<int32_t> flag{1};
    ConnectionLog log;
    CVirtualDisplay display;
};

TEST_F(DisplayGoldenTest, NoLcd) {
    flag = 0;
    display.ShowNoLcdOnce();
    test::ExpectScreen(display.GetCanvas(), "no_lcd");
}

TEST_F(DisplayGoldenTest, AlignmentsAndChineseText) {
    display.DrawLineText(0, 0, "Left 0123", ALIGN_LEFT);
    display.DrawLineText(0, 1, "Centre gjpqy", ALIGN_CENTER);
    display.DrawLineText(0, 2, "Right 56789", ALIGN_RIGHT);
    display.DrawLineText(0, 3, "\xe8\xae\xbe\xe7\xbd\xae \xe5\x8e\x86\xe5\x8f\xb2", ALIGN_CENTER);
    test::ExpectScreen(display.GetCanvas(), "text_alignments");
}

TEST_F(DisplayGoldenTest, ScrollBarAndVolumeBarsAtTheEnds) {
    display.DrawScrollBar(10, 10);
    display.DrawVolumeBars(16);
    test::ExpectScreen(display.GetCanvas(), "bars_full");
    display.ClearScreen();
    display.DrawScrollBar(10, 0);
    display.DrawVolumeBars(0);
    test::ExpectScreen(display.GetCanvas(), "bars_empty");
}

TEST_F(DisplayGoldenTest, MarqueeAndHighlightedRow) {
    const std::string name = "Bartholomew Featherstonehaugh";
    display.DrawLineIcon(0, 4, 0);
    display.DrawLineText(16, 0, "Anna", ALIGN_LEFT);
    for (int i = 0; i < 6; ++i) {  // six seconds of scrolling
        display.SetRowColors(true);
        display.FillRowBand(1);
        display.DrawLineIcon(1, 6, 0);
        display.DrawScrollingText(1, name, ALIGN_LEFT);
    }
    display.RestoreNormalColors();
    display.DrawLineIcon(2, 31, 0);
    display.DrawLineText(16, 2, "Zoe", ALIGN_LEFT);
    display.DrawScrollBar(2, 1);
    test::ExpectScreen(display.GetCanvas(), "marquee_highlighted_row");
}

TEST_F(DisplayGoldenTest, IconStrip) {
    for (int i = 0; i < 32; ++i)
        display.DrawLineIcon(i / 8, i, (i % 8) * 16);
    test::ExpectScreen(display.GetCanvas(), "icons_0_31");
    display.ClearScreen();
    for (int i = 32; i < 37; ++i)
        display.DrawLineIcon(0, i, (i - 32) * 16);
    test::ExpectScreen(display.GetCanvas(), "icons_32_36");
}

}  // namespace
}  // namespace vocastra
