#include "dialogs/UnusableAreaPropertiesDlg.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kUnusableAreaNameTextId = 2602;

int LimitPercent(int percent)
{
    return std::max(0, std::min(100, percent));
}

}  // namespace

CUnusableAreaPropertiesDlg::CUnusableAreaPropertiesDlg(CCourse* course)
    : CObjectPropertiesDlg(course, kUnusableAreaNameTextId)
{
    // A stored value out of range was not stored by this dialog.
    m_percentRounded = LimitPercent(CSettings::GetInt(GetValueName(L"PercentRounded", false), 0));
    ShowPercent(m_percentRounded);
}

void CUnusableAreaPropertiesDlg::MergePercentRounded(int percent)
{
    MergeValue(m_percentRounded, percent, kMixed);
    if (GetEditedCount() <= 1)
        ShowPercent(m_percentRounded);
}

int CUnusableAreaPropertiesDlg::GetPercentRounded() const
{
    if (!HasPercentRounded()) {
        TRACE_VALUE(int32_t, m_percentRounded);
        ReportFailure();
    }
    return m_percentRounded;
}

void CUnusableAreaPropertiesDlg::SetPercentRounded(int percent)
{
    m_percentRounded = LimitPercent(percent);
}

void CUnusableAreaPropertiesDlg::StoreDefaults() const
{
    if (HasPercentRounded())
        CSettings::SetInt(GetValueName(L"PercentRounded", false), m_percentRounded);
}
