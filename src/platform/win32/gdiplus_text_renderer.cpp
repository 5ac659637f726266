#include "platform/win32/gdiplus_text_renderer.h"

#include <windows.h>
// GDI+ needs the COM declarations WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// GDI+ needs min/max from the Windows headers, which NOMINMAX hides.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <string>

namespace vocastra {

namespace {

constexpr float kEmPixels = 14.0f;
constexpr int kBaseline = 13;  // same row as the native renderer

std::wstring ToWide(std::string_view s) {
    if (s.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

}  // namespace

struct GdiplusTextRenderer::Impl {
    ULONG_PTR token = 0;
    std::unique_ptr<Gdiplus::FontFamily> family;
    std::unique_ptr<Gdiplus::Font> font;
    std::unique_ptr<Gdiplus::Bitmap> scratch;  // for measuring
    float ascent = 0;
};

GdiplusTextRenderer::GdiplusTextRenderer() : m_impl(std::make_unique<Impl>()) {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_impl->token, &input, nullptr) != Gdiplus::Ok) {
        m_impl->token = 0;
        return;
    }
    // Arial is on every Windows; Liberation Sans has its metrics where it is
    // missing (Wine without the core fonts).
    for (const wchar_t* name : {L"Arial", L"Liberation Sans", L"Microsoft Sans Serif"}) {
        m_impl->family = std::make_unique<Gdiplus::FontFamily>(name);
        if (m_impl->family->GetLastStatus() == Gdiplus::Ok)
            break;
    }
    m_impl->font = std::make_unique<Gdiplus::Font>(m_impl->family.get(), kEmPixels,
                                                   Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    m_impl->scratch = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppARGB);
    const UINT16 em = m_impl->family->GetEmHeight(Gdiplus::FontStyleRegular);
    if (em != 0)
        m_impl->ascent = kEmPixels * m_impl->family->GetCellAscent(Gdiplus::FontStyleRegular) / em;
}

GdiplusTextRenderer::~GdiplusTextRenderer() {
    m_impl->scratch.reset();
    m_impl->font.reset();
    m_impl->family.reset();
    if (m_impl->token)
        Gdiplus::GdiplusShutdown(m_impl->token);
}

TextMask GdiplusTextRenderer::Render(std::string_view utf8) {
    TextMask mask;
    if (!m_impl->font || m_impl->font->GetLastStatus() != Gdiplus::Ok)
        return mask;
    const std::wstring text = ToWide(utf8);
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | Gdiplus::StringFormatFlagsNoWrap |
                          Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetTrimming(Gdiplus::StringTrimmingNone);

    // Pen position after each code point: the width of the text up to it.
    Gdiplus::Graphics measure(m_impl->scratch.get());
    measure.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
    const Gdiplus::PointF origin(0, 0);
    for (size_t i = 0; i < text.size(); ++i) {
        if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size())
            continue;
        Gdiplus::RectF box;
        measure.MeasureString(text.c_str(), INT(i + 1), m_impl->font.get(), origin, &format, &box);
        mask.charEnds.push_back(int(box.Width + 0.5f));
    }
    mask.width = mask.charEnds.empty() ? 0 : mask.charEnds.back();
    mask.pixels.assign(size_t(mask.width) * TextMask::kHeight, 0);
    if (mask.width == 0)
        return mask;

    Gdiplus::Bitmap bitmap(mask.width, TextMask::kHeight, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(255, 0, 0, 0));
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        g.DrawString(text.c_str(), INT(text.size()), m_impl->font.get(),
                     Gdiplus::PointF(0, float(kBaseline) - m_impl->ascent), &format, &white);
    }
    Gdiplus::BitmapData data;
    Gdiplus::Rect rect(0, 0, mask.width, TextMask::kHeight);
    if (bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return mask;
    for (int y = 0; y < TextMask::kHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(data.Scan0) + ptrdiff_t(y) * data.Stride);
        for (int x = 0; x < mask.width; ++x)
            mask.pixels[size_t(y) * mask.width + x] = (row[x] & 0x00FFFFFFu) != 0;
    }
    bitmap.UnlockBits(&data);
    return mask;
}

}  // namespace vocastra
