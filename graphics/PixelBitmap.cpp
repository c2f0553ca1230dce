#include "graphics/PixelBitmap.h"

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstring>

#include "foundation/ColorTable.h"
#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiplusSession.h"
#include "graphics/PixelRange.h"

namespace
{

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

// A whole, non-negative side from a float size; -1 when it is not one we
// take (negative, not a number or beyond the largest side).
int ToSide(float size)
{
    if (!(size >= 0.0f) || size > float(CPixelBitmap::kMaxSide))
        return -1;
    return int(size);
}

bool IsOpaque(const std::vector<uint32_t>& pixels)
{
    for (uint32_t p : pixels) {
        if (GetAlpha(p) != 255)
            return false;
    }
    return true;
}

// A new GDI+ bitmap; none after a report when GDI+ refuses.
CGdiplusBitmap CreateGdiplusBitmap(int width, int height, Gdiplus::PixelFormat format)
{
    UseGdiplus();
    Gdiplus::GpBitmap* created = nullptr;
    const Gdiplus::Status status =
        Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &created);
    if (status != Gdiplus::Ok || !created) {
        TRACE_VALUE(int32_t, status);
        ReportFailure(kFailSystemCall);
        return CGdiplusBitmap();
    }
    return CGdiplusBitmap(created);
}

// Locks the whole bitmap for writing in the format; false after a report.
bool LockForWriting(CGdiplusBitmap& bitmap, int width, int height, Gdiplus::PixelFormat format,
                    Gdiplus::BitmapData& data)
{
    Gdiplus::Rect rect(0, 0, width, height);
    if (bitmap.SetStatus(Gdiplus::DllExports::GdipBitmapLockBits(bitmap.Get(), &rect, Gdiplus::ImageLockModeWrite,
                                                                  format, &data)) != Gdiplus::Ok ||
        !data.Scan0) {
        TRACE_VALUE(int32_t, bitmap.GetLastStatus());
        ReportFailure(kFailSystemCall);
        return false;
    }
    return true;
}

}  // namespace

bool CPixelBitmap::IsSizeAllowed(long long width, long long height)
{
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

CPixelBitmap::CPixelBitmap(float width, float height)
{
    Resize(width, height);
}

CPixelBitmap::CPixelBitmap(Gdiplus::GpImage* image)
{
    TRACE_POINT();
    if (!image) {
        ReportFailure();
        return;
    }
    UINT width = 0;
    UINT height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &width);
    Gdiplus::DllExports::GdipGetImageHeight(image, &height);
    if (!IsSizeAllowed(width, height)) {
        TRACE_VALUE(int32_t, int32_t(width));
        TRACE_VALUE(int32_t, int32_t(height));
        ReportFailure();
        return;
    }
    Resize(float(width), float(height));
    if (IsEmpty())
        return;

    // Only bitmaps can be locked; every picture the codecs decode is one.
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    Gdiplus::Rect rect(0, 0, m_width, m_height);
    Gdiplus::BitmapData data = {};
    const Gdiplus::Status status = Gdiplus::DllExports::GdipBitmapLockBits(
        bitmap, &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data);
    if (status != Gdiplus::Ok || !data.Scan0) {
        TRACE_VALUE(int32_t, status);
        ReportFailure(kFailSystemCall);
        return;
    }
    // Image row r (from the top) is our row y = r.
    const CPixelRange rows = CPixelRange::Rows(GetWidth(), GetHeight(), true);
    int r = 0;
    for (int start = rows.start; start != rows.end; start += rows.step, ++r) {
        const auto* source = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) +
                                                               ptrdiff_t(r) * data.Stride);
        uint32_t* target = m_pixels.data() + start;
        for (int x = 0; x < m_width; ++x)
            target[x] = SwapRedBlue(source[x]);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
}

uint32_t CPixelBitmap::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        TRACE_VALUE(int32_t, x);
        TRACE_VALUE(int32_t, y);
        ReportFailure();
        return 0;
    }
    return m_pixels[Index(x, y)];
}

void CPixelBitmap::SetPixel(int x, int y, uint32_t color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        TRACE_VALUE(int32_t, x);
        TRACE_VALUE(int32_t, y);
        ReportFailure();
        return;
    }
    m_pixels[Index(x, y)] = color;
}

void CPixelBitmap::Resize(float width, float height)
{
    int w = ToSide(width);
    int h = ToSide(height);
    if (w < 0 || h < 0 || !IsSizeAllowed(w, h)) {
        TRACE_VALUE(float, width);
        TRACE_VALUE(float, height);
        ReportFailure();
        w = 0;
        h = 0;
    }
    if (w == m_width && h == m_height)
        return;
    m_width = w;
    m_height = h;
    m_pixels.resize(size_t(w) * size_t(h), kOpaqueWhite);
}

