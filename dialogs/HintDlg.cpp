#include "dialogs/HintDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "ui/Panel.h"

namespace {

constexpr int kMessageWidthInCharacters = 50;

}  // namespace

std::map<int, int>& GetHintCounts()
{
    static std::map<int, int> counts;
    return counts;
}

std::set<int>& GetShownHints()
{
    static std::set<int> shown;
    return shown;
}

std::wstring GetNeverShowValueName(int hintId) { return L"NeverShow" + std::to_wstring(hintId); }

void ShowHint(int hintId, const std::wstring& helpTopic, int threshold)
{
    TRACE_VALUE(int32_t, hintId);
    // A dialog now would take the mouse away from a press in progress.
    if (CPanel::GetPressedPanel())
        return;
    const int count = ++GetHintCounts()[hintId];
    if (CSettings::GetInt(GetNeverShowValueName(hintId), 0) != 0)
        return;
    if (count < threshold)
        return;
    if (GetShownHints().count(hintId) != 0)
        return;
    (new CHintDlg(hintId, helpTopic))->DoModal();
}

CHintDlg::CHintDlg(int hintIdValue, const std::wstring& topic)
    : CDialog(GetString(2520)),
      hintId(hintIdValue),
      neverShowBox(GetString(2521), false),
      grid(true),
      message(GetString(hintIdValue), kMessageWidthInCharacters)
{
    GetShownHints().insert(hintId);
    helpTopic = topic;
    grid.Add(&message);
    grid.Add(CSpacer::GapV7());
    grid.Add(CSpacer::GapV4());
    grid.Add(&neverShowBox);
    // Room below when the button column is the taller part.
    grid.AddEmpty();
    SetContent(&grid);
}

void CHintDlg::OnOk()
{
    TRACE_VALUE(int32_t, hintId);
    if (neverShowBox.checked)
        CSettings::SetInt(GetNeverShowValueName(hintId), 1);
    CDialog::OnOk();
}
