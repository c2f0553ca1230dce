#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

// Reaches the crash log's inner steps, so that the dump and the report text
// can be checked without spending the one report of the process.
class CCrashLogTestAccess
{
public:
    struct CEntry
    {
        const CTracePoint* point;
        uint32_t sequence;
    };

    static std::vector<CCrashLog::CRecord> Records(const std::vector<CEntry>& entries)
    {
        std::vector<CCrashLog::CRecord> records;
        for (const CEntry& entry : entries)
            records.push_back({entry.point, entry.sequence});
        return records;
    }

    // Sorts the records as the report does and writes them.
    static std::string Dump(const std::vector<CEntry>& entries, uint32_t now, bool withHangMarker = false,
                            uint32_t tickSequence = 0)
    {
        std::vector<CCrashLog::CRecord> records = Records(entries);
        CCrashLog::SortRecords(records, now);
        std::ostringstream out;
        CCrashLog::WriteRecords(out, records, withHangMarker, tickSequence, now);
        return out.str();
    }

    static std::string ReportText(int code, const std::vector<CEntry>& entries)
    {
        return CCrashLog::MakeReportText(code, Records(entries));
    }

    static int32_t HangLimit() { return GetCrashLog().m_hangLimit; }
    static int32_t Ticks() { return GetCrashLog().m_ticks; }
    static void SetTicks(int32_t ticks) { GetCrashLog().m_ticks = ticks; }
    static void SetTickMilliseconds(DWORD milliseconds) { GetCrashLog().m_tickMilliseconds = milliseconds; }
    static bool WatchdogRunning() { return GetCrashLog().m_watchdogRunning; }
};

