#include "graphics/GdiplusSession.h"

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <mutex>

#include "foundation/CrashLog.h"

namespace {

std::mutex g_runSessionLock;
std::unique_ptr<CGdiplusSession> g_runSession;

}  // namespace

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

void UseGdiplus()
{
    std::lock_guard<std::mutex> lock(g_runSessionLock);
    if (!g_runSession)
        g_runSession.reset(new CGdiplusSession);
}

void StopGdiplus()
{
    std::lock_guard<std::mutex> lock(g_runSessionLock);
    g_runSession.reset();
}
