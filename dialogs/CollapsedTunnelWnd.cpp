#include "dialogs/CollapsedTunnelWnd.h"

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kLengthText = 2286;

// The lengths are bare, so their radios get no access keys.
const CLengthChoice::CDesign kLength = {2285, 2287, 96, 240, 6, 10, false};

// The organisation's collapsed-tunnel lengths, in its order.
std::vector<CLengthChoice::CStandard> GetStandardLengths(const CCourse* course, bool metric)
{
    std::vector<CLengthChoice::CStandard> lengths;
    if (!course)
        return lengths;
    const CSpecList& rules = course->GetSpecList();
    for (int i = 0; i < rules.GetCollapsedTunnelLengthCount(); ++i) {
        float length = 0.0f;
        rules.GetCollapsedTunnelLength(i, length);
        lengths.push_back({length, GetStringWithArg(kLengthText, FormatLength(length, GetSizeUnitKind(metric), true))});
    }
    return lengths;
}

}  // namespace

CCollapsedTunnelWnd::CCollapsedTunnelWnd(CCollapsedTunnelDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      lengthChoice(kLength, GetStandardLengths(dialog.GetCourse(), IsMetric()), IsMetric()),
      diameterChoice(dialog.GetStandardDiameter(), IsMetric()),
      m_dialog(dialog)
{
    mainColumn.Add(&lengthChoice);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&diameterChoice);
    SetContent(&mainColumn, 1);
}

void CCollapsedTunnelWnd::InitControls()
{
    lengthChoice.Show(m_dialog.GetMergedLength(), m_dialog.GetShownLength());
    diameterChoice.Show(m_dialog.GetMergedDiameter(), m_dialog.GetShownDiameter());
    CPropertiesWnd::InitControls();
}

void CCollapsedTunnelWnd::OnOk()
{
    TRACE_POINT();
    float length = m_dialog.GetMergedLength();
    float diameter = m_dialog.GetMergedDiameter();
    if (!lengthChoice.Read(length) || !diameterChoice.Read(diameter))
        return;
    m_dialog.SetSize(length, diameter);
    m_dialog.StoreDefaults();
    CPropertiesWnd::OnOk();
}
