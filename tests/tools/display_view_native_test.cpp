#include "display_view.h"

#include <gtest/gtest.h>

namespace vocastra::sim {
namespace {

TEST(DisplayView, TwoPixelRowsPerTextRowInAFrame) {
    std::string frame;
    for (int y = 0; y < 64; ++y) {
        std::string row(128, '.');
        if (y == 0)
            row[0] = '#';  // upper half only
        if (y == 1)
            row[1] = '#';  // lower half only
        if (y == 2 || y == 3)
            row[2] = '#';  // both halves
        frame += row + "\n";
    }
    const std::string view = RenderHalfBlocks(frame, "MODE 0");
    int lines = 0;
    for (std::size_t p = 0; (p = view.find("\r\n", p)) != std::string::npos; p += 2)
        ++lines;
    EXPECT_EQ(lines, 34);
    const std::string first = view.substr(view.find("\r\n") + 2);
    EXPECT_EQ(first.rfind("\xe2\x94\x82\xe2\x96\x80\xe2\x96\x84 ", 0), 0u);
    EXPECT_NE(view.find("\xe2\x96\x88"), std::string::npos);
    EXPECT_NE(view.find("MODE 0"), std::string::npos);
    // Short or broken input draws what there is and never reads past it.
    EXPECT_EQ(RenderHalfBlocks("#\n").find("\xe2\x96\x80"),
              RenderHalfBlocks("#\n").find("\xe2\x96\x80"));
    EXPECT_FALSE(RenderHalfBlocks("").empty());
}

}  // namespace
}  // namespace vocastra::sim
