#include "foundation/GuardedCall.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "foundation/CrashLog.h"

#if defined(__x86_64__)

namespace {

// What a resume puts back: the floating-point control state at the guard.
// The offsets are used by the assembly below.
struct CGuardFrame
{
    uint32_t sseControl;          // 0: MXCSR at the guard
    uint16_t fpuControl;          // 4: x87 control word at the guard
};
static_assert(offsetof(CGuardFrame, fpuControl) == 4, "layout used by the assembly");

}  // namespace

extern "C" {
int GuardedRun(CGuardFrame* frame, void (*call)(void*), void* context);
void GuardResume();
EXCEPTION_DISPOSITION GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
                                   DISPATCHER_CONTEXT* dispatcher);
}

// GuardedRun(frame, call, context): saves the floating-point control state
// in the frame, calls call(context) and returns 0. Its unwind information
// names GuardHandler as its exception handler, so the system's dispatcher
// asks the handler about every exception raised inside the call that no
// handler further in took.
//
// GuardResume: where the system's unwind, started by the handler, lands
// with GuardedRun's stack and callee-saved registers as they were at the
// call (the unwind restores them through each abandoned frame's unwind
// information) and rax = 1. The frame pointer waits in GuardedRun's home
// slot for rcx, which the call did not own.
asm(R"(
    .text
    .globl GuardedRun
    .globl GuardResume
    .def GuardedRun; .scl 2; .type 32; .endef
    .seh_proc GuardedRun
    .seh_handler GuardHandler, @except
GuardedRun:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %rcx, 48(%rsp)
    stmxcsr 0(%rcx)
    fnstcw 4(%rcx)
    movq %r8, %rcx
    call *%rdx
    xorl %eax, %eax
    jmp 1f
GuardResume:
    movq 48(%rsp), %rcx
    fninit
    fldcw 4(%rcx)
    ldmxcsr 0(%rcx)
    cld
    movl $1, %eax
1:
    addq $40, %rsp
    ret
    .seh_endproc
)");

EXCEPTION_DISPOSITION GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
                                   DISPATCHER_CONTEXT* dispatcher)
{
    // Called again while an unwind passes the guard, ours included: nothing
    // to do.
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    EXCEPTION_POINTERS pointers = {record, context};
    if (FilterDriverException(record->ExceptionCode, &pointers) != EXCEPTION_EXECUTE_HANDLER)
        return ExceptionContinueSearch;
    // The handlers of the frames inside are called to unwind (C++ frames
    // leave an exception not their own alone, as on x86), then GuardedRun
    // goes on at GuardResume. Does not return.
    RtlUnwindEx(establisherFrame, reinterpret_cast<void*>(&GuardResume), record, reinterpret_cast<void*>(1),
                dispatcher->ContextRecord, dispatcher->HistoryTable);
    return ExceptionContinueSearch;
}

#else

namespace {

// One guard on the stack of the guarded call. The registration record comes
// first: the system hands its address to the handler as the establisher
// frame. The offsets are used by the assembly below.
struct CGuardFrame
{
    CGuardFrame* next;            // 0: the handler registered before ours
    void* handler;                // 4: GuardHandler
    uint32_t stackPointer;        // 8: GuardedRun's stack after its pushes
    uint16_t fpuControl;          // 12: x87 control word at the guard
    uint32_t sseControl;          // 16: MXCSR at the guard
};
static_assert(offsetof(CGuardFrame, handler) == 4, "layout used by the assembly");
static_assert(offsetof(CGuardFrame, stackPointer) == 8, "layout used by the assembly");
static_assert(offsetof(CGuardFrame, fpuControl) == 12, "layout used by the assembly");
static_assert(offsetof(CGuardFrame, sseControl) == 16, "layout used by the assembly");

}  // namespace

extern "C" {
int GuardedRun(CGuardFrame* frame, void (*call)(void*), void* context);
[[noreturn]] void GuardUnwindAndResume(CGuardFrame* frame, EXCEPTION_RECORD* record);
EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
                                           void* dispatcherContext);
}

// GuardedRun(frame, call, context): saves what a resume needs (its stack and
// the floating-point control state), registers the frame as the innermost
// exception handler, calls call(context), removes the frame and returns 0.
//
// GuardUnwindAndResume(frame, record): runs the system unwind up to the
// frame (handlers registered inside the call clean up and leave the chain),
// removes the frame too and returns 1 from GuardedRun, with its stack and
// callee-saved registers as they were at the call. RtlUnwind does not keep
// ebx, esi and edi, so nothing is kept in them across it.
asm(R"(
    .text
    .globl _GuardedRun
    .def _GuardedRun; .scl 2; .type 32; .endef
_GuardedRun:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 8(%ebp), %eax
    movl %esp, 8(%eax)
    fnstcw 12(%eax)
    stmxcsr 16(%eax)
    movl %fs:0, %ecx
    movl %ecx, 0(%eax)
    movl $_GuardHandler, 4(%eax)
    movl %eax, %fs:0
    pushl 16(%ebp)
    call *12(%ebp)
    addl $4, %esp
    movl 8(%ebp), %eax
    movl 0(%eax), %ecx
    movl %ecx, %fs:0
    xorl %eax, %eax
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

    .globl _GuardUnwindAndResume
    .def _GuardUnwindAndResume; .scl 2; .type 32; .endef
_GuardUnwindAndResume:
    movl 4(%esp), %eax
    movl 8(%esp), %ecx
    pushl $0
    pushl %ecx
    pushl $1f
    pushl %eax
    call _RtlUnwind@16
1:
    movl 4(%esp), %eax
    movl 8(%eax), %esp
    leal 12(%esp), %ebp
    movl 0(%eax), %ecx
    movl %ecx, %fs:0
    fninit
    fldcw 12(%eax)
    ldmxcsr 16(%eax)
    cld
    movl $1, %eax
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
                                           void*)
{
    // Called again while someone unwinds past the guard: nothing to do.
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    EXCEPTION_POINTERS pointers = {record, context};
    if (FilterDriverException(record->ExceptionCode, &pointers) != EXCEPTION_EXECUTE_HANDLER)
        return ExceptionContinueSearch;
    GuardUnwindAndResume(static_cast<CGuardFrame*>(establisherFrame), record);
}

#endif

bool CallGuarded(void (*call)(void*), void* context)
{
    // The frame must lie on this thread's stack: the system checks the
    // handler chain against the stack bounds. The handler itself is accepted
    // because the image carries no safe-handler table (MinGW links none).
    CGuardFrame frame = {};
    CCrashLog& crashLog = GetCrashLog();
    const size_t sectionDepth = crashLog.GetSectionDepth();
    if (GuardedRun(&frame, call, context) == 0)
        return true;
    // The section owners of the abandoned frames never ran their destructors.
    crashLog.CloseSectionsAbove(sectionDepth);
    return false;
}

bool CallGraphicsGuarded(CFailureHandler* handler, void (*call)(void*), void* context)
{
    CCrashLog& crashLog = GetCrashLog();
    CFailureHandler* previous = crashLog.SetFailureHandler(handler);
    const bool completed = CallGuarded(call, context);
    crashLog.SetFailureHandler(previous);
    return completed;
}
