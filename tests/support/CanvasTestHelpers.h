#pragma once

#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Drawable.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "graphics/GraphicsContext.h"
#include "graphics/PixelBitmap.h"

// A drawable that runs a function: scenes for tests.
class CFunctionDrawable : public CDrawable
{
public:
    explicit CFunctionDrawable(std::function<void(CGraphicsContext&)> draw) : m_draw(std::move(draw)) {}
    void Draw(CGraphicsContext& context) override { m_draw(context); }

private:
    std::function<void(CGraphicsContext&)> m_draw;
};

// A white DIB of the given size with a GDI canvas drawing into it.
class CDibCanvas
{
public:
    CDibCanvas(int width, int height)
    {
        dib.Create(float(width), float(height));
        Clear(RGB(255, 255, 255));
        canvas.SetDeviceContext(dib.GetDC());
    }

    void Clear(COLORREF color)
    {
        RECT all = {0, 0, int(dib.GetWidth()), int(dib.GetHeight())};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dib.GetDC(), &all, brush);
        DeleteObject(brush);
        GdiFlush();
    }

    // The pixel at (x, y) from the top in our colour layout, opaque.
    uint32_t Pixel(int x, int y) const
    {
        GdiFlush();
        const auto* row = static_cast<const uint8_t*>(dib.GetBits()) + y * dib.GetStride();
        return SwapRedBlue(reinterpret_cast<const uint32_t*>(row)[x]) | 0xFF000000;
    }

    // How many pixels of the rectangle have exactly the colour.
    int CountColor(int left, int top, int right, int bottom, uint32_t color) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += Pixel(x, y) == color ? 1 : 0;
        return n;
    }

    // How many pixels differ from the other canvas's, over this one's size.
    int CountDiffering(const CDibCanvas& other) const
    {
        int n = 0;
        for (int y = 0; y < int(dib.GetHeight()); ++y)
            for (int x = 0; x < int(dib.GetWidth()); ++x)
                n += Pixel(x, y) != other.Pixel(x, y) ? 1 : 0;
        return n;
    }

    CGdiBitmap dib;
    CGdiGraphics canvas;
};

// Every record of an enhanced metafile drawn by a fresh GDI canvas: the
// records are the GDI calls the canvas made, in order.
struct CMetafileRecords
{
    std::vector<std::string> records;

    template <class F>
    explicit CMetafileRecords(F draw)
    {
        HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        {
            CGdiGraphics canvas;
            canvas.SetDeviceContext(dc);
            draw(canvas);
        }
        HENHMETAFILE metafile = CloseEnhMetaFile(dc);
        const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
        std::string bytes(size, '\0');
        GetEnhMetaFileBits(metafile, size, reinterpret_cast<BYTE*>(&bytes[0]));
        DeleteEnhMetaFile(metafile);
        for (size_t at = 0; at + 8 <= bytes.size();) {
            EMR header;
            std::memcpy(&header, bytes.data() + at, sizeof header);
            if (header.nSize < 8 || at + header.nSize > bytes.size())
                break;
            records.push_back(bytes.substr(at, header.nSize));
            at += header.nSize;
        }
    }

    static DWORD Type(const std::string& record)
    {
        EMR header;
        std::memcpy(&header, record.data(), sizeof header);
        return header.iType;
    }

    std::vector<std::string> OfType(DWORD type) const
    {
        std::vector<std::string> found;
        for (const std::string& record : records)
            if (Type(record) == type)
                found.push_back(record);
        return found;
    }

    // The pens the canvas made, in order. Windows records ExtCreatePen as
    // EMR_EXTCREATEPEN; Wine records a solid geometric pen as EMR_CREATEPEN
    // with the same style, width and colour.
    struct CPen
    {
        DWORD style;
        DWORD width;
        COLORREF color;
    };
    std::vector<CPen> Pens() const
    {
        std::vector<CPen> pens;
        for (const std::string& record : records) {
            if (Type(record) == EMR_EXTCREATEPEN) {
                const auto pen = As<EMREXTCREATEPEN>(record);
                pens.push_back({pen.elp.elpPenStyle, pen.elp.elpWidth, pen.elp.elpColor});
            } else if (Type(record) == EMR_CREATEPEN) {
                const auto pen = As<EMRCREATEPEN>(record);
                pens.push_back({pen.lopn.lopnStyle, DWORD(pen.lopn.lopnWidth.x), pen.lopn.lopnColor});
            }
        }
        return pens;
    }

    template <class T>
    static T As(const std::string& record)
    {
        T value;
        std::memset(&value, 0, sizeof value);
        std::memcpy(&value, record.data(), std::min(sizeof value, record.size()));
        return value;
    }
};
