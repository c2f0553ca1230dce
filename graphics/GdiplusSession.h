#pragma once

#include <cstdint>

// GDI+ is running for as long as one of these lives. Tests may make their
// own. Sessions nest: GDI+ counts its start-ups and stops with the last one.
class CGdiplusSession
{
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    bool IsRunning() const { return m_running; }

private:
    uintptr_t m_token = 0;
    bool m_running = false;
};

// The run's own session, started by the first call into GDI+ that makes a
// picture (every such place calls UseGdiplus first), so that a start that
// shows no picture through GDI+ neither loads nor starts it. Any thread may
// call it. StopGdiplus ends the run's session, if one was started, once no
// picture of GDI+ is left.
void UseGdiplus();
void StopGdiplus();
