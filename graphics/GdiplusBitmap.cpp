#include "graphics/GdiplusBitmap.h"

#include <windows.h>

#include <gdiplus.h>

CGdiplusBitmap::~CGdiplusBitmap()
{
    Reset();
}

CGdiplusBitmap::CGdiplusBitmap(CGdiplusBitmap&& other) noexcept
    : m_bitmap(other.m_bitmap), m_lastStatus(other.m_lastStatus)
{
    other.m_bitmap = nullptr;
    other.m_lastStatus = 0;
}

CGdiplusBitmap& CGdiplusBitmap::operator=(CGdiplusBitmap&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_bitmap = other.m_bitmap;
        m_lastStatus = other.m_lastStatus;
        other.m_bitmap = nullptr;
        other.m_lastStatus = 0;
    }
    return *this;
}

Gdiplus::GpImage* CGdiplusBitmap::GetImage() const
{
    return m_bitmap;
}

int CGdiplusBitmap::SetStatus(int status)
{
    if (status != Gdiplus::Ok)
        m_lastStatus = status;
    return status;
}

void CGdiplusBitmap::Reset()
{
    if (m_bitmap)
        Gdiplus::DllExports::GdipDisposeImage(m_bitmap);
    m_bitmap = nullptr;
    m_lastStatus = 0;
}
