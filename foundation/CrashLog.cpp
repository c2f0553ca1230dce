#include "foundation/CrashLog.h"

#include <cstdlib>

#include "render3d/GraphicsSystem.h"

// Work in progress: the dump, the report message, the watchdog and the fault
// filter are filled in by the crash-log work.

CCrashLog& GetCrashLog()
{
    static CCrashLog crashLog;
    return crashLog;
}

CCrashLog::CCrashLog()
{
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_uiThread, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    m_reserve = std::malloc(100000);
}

CCrashLog::~CCrashLog()
{
    if (m_uiThread)
        CloseHandle(m_uiThread);
}

void CCrashLog::ReportFailure(int code)
{
    ++m_reportCount;
}

CGraphicsSystem* CCrashLog::SetFailureHandler(CGraphicsSystem* handler)
{
    CGraphicsSystem* previous = m_failureHandler;
    m_failureHandler = handler;
    return previous;
}

void CCrashLog::BeginWatchedSection()
{
    if (!m_sections.back())
        m_hangLimit = m_ticks + kHangTicks;
    m_sections.push_back(true);
}

void CCrashLog::EndWatchedSection()
{
    m_sections.pop_back();
    if (m_sections.empty() || !m_sections.back())
        m_hangLimit = kDisarmed;
}

void CCrashLog::BeginUnwatchedSection()
{
    m_hangLimit = kDisarmed;
    m_sections.push_back(false);
}

void CCrashLog::EndUnwatchedSection()
{
    m_sections.pop_back();
    if (!m_sections.empty() && m_sections.back())
        m_hangLimit = m_ticks + kHangTicks;
}

void CCrashLog::StartWatchdog() {}

void CCrashLog::StopWatchdog() { m_watchdogRunning = false; }

void CCrashLog::ReleaseReserve()
{
    TRACE_POINT();
    std::free(m_reserve);
    m_reserve = nullptr;
}

std::string CCrashLog::GetLogPath() const { return fileName; }

void CCrashLog::WriteDump(bool) {}

void CCrashLog::ShowReportMessage(int) {}

DWORD WINAPI CCrashLog::WatchdogThread(void*) { return 0; }

void CCrashLog::RunWatchdog() {}

LONG FilterDriverException(DWORD, EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }
