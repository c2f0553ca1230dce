#pragma once

#include <windows.h>

// What a painter last set in a device context: the pen, brush and font it
// selected, the raster operation, fill and background modes, the colours and
// the text alignment. Each setter calls GDI only when the value differs from
// the one it set before, so a painter may ask for its state before every
// path or text at no cost for what did not change. A metafile gets every
// call: its records are the picture itself, and stay as they always were.
//
// The values are only this painter's own: Forget them whenever anybody else
// may have drawn into the context since (a new frame, another context).
class CDcState
{
public:
    // Starts on the context (or none), asking its kind once.
    void Attach(HDC dc);
    void Forget();

    HDC GetDc() const { return m_dc; }
    bool IsMetafile() const { return m_metafile; }
    // A window's or a memory bitmap's context: neither a metafile nor a
    // printer.
    bool IsDisplay() const { return m_display; }
    HGDIOBJ GetPen() const { return m_pen; }
    HGDIOBJ GetBrush() const { return m_brush; }
    HGDIOBJ GetFont() const { return m_font; }

    void SelectPen(HGDIOBJ pen);
    void SelectBrush(HGDIOBJ brush);
    void SelectFont(HGDIOBJ font);
    void SetRasterOperation(int rop2);
    void SetFillMode(int mode);
    void SetBackgroundMode(int mode);
    void SetBackgroundColor(COLORREF color);
    void SetTextColor(COLORREF color);
    void SetTextAlign(UINT align);

    // The stock object, looked up once.
    static HGDIOBJ GetStock(int id);

private:
    // Whether the call that sets value to wanted must be made; the value is
    // then taken as set.
    template <class T>
    bool Changes(T& value, T wanted);

    HDC m_dc = nullptr;
    bool m_metafile = false;
    bool m_display = false;
    HGDIOBJ m_pen = nullptr;
    HGDIOBJ m_brush = nullptr;
    HGDIOBJ m_font = nullptr;
    int m_rop2 = 0;
    int m_fillMode = 0;
    int m_backgroundMode = 0;
    COLORREF m_backgroundColor = CLR_INVALID;
    COLORREF m_textColor = CLR_INVALID;
    UINT m_textAlign = GDI_ERROR;
};
