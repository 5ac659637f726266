// CVirtualDisplay: the handset display's canvas with the drawing primitives
// the Display handlers use, and FlushLine, which sends a text line to the
// handset only when its pixels changed since it was last sent.
//
// Drawing follows the display flag (VAL_ENABLE_LCM): at 0 every primitive
// except the text "NO LCD" draws nothing. Callers hold the display lock
// (ModeState::m_csDisplay) around drawing and flushing.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/connection_points.h"
#include "modes/canvas.h"

namespace vocastra {

class TextRenderer;

enum TextAlign : int { ALIGN_LEFT = 0, ALIGN_CENTER = 1, ALIGN_RIGHT = 2 };

// The bytes of one page as handed to the handset; as text (for the record of
// an unconnected call) it is hexadecimal.
struct PageBytes : DisplayPage {
    operator std::string() const;
};

class CVirtualDisplay {
  public:
    // `displayFlag` is the in-memory VAL_ENABLE_LCM, read at every primitive.
    CVirtualDisplay(TextRenderer& renderer, const std::atomic<int32_t>& displayFlag,
                    ConnectionLog& log);

    // Sets up the canvas after the main window exists: clears it (display
    // flag 1) and selects the normal colours. Returns true.
    bool Create();

    void ClearScreen();
    // Text (UTF-8) in the box (x, 16 * line, 128 - x, 16); too-wide text is cut
    // at the box's right edge.
    void DrawLineText(int x, int line, const std::string& text, int align);
    // The selected row of a list, in the box (16, 16 * line, 112, 16): text
    // that does not fit scrolls by one character per call, with four blanks
    // between its end and its restart.
    void DrawScrollingText(int line, const std::string& text, int align);
    void DrawLineIcon(int line, int icon, int x);
    void DrawScrollBar(int last, int position);
    void DrawVolumeBars(int level);
    // Row colours for lists: white on black, or black on white for the
    // selected row; FillRowBand paints a row's band in the background colour.
    void SetRowColors(bool highlighted);
    void FillRowBand(int line);
    void RestoreNormalColors() { SetRowColors(false); }

    // Sends line 0..3 to the handset when it differs from what was sent last.
    void FlushLine(int line);
    void FlushAllLines();
    // Forgets what the handset shows, so the next flush sends every line: a
    // handset that has just started shows nothing of what was sent before.
    void InvalidateLineCache();
    // At quit: a black canvas on every line, whatever the display flag.
    void Blank();

    // Draws "NO LCD" and flushes, the first time only (the no-display idle
    // screen). Returns true when it drew.
    bool ShowNoLcdOnce();

    const Canvas& GetCanvas() const { return m_canvas; }
    Canvas& GetCanvas() { return m_canvas; }

    struct Points {
        explicit Points(const ConnectionOwner& log);
        ConnectionPoint<bool()> IsWriteHandleValid;
        // Upper page goes to display page 2 * line, lower to 2 * line + 1.
        ConnectionPoint<void(int, const PageBytes&, const PageBytes&)> NewWriteDevice;
    } points;

  private:
    bool Enabled() const { return m_displayFlag.load() == 1; }
    void DrawMaskAligned(const TextMask& mask, int left, int width, int line, int align);
    // Rasterising is the dearest step of a redraw, and a screen mostly redraws
    // the texts it showed before: the last few masks are kept.
    const TextMask& Render(const std::string& text);

    TextRenderer& m_renderer;
    const std::atomic<int32_t>& m_displayFlag;
    Canvas m_canvas;
    bool m_textLit = true;         // colour of text (the brush)
    bool m_backgroundLit = false;  // colour of clears and row bands
    std::string m_marqueeText;
    std::string m_marqueeSource;
    int m_marqueeLine = -1;
    PageBytes m_cache[kDisplayLines][2] = {};
    // The pixels each line had when it was last converted: a redraw that
    // changed nothing on a line is found by one compare, not a conversion.
    std::array<uint8_t, kLineHeight * kDisplayWidth> m_lastPixels[kDisplayLines] = {};
    bool m_lastPixelsValid[kDisplayLines] = {};
    bool m_cacheValid[kDisplayLines] = {true, true, true, true};
    bool m_noLcdShown = false;
    struct CachedMask {
        std::string text;
        TextMask mask;
        bool used = false;
    };
    static constexpr std::size_t kMaskCacheSize = 16;
    std::array<CachedMask, kMaskCacheSize> m_masks;
    std::size_t m_nextMask = 0;
};

}  // namespace vocastra
