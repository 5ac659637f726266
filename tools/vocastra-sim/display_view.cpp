#include "display_view.h"

#include <vector>

namespace vocastra::sim {

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 64;

std::string Repeat(const char* s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

}  // namespace

std::string RenderHalfBlocks(const std::string& frameText, const std::string& caption) {
    std::vector<std::string> rows;
    std::string row;
    for (char c : frameText) {
        if (c == '\n') {
            rows.push_back(row);
            row.clear();
        } else if (c != '\r') {
            row += c;
        }
    }
    auto lit = [&](int x, int y) {
        return y < int(rows.size()) && x < int(rows[y].size()) && rows[y][x] == '#';
    };
    std::string top = "\xe2\x94\x8c" + Repeat("\xe2\x94\x80", kWidth) + "\xe2\x94\x90";  // ┌─┐
    if (!caption.empty() && caption.size() + 4 < kWidth) {
        top = "\xe2\x94\x8c\xe2\x94\x80 " + caption + " " +
              Repeat("\xe2\x94\x80", kWidth - 3 - int(caption.size())) + "\xe2\x94\x90";
    }
    std::string out = top + "\r\n";
    for (int y = 0; y < kHeight; y += 2) {
        out += "\xe2\x94\x82";  // │
        for (int x = 0; x < kWidth; ++x) {
            const bool up = lit(x, y), down = lit(x, y + 1);
            out += up && down ? "\xe2\x96\x88"  // █
                   : up       ? "\xe2\x96\x80"  // ▀
                   : down     ? "\xe2\x96\x84"  // ▄
                              : " ";
        }
        out += "\xe2\x94\x82\r\n";
    }
    out += "\xe2\x94\x94" + Repeat("\xe2\x94\x80", kWidth) + "\xe2\x94\x98\r\n";  // └─┘
    return out;
}

}  // namespace vocastra::sim