void CPixelBitmap::CopyRect(const CPixelBitmap& source, int sx, int sy, int dx, int dy, int w, int h)
{
    // The copied rectangle in source coordinates: from (sx, sy), at most
    // w x h when both are given, inside the source, and inside this bitmap
    // once moved by (dx - sx, dy - sy). 64-bit so that no offset overflows.
    const bool limited = w > 0 && h > 0;
    long long left = sx;
    long long top = sy;
    long long right = limited ? (long long)sx + w : (long long)source.m_width;
    long long bottom = limited ? (long long)sy + h : (long long)source.m_height;
    const long long shiftX = (long long)dx - sx;
    const long long shiftY = (long long)dy - sy;
    left = std::max({left, 0LL, -shiftX});
    top = std::max({top, 0LL, -shiftY});
    right = std::min({right, (long long)source.m_width, m_width - shiftX});
    bottom = std::min({bottom, (long long)source.m_height, m_height - shiftY});
    if (right <= left || bottom <= top)
        return;
    const size_t count = size_t(right - left);
    // Within one bitmap, a block moved down is copied from its last row up,
    // so that no row is overwritten before it has been read.
    const bool upwards = &source == this && shiftY > 0;
    for (long long i = 0; i < bottom - top; ++i) {
        const long long y = upwards ? bottom - 1 - i : top + i;
        const uint32_t* from = source.m_pixels.data() + source.Index(int(left), int(y));
        uint32_t* to = m_pixels.data() + Index(int(left + shiftX), int(y + shiftY));
        std::memmove(to, from, count * sizeof(uint32_t));
    }
}

void CPixelBitmap::CompositeOver(uint32_t background)
{
    const CPixelRange all = CPixelRange::AllPixels(GetWidth(), GetHeight());
    for (int i = all.start; i != all.end; i += all.step)
        m_pixels[i] = BlendColorOver(m_pixels[i], background);
}

void CPixelBitmap::TestOpaqueAndWhite(bool* opaque, bool* white) const
{
    bool isOpaque = true;
    bool isWhite = true;
    const bool askOpaque = opaque != nullptr;
    const bool askWhite = white != nullptr;
    const CPixelRange all = CPixelRange::AllPixels(GetWidth(), GetHeight());
    for (int i = all.start; i != all.end; i += all.step) {
        const uint32_t p = m_pixels[i];
        if (GetAlpha(p) != 255)
            isOpaque = false;
        if ((p & 0x00FFFFFF) != 0x00FFFFFF)
            isWhite = false;
        if ((!askOpaque || !isOpaque) && (!askWhite || !isWhite))
            break;
    }
    if (opaque)
        *opaque = isOpaque;
    if (white)
        *white = isWhite;
}

void CPixelBitmap::MakeMipLevel(const CPixelBitmap& source, int factor)
{
    TRACE_POINT();
    const int sw = source.m_width;
    const int sh = source.m_height;
    if (sw <= 0 || sh <= 0) {
        TRACE_VALUE(int32_t, sw);
        TRACE_VALUE(int32_t, sh);
        ReportFailure();
        Resize(0, 0);
        return;
    }
    if (factor < 1) {
        TRACE_VALUE(int32_t, factor);
        ReportFailure();
        factor = 1;
    }
    const int dw = std::max(1, sw / factor);
    const int dh = std::max(1, sh / factor);
    const int fx = sw / dw;
    const int fy = sh / dh;

    // Each destination pixel sums its block: the alpha-weighted colours, the
    // alpha and the number of source pixels (fx * fy, more in the last row or
    // column when the factor does not divide the size).
    struct CSum
    {
        uint32_t red = 0, green = 0, blue = 0, alpha = 0, count = 0;
    };
    std::vector<CSum> sums(size_t(dw) * size_t(dh));
    const CPixelRange all = CPixelRange::AllPixels(source.GetWidth(), source.GetHeight());
    for (int k = all.start; k != all.end; k += all.step) {
        const int row = std::min(k / sw / fy, dh - 1);
        const int column = std::min(k % sw / fx, dw - 1);
        CSum& sum = sums[size_t(row) * dw + column];
        const uint32_t p = source.m_pixels[k];
        const uint32_t a = GetAlpha(p);
        sum.red += GetRed(p) * a / 255;
        sum.green += GetGreen(p) * a / 255;
        sum.blue += GetBlue(p) * a / 255;
        sum.alpha += a;
        ++sum.count;
    }

    // The source may be this bitmap: it is read completely before resizing.
    Resize(float(dw), float(dh));
    for (size_t i = 0; i < sums.size(); ++i) {
        const CSum& sum = sums[i];
        const uint32_t n = sum.count;
        const uint32_t half = n / 2;
        const uint32_t alpha = (sum.alpha + half) / n;
        const uint32_t divisor = alpha == 0 ? 255 : alpha;
        const auto channel = [&](uint32_t total) { return std::min(255u, (total + half) / n * 255 / divisor); };
        m_pixels[i] = MakeRgba(channel(sum.red), channel(sum.green), channel(sum.blue), alpha);
    }
}

