#include "graphics/GdiObject.h"

#include <utility>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

void DeleteGdiObject(HGDIOBJ object)
{
    if (object && !DeleteObject(object)) {
        TRACE_VALUE(const void*, object);
        ReportFailure(kFailSystemCall);
    }
}

CDcSelection::CDcSelection(HDC dc, HGDIOBJ object) : m_dc(dc)
{
    if (dc && object)
        m_previous = SelectObject(dc, object);
    if (!m_previous || m_previous == HGDI_ERROR) {
        TRACE_VALUE(const void*, object);
        ReportFailure(kFailSystemCall);
        m_previous = nullptr;
    }
}

CDcSelection::~CDcSelection()
{
    if (m_previous)
        SelectObject(m_dc, m_previous);
}

CDcSelection::CDcSelection(CDcSelection&& other) noexcept
    : m_dc(other.m_dc), m_previous(std::exchange(other.m_previous, nullptr))
{
}

CWindowDc::CWindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}

CWindowDc::CWindowDc(CWindowDc&& other) noexcept
    : m_window(std::exchange(other.m_window, nullptr)), m_dc(std::exchange(other.m_dc, nullptr))
{
}

CWindowDc& CWindowDc::operator=(CWindowDc&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_window = std::exchange(other.m_window, nullptr);
        m_dc = std::exchange(other.m_dc, nullptr);
    }
    return *this;
}

void CWindowDc::Reset()
{
    if (m_dc)
        ReleaseDC(m_window, m_dc);
    m_dc = nullptr;
    m_window = nullptr;
}

CMemoryDc::CMemoryDc(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith))
{
    if (!m_dc) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

CMemoryDc::~CMemoryDc()
{
    if (m_dc && !DeleteDC(m_dc))
        ReportFailure(kFailSystemCall);
}
