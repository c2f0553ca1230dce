#include "dialogs/SeeSawPropertiesDlg.h"

#include "foundation/Settings.h"

namespace {

constexpr int kSeeSawNameTextId = 2584;

}  // namespace

CSeeSawPropertiesDlg::CSeeSawPropertiesDlg(CCourse* course) : CObjectPropertiesDlg(course, kSeeSawNameTextId)
{
    m_plankLength = float(CSettings::GetInt(GetValueName(L"PlankLen"), int(kStandardPlankLength)));
    m_shownPlankLength = m_plankLength;
    m_flat = CSettings::GetInt(GetValueName(L"Flat"), 0) != 0 ? ECheckState::kSet : ECheckState::kClear;
}

void CSeeSawPropertiesDlg::MergePlankLength(float length)
{
    MergeValue(m_plankLength, length);
    if (GetEditedCount() <= 1)
        m_shownPlankLength = length;
}

void CSeeSawPropertiesDlg::MergeFlat(bool flat)
{
    MergeCheck(m_flat, flat);
}

float CSeeSawPropertiesDlg::GetPlankLength() const
{
    return CheckNotMixed(m_plankLength);
}
