#include "render3d/TextBitmap.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "graphics/GraphicsContext.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "ui/Scene.h"

namespace {

// The printable characters 32 to 127, which every regular font gets first.
const std::wstring& PrintableCharacters()
{
    static const std::wstring printable = [] {
        std::wstring text;
        for (wchar_t c = 32; c <= 127; ++c)
            text += c;
        return text;
    }();
    return printable;
}

int NextPowerOfTwo(int n)
{
    int power = 1;
    while (power < n)
        power *= 2;
    return power;
}

}  // namespace

bool CTextBitmap::CKey::operator<(const CKey& other) const
{
    if (character != other.character)
        return character < other.character;
    if (size != other.size)
        return size < other.size;
    if (bold != other.bold)
        return bold < other.bold;
    return colourMode < other.colourMode;
}

CTextBitmap& CTextBitmap::Instance()
{
    static CTextBitmap atlas;
    return atlas;
}

CTextBitmap::CKey CTextBitmap::MakeKey(const CFontMetrics& font, wchar_t c, bool colourMode)
{
    return CKey{font.size, c, font.IsBold(), colourMode};
}

int CTextBitmap::CellWidth(const CFontMetrics& font, wchar_t c)
{
    return int(std::ceil(font.GetCharAdvance(c) + font.size / 10.0f));
}

int CTextBitmap::RowHeight(const CFontMetrics& font)
{
    return int(std::ceil(font.GetAscent())) + 2 + int(std::ceil(font.GetDescent())) + 2;
}

int CTextBitmap::OriginX(const CFontMetrics& font) { return int(std::ceil(font.size / 20.0f)); }

int CTextBitmap::OriginY(const CFontMetrics& font) { return int(std::ceil(font.GetAscent())) + 1; }

bool CTextBitmap::HasGlyph(const CFontMetrics& font, wchar_t c, bool colourMode) const
{
    return m_glyphs.count(MakeKey(font, c, colourMode)) != 0;
}

bool CTextBitmap::GetGlyph(const CFontMetrics& font, wchar_t c, bool colourMode, CGlyph& glyph) const
{
    const auto found = m_glyphs.find(MakeKey(font, c, colourMode));
    if (found == m_glyphs.end()) {
        TRACE_VALUE(int32_t, int32_t(c));
        TRACE_VALUE(float, font.size);
        ReportFailure();
        return false;
    }
    const CEntry& entry = found->second;
    glyph.bitmap = entry.bitmap;
    glyph.x = float(entry.x + OriginX(font));
    glyph.y = float(entry.y + OriginY(font));
    glyph.cell = CRectF(float(entry.x), float(entry.y), float(entry.x + CellWidth(font, c)),
                        float(entry.y + RowHeight(font)));
    return true;
}

void CTextBitmap::AddGlyphs(const CFontMetrics& font, const std::wstring& text, bool colourMode)
{
    const std::wstring& printable = PrintableCharacters();
    if (&text != &printable && !font.IsBold() && !HasGlyph(font, L'a', colourMode))
        AddGlyphs(font, printable, colourMode);
    std::wstring characters;
    for (wchar_t c : text)
        if (!HasGlyph(font, c, colourMode) && characters.find(c) == std::wstring::npos)
            characters += c;
    if (characters.empty())
        return;
    TRACE_VALUE(float, font.size);
    TRACE_VALUE(int32_t, int32_t(characters.size()));

    // Rows left to right, a new one where a row would pass the widest.
    m_bitmaps.push_back(std::make_unique<CPixelBitmap>());
    CPixelBitmap& bitmap = *m_bitmaps.back();
    const int rowHeight = RowHeight(font);
    int x = 0;
    int y = 0;
    int widest = 1;
    for (wchar_t c : characters) {
        const int width = CellWidth(font, c);
        if (x > 0 && x + width > kMaxRowWidth) {
            x = 0;
            y += rowHeight;
        }
        m_glyphs[MakeKey(font, c, colourMode)] = CEntry{&bitmap, x, y};
        x += width;
        widest = std::max(widest, x);
    }
    bitmap.Resize(float(NextPowerOfTwo(widest)), float(NextPowerOfTwo(y + rowHeight)));

    m_characters = characters;
    m_font = font;
    m_colourMode = colourMode;
    MakeUniqueKey();
    CScene scene(true, 1);
    scene.items[0] = this;
    scene.background = 0xFFFFFFFF;
    RenderSceneToBitmap(scene, bitmap, true);
    m_characters.clear();
    ConvertPixels(bitmap, colourMode);
}

void CTextBitmap::ConvertPixels(CPixelBitmap& bitmap, bool colourMode)
{
    for (uint32_t& pixel : bitmap.GetPixels()) {
        const uint32_t r = pixel & 0xFF, g = (pixel >> 8) & 0xFF, b = (pixel >> 16) & 0xFF;
        if (!colourMode) {
            pixel = 0x00FFFFFF | ((255 - (r + g + b) / 3) << 24);
        } else if ((pixel & 0x00FFFFFF) == 0x00FFFFFF) {
            pixel = 0x00FFFFFF;
        } else {
            const uint32_t m = std::min(r, std::min(g, b));
            const auto channel = [m](uint32_t c) { return (c - m) * 255 / (255 - m); };
            pixel = channel(r) | channel(g) << 8 | channel(b) << 16 | (255 - m) << 24;
        }
    }
}

void CTextBitmap::Draw(CGraphicsContext& context)
{
    CGraphicsState& s = context.m_state;
    s.font = m_font;
    s.textColor = 0xFF000000;
    s.fillColor = 0xFFFFFFFF;
    s.textAlignH = 0;
    s.textAlignV = 5;
    for (wchar_t c : m_characters) {
        const auto found = m_glyphs.find(MakeKey(m_font, c, m_colourMode));
        if (found == m_glyphs.end())
            continue;
        const CEntry& entry = found->second;
        context.DrawText(std::wstring(1, c), float(entry.x + OriginX(m_font)), float(entry.y + OriginY(m_font)));
    }
}
