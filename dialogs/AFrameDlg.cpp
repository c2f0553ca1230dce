#include "dialogs/AFrameDlg.h"

#include "foundation/Settings.h"

namespace {

constexpr int kAFrameNameTextId = 2526;

}  // namespace

CAFrameDlg::CAFrameDlg(CCourse* course) : CObjectPropertiesDlg(course, kAFrameNameTextId)
{
    m_length = float(CSettings::GetInt(GetValueName(L"PlankLen"), -1));
    m_height = float(CSettings::GetInt(GetValueName(L"Height"), -1));
    if (!(m_length > 0.0f) || !(m_height > 0.0f)) {
        m_length = kDefaultLength;
        m_height = kDefaultHeight;
    }
}

void CAFrameDlg::MergeLength(float length)
{
    MergeValue(m_length, length);
}

void CAFrameDlg::MergeHeight(float height)
{
    MergeValue(m_height, height);
}

float CAFrameDlg::GetLength() const
{
    return CheckNotMixed(m_length);
}

float CAFrameDlg::GetHeight() const
{
    return CheckNotMixed(m_height);
}
