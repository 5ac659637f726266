// icon_gen: turns a text-art picture into a Windows .ico file with a 32x32
// and a 16x16 image (32-bit with alpha, plus the 1-bit mask older readers use).
//   usage: icon_gen ART.txt OUT.ico
// Art: lines starting with '#' followed by a space are comments; every other
// non-empty line is one pixel row of 32 characters from the palette below.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Rgba {
    uint8_t r, g, b, a;
};

bool PaletteColour(char c, Rgba& out) {
    switch (c) {
        case '.':
            out = {0, 0, 0, 0};
            return true;
        case 'K':
            out = {0x1b, 0x2a, 0x3a, 0xff};
            return true;
        case '#':
            out = {0x2f, 0x6f, 0xb0, 0xff};
            return true;
        case '+':
            out = {0x8f, 0xc0, 0xee, 0xff};
            return true;
        default:
            return false;
    }
}

using Image = std::vector<Rgba>;  // row-major, top row first

// Halves the picture by averaging 2x2 blocks, colours weighted by alpha.
Image Half(const Image& src, int size) {
    const int h = size / 2;
    Image out(h * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < h; ++x) {
            unsigned r = 0, g = 0, b = 0, a = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const Rgba& p = src[(2 * y + dy) * size + 2 * x + dx];
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            Rgba& o = out[y * h + x];
            o.a = static_cast<uint8_t>(a / 4);
            o.r = static_cast<uint8_t>(a ? r / a : 0);
            o.g = static_cast<uint8_t>(a ? g / a : 0);
            o.b = static_cast<uint8_t>(a ? b / a : 0);
        }
    return out;
}

void Put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xffff);
    Put16(s, v >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), bottom-up
// BGRA pixels, then the bottom-up 1-bit AND mask with rows padded to 32 bits.
std::string IconImage(const Image& img, int size) {
    std::string s;
    const unsigned maskRow = ((size + 31) / 32) * 4;
    Put32(s, 40);
    Put32(s, size);
    Put32(s, size * 2);
    Put16(s, 1);
    Put16(s, 32);
    Put32(s, 0);
    Put32(s, size * size * 4 + maskRow * size);
    for (int i = 0; i < 4; ++i)
        Put32(s, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const Rgba& p = img[y * size + x];
            s += static_cast<char>(p.b);
            s += static_cast<char>(p.g);
            s += static_cast<char>(p.r);
            s += static_cast<char>(p.a);
        }
    for (int y = size - 1; y >= 0; --y) {
        std::string row(maskRow, '\0');
        for (int x = 0; x < size; ++x)
            if (img[y * size + x].a < 128)
                row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
        s += row;
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: icon_gen ART.txt OUT.ico\n";
        return 2;
    }
    constexpr int kSize = 32;
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "icon_gen: cannot read " << argv[1] << "\n";
        return 1;
    }
    Image big;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.rfind("# ", 0) == 0)
            continue;
        if (static_cast<int>(line.size()) != kSize) {
            std::cerr << argv[1] << ":" << lineNo << ": a row must have " << kSize << " pixels\n";
            return 1;
        }
        for (char c : line) {
            Rgba p;
            if (!PaletteColour(c, p)) {
                std::cerr << argv[1] << ":" << lineNo << ": unknown colour '" << c << "'\n";
                return 1;
            }
            big.push_back(p);
        }
    }
    if (static_cast<int>(big.size()) != kSize * kSize) {
        std::cerr << argv[1] << ": the picture must have " << kSize << " rows\n";
        return 1;
    }
    const std::string images[2] = {IconImage(big, kSize), IconImage(Half(big, kSize), kSize / 2)};
    const int sizes[2] = {kSize, kSize / 2};
    std::string ico;
    Put16(ico, 0);
    Put16(ico, 1);  // icon
    Put16(ico, 2);
    unsigned offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        ico += static_cast<char>(sizes[i]);
        ico += static_cast<char>(sizes[i]);
        ico += '\0';  // no palette
        ico += '\0';
        Put16(ico, 1);
        Put16(ico, 32);
        Put32(ico, static_cast<unsigned>(images[i].size()));
        Put32(ico, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    ico += images[0];
    ico += images[1];
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    if (!out.write(ico.data(), static_cast<std::streamsize>(ico.size()))) {
        std::cerr << "icon_gen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
