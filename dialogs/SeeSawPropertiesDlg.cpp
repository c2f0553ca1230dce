#include "dialogs/SeeSawPropertiesDlg.h"

#include "foundation/Settings.h"

namespace {

constexpr int kSeeSawNameTextId = 2584;

}  // namespace

CSeeSawPropertiesDlg::CSeeSawPropertiesDlg(CCourse* course) : CObjectPropertiesDlg(course, kSeeSawNameTextId)
{
    m_plankLength = float(CSettings::GetInt(GetValueName(L"PlankLen"), int(kStandardPlankLength)));
    m_flat = CSettings::GetInt(GetValueName(L"Flat"), 0) != 0 ? ECheckState::kSet : ECheckState::kClear;
}

void CSeeSawPropertiesDlg::MergePlankLength(float length)
{
    MergeValue(m_plankLength, length);
}

void CSeeSawPropertiesDlg::MergeFlat(bool flat)
{
    MergeCheck(m_flat, flat);
}

float CSeeSawPropertiesDlg::GetPlankLength() const
{
    return CheckNotMixed(m_plankLength);
}