namespace {

using CEntry = CCrashLogTestAccess::CEntry;

const int32_t kDisarmed = 999999999;
std::string ValueText(const CTracePoint& point)
{
    std::ostringstream out;
    point.WriteValue(out);
    return out.str();
}

// The dump's first line is the local time in asctime form, taken between
// the two moments, then an empty line. Returns the rest of the file.
bool SplitTimeHeader(const std::string& file, time_t from, time_t to, std::string* rest)
{
    for (time_t moment = from; moment <= to; ++moment) {
        std::string header = asctime(localtime(&moment));
        header.insert(header.size() - 1, "\r");
        header += "\r\n";
        if (file.compare(0, header.size(), header) == 0) {
            *rest = file.substr(header.size());
            return true;
        }
    }
    return false;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool EveryLineEndIsCrLf(const std::string& text)
{
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        if (at == 0 || text[at - 1] != '\r')
            return false;
    return true;
}

// A pointer is written in two hex digits a byte: the 64-bit program's have
// eight more before the 32-bit program's.
const std::string kHighPointerDigits = sizeof(void*) == 8 ? "00000000" : "";

std::string Line(const char* file, int line, const std::string& value = "")
{
    return std::string(file) + ":" + std::to_string(line) + " " + value + "\r\n";
}

STAMP(StampAnchor, TRACE_POINT())
STAMP(StampInt, TRACE_VALUE(int32_t, int32_t(0xC0000005)))
STAMP(StampPlain, TRACE_POINT())
STAMP(StampFloat, TRACE_VALUE(float, 1.0f / 3.0f))
STAMP(StampTrue, TRACE_VALUE(bool, true))
STAMP(StampFalse, TRACE_VALUE(bool, false))
STAMP(StampPointer, TRACE_VALUE(const void*, reinterpret_cast<const void*>(0x00ABCDEF)))
STAMP(StampNarrow, TRACE_VALUE(std::string, std::string("a\\b\x01\x7F\xFF~ ")))
STAMP(StampWide, TRACE_VALUE(std::wstring, std::wstring(L"x\\\u00E9\u20AC\x1F")))
STAMP(StampLast, TRACE_VALUE(int32_t, 5))
STAMP(StampBeforeHang, TRACE_VALUE(int32_t, 11))
STAMP(StampInWatched, TRACE_VALUE(int32_t, 12))
STAMP(StampLastTickA, TRACE_VALUE(int32_t, 13))
STAMP(StampLastTickB, TRACE_POINT())

void StampLoop(int32_t i) { TRACE_VALUE(int32_t, i); }
const int StampLoopLine = __LINE__ - 1;

}  // namespace

// ---- Values and record lines ------------------------------------------------

TEST(TracePoint, BuiltWithTheCurrentStampWithoutCountingOn)
{
    const uint32_t before = g_traceSequence;
    static CTracePoint point("Made.cpp", 1);
    EXPECT_EQ(before, point.sequence);
    EXPECT_EQ(before, g_traceSequence);
    point.Pass();
    EXPECT_EQ(before + 1, point.sequence);
    EXPECT_EQ(before + 1, g_traceSequence);
}

TEST(TracePoint, ValueTexts)
{
    static CTracePoint plain("V.cpp", 1);
    static CTraceValue<int32_t> integer("V.cpp", 2);
    static CTraceValue<float> real("V.cpp", 3);
    static CTraceValue<bool> flag("V.cpp", 4);
    static CTraceValue<const void*> pointer("V.cpp", 5);
    static CTraceValue<std::string> narrow("V.cpp", 6);
    static CTraceValue<std::wstring> wide("V.cpp", 7);

    EXPECT_EQ("", ValueText(plain));
    integer.Pass(int32_t(0xC0000005));
    EXPECT_EQ("-1073741819", ValueText(integer));
    integer.Pass(2147483647);
    EXPECT_EQ("2147483647", ValueText(integer));
    real.Pass(1.0f / 3.0f);
    EXPECT_EQ("0.333333", ValueText(real));
    real.Pass(2.5f);
    EXPECT_EQ("2.5", ValueText(real));
    real.Pass(1e10f);
    EXPECT_EQ("1e+10", ValueText(real));
    real.Pass(-1234567.0f);
    EXPECT_EQ("-1.23457e+06", ValueText(real));
    flag.Pass(true);
    EXPECT_EQ("T", ValueText(flag));
    flag.Pass(false);
    EXPECT_EQ("F", ValueText(flag));
    pointer.Pass(reinterpret_cast<const void*>(0xABCDEF));
    EXPECT_EQ(kHighPointerDigits + "00ABCDEF", ValueText(pointer));
    pointer.Pass(nullptr);
    EXPECT_EQ(kHighPointerDigits + "00000000", ValueText(pointer));
    pointer.Pass(reinterpret_cast<const void*>(0xFEDCBA98));
    EXPECT_EQ(kHighPointerDigits + "FEDCBA98", ValueText(pointer));
    narrow.Pass(std::string("a\\b\x01\x7F\xFF~ \x1F", 9));
    EXPECT_EQ("a\\x5Cb\\x01\\x7F\\xFF~ \\x1F", ValueText(narrow));
    narrow.Pass(std::string("x\0y", 3));
    EXPECT_EQ("x\\x00y", ValueText(narrow));
    wide.Pass(L"x\\\u00E9\u20AC\x1F~");
    EXPECT_EQ("x\\x005C\\x00E9\\x20AC\\x001F~", ValueText(wide));
}

TEST(CrashLogDump, GapLinesCountTheStampsNoRecordHolds)
{
    static CTracePoint a("A.cpp", 10);
    static CTraceValue<int32_t> b("B.cpp", -3);
    static CTracePoint c("C.cpp", 30);
    b.Pass(7);
    const std::string dump = CCrashLogTestAccess::Dump({{&c, 9}, {&a, 1}, {&b, 3}}, 9);
    EXPECT_EQ("A.cpp:10 \n"
              "1\n"
              "B.cpp:-3 7\n"
              "5\n"
              "C.cpp:30 \n",
              dump);
}

TEST(CrashLogDump, FirstRecordHasAGapLineUnlessItIsStampOne)
{
    static CTracePoint a("A.cpp", 1);
    static CTracePoint b("B.cpp", 2);
    EXPECT_EQ("A.cpp:1 \nB.cpp:2 \n", CCrashLogTestAccess::Dump({{&a, 1}, {&b, 2}}, 2));
    EXPECT_EQ("41\nA.cpp:1 \nB.cpp:2 \n", CCrashLogTestAccess::Dump({{&a, 42}, {&b, 43}}, 50));
    // A point built but never passed keeps the stamp it was built with.
    EXPECT_EQ("4294967295\nA.cpp:1 \nB.cpp:2 \n", CCrashLogTestAccess::Dump({{&a, 0}, {&b, 1}}, 1));
}

TEST(CrashLogDump, OrderHoldsWhenTheCounterWraps)
{
    static CTracePoint a("A.cpp", 1);
    static CTracePoint b("B.cpp", 2);
    static CTracePoint c("C.cpp", 3);
    static CTracePoint d("D.cpp", 4);
    EXPECT_EQ("4294967293\nA.cpp:1 \nB.cpp:2 \nC.cpp:3 \n1\nD.cpp:4 \n",
              CCrashLogTestAccess::Dump({{&d, 2}, {&c, 0}, {&b, 0xFFFFFFFF}, {&a, 0xFFFFFFFE}}, 2));
}

TEST(CrashLogDump, HangMarkerOnceAfterTheFirstRecordAtTheTickStamp)
{
    static CTracePoint a("A.cpp", 1);
    static CTracePoint b("B.cpp", 2);
    static CTracePoint c("C.cpp", 3);
    static CTracePoint d("D.cpp", 4);
    const std::vector<CEntry> entries = {{&a, 1}, {&b, 2}, {&c, 5}, {&d, 6}};
    EXPECT_EQ("A.cpp:1 \nB.cpp:2 \nt-5\n2\nC.cpp:3 \nD.cpp:4 \n",
              CCrashLogTestAccess::Dump(entries, 6, true, 2));
    // The point stamped at the tick was passed again since: the marker
    // follows the first later record.
    EXPECT_EQ("A.cpp:1 \nB.cpp:2 \n2\nC.cpp:3 \nt-5\nD.cpp:4 \n",
              CCrashLogTestAccess::Dump(entries, 6, true, 4));
    EXPECT_EQ("A.cpp:1 \nB.cpp:2 \n2\nC.cpp:3 \nD.cpp:4 \nt-5\n",
              CCrashLogTestAccess::Dump(entries, 6, true, 6));
    EXPECT_EQ("A.cpp:1 \nB.cpp:2 \n2\nC.cpp:3 \nD.cpp:4 \n", CCrashLogTestAccess::Dump(entries, 6, false, 2));
}

TEST(CrashLogDump, ValueFormatIsFreshForEveryRecord)
{
    // A value writer that leaves the stream in hexadecimal with a fill.
    struct CCareless : CTracePoint
    {
        using CTracePoint::CTracePoint;
        void WriteValue(std::ostream& out) const override { out << std::hex << std::setfill('0'); }
    };
    static CCareless careless("Careless.cpp", 12);
    static CTraceValue<int32_t> number("Number.cpp", 255);
    number.Pass(255);
    EXPECT_EQ("Careless.cpp:12 \n"
              "Number.cpp:255 255\n",
              CCrashLogTestAccess::Dump({{&careless, 1}, {&number, 2}}, 2));
}

TEST(CrashLogReport, TextsByCode)
{
    static CTracePoint where("Where.cpp", 77);
    static CTraceValue<int32_t> error("CrashLog.cpp", 5);
    static CTraceValue<const void*> address("CrashLog.cpp", 6);
    static CTraceValue<int32_t> code("CrashLog.cpp", 7);
    error.Pass(1234);
    address.Pass(reinterpret_cast<const void*>(0x401234));
    code.Pass(int32_t(0xC0000005));

    EXPECT_EQ("Where.cpp:77:1234", CCrashLogTestAccess::ReportText(0, {{&where, 1}, {&error, 2}}));
    EXPECT_EQ("CrashLog.cpp:5:1234", CCrashLogTestAccess::ReportText(1, {{&where, 1}, {&error, 2}}));
    EXPECT_EQ(kHighPointerDigits + "00401234:-1073741819", CCrashLogTestAccess::ReportText(4, {{&where, 1}, {&address, 2}, {&code, 3}}));
    EXPECT_EQ("-1073741819:Where.cpp:77",
              CCrashLogTestAccess::ReportText(5, {{&where, 1}, {&address, 2}, {&code, 3}}));
    EXPECT_EQ("", CCrashLogTestAccess::ReportText(2, {{&where, 1}, {&error, 2}}));
    EXPECT_EQ("", CCrashLogTestAccess::ReportText(3, {{&where, 1}, {&error, 2}}));
    // Short lists: the first record stands in for the missing ones.
    EXPECT_EQ("CrashLog.cpp:5:1234", CCrashLogTestAccess::ReportText(0, {{&error, 1}}));
    EXPECT_EQ("-1073741819:CrashLog.cpp:6", CCrashLogTestAccess::ReportText(5, {{&address, 1}, {&code, 2}}));
    EXPECT_EQ("", CCrashLogTestAccess::ReportText(0, {}));
}

// ---- Sections ----------------------------------------------------------------

TEST(CrashLogSections, HangLimitArmedOnlyInsideWatchedSections)
{
    const int32_t ticks = CCrashLogTestAccess::Ticks();
    ASSERT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    CCrashLog& log = GetCrashLog();
    log.BeginWatchedSection();
    EXPECT_EQ(ticks + 6, CCrashLogTestAccess::HangLimit());

    // A nested watched section keeps the limit of the outer one.
    CCrashLogTestAccess::SetTicks(ticks + 2);
    log.BeginWatchedSection();
    EXPECT_EQ(ticks + 6, CCrashLogTestAccess::HangLimit());

    // Waiting disarms it; coming back counts afresh.
    log.BeginUnwatchedSection();
    EXPECT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    CCrashLogTestAccess::SetTicks(ticks + 3);
    log.BeginWatchedSection();
    EXPECT_EQ(ticks + 9, CCrashLogTestAccess::HangLimit());
    log.EndWatchedSection();
    EXPECT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    CCrashLogTestAccess::SetTicks(ticks + 4);
    log.EndUnwatchedSection();
    EXPECT_EQ(ticks + 10, CCrashLogTestAccess::HangLimit());

    log.EndWatchedSection();
    EXPECT_EQ(ticks + 10, CCrashLogTestAccess::HangLimit());
    log.EndWatchedSection();
    EXPECT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    CCrashLogTestAccess::SetTicks(ticks);
}

TEST(CrashLogSections, SectionsAbandonedByAFaultAreClosedAsTheirEndsWould)
{
    const int32_t ticks = CCrashLogTestAccess::Ticks();
    const int reports = ReportCount();
    CCrashLog& log = GetCrashLog();
    const size_t outside = log.GetSectionDepth();
    log.BeginWatchedSection();
    const size_t depth = log.GetSectionDepth();
    EXPECT_EQ(outside + 1, depth);

    // Watched sections only: the outer limit stands.
    CCrashLogTestAccess::SetTicks(ticks + 2);
    log.BeginWatchedSection();
    log.BeginWatchedSection();
    log.CloseSectionsAbove(depth);
    EXPECT_EQ(depth, log.GetSectionDepth());
    EXPECT_EQ(ticks + 6, CCrashLogTestAccess::HangLimit());

    // An unwatched one among them had disarmed it: back in the watched
    // section the count starts afresh.
    log.BeginUnwatchedSection();
    log.BeginWatchedSection();
    CCrashLogTestAccess::SetTicks(ticks + 4);
    log.CloseSectionsAbove(depth);
    EXPECT_EQ(depth, log.GetSectionDepth());
    EXPECT_EQ(ticks + 10, CCrashLogTestAccess::HangLimit());

    // Back outside every watched section the limit is disarmed, and closing
    // nothing changes nothing.
    log.BeginWatchedSection();
    log.CloseSectionsAbove(outside);
    EXPECT_EQ(outside, log.GetSectionDepth());
    EXPECT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    log.CloseSectionsAbove(outside + 3);
    EXPECT_EQ(outside, log.GetSectionDepth());
    EXPECT_EQ(reports, ReportCount());
    CCrashLogTestAccess::SetTicks(ticks);
}

namespace {

DWORD WINAPI EnterWatchedSection(void*)
{
    GetCrashLog().BeginWatchedSection();
    return 0;
}

}  // namespace

TEST(CrashLogSections, OtherThreadsKeepNoSections)
{
    ASSERT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    HANDLE thread = CreateThread(nullptr, 0, EnterWatchedSection, nullptr, 0, nullptr);
    ASSERT_TRUE(thread);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
    // The user-interface thread's own stack is untouched: one watched
    // section arms and ends cleanly.
    {
        CWatchedSection watched;
        EXPECT_NE(kDisarmed, CCrashLogTestAccess::HangLimit());
    }
    EXPECT_EQ(kDisarmed, CCrashLogTestAccess::HangLimit());
}

// ---- The report in a process of its own ----------------------------------------

CHILD_SCENARIO(CrashLogReportsOnce)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    StampAnchor();
    StampInt();
    StampPlain();
    StampFloat();
    StampTrue();
    StampFalse();
    StampPointer();
    StampNarrow();
    StampWide();
    for (int32_t i = 0; i < 5; ++i)
        StampLoop(i);
    StampPlain();
    StampLast();
    GetCrashLog().ReportFailure(kFailSystemCall);
    const std::string where = "CrashLogTest.cpp:" + std::to_string(StampLastLine);
    if (const int failed = CheckOneReportNotice(notices, where + ":5"))
        return failed;

