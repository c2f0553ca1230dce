#include "dialogs/StraightLinePropertiesDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kStraightLineNameTextId = 2588;

// A stored choice of 0 to 2; anything else written into the settings gives
// the fallback.
int StoredChoice(const std::wstring& name, int fallback)
{
    const int stored = CSettings::GetInt(name, fallback);
    return stored >= 0 && stored <= 2 ? stored : fallback;
}

int CheckMixed(int value, bool mixed)
{
    if (mixed) {
        TRACE_VALUE(int32_t, value);
        ReportFailure();
    }
    return value;
}

}  // namespace

CStraightLinePropertiesDlg::CStraightLinePropertiesDlg(CCourse* course)
    : CObjectPropertiesDlg(course, kStraightLineNameTextId)
{
    MergePen(StoredChoice(GetValueName(L"Pen", false), 1));
    MergeArrowHeads(StoredChoice(GetValueName(L"ArrowHeads", false), 0));
    MergeShowLength(CSettings::GetInt(GetValueName(L"ShowLength", false), 0) != 0);
    const int units = CSettings::GetInt(GetUsUnitsSettingName(*this), kDefaultUnits);
    MergeUnits(IsUsUnitKind(units) ? units : kDefaultUnits);
}

void CStraightLinePropertiesDlg::MergePen(int choice)
{
    MergeValue(m_pen, choice, kMixedChoice);
}

void CStraightLinePropertiesDlg::MergeArrowHeads(int choice)
{
    MergeValue(m_arrowHeads, choice, kMixedChoice);
}

void CStraightLinePropertiesDlg::MergeShowLength(bool show)
{
    MergeCheck(m_showLength, show);
}

void CStraightLinePropertiesDlg::MergeUnits(int kind)
{
    MergeValue(m_units, kind, kMixedUnits);
}

int CStraightLinePropertiesDlg::GetPen() const
{
    return CheckMixed(m_pen, !HasPen());
}

int CStraightLinePropertiesDlg::GetArrowHeads() const
{
    return CheckMixed(m_arrowHeads, !HasArrowHeads());
}

bool CStraightLinePropertiesDlg::GetShowLength() const
{
    CheckMixed(int(m_showLength), !HasShowLength());
    return m_showLength == ECheckState::kSet;
}

int CStraightLinePropertiesDlg::GetUnits() const
{
    return CheckMixed(m_units, !HasUnits());
}

void CStraightLinePropertiesDlg::Choose(int pen, int arrowHeads, ECheckState showLength, int units)
{
    m_pen = pen >= 0 && pen < kMixedChoice ? pen : kMixedChoice;
    m_arrowHeads = arrowHeads >= 0 && arrowHeads < kMixedChoice ? arrowHeads : kMixedChoice;
    m_showLength = showLength;
    m_units = IsUsUnitKind(units) ? units : kMixedUnits;
}

void CStraightLinePropertiesDlg::StoreDefaults() const
{
    TRACE_POINT();
    if (HasPen())
        CSettings::SetInt(GetValueName(L"Pen", false), m_pen);
    if (HasArrowHeads())
        CSettings::SetInt(GetValueName(L"ArrowHeads", false), m_arrowHeads);
    if (HasShowLength())
        CSettings::SetInt(GetValueName(L"ShowLength", false), m_showLength == ECheckState::kSet ? 1 : 0);
    if (HasUnits())
        CSettings::SetInt(GetUsUnitsSettingName(*this), m_units);
}

std::wstring CStraightLinePropertiesDlg::GetUsUnitsSettingName(const CObjectPropertiesDlg& dialog)
{
    return dialog.GetValueName(L"UsUnits", false);
}
