#pragma once

#include <windows.h>

class CPixelBitmap;
class CScene;

// A 32-bit top-down DIB section selected into a memory device context of its
// own: the bridge between CPixelBitmap and GDI. Memory row 0 is the top row;
// each pixel is the bytes blue, green, red and a fourth byte that GDI leaves
// undefined (written as 0, read back as opaque).
class CGdiBitmap
{
public:
    CGdiBitmap();
    ~CGdiBitmap();
    CGdiBitmap(const CGdiBitmap&) = delete;
    CGdiBitmap& operator=(const CGdiBitmap&) = delete;

    // Makes a DIB of w x h pixels (both must be above 0 and within the sizes
    // CPixelBitmap can hold). Nothing happens when the size is unchanged, so
    // the bits stay where they are. False after a report when there is no DIB
    // of that size.
    bool Create(float width, float height);

    // Create at the bitmap's size, then copy the colours (alpha is dropped).
    void SetPixels(const CPixelBitmap& bitmap);
    // The DIB's pixels, upright and opaque; false after a report without a DIB.
    bool GetPixels(CPixelBitmap& bitmap) const;

    // StretchDIBits of the whole DIB into the rectangle of the device context.
    bool StretchTo(HDC dc, const RECT& rect) const;
    // The same for a pixel bitmap, straight from its own pixels: GDI reads
    // them through colour masks, so no DIB is made or filled. False after a
    // report when GDI refuses.
    static bool StretchPixelsTo(const CPixelBitmap& bitmap, HDC dc, const RECT& rect);

    // A device-dependent copy compatible with the screen; the caller owns it.
    // Null after a report when there is no DIB or GDI refuses.
    HBITMAP ToDeviceBitmap() const;

    // Off-screen rendering through the GDI canvas: the DIB is made width x
    // height and a temporary canvas draws the scene into it with the given
    // viewport (projection size and offsets as for CRenderTarget::SetViewport).
    // Read the picture with GetPixels. A size without pixels draws nothing and
    // gives false, like a minimised window.
    bool RenderScene(CScene& scene, float width, float height, float projectionWidth = 0.0f,
                     float projectionHeight = 0.0f, float offsetX = 0.0f, float offsetY = 0.0f);

    HDC GetDC() const { return m_dc; }
    HBITMAP GetBitmap() const { return m_dib; }
    void* GetBits() const { return m_bits; }
    int GetStride() const { return m_stride; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    const BITMAPINFOHEADER& GetHeader() const { return m_header; }

private:
    HDC m_dc = nullptr;
    BITMAPINFOHEADER m_header = {};
    float m_width = 0.0f;
    float m_height = 0.0f;
    // The bitmap the memory context held before the first DIB went in.
    HGDIOBJ m_original = nullptr;
    HBITMAP m_dib = nullptr;
    void* m_bits = nullptr;
    int m_stride = 0;
};
