#include "dialogs/WeavePolesPropertiesDlg.h"

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/Settings.h"

namespace {

constexpr int kWeavePolesNameTextId = 2610;

}  // namespace

CWeavePolesPropertiesDlg::CWeavePolesPropertiesDlg(CCourse* course)
    : CObjectPropertiesDlg(course, kWeavePolesNameTextId)
{
    const CSpecList& rules = course != nullptr ? course->GetSpecList() : GetSpecList(0);
    m_poles = CSettings::GetInt(GetValueName(L"Poles"), rules.GetWeavePoleCount());
    m_spacing = float(CSettings::GetInt(GetValueName(L"Spacing"), int(rules.GetMeasure18())));
    m_channel = float(CSettings::GetInt(GetValueName(L"Channel"), 0));
    m_shownPoles = m_poles;
    m_shownSpacing = m_spacing;
    m_shownChannel = m_channel;
}

void CWeavePolesPropertiesDlg::MergePoles(int poles)
{
    MergeValue(m_poles, poles, 0);
    if (GetEditedCount() <= 1)
        m_shownPoles = poles;
}

void CWeavePolesPropertiesDlg::MergeSpacing(float spacing)
{
    MergeValue(m_spacing, spacing);
    if (GetEditedCount() <= 1)
        m_shownSpacing = spacing;
}

void CWeavePolesPropertiesDlg::MergeChannel(float channel)
{
    MergeValue(m_channel, channel, -1.0f);
    if (GetEditedCount() <= 1)
        m_shownChannel = channel;
}

void CWeavePolesPropertiesDlg::MergeBoolOption(bool on)
{
    MergeCheck(m_option, on);
}

int CWeavePolesPropertiesDlg::GetPoles() const
{
    if (!HasPoles())
        CheckNotMixed(float(m_poles));
    return m_poles;
}

float CWeavePolesPropertiesDlg::GetSpacing() const
{
    return CheckNotMixed(m_spacing);
}

float CWeavePolesPropertiesDlg::GetChannel() const
{
    // A channel of 0 is a channel; only the mixed marker is reported.
    if (!HasChannel())
        CheckNotMixed(m_channel);
    return m_channel;
}
