#include "graphics/GdiBitmap.h"

#include <cstdlib>
#include <cstring>

#include "foundation/CrashLog.h"
#include "graphics/GdiGraphics.h"
#include "graphics/GdiObject.h"
#include "graphics/PixelBitmap.h"
#include "graphics/PixelRange.h"

CGdiBitmap::CGdiBitmap()
{
    m_dc = CreateCompatibleDC(nullptr);
    if (!m_dc) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biPlanes = 1;
    m_header.biBitCount = 32;
    m_header.biCompression = BI_RGB;
}

CGdiBitmap::~CGdiBitmap()
{
    if (m_dib) {
        if (!SelectObject(m_dc, m_original))
            ReportFailure(kFailSystemCall);
        if (!DeleteObject(m_dib))
            ReportFailure(kFailSystemCall);
    }
    if (m_dc && !DeleteDC(m_dc))
        ReportFailure(kFailSystemCall);
}

bool CGdiBitmap::Create(float width, float height)
{
    TRACE_POINT();
    if (!(width >= 1.0f) || !(height >= 1.0f) || !CPixelBitmap::IsSizeAllowed((long long)width, (long long)height)) {
        TRACE_VALUE(float, width);
        TRACE_VALUE(float, height);
        ReportFailure();
        return false;
    }
    const int w = int(width);
    const int h = int(height);
    if (m_dib && w == int(m_width) && h == int(m_height))
        return true;
    if (!m_dc) {
        ReportFailure();
        return false;
    }

    m_header.biWidth = w;
    m_header.biHeight = -h;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(m_dc, reinterpret_cast<const BITMAPINFO*>(&m_header), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    if (!dib || !bits) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        if (dib)
            DeleteObject(dib);
        // The header describes the DIB that is still there.
        m_header.biWidth = int(m_width);
        m_header.biHeight = -int(m_height);
        return false;
    }
    HGDIOBJ previous = SelectObject(m_dc, dib);
    if (!previous) {
        ReportFailure(kFailSystemCall);
        DeleteObject(dib);
        m_header.biWidth = int(m_width);
        m_header.biHeight = -int(m_height);
        return false;
    }
    if (m_dib)
        DeleteObject(m_dib);
    else
        m_original = previous;
    m_dib = dib;
    m_bits = bits;
    m_width = float(w);
    m_height = float(h);
    m_stride = ((w * 32 + 31) / 32) * 4;
    return true;
}

void CGdiBitmap::SetPixels(const CPixelBitmap& bitmap)
{
    TRACE_POINT();
    if (!Create(bitmap.GetWidth(), bitmap.GetHeight()))
        return;
    // Our pixels are red, green, blue, alpha in memory; the DIB's blue, green,
    // red and a zero byte. Pixel-bitmap row y from the top is DIB row y.
    GdiFlush();
    const int w = bitmap.GetPixelWidth();
    const std::vector<uint32_t>& pixels = bitmap.GetPixels();
    const CPixelRange rows = CPixelRange::Rows(bitmap.GetWidth(), bitmap.GetHeight(), true);
    int y = 0;
    for (int start = rows.start; start != rows.end; start += rows.step, ++y) {
        auto* target = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(m_bits) + ptrdiff_t(y) * m_stride);
        for (int x = 0; x < w; ++x)
            target[x] = SwapRedBlue(pixels[start + x]) & 0x00FFFFFF;
    }
}

bool CGdiBitmap::GetPixels(CPixelBitmap& bitmap) const
{
    TRACE_POINT();
    if (!m_dib) {
        ReportFailure();
        return false;
    }
    GdiFlush();
    bitmap.Resize(m_width, m_height);
    const int w = bitmap.GetPixelWidth();
    std::vector<uint32_t>& pixels = bitmap.GetPixels();
    const CPixelRange rows = CPixelRange::Rows(bitmap.GetWidth(), bitmap.GetHeight(), true);
    int y = 0;
    for (int start = rows.start; start != rows.end; start += rows.step, ++y) {
        const auto* source =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(m_bits) + ptrdiff_t(y) * m_stride);
        for (int x = 0; x < w; ++x)
            pixels[start + x] = SwapRedBlue(source[x]) | 0xFF000000;
    }
    return true;
}

