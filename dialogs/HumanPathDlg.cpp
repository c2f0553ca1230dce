#include "dialogs/HumanPathDlg.h"

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"
#include "dialogs/StraightLinePropertiesDlg.h"

namespace {

constexpr int kHumanPathNameTextId = 2554;
constexpr int kDefaultUnits = 4;

int CheckMixed(int value, bool mixed)
{
    if (mixed) {
        TRACE_VALUE(int32_t, value);
        ReportFailure();
    }
    return value;
}

}  // namespace

CHumanPathDlg::CHumanPathDlg(CCourse* course) : CObjectPropertiesDlg(course, kHumanPathNameTextId)
{
    TRACE_POINT();
    m_metric = course != nullptr && course->IsMetric();
    const int penType = CSettings::GetInt(GetValueName(L"PenType", false), 1);
    m_penType = IsPenType(penType) ? penType : 1;
    m_storedShowLength = CSettings::GetInt(GetShowLengthValueName(*this), 0) != 0;
    m_showLength = m_storedShowLength ? ECheckState::kSet : ECheckState::kClear;
    const int units = CSettings::GetInt(CStraightLinePropertiesDlg::GetUsUnitsSettingName(*this), kDefaultUnits);
    m_units = CStraightLinePropertiesDlg::IsUsUnitKind(units) ? units : kDefaultUnits;
    // The edited paths must be seen.
    if (course != nullptr && !course->GetShowPaths())
        course->SetShowPaths(true);
}

void CHumanPathDlg::SetPenType(int penType)
{
    if (GetEditedCount() <= 1) {
        m_penType = penType;
        m_penMixed = false;
    } else if (penType != m_penType) {
        m_penMixed = true;
    }
}

void CHumanPathDlg::SetShowLength(bool show)
{
    MergeCheck(m_showLength, show);
}

void CHumanPathDlg::SetLengthUnits(int units)
{
    MergeValue(m_units, units, kMixedUnits);
}

int CHumanPathDlg::GetPenType() const
{
    return CheckMixed(m_penType, m_penMixed);
}

bool CHumanPathDlg::GetShowLength() const
{
    CheckMixed(int(m_showLength), m_showLength == ECheckState::kMixed);
    return m_showLength == ECheckState::kSet;
}

int CHumanPathDlg::GetLengthUnits() const
{
    return CheckMixed(m_units, m_units == kMixedUnits);
}

void CHumanPathDlg::ChoosePenType(int penType)
{
    if (penType == 0)
        return;
    if (!IsPenType(penType)) {
        TRACE_VALUE(int32_t, penType);
        ReportFailure();
        return;
    }
    m_penType = penType;
    m_penMixed = false;
}

void CHumanPathDlg::ChooseShowLength(ECheckState state)
{
    m_showLength = state;
}

void CHumanPathDlg::ChooseLengthUnits(int units)
{
    if (CStraightLinePropertiesDlg::IsUsUnitKind(units))
        m_units = units;
}

void CHumanPathDlg::StoreDefaults() const
{
    TRACE_POINT();
    if (!m_penMixed)
        CSettings::SetInt(GetValueName(L"PenType", false), m_penType);
    if (m_showLength != ECheckState::kMixed)
        CSettings::SetInt(GetShowLengthValueName(*this), m_showLength == ECheckState::kSet ? 1 : 0);
    if (!m_metric && m_units != kMixedUnits)
        CSettings::SetInt(CStraightLinePropertiesDlg::GetUsUnitsSettingName(*this), m_units);
}

std::wstring CHumanPathDlg::GetShowLengthValueName(const CObjectPropertiesDlg& dialog)
{
    return dialog.GetValueName(L"ShowLength", false);
}
