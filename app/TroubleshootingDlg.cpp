#include "app/TroubleshootingDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"

namespace {

const wchar_t kSimpleSceneSetting[] = L"FmtTextSimpleScene";

}  // namespace

CTroubleshootingDlg::CTroubleshootingDlg()
    : CDialog(L"Troubleshooting"),
      avoidGdiBox(L"Avoid GDI for text", CSettings::GetInt(kSimpleSceneSetting, 1) == 0),
      crashLogButton(L"Create Crash Log"),
      column(true)
{
    crashLogButton.onClick =
        CMemberDelegate<CPushButton*, CTroubleshootingDlg>::Make(this, &CTroubleshootingDlg::OnCreateCrashLog);
    column.Add(&avoidGdiBox);
    column.Add(CSpacer::GapV7());
    column.Add(&crashLogButton);
    column.Add(CSpacer::GapV7());
    // Room below when the button column is the taller part.
    column.AddEmpty();
    SetContent(&column);
}

void CTroubleshootingDlg::OnOk()
{
    CSettings::SetInt(kSimpleSceneSetting, avoidGdiBox.checked ? 0 : 1);
    CDialog::OnOk();
}

void CTroubleshootingDlg::OnCreateCrashLog(CPushButton*)
{
    TRACE_POINT();
    ReportFailure(kFailCheck);
    Close();
}