namespace {

// StretchDIBits of the whole picture the header describes into the
// rectangle; false after a report when there is nothing to draw from or into
// or GDI refuses.
bool StretchBitsTo(HDC dc, const RECT& rect, bool hasPixels, const void* bits, const BITMAPINFO* info)
{
    if (!hasPixels || !dc || rect.right <= rect.left || rect.bottom <= rect.top) {
        TRACE_VALUE(int32_t, int32_t(rect.right - rect.left));
        TRACE_VALUE(int32_t, int32_t(rect.bottom - rect.top));
        ReportFailure();
        return false;
    }
    GdiFlush();
    const int lines = StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                                    info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight), bits, info,
                                    DIB_RGB_COLORS, SRCCOPY);
    if (lines == 0 || lines == int(GDI_ERROR)) {
        TRACE_VALUE(int32_t, lines);
        ReportFailure(kFailSystemCall);
        return false;
    }
    return true;
}

}  // namespace

bool CGdiBitmap::StretchTo(HDC dc, const RECT& rect) const
{
    TRACE_POINT();
    return StretchBitsTo(dc, rect, m_dib && m_width > 0.0f && m_height > 0.0f, m_bits,
                         reinterpret_cast<const BITMAPINFO*>(&m_header));
}

bool CGdiBitmap::StretchPixelsTo(const CPixelBitmap& bitmap, HDC dc, const RECT& rect)
{
    TRACE_POINT();
    // Our pixels are red, green, blue, alpha in memory, the bottom row
    // first: a bottom-up DIB whose masks name the bytes. The alpha byte is
    // outside every mask, so it is dropped as SetPixels drops it.
    struct
    {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bitmap.GetPixelWidth();
    info.header.biHeight = bitmap.GetPixelHeight();
    info.header.biPlanes = 1;
    info.header.biBitCount = 32;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0x000000FF;
    info.masks[1] = 0x0000FF00;
    info.masks[2] = 0x00FF0000;
    return StretchBitsTo(dc, rect, !bitmap.IsEmpty(), bitmap.GetPixels().data(),
                         reinterpret_cast<const BITMAPINFO*>(&info));
}

HBITMAP CGdiBitmap::ToDeviceBitmap() const
{
    TRACE_POINT();
    if (!m_dib) {
        ReportFailure();
        return nullptr;
    }
    const int w = int(m_width);
    const int h = int(m_height);
    CGdiObject<HBITMAP> copy;
    {
        CWindowDc screen(nullptr);
        if (!screen.Get()) {
            ReportFailure(kFailSystemCall);
            return nullptr;
        }
        copy.Reset(CreateCompatibleBitmap(screen.Get(), w, h));
    }
    if (!copy) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    // The owners report a context or selection that GDI refuses.
    CMemoryDc target(m_dc);
    if (!target.Get())
        return nullptr;
    CDcSelection selection(target.Get(), copy.Get());
    if (!selection.IsSelected())
        return nullptr;
    GdiFlush();
    if (!BitBlt(target.Get(), 0, 0, w, h, m_dc, 0, 0, SRCCOPY)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    return copy.Release();
}

bool CGdiBitmap::RenderScene(CScene& scene, float width, float height, float projectionWidth,
                             float projectionHeight, float offsetX, float offsetY)
{
    TRACE_POINT();
    if (!(width >= 1.0f) || !(height >= 1.0f))
        return false;
    if (!Create(width, height))
        return false;
    CGdiGraphics canvas;
    canvas.SetDeviceContext(m_dc);
    canvas.SetScene(&scene);
    canvas.SetViewport(width, height, projectionWidth, projectionHeight, offsetX, offsetY);
    canvas.RenderScene();
    return true;
}
