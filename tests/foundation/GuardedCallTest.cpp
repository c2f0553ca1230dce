#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/FailureHandler.h"
#include "foundation/GuardedCall.h"
#include "foundation/Settings.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

const int32_t kAccessViolation = int32_t(EXCEPTION_ACCESS_VIOLATION);

std::string Hex8(const void* address)
{
    char text[16];
    snprintf(text, sizeof text, "%08X", unsigned(uintptr_t(address)));
    return text;
}

std::vector<std::string> LogLines()
{
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(GetTestCrashLogPath()));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The value of a record line: what follows the first space.
std::string ValueOf(const std::string& line)
{
    const size_t space = line.find(' ');
    return space == std::string::npos ? std::string() : line.substr(space + 1);
}

bool TakeQuitMessage()
{
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// mov eax, [0]; ret
const unsigned char kReadAddressZero[] = {0xA1, 0x00, 0x00, 0x00, 0x00, 0xC3};

// Machine code that reads address 0, placed where asked.
void* PlaceReadAddressZero(void* where)
{
    std::memcpy(where, kReadAddressZero, sizeof kReadAddressZero);
    FlushInstructionCache(GetCurrentProcess(), where, sizeof kReadAddressZero);
    return where;
}

// Stands for a graphics driver: code outside the program's image.
void* MakeForeignCode()
{
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    return page ? PlaceReadAddressZero(page) : nullptr;
}

void RunCode(void* code) { reinterpret_cast<void (*)()>(code)(); }

// The head of this thread's exception handler chain.
void* HandlerChain()
{
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

volatile uintptr_t g_nowhere = 0;

__attribute__((noinline)) void WriteThroughNull() { *reinterpret_cast<volatile int*>(g_nowhere) = 1; }

STAMP(StampBeforeFault, TRACE_VALUE(int32_t, 21))

}  // namespace

// ---- Calls that complete ----------------------------------------------------

TEST(GuardedCall, RunsTheCallAndReportsCompletion)
{
    int calls = 0;
    EXPECT_TRUE(CallGuarded([&] { ++calls; }));
    EXPECT_EQ(1, calls);

    struct CState
    {
        int value = 0;
    } state;
    EXPECT_TRUE(CallGuarded([](void* context) { static_cast<CState*>(context)->value = 42; }, &state));
    EXPECT_EQ(42, state.value);
}

TEST(GuardedCall, NestedCallsKeepTheHandlerChain)
{
    void* const chainBefore = HandlerChain();
    int depth = 0;
    EXPECT_TRUE(CallGuarded([&] {
        ++depth;
        EXPECT_NE(chainBefore, HandlerChain());
        EXPECT_TRUE(CallGuarded([&] { ++depth; }));
    }));
    EXPECT_EQ(2, depth);
    EXPECT_EQ(chainBefore, HandlerChain());
}

TEST(GuardedCall, GraphicsCallHasItsSystemAsFailureHandler)
{
    // Stand-ins that are only compared, never used.
    alignas(8) static char first[8];
    alignas(8) static char second[8];
    CFailureHandler* const outer = reinterpret_cast<CFailureHandler*>(first);
    CFailureHandler* const inner = reinterpret_cast<CFailureHandler*>(second);

    CCrashLog& log = GetCrashLog();
    CFailureHandler* const before = log.SetFailureHandler(outer);
    CFailureHandler* seen = nullptr;
    EXPECT_TRUE(CallGraphicsGuarded(inner, [&] { seen = log.GetFailureHandler(); }));
    EXPECT_EQ(inner, seen);
    EXPECT_EQ(outer, log.GetFailureHandler());
    log.SetFailureHandler(before);
}

// ---- Faults, each in a process of its own ----------------------------------------

CHILD_SCENARIO(GuardOwnFault)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    StampBeforeFault();
    void* const chain = HandlerChain();
    bool afterFault = false;
    if (CallGuarded([&] {
            WriteThroughNull();
            afterFault = true;
        }))
        return 10;
    if (afterFault || HandlerChain() != chain)
        return 11;

    // The dump ends with the filter's records: fault address, exception code.
    const std::vector<std::string> lines = LogLines();
    if (lines.size() < 3 || lines[lines.size() - 3] != "GuardedCallTest.cpp:" + std::to_string(StampBeforeFaultLine) + " 21")
        return 12;
    const std::string address = ValueOf(lines[lines.size() - 2]);
    if (ValueOf(lines.back()) != std::to_string(kAccessViolation))
        return 13;
    const uintptr_t at = std::stoul(address, nullptr, 16);
    const uintptr_t function = reinterpret_cast<uintptr_t>(&WriteThroughNull);
    if (at < function || at >= function + 32)
        return 14;
    if (const int failed = CheckOneReportNotice(notices, address + ":" + std::to_string(kAccessViolation)))
        return failed;
    if (!TakeQuitMessage())
        return 15;

    // The guard works again after a handled fault; the report is not repeated.
    if (CallGuarded([] { WriteThroughNull(); }))
        return 16;
    if (!TakeQuitMessage() || !notices.Take().empty())
        return 17;
    int calls = 0;
    if (!CallGuarded([&] { ++calls; }) || calls != 1)
        return 18;
    return ReportCount() == 2 ? 0 : 19;
}

