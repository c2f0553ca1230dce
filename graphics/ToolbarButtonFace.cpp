#include "graphics/ToolbarButtonFace.h"

#include <windows.h>

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"
#include "graphics/PixelRange.h"

namespace
{

constexpr int kBorder = 3;
constexpr int kExtraWidth = 7;
constexpr int kExtraHeight = 5;
constexpr int kIconTop = 2;

uint32_t GetButtonFaceColor()
{
    return (GetSysColor(COLOR_BTNFACE) & 0x00FFFFFF) | 0xFF000000;
}

}  // namespace

CToolbarButtonFace::CToolbarButtonFace(uint32_t baseColor, const CPixelBitmap* background, bool greyed,
                                       bool pressed)
    : m_baseColor(baseColor), m_background(background), m_greyed(greyed), m_pressed(pressed)
{
}

CToolbarButtonFace::CCachedImage& CToolbarButtonFace::FindOrReserve(const CPixelBitmap& icon)
{
    CCachedImage& cached = m_cache[&icon];
    if (!cached.image)
        cached.image = std::make_unique<CPixelBitmap>(float(icon.GetPixelWidth() + kExtraWidth),
                                                      float(icon.GetPixelHeight() + kExtraHeight));
    return cached;
}

const CPixelBitmap* CToolbarButtonFace::ReserveImage(const CPixelBitmap* icon)
{
    if (!icon) {
        ReportFailure();
        return nullptr;
    }
    return FindOrReserve(*icon).image.get();
}

const CPixelBitmap* CToolbarButtonFace::GetImage(const CPixelBitmap* icon)
{
    if (!icon) {
        ReportFailure();
        return nullptr;
    }
    CCachedImage& cached = FindOrReserve(*icon);
    if (!cached.composed) {
        cached.composed = true;
        if (m_greyed) {
            CPixelBitmap grey = *icon;
            MakeGrey(grey);
            Compose(grey, *cached.image);
        } else {
            Compose(*icon, *cached.image);
        }
    }
    return cached.image.get();
}

void CToolbarButtonFace::MakeGrey(CPixelBitmap& bitmap)
{
    std::vector<uint32_t>& pixels = bitmap.GetPixels();
    const CPixelRange all = CPixelRange::AllPixels(bitmap.GetWidth(), bitmap.GetHeight());
    for (int i = all.start; i != all.end; i += all.step) {
        const uint32_t p = pixels[i];
        const uint32_t grey = 128 + (GetRed(p) + GetGreen(p) + GetBlue(p)) * 127 / 765;
        pixels[i] = MakeRgba(grey, grey, grey, GetAlpha(p));
    }
}

int CToolbarButtonFace::MapStretched(int c, int resultSize, int backgroundSize)
{
    int mapped;
    if (c < kBorder)
        mapped = c;
    else if (c >= resultSize - kBorder)
        mapped = backgroundSize - (resultSize - c);
    else
        mapped = int(float(backgroundSize - 2 * kBorder) * float(c - kBorder) / float(resultSize - 2 * kBorder) +
                     float(kBorder) + 0.5f);
    // A background narrower than its two borders would map outside itself.
    return std::clamp(mapped, 0, backgroundSize - 1);
}

void CToolbarButtonFace::Compose(const CPixelBitmap& icon, CPixelBitmap& result) const
{
    const int iconWidth = icon.GetPixelWidth();
    const int iconHeight = icon.GetPixelHeight();
    const int width = iconWidth + kExtraWidth;
    const int height = iconHeight + kExtraHeight;
    if (result.IsEmpty())
        return;

    const bool hasBackground = m_background && !m_background->IsEmpty();
    const int backgroundWidth = hasBackground ? m_background->GetPixelWidth() : 0;
    const int backgroundHeight = hasBackground ? m_background->GetPixelHeight() : 0;
    const int iconLeft = m_pressed ? kBorder + 1 : kBorder;
    for (int y = 0; y < height; ++y) {
        const int backgroundY = hasBackground ? MapStretched(y, height, backgroundHeight) : 0;
        for (int x = 0; x < width; ++x) {
            uint32_t color = m_baseColor;
            if (hasBackground)
                color = m_background->GetPixel(MapStretched(x, width, backgroundWidth), backgroundY);
            const int ix = x - iconLeft;
            const int iy = y - kIconTop;
            if (ix >= 0 && ix < iconWidth && iy >= 0 && iy < iconHeight)
                color = BlendColorOver(icon.GetPixel(ix, iy), color);
            result.SetPixel(x, y, color);
        }
    }
}

CToolbarButtonFace& CToolbarButtonFace::GetNormal()
{
    static CToolbarButtonFace face(GetButtonFaceColor(), nullptr, false, false);
    return face;
}

CToolbarButtonFace& CToolbarButtonFace::GetHot()
{
    static CToolbarButtonFace face(GetButtonFaceColor(), CImage::GetCached(L"ToolbarButtonHot.png"), false, false);
    return face;
}

CToolbarButtonFace& CToolbarButtonFace::GetPressed()
{
    static CToolbarButtonFace face(GetButtonFaceColor(), CImage::GetCached(L"ToolbarButtonPressed.png"), false,
                                   true);
    return face;
}

CToolbarButtonFace& CToolbarButtonFace::GetDisabled()
{
    static CToolbarButtonFace face(GetButtonFaceColor(), nullptr, true, false);
    return face;
}
