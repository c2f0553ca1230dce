#pragma once

#include <cstdint>

// GDI+ is running for as long as one of these lives. The application shell
// keeps one for the whole run; tests make their own. Sessions nest: GDI+
// counts its start-ups and stops with the last one.
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
