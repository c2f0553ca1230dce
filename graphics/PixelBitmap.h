#pragma once

#include <cstdint>
#include <vector>

#include "graphics/GdiplusBitmap.h"

class CColorTable;

// The program's in-memory raster image: width x height 32-bit pixels, red in
// bits 0-7, green 8-15, blue 16-23, alpha 24-31 (in memory the bytes red,
// green, blue, alpha). The first stored row is the bottom row of the image:
// row y counted from the top lives at index ((height - 1) - y) * width.
//
// Sizes are floats for the callers' arithmetic but always whole: they are
// truncated when set. A size that is negative, wider or higher than
// kMaxSide, or of more than kMaxPixels pixels is reported and gives an empty
// bitmap, so a damaged picture file cannot make the program allocate without
// bound.
class CPixelBitmap
{
public:
    static constexpr int kMaxSide = 65535;
    static constexpr int kMaxPixels = 64 * 1024 * 1024;

    CPixelBitmap() = default;
    // All pixels opaque white.
    CPixelBitmap(float width, float height);
    // The pixels of a GDI+ bitmap, read as 32-bit ARGB; an image that cannot
    // be read gives an empty bitmap (reported).
    explicit CPixelBitmap(Gdiplus::GpImage* image);

    float GetWidth() const { return float(m_width); }
    float GetHeight() const { return float(m_height); }
    int GetPixelWidth() const { return m_width; }
    int GetPixelHeight() const { return m_height; }
    bool IsEmpty() const { return m_pixels.empty(); }

    std::vector<uint32_t>& GetPixels() { return m_pixels; }
    const std::vector<uint32_t>& GetPixels() const { return m_pixels; }

    // Pixel (x, y) with y counted from the top; outside the bitmap is
    // reported (and reads as 0).
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t color);

    // Nothing when the size is unchanged; otherwise the pixel vector takes the
    // new length: kept pixels stay where they are in storage, new ones are
    // opaque white.
    void Resize(float width, float height);

    // Copies pixels from the source at (sx, sy) to this bitmap at (dx, dy),
    // both counted from the top-left. The rectangle is limited to w x h when
    // both are above 0, and always clipped to both bitmaps.
    void CopyRect(const CPixelBitmap& source, int sx, int sy, int dx, int dy, int w, int h);

    // Every pixel becomes itself blended over the background colour.
    void CompositeOver(uint32_t background);

    // opaque: every alpha is 255; white: every pixel's colour is white. Either
    // pointer may be null; the scan stops once every asked answer is false.
    void TestOpaqueAndWhite(bool* opaque, bool* white) const;

    // This bitmap becomes the source box-filtered down by the factor with
    // alpha-weighted colours (transparent pixels do not bleed). Sizes that
    // the factor does not divide fold the remainder into the last row and
    // column of the result.
    void MakeMipLevel(const CPixelBitmap& source, int factor);

    // A new GDI+ bitmap of the same picture, 32-bit ARGB when withAlpha,
    // else 24-bit RGB.
    CGdiplusBitmap ToGdiplusBitmap(bool withAlpha) const;

    // A new indexed GDI+ bitmap, each pixel the nearest palette colour: 4 bits
    // a pixel for up to 16 entries (unless alwaysEightBit), else 8. A palette
    // of more than 256 or of no entries cannot be used: that is reported and
    // the full-colour bitmap (with alpha when any pixel is not opaque) comes
    // back instead.
    CGdiplusBitmap ToIndexedGdiplusBitmap(const CColorTable& palette, bool alwaysEightBit = false) const;

    // Puts the picture on the clipboard as CF_BITMAP (a device-dependent
    // bitmap that the clipboard then owns). False, after a report, when it
    // could not.
    bool CopyToClipboard() const;

    // Whether a width x height picture can be held (see above).
    static bool IsSizeAllowed(long long width, long long height);

private:
    int Index(int x, int y) const { return ((m_height - 1) - y) * m_width + x; }

    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

// Our pixel layout and GDI+'s 32-bit ARGB differ only in where red and blue
// sit; the swap goes both ways.
inline uint32_t SwapRedBlue(uint32_t pixel)
{
    return (pixel & 0xFF00FF00) | ((pixel & 0xFF) << 16) | ((pixel >> 16) & 0xFF);
}
