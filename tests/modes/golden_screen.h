// Golden screens: a canvas compared with tests/golden/screens/<name>.txt (64
// rows of '#' and '.'). With VOCASTRA_UPDATE_GOLDEN=1 in the environment the
// file is (re)written instead; otherwise a missing file is a failure.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "modes/canvas.h"

namespace vocastra::test {

inline std::string GoldenScreenPath(const std::string& name) {
    return std::string(VOCASTRA_SOURCE_DIR) + "/tests/golden/screens/" + name + ".txt";
}

inline void ExpectScreen(const Canvas& canvas, const std::string& name) {
    const std::string path = GoldenScreenPath(name);
    const std::string actual = canvas.ToText();
    const char* update = std::getenv("VOCASTRA_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no golden screen " << path
                    << " (run with VOCASTRA_UPDATE_GOLDEN=1 to create it, then look at it)";
    const std::string expected(std::istreambuf_iterator<char>(in), {});
    Canvas want;
    ASSERT_TRUE(want.FromText(expected)) << path << " is not a 128x64 screen";
    EXPECT_EQ(want.ToText(), actual) << "screen differs from " << path;
}

}  // namespace vocastra::test
