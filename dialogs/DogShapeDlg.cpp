#include "dialogs/DogShapeDlg.h"

#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kDogNameTextId = 2540;

}  // namespace

CDogShapeDlg::CDogShapeDlg(CCourse* course)
    : CFigureDlg(course, kDogNameTextId), m_figure(&m_skin)
{
    AttachModel(m_figure);
}

void CDogShapeDlg::MergeFigure(const CDogFigure& figure)
{
    const CDogFigure fresh(nullptr);
    MergePose(figure, fresh);
}

void CDogShapeDlg::MergeCustomHeight(float height)
{
    if (GetEditedCount() <= 1) {
        m_customHeight = height;
        m_heightMixed = false;
    } else if (height != m_customHeight) {
        m_customHeight = kOnTheGround;
        m_heightMixed = true;
    }
}

void CDogShapeDlg::ChooseCustomHeight(float height)
{
    m_customHeight = height;
    m_heightMixed = false;
}

float CDogShapeDlg::GetStoredCustomHeight() const
{
    const int stored = CSettings::GetInt(GetValueName(L"CustomHeight"), 0);
    return stored > 0 ? float(stored) : kOnTheGround;
}

void CDogShapeDlg::StoreDefaults() const
{
    TRACE_POINT();
    if (!m_heightMixed)
        CSettings::SetInt(GetValueName(L"CustomHeight"), int(m_customHeight));
    CFigureDlg::StoreDefaults();
}

bool CDogShapeDlg::IsOverTheBar() const
{
    return m_figure.IsSamePose(m_figure.GetPreset(kOverTheBarPose));
}