    // Later reports, whatever their code, neither write nor tell.
    const std::string written = ReadWholeFile(GetTestCrashLogPath());
    for (int code : {0, 1, 2, 4, 5})
        ReportFailure(code);
    if (ReadWholeFile(GetTestCrashLogPath()) != written)
        return 40;
    if (!notices.Take().empty())
        return 41;
    return ReportCount() == 6 ? 0 : 42;
}

TEST(CrashLogChild, FirstReportWritesTheDumpAndTellsTheUser)
{
    DeleteFileW(GetTestCrashLogPath().c_str());
    const time_t from = time(nullptr);
    ASSERT_EQ(0, RunChildScenario("CrashLogReportsOnce"));
    const time_t to = time(nullptr);

    const std::string file = ReadWholeFile(GetTestCrashLogPath());
    std::string records;
    ASSERT_TRUE(SplitTimeHeader(file, from, to, &records)) << file;
    EXPECT_TRUE(EveryLineEndIsCrLf(file));
    const char* f = "CrashLogTest.cpp";
    const std::string expected = Line(f, StampAnchorLine) + Line(f, StampIntLine, "-1073741819") + "1\r\n" +
                                 Line(f, StampFloatLine, "0.333333") + Line(f, StampTrueLine, "T") +
                                 Line(f, StampFalseLine, "F") + Line(f, StampPointerLine, kHighPointerDigits + "00ABCDEF") +
                                 Line(f, StampNarrowLine, "a\\x5Cb\\x01\\x7F\\xFF~ ") +
                                 Line(f, StampWideLine, "x\\x005C\\x00E9\\x20AC\\x001F") + "4\r\n" +
                                 Line(f, StampLoopLine, "4") + Line(f, StampPlainLine) + Line(f, StampLastLine, "5");
    EXPECT_TRUE(EndsWith(records, expected)) << records;
    EXPECT_EQ(std::string::npos, records.find("t-5"));
}

