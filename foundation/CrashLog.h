#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

#include "foundation/TracePoint.h"

class CGraphicsSystem;

// Failure codes of CCrashLog::ReportFailure.
enum EFailureCode
{
    kFailCheck = 0,          // a failed internal check; shows the Windows error
    kFailSystemCall = 1,     // a failed system call; the last trace point holds its result
    kFailGraphics = 2,       // a graphics system's own report; no message
    kFailHang = 3,           // the watchdog; no message
    kFailOwnFault = 4,       // processor fault in the program's own code; quits
    kFailForeignFault = 5,   // fault elsewhere with no failure handler; quits
};

// The one crash log of the process (GetCrashLog). The first failure reported
// in a run writes every trace point, in the order of its last stamp, to the
// log file in the shared Documents folder and, for most codes, tells the
// user; every later report does nothing more.
class CCrashLog
{
public:
    CCrashLog();
    ~CCrashLog();
    CCrashLog(const CCrashLog&) = delete;
    CCrashLog& operator=(const CCrashLog&) = delete;

    void ReportFailure(int code);

    // Receives hang and fault reports while a graphics library call runs.
    CGraphicsSystem* SetFailureHandler(CGraphicsSystem* handler);
    CGraphicsSystem* GetFailureHandler() const { return m_failureHandler; }

    // Strictly paired and nested. The hang limit is armed only while the
    // innermost section is a watched one (window procedures); waits for
    // messages and registry writes run unwatched.
    void BeginWatchedSection();
    void EndWatchedSection();
    void BeginUnwatchedSection();
    void EndUnwatchedSection();

    void StartWatchdog();
    void StopWatchdog();

    // 100000 bytes kept aside from start-up, given back once when a graphics
    // system fails so that reporting still has memory to work with.
    void ReleaseReserve();
    bool HoldsReserve() const { return m_reserve != nullptr; }

    void AddTracePoint(CTracePoint* point) { m_tracePoints.push_back(point); }

    // How many reports were asked for in this run (only the first acts).
    int GetReportCount() const { return m_reportCount; }
    // The full path of the log file: the shared Documents folder and fileName.
    std::string GetLogPath() const;

    // Start-up assigns "Fendrel4CrashLog.txt".
    std::string fileName = "CrashLog.txt";

private:
    friend class CCrashLogTestAccess;

    void WriteDump(bool withHangMarker);
    void ShowReportMessage(int code);
    static DWORD WINAPI WatchdogThread(void* param);
    void RunWatchdog();

    CGraphicsSystem* m_failureHandler = nullptr;
    std::deque<CTracePoint*> m_tracePoints;
    volatile int32_t m_ticks = 0;
    volatile int32_t m_hangLimit = kDisarmed;
    volatile uint32_t m_tickSequence = 0;
    std::deque<bool> m_sections{false};
    volatile bool m_watchdogRunning = false;
    HANDLE m_uiThread = nullptr;
    void* m_reserve = nullptr;
    int m_reportCount = 0;

    static constexpr int32_t kDisarmed = 999999999;
    static constexpr int32_t kHangTicks = 6;
};

CCrashLog& GetCrashLog();

// The failure report used by every check of the program.
inline void ReportFailure(int code = kFailCheck) { GetCrashLog().ReportFailure(code); }

// Filter decision for a guarded block: EXCEPTION_EXECUTE_HANDLER (1) for the
// faults it handles, EXCEPTION_CONTINUE_SEARCH (0) for every other code.
LONG FilterDriverException(DWORD code, EXCEPTION_POINTERS* pointers);

// Section owners for the common case of a whole scope.
class CWatchedSection
{
public:
    CWatchedSection() { GetCrashLog().BeginWatchedSection(); }
    ~CWatchedSection() { GetCrashLog().EndWatchedSection(); }
    CWatchedSection(const CWatchedSection&) = delete;
    CWatchedSection& operator=(const CWatchedSection&) = delete;
};

class CUnwatchedSection
{
public:
    CUnwatchedSection() { GetCrashLog().BeginUnwatchedSection(); }
    ~CUnwatchedSection() { GetCrashLog().EndUnwatchedSection(); }
    CUnwatchedSection(const CUnwatchedSection&) = delete;
    CUnwatchedSection& operator=(const CUnwatchedSection&) = delete;
};
