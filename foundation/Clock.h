#pragma once

// The one clock of the program: seconds since an arbitrary origin, from the
// high-resolution performance counter (whole calendar seconds on a machine
// without one).
double GetClockSeconds();

// A clock reading taken at construction or at the last Lap.
class CStopwatch
{
public:
    CStopwatch();

    // Seconds since the stored reading; the current reading becomes the new start.
    double Lap();
    // Seconds since the stored reading; the start stays.
    double GetElapsedSeconds() const;
    double GetStartReading() const { return m_start; }

private:
    double m_start;
};
