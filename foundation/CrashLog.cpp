#include "foundation/CrashLog.h"

#include <shlobj.h>
#include <share.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>

#include "foundation/FailureHandler.h"
#include "foundation/NoticeSink.h"
#include "foundation/Strings.h"
#include "foundation/SystemFunctions.h"

namespace {

// Process-wide: only the first report of a run acts, and the log file is
// opened at most once.
std::atomic<bool> g_notYetReported{true};
std::atomic<bool> g_logNotYetOpened{true};

// The failure handler of a thread other than the user-interface thread.
thread_local CFailureHandler* t_failureHandler = nullptr;

// A value point may have changed the stream's format state; every record
// starts from the state of a fresh stream.
void ResetFormat(std::ostream& out)
{
    out.flags(std::ios_base::dec | std::ios_base::skipws);
    out.precision(6);
    out.fill(' ');
    out.width(0);
}

std::string ValueText(const CTracePoint& point)
{
    std::ostringstream text;
    point.WriteValue(text);
    return text.str();
}

std::string PlaceText(const CTracePoint& point) { return std::string(point.fileCode) + ":" + std::to_string(point.line); }

}  // namespace

CCrashLog& GetCrashLog()
{
    static CCrashLog crashLog;
    return crashLog;
}

CCrashLog::CCrashLog() : m_uiThreadId(GetCurrentThreadId())
{
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_uiThread, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    m_reserve = std::malloc(100000);
}

CCrashLog::~CCrashLog()
{
    m_watchdogRunning = false;
    bool watchdogEnded = true;
    if (m_watchdogThread) {
        SetEvent(m_stopEvent);
        watchdogEnded = WaitForSingleObject(m_watchdogThread, 2000) == WAIT_OBJECT_0;
        CloseHandle(m_watchdogThread);
    }
    // A watchdog still busy with a report keeps its event.
    if (m_stopEvent && watchdogEnded)
        CloseHandle(m_stopEvent);
    if (m_uiThread)
        CloseHandle(m_uiThread);
}

void CCrashLog::AddTracePoint(CTracePoint* point)
{
    // The link is in place before the point becomes visible, so the list can
    // be walked at any moment, also while a thread is held in here.
    CTracePoint* newest = m_newestPoint.load();
    do
        point->m_older = newest;
    while (!m_newestPoint.compare_exchange_weak(newest, point));
    ++m_pointCount;
}

void CCrashLog::ReportFailure(int code)
{
    const DWORD lastError = GetLastError();
    ++m_reportCount;
    if (!g_notYetReported.exchange(false)) {
        SetLastError(lastError);
        return;
    }
    if (code == kFailCheck)
        TRACE_VALUE(int32_t, int32_t(lastError));

    std::vector<CRecord> records;
    uint32_t now;
    if (code == kFailHang && m_hangSnapshotTaken) {
        records.assign(m_hangRecords.begin(), m_hangRecords.begin() + m_hangRecordCount);
        now = m_hangSequence;
    } else {
        records = CollectRecords();
        now = g_traceSequence;
    }
    SortRecords(records, now);
    WriteDump(records, code == kFailHang, now);
    if (code != kFailGraphics && code != kFailHang)
        ShowReportMessage(MakeReportText(code, records));
    SetLastError(lastError);
}

std::vector<CCrashLog::CRecord> CCrashLog::CollectRecords() const
{
    std::vector<CRecord> records;
    records.reserve(size_t(m_pointCount.load()));
    for (const CTracePoint* point = m_newestPoint.load(); point; point = point->m_older)
        records.push_back({point, point->sequence});
    return records;
}

void CCrashLog::SortRecords(std::vector<CRecord>& records, uint32_t now)
{
    std::sort(records.begin(), records.end(),
              [now](const CRecord& a, const CRecord& b) { return now - a.sequence > now - b.sequence; });
}

void CCrashLog::WriteRecords(std::ostream& out, const std::vector<CRecord>& records, bool withHangMarker,
                             uint32_t tickSequence, uint32_t now)
{
    uint32_t previous = 0;
    bool markerWritten = !withHangMarker;
    for (const CRecord& record : records) {
        ResetFormat(out);
        const uint32_t gap = record.sequence - previous;
        previous = record.sequence;
        if (gap != 1)
            out << gap - 1 << '\n';
        out << record.point->fileCode << ':' << record.point->line << ' ';
        record.point->WriteValue(out);
        out << '\n';
        // The marker follows the record that was newest when the watchdog
        // last went to sleep: what comes after it happened in the last tick.
        if (!markerWritten && now - record.sequence <= now - tickSequence) {
            out << "t-" << 5 << '\n';
            markerWritten = true;
        }
    }
}