CHILD_SCENARIO(CrashLogCheckShowsTheWindowsError)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    StampAnchor();
    SetLastError(1234);
    ReportFailure();
    if (GetLastError() != 1234)
        return 50;
    return CheckOneReportNotice(notices, "CrashLogTest.cpp:" + std::to_string(StampAnchorLine) + ":1234");
}

TEST(CrashLogChild, CheckFailureShowsWhereAndTheWindowsError)
{
    DeleteFileW(GetTestCrashLogPath().c_str());
    ASSERT_EQ(0, RunChildScenario("CrashLogCheckShowsTheWindowsError"));
    const std::string file = ReadWholeFile(GetTestCrashLogPath());
    const std::string anchor = Line("CrashLogTest.cpp", StampAnchorLine);
    const size_t at = file.rfind(anchor);
    ASSERT_NE(std::string::npos, at) << file;
    // The report's own record of the error follows right after.
    const std::string tail = file.substr(at + anchor.size());
    EXPECT_EQ(0u, tail.find("CrashLog.cpp:")) << tail;
    EXPECT_TRUE(EndsWith(tail, " 1234\r\n")) << tail;
    EXPECT_EQ(1, std::count(tail.begin(), tail.end(), '\n'));
}

// ---- The watchdog --------------------------------------------------------------

