#pragma once

// Who answers for a hang or a fault while a call into a graphics library
// runs: the graphics system making the call puts itself in as the crash
// log's failure handler for that time (CallGraphicsGuarded, GuardedCall.h).
// The watchdog and the fault filter then report to it instead of ending the
// program, and the program goes on without that system.
class CFailureHandler
{
public:
    // Severity 3 from the watchdog and the fault filter. The watchdog calls
    // it on its own thread while the user-interface thread is held, when
    // the handler may only note the severity in plain fields: the held
    // thread may own the heap, the settings or a stream.
    virtual void ReportFailure(int severity) = 0;
    // The watchdog, on its own thread, once the user-interface thread runs
    // again: writes out what the held report only noted.
    virtual void CompleteHeldReport() = 0;

protected:
    ~CFailureHandler() = default;
};
