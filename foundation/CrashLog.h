#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

#include "foundation/TracePoint.h"

class CFailureHandler;

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
// log file in the shared Documents folder and, for codes 0, 1, 4 and 5, tells
// the user; every later report does nothing more.
class CCrashLog
{
public:
    CCrashLog();
    ~CCrashLog();
    CCrashLog(const CCrashLog&) = delete;
    CCrashLog& operator=(const CCrashLog&) = delete;

    // Any thread may report; only the first report of the process acts.
    void ReportFailure(int code);

    // Receives hang and fault reports while a graphics library call runs.
    // Each thread has its own: the watchdog reports to the user-interface
    // thread's, and a fault reaches the handler of the thread it happened
    // on. Returns the calling thread's previous handler, which the caller
    // puts back afterwards.
    CFailureHandler* SetFailureHandler(CFailureHandler* handler);
    CFailureHandler* GetFailureHandler() const;

    // Strictly paired and nested. The hang limit is armed only while the
    // innermost section is a watched one (window procedures); waits for
    // messages and registry writes run unwatched. Only the user-interface
    // thread (the one that built the crash log) keeps sections; on any other
    // thread these calls do nothing.
    void BeginWatchedSection();
    void EndWatchedSection();
    void BeginUnwatchedSection();
    void EndUnwatchedSection();
    // How many sections are open on the user-interface thread (0 on others).
    size_t GetSectionDepth() const;
    // Ends the sections opened above depth whose owners a handled fault
    // abandoned (see GuardedCall.h), and arms the hang limit for the section
    // that is innermost again. Does nothing on other threads.
    void CloseSectionsAbove(size_t depth);

    // The watchdog thread declares a hang on the sixth 5-second tick spent
    // inside a watched section. Start once at start-up, stop at shutdown;
    // after a hang report it does not start again in the same run.
    void StartWatchdog();
    void StopWatchdog();

    // 100000 bytes kept aside from start-up, given back once when a graphics
    // system runs out of memory so that reporting still has memory to use.
    void ReleaseReserve();
    bool HoldsReserve() const { return m_reserve != nullptr; }

    // Called by each trace point as it is built, on any thread.
    void AddTracePoint(CTracePoint* point);

    // Whether the caller runs on the user-interface thread (the one that
    // built the crash log).
    bool IsUiThread() const { return GetCurrentThreadId() == m_uiThreadId; }

    // How many reports were asked for in this run (only the first acts).
    int GetReportCount() const { return m_reportCount; }
    // The full path of the log file: the shared Documents folder and fileName.
    std::string GetLogPath() const;

    // Start-up assigns "Fendrel4CrashLog.txt".
    std::string fileName = "CrashLog.txt";

private:
    friend class CCrashLogTestAccess;

    // One line of the dump: a point and the stamp it had when it was read.
    struct CRecord
    {
        const CTracePoint* point;
        uint32_t sequence;
    };

    std::vector<CRecord> CollectRecords() const;
    // Oldest stamp first, counted back from the counter value now, so that
    // the order holds when the 32-bit counter has wrapped.
    static void SortRecords(std::vector<CRecord>& records, uint32_t now);
    static void WriteRecords(std::ostream& out, const std::vector<CRecord>& records, bool withHangMarker,
                             uint32_t tickSequence, uint32_t now);
    static std::string MakeReportText(int code, const std::vector<CRecord>& records);
    void WriteDump(const std::vector<CRecord>& records, bool withHangMarker, uint32_t now);
    static void ShowReportMessage(const std::string& text);

    static DWORD WINAPI WatchdogThread(void* param);
    void RunWatchdog();
    void ReserveHangRecords();
    void ReportHang();
    // Ends the innermost section; false (reported) when none is open.
    bool PopSection();

    // Shared with the watchdog thread: single words, read and written whole.
    std::atomic<CFailureHandler*> m_failureHandler{nullptr};
    std::atomic<CTracePoint*> m_newestPoint{nullptr};
    std::atomic<int32_t> m_pointCount{0};
    std::atomic<int32_t> m_ticks{0};
    std::atomic<int32_t> m_hangLimit{kDisarmed};
    std::atomic<uint32_t> m_tickSequence{0};
    std::atomic<bool> m_watchdogRunning{false};
    std::atomic<bool> m_hangReported{false};
    std::atomic<int> m_reportCount{0};

    std::deque<bool> m_sections{false};
    DWORD m_tickMilliseconds = 5000;
    HANDLE m_uiThread = nullptr;
    DWORD m_uiThreadId = 0;
    HANDLE m_watchdogThread = nullptr;
    HANDLE m_stopEvent = nullptr;
    void* m_reserve = nullptr;

    // The records as they stood when a hang was declared, copied while the
    // user-interface thread was suspended into room set aside beforehand.
    std::vector<CRecord> m_hangRecords;
    size_t m_hangRecordCount = 0;
    uint32_t m_hangSequence = 0;
    bool m_hangSnapshotTaken = false;

    static constexpr int32_t kDisarmed = 999999999;
    static constexpr int32_t kHangTicks = 6;
};

CCrashLog& GetCrashLog();

// The failure report used by every check of the program.
inline void ReportFailure(int code = kFailCheck) { GetCrashLog().ReportFailure(code); }

// Filter decision for a guarded block (see foundation/GuardedCall.h):
// EXCEPTION_EXECUTE_HANDLER (1) for the faults it handles, after reporting
// them; EXCEPTION_CONTINUE_SEARCH (0) for every other code.
LONG FilterDriverException(DWORD code, EXCEPTION_POINTERS* pointers);

// Whether an address lies inside the program's own executable image.
bool IsOwnCodeAddress(const void* address);

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
