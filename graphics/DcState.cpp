#include "graphics/DcState.h"

void CDcState::Attach(HDC dc)
{
    m_dc = dc;
    const DWORD type = dc ? GetObjectType(dc) : 0;
    m_metafile = type == OBJ_METADC || type == OBJ_ENHMETADC;
    m_display = dc && !m_metafile && GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY;
    Forget();
}

void CDcState::Forget()
{
    m_pen = m_brush = m_font = nullptr;
    m_rop2 = m_fillMode = m_backgroundMode = 0;
    m_backgroundColor = m_textColor = CLR_INVALID;
    m_textAlign = GDI_ERROR;
}

template <class T>
bool CDcState::Changes(T& value, T wanted)
{
    if (value == wanted && !m_metafile)
        return false;
    value = wanted;
    return true;
}

void CDcState::SelectPen(HGDIOBJ pen)
{
    if (Changes(m_pen, pen))
        SelectObject(m_dc, pen);
}

void CDcState::SelectBrush(HGDIOBJ brush)
{
    if (Changes(m_brush, brush))
        SelectObject(m_dc, brush);
}

void CDcState::SelectFont(HGDIOBJ font)
{
    if (Changes(m_font, font))
        SelectObject(m_dc, font);
}

void CDcState::SetRasterOperation(int rop2)
{
    if (Changes(m_rop2, rop2))
        SetROP2(m_dc, rop2);
}

void CDcState::SetFillMode(int mode)
{
    if (Changes(m_fillMode, mode))
        SetPolyFillMode(m_dc, mode);
}

void CDcState::SetBackgroundMode(int mode)
{
    if (Changes(m_backgroundMode, mode))
        SetBkMode(m_dc, mode);
}

void CDcState::SetBackgroundColor(COLORREF color)
{
    if (Changes(m_backgroundColor, color))
        SetBkColor(m_dc, color);
}

void CDcState::SetTextColor(COLORREF color)
{
    if (Changes(m_textColor, color))
        ::SetTextColor(m_dc, color);
}

void CDcState::SetTextAlign(UINT align)
{
    if (Changes(m_textAlign, align))
        ::SetTextAlign(m_dc, align);
}

HGDIOBJ CDcState::GetStock(int id)
{
    // Stock objects never change: each is asked for once.
    static HGDIOBJ objects[STOCK_LAST + 1] = {};
    if (id < 0 || id > STOCK_LAST)
        return GetStockObject(id);
    if (!objects[id])
        objects[id] = GetStockObject(id);
    return objects[id];
}
