#include "dialogs/CrossoverDlg.h"

#include "foundation/Settings.h"

namespace {

constexpr int kCrossoverNameTextId = 2538;

}  // namespace

CCrossoverDlg::CCrossoverDlg(CCourse* course) : CObjectPropertiesDlg(course, kCrossoverNameTextId)
{
    m_whichPlanks = CSettings::GetInt(GetValueName(L"WhichPlanks", false), 0);
    m_plankLength = float(CSettings::GetInt(GetValueName(L"PlankLen"), int(kStandardPlankLength)));
    m_height = float(CSettings::GetInt(GetValueName(L"Height"), int(kStandardHeight)));
    m_platformWidth = float(CSettings::GetInt(GetValueName(L"PlatformWidth"), int(kStandardPlatformWidth)));
    m_shownPlankLength = m_plankLength;
    m_shownHeight = m_height;
    m_shownPlatformWidth = m_platformWidth;
}

void CCrossoverDlg::MergeHeight(float height)
{
    MergeValue(m_height, height);
    if (GetEditedCount() <= 1)
        m_shownHeight = height;
}

void CCrossoverDlg::MergePlankLength(float length)
{
    MergeValue(m_plankLength, length);
    if (GetEditedCount() <= 1)
        m_shownPlankLength = length;
}

void CCrossoverDlg::MergePlatformWidth(float width)
{
    MergeValue(m_platformWidth, width);
    if (GetEditedCount() <= 1)
        m_shownPlatformWidth = width;
}

void CCrossoverDlg::SetRamp(float plankLength, float height)
{
    m_plankLength = plankLength;
    m_height = height;
}

void CCrossoverDlg::MergeWhichPlanks(int whichPlanks)
{
    MergeValue(m_whichPlanks, whichPlanks, kMixed);
}

float CCrossoverDlg::GetHeight() const
{
    return CheckNotMixed(m_height);
}

float CCrossoverDlg::GetPlankLength() const
{
    return CheckNotMixed(m_plankLength);
}

float CCrossoverDlg::GetPlatformWidth() const
{
    return CheckNotMixed(m_platformWidth);
}

int CCrossoverDlg::GetWhichPlanks() const
{
    if (!HasWhichPlanks())
        CheckNotMixed(float(m_whichPlanks));
    return m_whichPlanks;
}
