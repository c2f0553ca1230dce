#include "foundation/Clock.h"

#include <windows.h>

#include <ctime>

namespace {

struct CClockSource
{
    bool highResolution = false;
    double frequency = 1.0;
};

const CClockSource& GetClockSource()
{
    // QueryPerformanceFrequency is fixed at boot, so it is asked once.
    static const CClockSource source = [] {
        CClockSource result;
        LARGE_INTEGER frequency;
        if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
            result.highResolution = true;
            result.frequency = double(frequency.QuadPart);
        }
        return result;
    }();
    return source;
}

}  // namespace

double GetClockSeconds()
{
    const CClockSource& source = GetClockSource();
    if (source.highResolution) {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        // Stored once so that the caller gets a plain double: on x87 the
        // quotient would otherwise carry extra precision that the same
        // reading, once stored, does not have, and a later reading could
        // compare below an earlier one.
        volatile double seconds = double(counter.QuadPart) / source.frequency;
        return seconds;
    }
    return double(_time64(nullptr));
}

CStopwatch::CStopwatch() : m_start(GetClockSeconds()) {}

double CStopwatch::Lap()
{
    const double now = GetClockSeconds();
    const double elapsed = now - m_start;
    m_start = now;
    return elapsed;
}

double CStopwatch::GetElapsedSeconds() const
{
    return GetClockSeconds() - m_start;
}