std::string CCrashLog::MakeReportText(int code, const std::vector<CRecord>& records)
{
    if (records.empty())
        return std::string();
    const size_t count = records.size();
    const CTracePoint& last = *records[count - 1].point;
    const CTracePoint& secondLast = *records[count >= 2 ? count - 2 : 0].point;
    const CTracePoint& thirdLast = *records[count >= 3 ? count - 3 : 0].point;
    switch (code) {
    case kFailCheck: return PlaceText(secondLast) + ":" + ValueText(last);
    case kFailSystemCall: return PlaceText(last) + ":" + ValueText(last);
    case kFailOwnFault: return ValueText(secondLast) + ":" + ValueText(last);
    case kFailForeignFault: return ValueText(last) + ":" + PlaceText(thirdLast);
    default: return std::string();
    }
}

std::string CCrashLog::GetLogPath() const
{
    static const auto specialFolderPath =
        GetSystemFunction<decltype(SHGetSpecialFolderPathA)>(L"shell32.dll", "SHGetSpecialFolderPathA");
    char folder[MAX_PATH] = {};
    if (!specialFolderPath || !specialFolderPath(nullptr, folder, CSIDL_COMMON_DOCUMENTS, TRUE))
        folder[0] = 0;
    return std::string(folder) + "\\" + fileName;
}

