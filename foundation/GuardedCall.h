#pragma once

#include <type_traits>

class CFailureHandler;

// Guarded calls: the structured-exception blocks of the program. GCC has no
// __try/__except, so a call is guarded by a small function of our own that
// the system's exception dispatch knows as a handler: on 32-bit Windows an
// exception registration record on the thread's handler chain (fs:[0]), on
// 64-bit Windows the exception handler named in the function's unwind
// information. Handlers of code called inside (a graphics driver, the system)
// see a fault first, as they would with __try/__except; only a fault they
// leave alone reaches FilterDriverException (foundation/CrashLog.h), which
// decides:
//
// - a fault in the program's own code: failure report 4 with a message,
//   PostQuitMessage(0);
// - a fault elsewhere with no failure handler set: failure report 5 with a
//   message, PostQuitMessage(0);
// - a fault elsewhere while a graphics system is the failure handler: that
//   system is marked failed (severity 3) and the program goes on;
// - any exception code not in the filter's list: not handled here, it goes
//   on to the handlers further out.
//
// After a handled fault the system unwinds the handlers registered inside
// the call, and execution resumes at the guard, which returns false, with the
// floating-point control state (x87 and SSE) as it was at the guard. The
// frames between the guard and the fault are abandoned: their C++
// destructors do not run, exactly as with __except. Keep guarded calls
// small and let them hold nothing that must be released afterwards; only the
// crash-log sections opened inside are closed again by the guard. A C++
// exception escaping the call ends the program (std::terminate); the
// program's own code throws none.
//
// The program's main function and every window procedure run their body in
// CallGuarded; the window procedure answers 0 when the call faulted:
//
//     LRESULT result = 0;
//     if (!CallGuarded([&] { result = window->HandleMessage(message, wParam, lParam); }))
//         result = 0;
//
// Calls into a graphics library (render targets, probing) use
// CallGraphicsGuarded with the render target's graphics system:
//
//     CallGraphicsGuarded(target->GetGraphicsSystem(), [&] { target->Render(scene); });

// Runs call(context) under the fault filter. Returns true when it returned
// normally, false when the filter handled a fault inside it.
bool CallGuarded(void (*call)(void*), void* context);

// Makes the handler (a graphics system) the crash log's failure handler of
// the calling thread, runs call(context) as CallGuarded does, and puts the
// previous handler back afterwards, also after a handled fault. Returns
// whether the call completed. On a thread of its own the call is guarded
// without touching the user-interface thread's handler.
bool CallGraphicsGuarded(CFailureHandler* handler, void (*call)(void*), void* context);

template <class Function>
bool CallGuarded(Function&& function)
{
    using Callable = std::remove_reference_t<Function>;
    return CallGuarded([](void* callable) noexcept { (*static_cast<Callable*>(callable))(); },
                       const_cast<void*>(static_cast<const void*>(&function)));
}

template <class Function>
bool CallGraphicsGuarded(CFailureHandler* handler, Function&& function)
{
    using Callable = std::remove_reference_t<Function>;
    return CallGraphicsGuarded(
        handler, [](void* callable) noexcept { (*static_cast<Callable*>(callable))(); },
        const_cast<void*>(static_cast<const void*>(&function)));
}
