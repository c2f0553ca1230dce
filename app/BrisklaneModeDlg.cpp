#include "app/BrisklaneModeDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"

namespace {

const wchar_t kModeSetting[] = L"BrisklaneMode";
// Buttons in a row below the box.
constexpr int kButtonsInRow = 3;

}  // namespace

CBrisklaneModeDlg::CBrisklaneModeDlg()
    : CDialog(L"Brisklane features"), modeBox(L"Brisklane mode", IsBrisklaneMode())
{
    selfDeleting = false;
    buttonPlacement = kButtonsInRow;
    SetContent(&modeBox);
}

void CBrisklaneModeDlg::OnOk()
{
    TRACE_VALUE(bool, modeBox.checked);
    CSettings::SetInt(kModeSetting, modeBox.checked ? 1 : 0);
    CDialog::OnOk();
}
