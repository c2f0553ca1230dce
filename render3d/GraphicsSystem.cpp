#include "render3d/GraphicsSystem.h"

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"

namespace {

// Only the first worst error of a run goes to the settings.
bool g_worstErrorStored = false;

}  // namespace

CGraphicsSystem::CGraphicsSystem(const std::wstring& name)
    : m_name(name), m_worstError(CSettings::GetInt(name + L"WorstError", 0))
{
}

void CGraphicsSystem::ReportFailure(int severity)
{
    CCrashLog& crashLog = GetCrashLog();
    if (severity == 2) {
        // The first out-of-memory report gives back the crash log's reserve;
        // a second one in the same run counts as a plain failure.
        if (crashLog.HoldsReserve())
            crashLog.ReleaseReserve();
        else
            severity = 3;
    }
    m_restricted = true;
    if (m_probing)
        severity = 3;
    if (severity > m_worstError) {
        m_worstError = severity;
        if (!g_worstErrorStored) {
            CSettings::SetInt(m_name + L"WorstError", severity);
            g_worstErrorStored = true;
        }
    }
    if (severity > m_currentError) {
        m_currentError = severity;
        TRACE_VALUE(std::wstring, m_name);
        TRACE_VALUE(int32_t, severity);
        crashLog.ReportFailure(kFailGraphics);
    }
}

CGdiGraphicsSystem& CGdiGraphicsSystem::Instance()
{
    static CGdiGraphicsSystem system;
    return system;
}
