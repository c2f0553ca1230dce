#pragma once

#include <string>

// A graphics back end ("GDI", "Direct3D11", "OpenGL3", "OpenGL1"). For now
// only its failure bookkeeping exists: the choice of a system, render-target
// creation and the back ends themselves come with the 3D renderers. The
// worst error of earlier runs is read from the setting named by the system's
// name and "WorstError"; the settings must be open before the first system
// is built.
class CGraphicsSystem
{
public:
    explicit CGraphicsSystem(const std::wstring& name);
    virtual ~CGraphicsSystem() = default;
    CGraphicsSystem(const CGraphicsSystem&) = delete;
    CGraphicsSystem& operator=(const CGraphicsSystem&) = delete;

    // Severities: 1 lost device, 2 out of memory, 3 any other failure, a hang
    // or a fault inside a graphics library. The program goes on afterwards.
    // The first out-of-memory report gives back the crash log's reserve; a
    // second counts as 3. A new worst error is stored (the first one of a
    // run only); a new current error is dumped through the crash log (code 2,
    // no message).
    void ReportFailure(int severity);

    const std::wstring& GetName() const { return m_name; }
    bool IsRestricted() const { return m_restricted; }
    int GetCurrentError() const { return m_currentError; }
    int GetWorstError() const { return m_worstError; }

private:
    std::wstring m_name;
    bool m_restricted = false;
    int m_currentError = 0;
    int m_worstError = 0;
    bool m_probing = false;
};

// The GDI system: always there, the last resort of every choice.
class CGdiGraphicsSystem : public CGraphicsSystem
{
public:
    static CGdiGraphicsSystem& Instance();

private:
    CGdiGraphicsSystem() : CGraphicsSystem(L"GDI") {}
};
