#pragma once

#include "foundation/CrashLog.h"

// Counting the failure reports of this process, to see that a call reported
// (or did not).

// The failure reports made so far.
inline int ReportCount()
{
    return GetCrashLog().GetReportCount();
}

// How many failures the code reported while it ran.
template <class F>
int CountReports(F&& code)
{
    const int before = ReportCount();
    code();
    return ReportCount() - before;
}
