#include "dialogs/EndLineWnd.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kStartText = 2468;
constexpr int kFinishText = 2469;
constexpr int kBothText = 2470;
const wchar_t kHelpTopic[] = L"StartFinish";

// The kinds of line, as the line stores them.
constexpr int kStartLine = 0;
constexpr int kStartAndFinishLine = 1;
constexpr int kFinishLine = 2;

}  // namespace

CEndLineWnd::CEndLineWnd(CEndLineDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      startRadio(&mainColumn, GetString(kStartText)),
      finishRadio(&mainColumn, GetString(kFinishText)),
      bothRadio(&mainColumn, GetString(kBothText)),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    mainColumn.Add(&startRadio);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&finishRadio);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&bothRadio);
    SetContent(&mainColumn, 1);
}

void CEndLineWnd::InitControls()
{
    if (!m_dialog.IsKindMixed()) {
        const int kind = m_dialog.GetMergedKind();
        if (kind == kStartLine) {
            startRadio.Select();
        } else if (kind == kFinishLine) {
            finishRadio.Select();
        } else {
            if (kind != kStartAndFinishLine) {
                TRACE_VALUE(int32_t, kind);
                ReportFailure();
            }
            bothRadio.Select();
        }
    }
    CPropertiesWnd::InitControls();
}

void CEndLineWnd::OnOk()
{
    TRACE_POINT();
    // With no radio checked the lines differ and keep their kinds.
    if (startRadio.checked)
        m_dialog.SetStartAndFinish(kStartLine);
    else if (finishRadio.checked)
        m_dialog.SetStartAndFinish(kFinishLine);
    else if (bothRadio.checked)
        m_dialog.SetStartAndFinish(kStartAndFinishLine);
    m_dialog.StoreDefaults();
    CPropertiesWnd::OnOk();
}
