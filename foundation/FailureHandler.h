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
    // it on its own thread while the user-interface thread is held.
    virtual void ReportFailure(int severity) = 0;

protected:
    ~CFailureHandler() = default;
};
