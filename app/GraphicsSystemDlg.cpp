#include "app/GraphicsSystemDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "render3d/GraphicsSystem.h"

namespace {

constexpr int kTitleTextId = 2384;
constexpr int kHeadingTextId = 2387;
constexpr int kNoteTextId = 2393;
constexpr int kNoteWidthInCharacters = 75;
// Stored class when no button is ticked: the first button's.
constexpr int kFirstChoiceClass = 3;
const wchar_t kMenuItemVisibleSetting[] = L"GraphicsSystemMenuItemVisible";

// The buttons, top to bottom. A button whose system may be missing on a
// machine (Direct3D 11, OpenGL 3) is disabled there unless it is ticked;
// OpenGL 1 and GDI are always offered. A gap follows the buttons that end a
// pair: Direct3D 11 or GDI for every view, Direct3D 11 for 3D views, OpenGL
// for 3D views.
struct CChoice
{
    int textId;
    int graphicsClass;
    bool mayBeMissing;
    bool gapAfter;
};

const CChoice kChoices[] = {
    {2388, 3, true, false},
    {2391, 0, false, true},
    {2392, 4, true, true},
    {2389, 2, true, false},
    {2390, 1, false, false},
};

// Whether the system of the class can draw on this machine: probed once
// per run, and false once it has failed in this run.
bool IsClassUsable(int graphicsClass)
{
    for (const CGraphicsClassEntry& row : GetGraphicsSystemTable())
        if (row.id == graphicsClass)
            return row.system->IsUsable();
    TRACE_VALUE(int32_t, graphicsClass);
    ReportFailure();
    return false;
}

}  // namespace

CGraphicsSystemDlg::CGraphicsSystemDlg()
    : CDialog(GetString(kTitleTextId)),
      heading(GetString(kHeadingTextId)),
      choices(true),
      choicesRow(3, 1),
      note(GetString(kNoteTextId), kNoteWidthInCharacters),
      column(true)
{
    TRACE_POINT();
    selfDeleting = false;
    CSettings::SetInt(kMenuItemVisibleSetting, 1);

    const int stored = GetGraphicsClassSetting();
    for (const CChoice& choice : kChoices) {
        const bool ticked = choice.graphicsClass == stored;
        buttons.emplace_back(new CRadioButton(&choices, GetString(choice.textId), ticked));
        CRadioButton& button = *buttons.back();
        if (choice.mayBeMissing && !ticked && !IsClassUsable(choice.graphicsClass))
            button.SetEnabled(false);
        choices.Add(&button);
        if (choice.gapAfter)
            choices.Add(CSpacer::GapV4());
    }
    choicesRow.SetCell(0, 0, CSpacer::GapH7());
    choicesRow.SetCell(1, 0, &choices);
    choicesRow.SetCell(2, 0, CSpacer::GapH7());

    column.Add(&heading);
    column.Add(CSpacer::GapV4());
    column.Add(&choicesRow);
    column.Add(CSpacer::GapV7());
    column.Add(&note);
    SetContent(&column);
}

void CGraphicsSystemDlg::OnOk()
{
    int chosen = kFirstChoiceClass;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->checked)
            chosen = kChoices[i].graphicsClass;
    TRACE_VALUE(int32_t, chosen);
    SetGraphicsClassSetting(chosen, true);
    CDialog::OnOk();
}

void ShowGraphicsSystemDialog()
{
    TRACE_POINT();
    CGraphicsSystemDlg dialog;
    dialog.DoModal();
}