void CCrashLog::WriteDump(const std::vector<CRecord>& records, bool withHangMarker, uint32_t now)
{
    std::ostringstream text;
    WriteRecords(text, records, withHangMarker, m_tickSequence, now);
    if (!g_logNotYetOpened.exchange(false))
        return;
    // Text mode: the C library turns each line end into CR LF. Others may
    // read the log while it is written.
    FILE* file = _fsopen(GetLogPath().c_str(), "wt", _SH_DENYNO);
    if (!file)
        return;
    const time_t clock = time(nullptr);
    if (const tm* local = localtime(&clock))
        fputs(asctime(local), file);
    fputs("\n", file);
    const std::string content = text.str();
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

void CCrashLog::ShowReportMessage(const std::string& text)
{
    std::wstring wide;
    for (unsigned char byte : text)
        wide += wchar_t(byte);
    ShowNotice(GetStringWithArg(2675, wide), ENoticeStyle::kFailure);
}

CFailureHandler* CCrashLog::SetFailureHandler(CFailureHandler* handler)
{
    if (IsUiThread())
        return m_failureHandler.exchange(handler);
    CFailureHandler* previous = t_failureHandler;
    t_failureHandler = handler;
    return previous;
}

CFailureHandler* CCrashLog::GetFailureHandler() const
{
    return IsUiThread() ? m_failureHandler.load() : t_failureHandler;
}

void CCrashLog::BeginWatchedSection()
{
    if (!IsUiThread())
        return;
    if (!m_sections.back())
        m_hangLimit = m_ticks + kHangTicks;
    m_sections.push_back(true);
}

void CCrashLog::EndWatchedSection()
{
    if (IsUiThread() && PopSection() && !m_sections.back())
        m_hangLimit = kDisarmed;
}

void CCrashLog::BeginUnwatchedSection()
{
    if (!IsUiThread())
        return;
    m_hangLimit = kDisarmed;
    m_sections.push_back(false);
}

void CCrashLog::EndUnwatchedSection()
{
    if (IsUiThread() && PopSection() && m_sections.back())
        m_hangLimit = m_ticks + kHangTicks;
}

size_t CCrashLog::GetSectionDepth() const { return IsUiThread() ? m_sections.size() : 0; }

void CCrashLog::CloseSectionsAbove(size_t depth)
{
    if (!IsUiThread() || depth < 1 || m_sections.size() <= depth)
        return;
    TRACE_VALUE(int32_t, int32_t(m_sections.size()));
    // As the abandoned sections' ends would have done: back in a watched
    // section from an unwatched one the count starts afresh; sections that
    // were all watched leave the outer limit as it is.
    const bool leftUnwatched = std::find(m_sections.begin() + depth, m_sections.end(), false) != m_sections.end();
    m_sections.resize(depth);
    if (!m_sections.back())
        m_hangLimit = kDisarmed;
    else if (leftUnwatched)
        m_hangLimit = m_ticks + kHangTicks;
}

bool CCrashLog::PopSection()
{
    if (m_sections.size() < 2) {
        ReportFailure(kFailCheck);
        return false;
    }
    m_sections.pop_back();
    return true;
}

void CCrashLog::StartWatchdog()
{
    if (m_watchdogRunning || m_hangReported)
        return;
    if (m_watchdogThread) {
        // A stopped watchdog ends at once when its stop event is set.
        WaitForSingleObject(m_watchdogThread, 10000);
        CloseHandle(m_watchdogThread);
        m_watchdogThread = nullptr;
    }
    if (!m_stopEvent)
        m_stopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    else
        ResetEvent(m_stopEvent);
    ReserveHangRecords();
    m_hangLimit = m_sections.back() ? m_ticks + kHangTicks : kDisarmed;
    m_watchdogRunning = true;
    m_watchdogThread = CreateThread(nullptr, 0, WatchdogThread, nullptr, 0, nullptr);
    if (!m_watchdogThread)
        m_watchdogRunning = false;
}

void CCrashLog::StopWatchdog()
{
    m_watchdogRunning = false;
    if (m_stopEvent)
        SetEvent(m_stopEvent);
}

void CCrashLog::ReleaseReserve()
{
    TRACE_POINT();
    std::free(m_reserve);
    m_reserve = nullptr;
}

DWORD WINAPI CCrashLog::WatchdogThread(void*)
{
    GetCrashLog().RunWatchdog();
    return 0;
}

void CCrashLog::RunWatchdog()
{
    m_tickSequence = g_traceSequence;
    WaitForSingleObject(m_stopEvent, m_tickMilliseconds);
    ++m_ticks;
    while (m_watchdogRunning) {
        if (m_ticks >= m_hangLimit) {
            m_hangReported = true;
            ReportHang();
            m_watchdogRunning = false;
            return;
        }
        ReserveHangRecords();
        m_tickSequence = g_traceSequence;
        WaitForSingleObject(m_stopEvent, m_tickMilliseconds);
        ++m_ticks;
    }
}

void CCrashLog::ReserveHangRecords()
{
    // Room for every point there is and as many again that may be built
    // before the next tick; only the watchdog thread touches it.
    const size_t points = size_t(m_pointCount.load());
    if (m_hangRecords.size() < points + 512)
        m_hangRecords.resize(points * 2 + 1024);
}

void CCrashLog::ReportHang()
{
    // SuspendThread only asks for the suspension; GetThreadContext returns
    // once it holds.
    const bool suspended = m_uiThread && SuspendThread(m_uiThread) != DWORD(-1);
    if (suspended) {
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        GetThreadContext(m_uiThread, &context);
    }
    // The held thread may own the heap or a stream lock: copy plain words
    // into the room set aside, nothing more, until it runs again.
    CFailureHandler* handler = m_failureHandler;
    CRecord* room = m_hangRecords.data();
    const size_t capacity = m_hangRecords.size();
    size_t count = 0;
    for (const CTracePoint* point = m_newestPoint.load(); point && count < capacity; point = point->m_older)
        room[count++] = {point, point->sequence};
    m_hangRecordCount = count;
    m_hangSequence = g_traceSequence;
    m_hangSnapshotTaken = true;
    // A graphics system notes its failure while the thread is held, so that
    // the thread makes no further call into the hung library once it runs.
    if (handler)
        handler->ReportFailure(3);
    if (suspended)
        ResumeThread(m_uiThread);

    if (handler)
        handler->CompleteHeldReport();
    else
        ReportFailure(kFailHang);
}

bool IsOwnCodeAddress(const void* address)
{
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    if (!base)
        return false;
    const auto* dosHeader = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* ntHeaders = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dosHeader->e_lfanew);
    const uintptr_t offset = uintptr_t(address) - uintptr_t(base);
    return uintptr_t(address) >= uintptr_t(base) && offset < ntHeaders->OptionalHeader.SizeOfImage;
}

LONG FilterDriverException(DWORD code, EXCEPTION_POINTERS* pointers)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_INVALID_HANDLE:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_INT_DIVIDE_BY_ZERO: break;
    default: return EXCEPTION_CONTINUE_SEARCH;
    }
    const void* address =
        pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionAddress : nullptr;
    TRACE_VALUE(const void*, address);
    TRACE_VALUE(int32_t, int32_t(code));

    CCrashLog& crashLog = GetCrashLog();
    if (IsOwnCodeAddress(address)) {
        crashLog.ReportFailure(kFailOwnFault);
        PostQuitMessage(0);
        return EXCEPTION_EXECUTE_HANDLER;
    }
    CFailureHandler* handler = crashLog.GetFailureHandler();
    if (!handler) {
        crashLog.ReportFailure(kFailForeignFault);
        PostQuitMessage(0);
        return EXCEPTION_EXECUTE_HANDLER;
    }
    // A fault inside a graphics library: that system is marked failed and
    // the program goes on without it.
    handler->ReportFailure(3);
    return EXCEPTION_EXECUTE_HANDLER;
}
