#include "screen.h"

#include "harness.h"

namespace e2e {

int Picture::RedPixels() const {
    int n = 0;
    for (uint32_t p : pixels)
        n += ((p >> 16) & 0xff) >= 160 && ((p >> 8) & 0xff) <= 90 && (p & 0xff) <= 90;
    return n;
}

Picture GrabRect(const RECT& r) {
    Picture pic;
    if (r.right <= r.left || r.bottom <= r.top)
        return pic;
    pic.width = r.right - r.left;
    pic.height = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = pic.width;
    bi.bmiHeader.biHeight = -pic.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
        HGDIOBJ old = ::SelectObject(mem, bmp);
        ::BitBlt(mem, 0, 0, pic.width, pic.height, screen, r.left, r.top, SRCCOPY);
        ::SelectObject(mem, old);
        const auto* p = static_cast<const uint32_t*>(bits);
        pic.pixels.assign(p, p + static_cast<size_t>(pic.width) * pic.height);
        for (uint32_t& px : pic.pixels)
            px &= 0xffffff;
    }
    if (bmp)
        ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return pic;
}

Picture Grab(HWND window) {
    RECT r{};
    if (!::GetWindowRect(window, &r))
        return {};
    return GrabRect(r);
}

void SaveBmp(const Picture& pic, const std::wstring& path) {
    const int stride = (pic.width * 3 + 3) & ~3;
    const uint32_t dataSize = static_cast<uint32_t>(stride) * pic.height;
    std::string out(54 + dataSize, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(pic.width));
    put32(22, static_cast<uint32_t>(pic.height));
    out[26] = 1;   // planes
    out[28] = 24;  // bits per pixel
    put32(34, dataSize);
    for (int y = 0; y < pic.height; ++y) {
        const size_t row = 54 + static_cast<size_t>(pic.height - 1 - y) * stride;
        for (int x = 0; x < pic.width; ++x) {
            const uint32_t p = pic.pixels[static_cast<size_t>(y) * pic.width + x];
            out[row + 3 * x] = static_cast<char>(p & 0xff);
            out[row + 3 * x + 1] = static_cast<char>((p >> 8) & 0xff);
            out[row + 3 * x + 2] = static_cast<char>((p >> 16) & 0xff);
        }
    }
    WriteFileBytes(path, out);
}

std::wstring ShownTip() {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"tooltips_class32", nullptr)) {
        if (!::IsWindowVisible(w))
            continue;
        wchar_t text[128] = {};
        DWORD_PTR n = 0;
        if (::SendMessageTimeoutW(w, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text),
                                  SMTO_ABORTIFHUNG, 2000, &n) &&
            n > 0)
            return std::wstring(text, n < 128 ? n : 127);
    }
    return {};
}

}  // namespace e2e
