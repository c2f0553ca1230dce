#include "dialogs/HumanShapeWnd.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kRightHandText = 2435;
constexpr int kLeftHandText = 2436;
constexpr int kFirstChoiceText = 2437;
// The handler's thumbnails: from her eye height at 96 inches, and from 144
// inches above.
constexpr float kSideDistance = 960.0f;
constexpr float kTopHeight = 1440.0f;
const wchar_t kHelpTopic[] = L"HumanShape";

void FillChoices(CComboBox& list, int choice)
{
    for (int i = 0; i < CHumanShapeDlg::kChoiceCount; ++i) {
        if (list.AddItem(GetString(kFirstChoiceText + i)) != i) {
            TRACE_VALUE(int32_t, i);
            ReportFailure();
        }
    }
    if (choice == CHumanShapeDlg::kMixedChoice)
        list.AddItem(std::wstring());
    list.SelectItem(choice);
}

}  // namespace

CHumanShapeWnd::CHumanShapeWnd(CHumanShapeDlg& dialog, CSessionColors& colors)
    : CFigureWnd(dialog, colors),
      choiceGrid(4, 3),
      labelA(GetString(kRightHandText)),
      labelB(GetString(kLeftHandText)),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    choiceGrid.SetCell(0, 0, &labelA);
    choiceGrid.SetCell(1, 0, CSpacer::GapH4());
    choiceGrid.SetCell(2, 0, &listA);
    choiceGrid.SetCell(0, 1, CSpacer::GapV4());
    choiceGrid.SetCell(1, 1, CSpacer::NullCell());
    choiceGrid.SetCell(2, 1, CSpacer::NullCell());
    choiceGrid.SetCell(0, 2, &labelB);
    choiceGrid.SetCell(1, 2, CSpacer::GapH4());
    choiceGrid.SetCell(2, 2, &listB);
    // Column 3 stays empty: extra width goes to the right of the lists, as
    // in the pose row.
    BuildLayout(false, kSideDistance, kTopHeight, &choiceGrid, nullptr, {&labelA, &labelB});
    const auto onChoice = CMemberDelegate<CComboBox*, CHumanShapeWnd>::Make(this, &CHumanShapeWnd::OnChoiceChanged);
    listA.SetOnSelChange(onChoice);
    listB.SetOnSelChange(onChoice);
}

void CHumanShapeWnd::InitControls()
{
    // The lists are filled once the edited handlers have been merged.
    if (listA.GetItemCount() == 0) {
        FillChoices(listA, m_dialog.GetChoiceA());
        FillChoices(listB, m_dialog.GetChoiceB());
    }
    CFigureWnd::InitControls();
}

void CHumanShapeWnd::OnChoiceChanged(CComboBox* list)
{
    const int choice = list->GetSelection();
    if (choice >= CHumanShapeDlg::kChoiceCount)
        return;
    list == &listA ? m_dialog.ChooseA(choice) : m_dialog.ChooseB(choice);
    UpdatePoseSelection(false);
}

void CHumanShapeWnd::OnPoseChanged()
{
    const CHumanFigure& figure = static_cast<const CHumanFigure&>(m_dialog.GetModel());
    listA.SelectItem(figure.GetPoseChoiceA());
    listB.SelectItem(figure.GetPoseChoiceB());
    m_dialog.ChooseA(figure.GetPoseChoiceA());
    m_dialog.ChooseB(figure.GetPoseChoiceB());
}

bool CHumanShapeWnd::ReadKindValues()
{
    m_dialog.ChooseA(listA.GetSelection());
    m_dialog.ChooseB(listB.GetSelection());
    return true;
}