CGdiplusBitmap CPixelBitmap::ToGdiplusBitmap(bool withAlpha) const
{
    TRACE_POINT();
    if (IsEmpty()) {
        ReportFailure();
        return CGdiplusBitmap();
    }
    CGdiplusBitmap result =
        CreateGdiplusBitmap(m_width, m_height, withAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB);
    Gdiplus::BitmapData data = {};
    if (result.IsNull() || !LockForWriting(result, m_width, m_height, PixelFormat32bppARGB, data))
        return result;
    const CPixelRange rows = CPixelRange::Rows(GetWidth(), GetHeight(), true);
    int r = 0;
    for (int start = rows.start; start != rows.end; start += rows.step, ++r) {
        auto* target = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + ptrdiff_t(r) * data.Stride);
        const uint32_t* source = m_pixels.data() + start;
        for (int x = 0; x < m_width; ++x)
            target[x] = SwapRedBlue(source[x]);
    }
    result.SetStatus(Gdiplus::DllExports::GdipBitmapUnlockBits(result.Get(), &data));
    return result;
}

CGdiplusBitmap CPixelBitmap::ToIndexedGdiplusBitmap(const CColorTable& palette, bool alwaysEightBit) const
{
    TRACE_POINT();
    const int count = palette.GetCount();
    if (count > 256 || count < 1) {
        TRACE_VALUE(int32_t, count);
        ReportFailure();
        return ToGdiplusBitmap(!IsOpaque(m_pixels));
    }
    if (IsEmpty()) {
        ReportFailure();
        return CGdiplusBitmap();
    }
    const bool fourBit = count <= 16 && !alwaysEightBit;
    const Gdiplus::PixelFormat format = fourBit ? PixelFormat4bppIndexed : PixelFormat8bppIndexed;
    CGdiplusBitmap result = CreateGdiplusBitmap(m_width, m_height, format);
    if (result.IsNull())
        return result;

    // ColorPalette ends in a one-entry array that really holds Count entries.
    std::vector<uint8_t> paletteBytes(sizeof(Gdiplus::ColorPalette) + (count - 1) * sizeof(Gdiplus::ARGB));
    auto* gdiPalette = reinterpret_cast<Gdiplus::ColorPalette*>(paletteBytes.data());
    gdiPalette->Count = UINT(count);
    gdiPalette->Flags = 0;
    for (int i = 0; i < count; ++i) {
        const uint32_t color = palette.GetColor(i);
        gdiPalette->Entries[i] = SwapRedBlue(color);
        if (GetAlpha(color) != 255)
            gdiPalette->Flags |= Gdiplus::PaletteFlagsHasAlpha;
    }
    if (result.SetStatus(Gdiplus::DllExports::GdipSetImagePalette(result.Get(), gdiPalette)) != Gdiplus::Ok) {
        TRACE_VALUE(int32_t, result.GetLastStatus());
        ReportFailure(kFailSystemCall);
    }

    Gdiplus::BitmapData data = {};
    if (!LockForWriting(result, m_width, m_height, format, data))
        return result;
    const CPixelRange rows = CPixelRange::Rows(GetWidth(), GetHeight(), true);
    int r = 0;
    for (int start = rows.start; start != rows.end; start += rows.step, ++r) {
        uint8_t* target = static_cast<uint8_t*>(data.Scan0) + ptrdiff_t(r) * data.Stride;
        const uint32_t* source = m_pixels.data() + start;
        if (fourBit) {
            // Two pixels a byte, the left one in the high nibble.
            std::memset(target, 0, size_t(m_width + 1) / 2);
            for (int x = 0; x < m_width; ++x) {
                const uint8_t index = uint8_t(palette.FindNearest(source[x]));
                target[x / 2] |= (x % 2 == 0) ? uint8_t(index << 4) : index;
            }
        } else {
            for (int x = 0; x < m_width; ++x)
                target[x] = uint8_t(palette.FindNearest(source[x]));
        }
    }
    result.SetStatus(Gdiplus::DllExports::GdipBitmapUnlockBits(result.Get(), &data));
    return result;
}

bool CPixelBitmap::CopyToClipboard() const
{
    TRACE_POINT();
    if (IsEmpty()) {
        ReportFailure();
        return false;
    }
    if (!OpenClipboard(nullptr)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return false;
    }
    HBITMAP deviceBitmap = nullptr;
    {
        CGdiBitmap dib;
        dib.SetPixels(*this);
        deviceBitmap = dib.ToDeviceBitmap();
    }
    bool done = false;
    if (deviceBitmap) {
        EmptyClipboard();
        if (SetClipboardData(CF_BITMAP, deviceBitmap)) {
            done = true;
        } else {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
            // Only a bitmap the clipboard took belongs to it.
            DeleteObject(deviceBitmap);
        }
    }
    if (!CloseClipboard()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    return done;
}
