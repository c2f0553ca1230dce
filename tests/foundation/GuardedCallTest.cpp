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

// An address as the crash log writes it: two hex digits a byte.
std::string HexAddress(const void* address)
{
    char text[24];
    snprintf(text, sizeof text, "%0*llX", int(2 * sizeof address), static_cast<unsigned long long>(uintptr_t(address)));
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

// mov eax, [0] (an absolute address in 32- and 64-bit code alike); ret
const unsigned char kReadAddressZero[] = {0x8B, 0x04, 0x25, 0x00, 0x00, 0x00, 0x00, 0xC3};

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

#if defined(__i386__)
// The head of this thread's exception handler chain, which a guard joins on
// 32-bit Windows. 64-bit Windows has no chain: the guard's handler is named
// in its unwind information.
void* HandlerChain()
{
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}
#else
void* HandlerChain() { return nullptr; }
#endif

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
        if (sizeof(void*) == 4) {
            EXPECT_NE(chainBefore, HandlerChain());
        }
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
    const uintptr_t at = std::stoull(address, nullptr, 16);
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
    else if (const int failed = CheckOneReportNotice(notices, HexAddress(page) + ":" + std::to_string(kAccessViolation)))
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
    while (address < lines.size() && ValueOf(lines[address]) != HexAddress(code))
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

namespace {

using GuardFunction = bool (*)(void (*)(void*), void*);

// Calls guard(call, context) with every register that calls must keep (on
// x64 also xmm6 to xmm15) holding a pattern of its own, and returns twice the
// number that came back changed, plus 1 when the guard returned true.
extern "C" int CallWithKnownRegisters(GuardFunction guard, void (*call)(void*), void* context);

#if defined(__i386__)
asm(R"(
    .text
    .globl _CallWithKnownRegisters
    .def _CallWithKnownRegisters; .scl 2; .type 32; .endef
_CallWithKnownRegisters:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl $0x5A5A0001, %ebp
    movl $0x5A5A0002, %ebx
    movl $0x5A5A0003, %esi
    movl $0x5A5A0004, %edi
    pushl 28(%esp)
    pushl 28(%esp)
    call *28(%esp)
    addl $8, %esp
    movzbl %al, %eax
    .macro KNOWN_REGISTER register, pattern
    xorl %ecx, %ecx
    cmpl $\pattern, \register
    setne %cl
    leal (%eax,%ecx,2), %eax
    .endm
    KNOWN_REGISTER %ebp, 0x5A5A0001
    KNOWN_REGISTER %ebx, 0x5A5A0002
    KNOWN_REGISTER %esi, 0x5A5A0003
    KNOWN_REGISTER %edi, 0x5A5A0004
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");
#else
asm(R"(
    .text
    .globl CallWithKnownRegisters
    .def CallWithKnownRegisters; .scl 2; .type 32; .endef
    .seh_proc CallWithKnownRegisters
CallWithKnownRegisters:
    .irp register, rbp, rbx, rsi, rdi, r12, r13, r14, r15
    pushq %\register
    .seh_pushreg %\register
    .endr
    subq $200, %rsp
    .seh_stackalloc 200
    .irp n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movdqu %xmm\n, 32+16*(\n-6)(%rsp)
    .seh_savexmm %xmm\n, 32+16*(\n-6)
    .endr
    .seh_endprologue
    movabsq $0x5A5A000000000001, %rbp
    movabsq $0x5A5A000000000002, %rbx
    movabsq $0x5A5A000000000003, %rsi
    movabsq $0x5A5A000000000004, %rdi
    movabsq $0x5A5A000000000005, %r12
    movabsq $0x5A5A000000000006, %r13
    movabsq $0x5A5A000000000007, %r14
    movabsq $0x5A5A000000000008, %r15
    .irp n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movabsq $0x5A5A5A5A0000\n, %rax
    movq %rax, %xmm\n
    .endr
    movq %rcx, %rax
    movq %rdx, %rcx
    movq %r8, %rdx
    call *%rax
    movzbl %al, %eax
    .macro KNOWN_REGISTER register, pattern
    movabsq $\pattern, %rcx
    xorl %edx, %edx
    cmpq %rcx, \register
    setne %dl
    leal (%eax,%edx,2), %eax
    .endm
    KNOWN_REGISTER %rbp, 0x5A5A000000000001
    KNOWN_REGISTER %rbx, 0x5A5A000000000002
    KNOWN_REGISTER %rsi, 0x5A5A000000000003
    KNOWN_REGISTER %rdi, 0x5A5A000000000004
    KNOWN_REGISTER %r12, 0x5A5A000000000005
    KNOWN_REGISTER %r13, 0x5A5A000000000006
    KNOWN_REGISTER %r14, 0x5A5A000000000007
    KNOWN_REGISTER %r15, 0x5A5A000000000008
    .irp n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movq %xmm\n, %r8
    KNOWN_REGISTER %r8, 0x5A5A5A5A0000\n
    .endr
    .irp n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movdqu 32+16*(\n-6)(%rsp), %xmm\n
    .endr
    addq $200, %rsp
    .irp register, r15, r14, r13, r12, rdi, rsi, rbx, rbp
    popq %\register
    .endr
    ret
    .seh_endproc
)");
#endif

uint16_t FpuControlWord()
{
    uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

void SetFpuControlWord(uint16_t word) { asm volatile("fldcw %0" : : "m"(word)); }

uint32_t SseControl()
{
    uint32_t control;
    asm volatile("stmxcsr %0" : "=m"(control));
    return control;
}

void SetSseControl(uint32_t control) { asm volatile("ldmxcsr %0" : : "m"(control)); }

}  // namespace

// A driver that faults after changing the floating-point control state (as
// some do to round towards zero) leaves the caller's registers and that
// state as they were at the guard; a call that completes keeps them too.
CHILD_SCENARIO(GuardKeepsRegistersAndFloatingPointControl)
{
    CNotingHandler handler;
    GetCrashLog().SetFailureHandler(&handler);
    void* const code = MakeForeignCode();
    if (!code)
        return 10;
    const uint16_t fpuBefore = FpuControlWord();
    const uint32_t sseBefore = SseControl();
    struct CContext
    {
        void* code;
    } context = {code};
    if (CallWithKnownRegisters(&CallGuarded, [](void*) {}, nullptr) != 1)
        return 11;
    const int faulted = CallWithKnownRegisters(
        &CallGuarded,
        [](void* context) {
            SetFpuControlWord(0x0C7F);  // round towards zero, every exception masked
            SetSseControl(0x7F80);      // round towards zero, every exception masked
            RunCode(static_cast<CContext*>(context)->code);
        },
        &context);
    GetCrashLog().SetFailureHandler(nullptr);
    if (faulted != 0)
        return 20 + faulted;
    if (FpuControlWord() != fpuBefore || SseControl() != sseBefore)
        return 12;
    return handler.severities == std::vector<int>{3} ? 0 : 13;
}

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
        {"GuardKeepsRegistersAndFloatingPointControl", 0, false},
        {"GuardPassesOnOtherExceptions", 0x51, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        DeleteFileW(GetTestCrashLogPath().c_str());
        EXPECT_EQ(c.exitCode, RunChildScenario(c.scenario));
        EXPECT_EQ(c.logged, FileExists(GetTestCrashLogPath()));
    }
}
