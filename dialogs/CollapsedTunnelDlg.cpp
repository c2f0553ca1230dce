#include "dialogs/CollapsedTunnelDlg.h"

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kCollapsedTunnelNameTextId = 2534;

}  // namespace

CCollapsedTunnelDlg::CCollapsedTunnelDlg(CCourse* course) : CObjectPropertiesDlg(course, kCollapsedTunnelNameTextId)
{
    m_length = float(CSettings::GetInt(GetValueName(L"Len"), -1));
    if (course != nullptr) {
        const CSpecList& specList = course->GetSpecList();
        m_standardDiameter = specList.GetCollapsedTunnelDiameter();
        if (!(m_length > 0.0f) && specList.GetCollapsedTunnelLengthCount() > 0)
            specList.GetCollapsedTunnelLength(0, m_length);
    }
    if (!(m_length > 0.0f))
        m_length = kFallbackLength;
    m_diameter = m_standardDiameter;
    m_shownLength = m_length;
    m_shownDiameter = m_diameter;
}

void CCollapsedTunnelDlg::MergeLength(float length)
{
    MergeValue(m_length, length);
    if (GetEditedCount() <= 1)
        m_shownLength = length;
}

void CCollapsedTunnelDlg::MergeDiameter(float diameter)
{
    MergeValue(m_diameter, diameter);
    if (GetEditedCount() <= 1)
        m_shownDiameter = diameter;
}

void CCollapsedTunnelDlg::SetSize(float length, float diameter)
{
    m_length = length;
    m_diameter = diameter;
}

float CCollapsedTunnelDlg::GetLength() const
{
    return CheckNotMixed(m_length);
}

float CCollapsedTunnelDlg::GetDiameter() const
{
    if (m_diameter == 0.0f)
        ReportFailure();
    return m_diameter;
}

void CCollapsedTunnelDlg::StoreDefaults() const
{
    TRACE_POINT();
    if (m_length > 0.0f)
        CSettings::SetInt(GetValueName(L"Len"), int(m_length));
    if (m_diameter != 0.0f)
        CSettings::SetInt(GetValueName(L"Diam"), int(m_diameter));
}
