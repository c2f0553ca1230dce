#include "graphics/GdiplusSession.h"

#include <windows.h>

#include <gdiplus.h>

#include "foundation/CrashLog.h"

CGdiplusSession::CGdiplusSession()
{
    TRACE_POINT();
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&token, &input, nullptr);
    if (status != Gdiplus::Ok) {
        TRACE_VALUE(int32_t, status);
        ReportFailure(kFailSystemCall);
        return;
    }
    m_token = token;
    m_running = true;
}

CGdiplusSession::~CGdiplusSession()
{
    if (m_running)
        Gdiplus::GdiplusShutdown(m_token);
}