namespace {

const DWORD kShortTick = 200;

bool WaitFor(bool (*condition)(), DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(2);
    }
    return true;
}

// Stays in a watched section until the watchdog has declared the hang.
// Passes the last two points while the watchdog sleeps its last tick.
int HangInWatchedSection()
{
    CCrashLogTestAccess::SetTickMilliseconds(kShortTick);
    StampBeforeHang();
    GetCrashLog().StartWatchdog();
    CWatchedSection watched;
    StampInWatched();
    const int32_t lastTick = CCrashLogTestAccess::HangLimit() - 1;
    if (!WaitFor([] { return CCrashLogTestAccess::Ticks() >= CCrashLogTestAccess::HangLimit() - 1; }, 10000))
        return 60;
    if (CCrashLogTestAccess::Ticks() != lastTick)
        return 61;
    Sleep(kShortTick / 2);
    StampLastTickA();
    StampLastTickB();
    if (!WaitFor([] { return !CCrashLogTestAccess::WatchdogRunning(); }, 10000))
        return 62;
    return 0;
}

std::vector<std::string> Lines(const std::string& file)
{
    std::vector<std::string> lines;
    std::istringstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

CHILD_SCENARIO(CrashLogHangWithoutHandler)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    if (const int failed = HangInWatchedSection())
        return failed;
    if (ReportCount() != 1)
        return 63;
    if (!notices.Take().empty())
        return 64;
    // The watchdog does not come back.
    GetCrashLog().StartWatchdog();
    return CCrashLogTestAccess::WatchdogRunning() ? 65 : 0;
}