CHILD_SCENARIO(GuardOwnFaultBeyondTwoMegabytes)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    CTestSettingsKey key;
    static CGraphicsSystem system(L"ImageTest");

    // The last page of this program's image lies far beyond 2 MB.
    auto* base = reinterpret_cast<char*>(GetModuleHandleW(nullptr));
    const auto* ntHeaders =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    char* page = base + ntHeaders->OptionalHeader.SizeOfImage - 4096;
    if (page - base < 0x200000)
        return 10;
    MEMORY_BASIC_INFORMATION memory = {};
    DWORD oldProtection = 0;
    if (!VirtualQuery(page, &memory, sizeof memory) || memory.State != MEM_COMMIT ||
        !VirtualProtect(page, 4096, PAGE_EXECUTE_READWRITE, &oldProtection))
        return 11;
    PlaceReadAddressZero(page);

    int result = 0;
    if (CallGraphicsGuarded(&system, [&] { RunCode(page); }))
        result = 12;
    else if (GetCrashLog().GetFailureHandler() != nullptr)
        result = 13;
    else if (system.GetCurrentError() != 0 || system.IsRestricted())
        result = 14;
    else if (const int failed = CheckOneReportNotice(notices, Hex8(page) + ":" + std::to_string(kAccessViolation)))
        result = failed;
    else if (!TakeQuitMessage())
        result = 15;
    return result;
}

CHILD_SCENARIO(GuardDriverFault)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    CTestSettingsKey key;
    static CGraphicsSystem outer(L"OuterTest");
    static CGraphicsSystem driver(L"DriverTest");
    void* const code = MakeForeignCode();
    if (!code)
        return 10;

    int result = 0;
    GetCrashLog().SetFailureHandler(&outer);
    bool afterFault = false;
    if (CallGraphicsGuarded(&driver, [&] {
            RunCode(code);
            afterFault = true;
        }))
        result = 11;
    else if (afterFault || GetCrashLog().GetFailureHandler() != &outer)
        result = 12;
    else if (driver.GetCurrentError() != 3 || !driver.IsRestricted() || outer.GetCurrentError() != 0)
        result = 13;
    else if (ReportCount() != 1 || !notices.Take().empty() || TakeQuitMessage())
        result = 14;
    else if (CSettings::GetInt(L"DriverTestWorstError", 0) != 3)
        result = 15;
    if (result)
        return result;

    // The dump: the filter's records (fault address, exception code), then,
    // newest, the system's own report (its name, severity 3).
    const std::vector<std::string> lines = LogLines();
    size_t address = 0;
    while (address < lines.size() && ValueOf(lines[address]) != Hex8(code))
        ++address;
    if (address + 3 >= lines.size() || !StartsWith(lines[address], "CrashLog.cpp:") ||
        ValueOf(lines[address + 1]) != std::to_string(kAccessViolation) ||
        !StartsWith(lines[lines.size() - 2], "GraphicsSystem.cpp:") ||
        ValueOf(lines[lines.size() - 2]) != "DriverTest" || ValueOf(lines.back()) != "3")
        result = 16;

    // Execution goes on: a fault inside a nested graphics call ends only
    // that call, and the guards keep working. The crash-log sections opened
    // inside the abandoned call are closed again.
    int steps = 0;
    bool sectionsClosed = false;
    if (!result && !CallGuarded([&] {
            ++steps;
            CWatchedSection handling;
            const size_t depth = GetCrashLog().GetSectionDepth();
            if (!CallGraphicsGuarded(&driver, [&] {
                    CUnwatchedSection waiting;
                    CWatchedSection nested;
                    RunCode(code);
                }))
                ++steps;
            sectionsClosed = GetCrashLog().GetSectionDepth() == depth;
            ++steps;
        }))
        result = 17;
    if (!result && (steps != 3 || ReportCount() != 1 || TakeQuitMessage()))
        result = 18;
    if (!result && (!sectionsClosed || GetCrashLog().GetSectionDepth() != 1))
        result = 19;
    GetCrashLog().SetFailureHandler(nullptr);
    return result;
}

