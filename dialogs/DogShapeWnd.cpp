#include "dialogs/DogShapeWnd.h"

#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kHeadingText = 2376;
constexpr int kGroundText = 2377;
constexpr int kJumpHeightText = 2378;
constexpr int kCustomText = 2379;
constexpr int kMaxHeightInches = 84;
// The dog's thumbnails: from its eye height at 66 inches, and from 84
// inches above.
constexpr float kSideDistance = 660.0f;
constexpr float kTopHeight = 840.0f;
const wchar_t kHelpTopic[] = L"DogShape";

}  // namespace

CDogShapeWnd::CDogShapeWnd(CDogShapeDlg& dialog, CSessionColors& colors)
    : CFigureWnd(dialog, colors),
      heightBlock(true),
      radioGrid(3, 5),
      customRow(4, 1),
      heightHeading(GetString(kHeadingText)),
      groundRadio(&radioGrid, GetString(kGroundText)),
      jumpHeightRadio(&radioGrid, GetString(kJumpHeightText)),
      customRadio(&radioGrid, GetString(kCustomText)),
      heightEdit(0, kMaxHeightInches, 1, 5, IsMetric()),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    heightHeading.caption.SetAutoMnemonic(false);
    const auto onChoice = CMemberDelegate<CRadioButton*, CDogShapeWnd>::Make(this, &CDogShapeWnd::OnHeightChoice);
    for (CRadioButton* radio : {&groundRadio, &jumpHeightRadio, &customRadio})
        radio->SetOnClick(onChoice);
    customRow.SetCell(0, 0, &customRadio);
    customRow.SetCell(1, 0, CSpacer::GapH4());
    customRow.SetCell(2, 0, &heightEdit);
    radioGrid.SetCell(0, 0, CSpacer::GapH7to14());
    radioGrid.SetCell(1, 0, &groundRadio);
    radioGrid.SetCell(1, 1, CSpacer::GapV4());
    radioGrid.SetCell(1, 2, &jumpHeightRadio);
    radioGrid.SetCell(1, 3, CSpacer::GapV4());
    radioGrid.SetCell(1, 4, &customRow);
    heightBlock.Add(&heightHeading);
    heightBlock.Add(CSpacer::GapV4());
    heightBlock.Add(&radioGrid);
    BuildLayout(true, kSideDistance, kTopHeight, nullptr, &heightBlock);
}

void CDogShapeWnd::InitControls()
{
    CFigureWnd::InitControls();
    heightEdit.SetValue(0.0f);
    if (m_dialog.GetEditedCount() == 0) {
        // A new dog: the height stored last, unless its pose says otherwise.
        const float stored = m_dialog.GetStoredCustomHeight();
        if (stored > 0.0f) {
            heightEdit.SetValue(stored);
            customRadio.Select();
        }
        OnPoseChanged();
    } else if (!m_dialog.IsHeightMixed()) {
        const float height = m_dialog.GetCustomHeight();
        if (height > 0.0f) {
            heightEdit.SetValue(height);
            customRadio.Select();
        } else {
            (height < 0.0f ? jumpHeightRadio : groundRadio).Select();
        }
    }
    heightEdit.SetEnabled(customRadio.checked);
}

void CDogShapeWnd::OnPoseChanged()
{
    if (m_dialog.IsOverTheBar()) {
        jumpHeightRadio.Select();
        heightEdit.SetValue(0.0f);
    } else if (!customRadio.checked) {
        groundRadio.Select();
        heightEdit.SetValue(0.0f);
    }
    heightEdit.SetEnabled(customRadio.checked);
}

void CDogShapeWnd::OnHeightChoice(CRadioButton* radio)
{
    heightEdit.SetEnabled(radio == &customRadio);
}

bool CDogShapeWnd::ReadKindValues()
{
    if (customRadio.checked) {
        float height = 0.0f;
        if (!heightEdit.GetValue(&height, true))
            return false;
        m_dialog.ChooseCustomHeight(height);
    } else if (jumpHeightRadio.checked) {
        m_dialog.ChooseCustomHeight(CDogShapeDlg::kAtJumpHeight);
    } else if (groundRadio.checked) {
        m_dialog.ChooseCustomHeight(CDogShapeDlg::kOnTheGround);
    }
    return true;
}