TEST(CrashLogChild, HangIsDumpedWithTheMarkerBeforeTheLastTick)
{
    DeleteFileW(GetTestCrashLogPath().c_str());
    ASSERT_EQ(0, RunChildScenario("CrashLogHangWithoutHandler"));
    const std::string file = ReadWholeFile(GetTestCrashLogPath());
    const char* f = "CrashLogTest.cpp";
    const std::string expected = Line(f, StampBeforeHangLine, "11") + Line(f, StampInWatchedLine, "12") +
                                 "t-5\r\n" + Line(f, StampLastTickALine, "13") + Line(f, StampLastTickBLine);
    EXPECT_TRUE(EndsWith(file, expected)) << file;
    const size_t marker = file.find("t-5");
    EXPECT_EQ(marker, file.rfind("t-5"));
}

CHILD_SCENARIO(CrashLogHangWithHandler)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    CTestSettingsKey key;
    static CGraphicsSystem system(L"HangTest");
    GetCrashLog().SetFailureHandler(&system);
    int result = HangInWatchedSection();
    if (!result && (system.GetCurrentError() != 3 || !system.IsRestricted()))
        result = 70;
    if (!result && CSettings::GetInt(L"HangTestWorstError", 0) != 3)
        result = 71;
    if (!result && ReportCount() != 1)
        result = 72;
    if (!result && !notices.Take().empty())
        result = 73;
    return result;
}

