#include "dialogs/AFrameDlg.h"

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/Settings.h"

namespace {

const CAFrameDlg::CSizeChoice kAFrameSizes = {
    2526, &CSpecList::GetAFrameSizeCount, &CSpecList::GetAFrameSize, 960.0f, 590.0f,
};

const CAFrameDlg::CSizeChoice kDogWalkSizes = {
    2544, &CSpecList::GetDogWalkSizeCount, &CSpecList::GetDogWalkSize, 1440.0f, 480.0f,
};

}  // namespace

CAFrameDlg::CAFrameDlg(CCourse* course) : CAFrameDlg(course, kAFrameSizes) {}

CAFrameDlg::CAFrameDlg(CCourse* course, const CSizeChoice& choice) : CObjectPropertiesDlg(course, choice.nameTextId)
{
    m_length = float(CSettings::GetInt(GetValueName(L"PlankLen"), 0));
    m_height = float(CSettings::GetInt(GetValueName(L"Height"), 0));
    if (!(m_length > 0.0f) || !(m_height > 0.0f)) {
        if (course != nullptr) {
            const CSpecList& rules = course->GetSpecList();
            if ((rules.*choice.presetCount)() > 0)
                (rules.*choice.preset)(0, m_length, m_height);
        }
        if (!(m_length > 0.0f) || !(m_height > 0.0f)) {
            m_length = choice.fixedLength;
            m_height = choice.fixedHeight;
        }
    }
    m_shownLength = m_length;
    m_shownHeight = m_height;
}

void CAFrameDlg::MergeLength(float length)
{
    MergeValue(m_length, length);
    if (GetEditedCount() <= 1)
        m_shownLength = length;
}

void CAFrameDlg::MergeHeight(float height)
{
    MergeValue(m_height, height);
    if (GetEditedCount() <= 1)
        m_shownHeight = height;
}

void CAFrameDlg::SetSize(float length, float height)
{
    m_length = length;
    m_height = height;
}

float CAFrameDlg::GetLength() const
{
    return CheckNotMixed(m_length);
}

float CAFrameDlg::GetHeight() const
{
    return CheckNotMixed(m_height);
}

CDogWalkDlg::CDogWalkDlg(CCourse* course) : CAFrameDlg(course, kDogWalkSizes) {}