CHILD_SCENARIO(GuardForeignFaultWithoutHandler)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    void* const code = MakeForeignCode();
    if (!code)
        return 10;
    StampBeforeFault();
    if (CallGuarded([&] { RunCode(code); }))
        return 11;
    const std::string where = "GuardedCallTest.cpp:" + std::to_string(StampBeforeFaultLine);
    if (const int failed = CheckOneReportNotice(notices, std::to_string(kAccessViolation) + ":" + where))
        return failed;
    return TakeQuitMessage() ? 0 : 12;
}

CHILD_SCENARIO(GuardLeavesInnerHandlersFirst)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    BOOL bad = FALSE;
    // The system answers these by catching the access violation itself.
    if (!CallGuarded([&] { bad = IsBadReadPtr(nullptr, 4) && IsBadWritePtr(reinterpret_cast<void*>(16), 4); }))
        return 10;
    if (!bad)
        return 11;
    if (ReportCount() != 0 || !notices.Take().empty() || TakeQuitMessage())
        return 12;
    return 0;
}

namespace {

// Notes the severities reported to it.
struct CNotingHandler final : CFailureHandler
{
    void ReportFailure(int severity) override { severities.push_back(severity); }
    void CompleteHeldReport() override {}
    std::vector<int> severities;
};

}  // namespace

// Another thread guards its calls with a handler of its own: the
// user-interface thread keeps its handler while that thread is inside its
// call, and a fault there reaches only the thread's handler. Nothing is
// logged or told.
CHILD_SCENARIO(GuardDriverFaultOnAnotherThread)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    CNotingHandler uiHandler, threadHandler;
    void* const code = MakeForeignCode();
    HANDLE inside = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE goOn = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    GetCrashLog().SetFailureHandler(&uiHandler);
    bool completed = true;
    CFailureHandler* seenInside = nullptr;
    CFailureHandler* seenAfter = nullptr;
    std::thread thread([&] {
        completed = CallGraphicsGuarded(&threadHandler, [&] {
            seenInside = GetCrashLog().GetFailureHandler();
            SetEvent(inside);
            WaitForSingleObject(goOn, INFINITE);
            RunCode(code);
        });
        seenAfter = GetCrashLog().GetFailureHandler();
    });
    WaitForSingleObject(inside, INFINITE);
    const bool uiKept = GetCrashLog().GetFailureHandler() == &uiHandler;
    SetEvent(goOn);
    thread.join();
    const bool uiKeptAfter = GetCrashLog().GetFailureHandler() == &uiHandler;
    GetCrashLog().SetFailureHandler(nullptr);
    if (!uiKept || !uiKeptAfter)
        return 12;
    if (completed || seenInside != &threadHandler || seenAfter != nullptr)
        return 13;
    if (threadHandler.severities != std::vector<int>{3} || !uiHandler.severities.empty())
        return 14;
    return ReportCount() == 0 && notices.Take().empty() ? 0 : 15;
}

namespace {

const DWORD kUnlistedCode = 0xE0001234;

LONG WINAPI EndOnUnhandled(EXCEPTION_POINTERS* pointers)
{
    const bool unlisted = pointers->ExceptionRecord->ExceptionCode == kUnlistedCode;
    ExitProcess(unlisted && ReportCount() == 0 ? 0x51 : 0x52);
}

}  // namespace

CHILD_SCENARIO(GuardPassesOnOtherExceptions)
{
    GetCrashLog().fileName = kTestCrashLogName;
    SetUnhandledExceptionFilter(EndOnUnhandled);
    CallGuarded([] { RaiseException(kUnlistedCode, 0, 0, nullptr); });
    return 0x53;
}

// Each scenario runs in a process of its own; the crash log tells whether the
// fault was written down.
TEST(GuardedCallChild, EachFaultEndsAsItsKindAsks)
{
    const struct
    {
        const char* scenario;
        int exitCode;
        bool logged;
    } cases[] = {
        {"GuardOwnFault", 0, true},
        {"GuardOwnFaultBeyondTwoMegabytes", 0, true},
        {"GuardDriverFault", 0, true},
        {"GuardForeignFaultWithoutHandler", 0, true},
        {"GuardDriverFaultOnAnotherThread", 0, false},
        {"GuardLeavesInnerHandlersFirst", 0, false},
        {"GuardPassesOnOtherExceptions", 0x51, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        DeleteFileW(GetTestCrashLogPath().c_str());
        EXPECT_EQ(c.exitCode, RunChildScenario(c.scenario));
        EXPECT_EQ(c.logged, FileExists(GetTestCrashLogPath()));
    }
}