TEST(CrashLogChild, HangDuringAGraphicsCallFailsThatSystem)
{
    DeleteFileW(GetTestCrashLogPath().c_str());
    ASSERT_EQ(0, RunChildScenario("CrashLogHangWithHandler"));
    const std::string file = ReadWholeFile(GetTestCrashLogPath());
    EXPECT_EQ(std::string::npos, file.find("t-5")) << file;
    // The graphics system's report is the newest: its name, then severity 3.
    const std::vector<std::string> lines = Lines(file);
    ASSERT_GE(lines.size(), 2u);
    const std::string& name = lines[lines.size() - 2];
    const std::string& severity = lines[lines.size() - 1];
    EXPECT_TRUE(StartsWith(name, "GraphicsSystem.cpp:") && EndsWith(name, " HangTest\r")) << name;
    EXPECT_TRUE(StartsWith(severity, "GraphicsSystem.cpp:") && EndsWith(severity, " 3\r")) << severity;
    EXPECT_NE(std::string::npos, file.find(Line("CrashLogTest.cpp", StampLastTickBLine)));
}

// ---- Own image ---------------------------------------------------------------

TEST(CrashLogFilter, OwnCodeIsTheWholeImage)
{
    MODULEINFO module = {};
    ASSERT_TRUE(GetModuleInformation(GetCurrentProcess(), GetModuleHandleW(nullptr), &module, sizeof module));
    const auto* base = static_cast<const char*>(module.lpBaseOfDll);
    // This test program is larger than 2 MB: a fixed 2 MB window would miss
    // its upper part.
    ASSERT_GT(module.SizeOfImage, 0x200000u);
    EXPECT_TRUE(IsOwnCodeAddress(base));
    EXPECT_TRUE(IsOwnCodeAddress(base + 0x200000));
    EXPECT_TRUE(IsOwnCodeAddress(base + module.SizeOfImage - 1));
    EXPECT_FALSE(IsOwnCodeAddress(base + module.SizeOfImage));
    EXPECT_FALSE(IsOwnCodeAddress(base - 1));
    EXPECT_FALSE(IsOwnCodeAddress(nullptr));
    EXPECT_TRUE(IsOwnCodeAddress(reinterpret_cast<const void*>(&StampAnchor)));
    EXPECT_FALSE(IsOwnCodeAddress(reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                                                              "GetTickCount"))));
}

TEST(CrashLogFilter, CodesOutsideTheListAreNotHandledNorReported)
{
    const int reports = ReportCount();
    const uint32_t sequence = g_traceSequence;
    for (DWORD code : {DWORD(EXCEPTION_BREAKPOINT), DWORD(EXCEPTION_ILLEGAL_INSTRUCTION),
                       DWORD(EXCEPTION_STACK_OVERFLOW), DWORD(EXCEPTION_FLT_INVALID_OPERATION),
                       DWORD(EXCEPTION_PRIV_INSTRUCTION), DWORD(0xE06D7363), DWORD(0xE0001234)}) {
        EXCEPTION_RECORD record = {};
        record.ExceptionCode = code;
        record.ExceptionAddress = reinterpret_cast<void*>(&StampAnchor);
        CONTEXT context = {};
        EXCEPTION_POINTERS pointers = {&record, &context};
        EXPECT_EQ(EXCEPTION_CONTINUE_SEARCH, FilterDriverException(code, &pointers)) << std::hex << code;
    }
    EXPECT_EQ(reports, ReportCount());
    EXPECT_EQ(sequence, g_traceSequence);
}
