#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/FontMetrics.h"
#include "foundation/Rect.h"
#include "graphics/Drawable.h"

class CPixelBitmap;

// The glyph atlas of the hardware renderers, which draw text as one
// textured quad per character. For each font (size, bold) and colour mode
// the characters are drawn once through GDI into bitmaps whose sides are
// powers of two, turned into textures with alpha, and kept for the run. A
// regular font gets the printable characters 32 to 127 in a bitmap of their
// own before its first text, so most later texts need nothing new.
//
// Colour mode false: white glyphs whose alpha is their coverage, drawn with
// quads in the text colour. Colour mode true (black text on white): the
// glyphs keep their colour and are drawn with white quads.
//
// Each glyph lies in a cell of its bitmap: as wide as its advance plus a
// tenth of the font size, as high as the font's ascent and descent plus 4
// pixels. The origin (the pen's position on the baseline) lies
// ceil(size / 20) pixels right of the cell's left and ceil(ascent) + 1
// pixels below its top, on whole pixels.
class CTextBitmap : public CDrawable
{
public:
    struct CGlyph
    {
        const CPixelBitmap* bitmap = nullptr;
        // The origin, in pixels from the bitmap's top-left.
        float x = 0.0f;
        float y = 0.0f;
        CRectF cell;
    };

    static CTextBitmap& Instance();

    // Makes sure every character of text has a glyph for (font, colourMode).
    void AddGlyphs(const CFontMetrics& font, const std::wstring& text, bool colourMode);
    // Where the character's glyph lies; a missing one is reported (false).
    bool GetGlyph(const CFontMetrics& font, wchar_t c, bool colourMode, CGlyph& glyph) const;
    bool HasGlyph(const CFontMetrics& font, wchar_t c, bool colourMode) const;
    size_t GetBitmapCount() const { return m_bitmaps.size(); }

    // Draws the characters of the bitmap being made at their origins, black
    // on white.
    void Draw(CGraphicsContext& context) override;

    // The bitmaps are wrapped into rows no wider than this.
    static constexpr int kMaxRowWidth = 1024;

private:
    struct CKey
    {
        float size;
        wchar_t character;
        bool bold;
        bool colourMode;

        bool operator<(const CKey& other) const;
    };
    struct CEntry
    {
        const CPixelBitmap* bitmap;
        // The cell's top-left.
        int x;
        int y;
    };

    CTextBitmap() = default;

    static CKey MakeKey(const CFontMetrics& font, wchar_t c, bool colourMode);
    static int CellWidth(const CFontMetrics& font, wchar_t c);
    static int RowHeight(const CFontMetrics& font);
    static int OriginX(const CFontMetrics& font);
    static int OriginY(const CFontMetrics& font);
    // GDI's black on white becomes the glyphs of the colour mode.
    static void ConvertPixels(CPixelBitmap& bitmap, bool colourMode);

    std::map<CKey, CEntry> m_glyphs;
    std::vector<std::unique_ptr<CPixelBitmap>> m_bitmaps;
    // The bitmap being made: its characters and font.
    std::wstring m_characters;
    CFontMetrics m_font;
    bool m_colourMode = false;
};
