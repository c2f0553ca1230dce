#include "dialogs/PropertiesWnd.h"

#include "course/Course.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/ColorPickerDlg.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "dialogs/PropertiesSession.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

constexpr int kTitleText = 2229;
constexpr int kEditOnCreateText = 2230;
constexpr int kColorsText = 2236;
// The room beside a check box's caption: the box and its gap, and the few
// pixels by which the native control draws the caption further right than
// the framework's measure of a check box allows for.
constexpr int kBoxRoom = 22;

const CSpecList& GetRules(const CCourse* course)
{
    return course ? course->GetSpecList() : GetSpecList(0);
}

}  // namespace

CPropertiesWnd::CPropertiesWnd(CObjectPropertiesDlg& halfValue, CSessionColors& colorsValue)
    : CDialog(GetStringWithArg(kTitleText, GetRules(halfValue.GetCourse()).GetTerm(halfValue.GetNameTextId()))),
      contentGrid(true),
      buttonRow(2, 1),
      colorsButton(GetString(kColorsText)),
      editOnCreateBox(std::wstring(), false),
      half(halfValue),
      colors(colorsValue)
{
    colorsButton.onClick = CMemberDelegate<CPushButton*, CPropertiesWnd>::Make(this, &CPropertiesWnd::OnColorsClicked);
    helpTopic = L"Edit";
    ShowEditOnCreate(FindObjectTypeByNameId(half.GetNameTextId()));
}

void CPropertiesWnd::SetObjectType(const CObjectType* type, bool loadTypeColors)
{
    colors.SetType(type, loadTypeColors);
    ShowEditOnCreate(type);
}

void CPropertiesWnd::ShowEditOnCreate(const CObjectType* type)
{
    m_type = type;
    if (type) {
        editOnCreateBox.SetCaption(GetEditOnCreateCaption(type->GetNameTextId()));
        ReserveEditOnCreateCaption(type->GetNameTextId());
        m_editOnCreateShown = m_editOnCreateShown || type->IsEditOnCreateSettable();
        editOnCreateBox.SetChecked(type->IsEditOnCreate());
        editOnCreateBox.SetEnabled(type->IsEditOnCreateSettable());
        editOnCreateBox.SetIndeterminate(false);
    } else {
        editOnCreateBox.SetCaption(GetStringWithArg(kEditOnCreateText, std::wstring()));
        editOnCreateBox.SetChecked(false);
        editOnCreateBox.SetEnabled(false);
        editOnCreateBox.SetIndeterminate(true);
    }
}

void CPropertiesWnd::ReserveEditOnCreateCaption(int nameTextId)
{
    FitCheckBox(editOnCreateBox, GetEditOnCreateCaption(nameTextId));
    // A kind the window may come to show puts the box in its layout.
    const CObjectType* type = FindObjectTypeByNameId(nameTextId);
    if (type && type->IsEditOnCreateSettable())
        m_editOnCreateShown = true;
}

void CPropertiesWnd::FitCheckBox(CCheckBox& box, const std::wstring& caption)
{
    FitWidthToText(box, caption, kBoxRoom);
}

void CPropertiesWnd::ShowCheckState(CCheckBox& box, ECheckState state, bool mixedShown)
{
    const bool mixed = state == ECheckState::kMixed;
    box.SetChecked(mixed ? mixedShown : state == ECheckState::kSet);
    box.SetIndeterminate(mixed);
}

ECheckState CPropertiesWnd::GetCheckState(const CCheckBox& box)
{
    if (box.indeterminate)
        return ECheckState::kMixed;
    return box.checked ? ECheckState::kSet : ECheckState::kClear;
}

void CPropertiesWnd::SetContent(CWindow* content, int placement)
{
    TRACE_POINT();
    if (m_contentSet) {
        ReportFailure();
        return;
    }
    m_contentSet = true;
    buttonRow.SetCell(0, 0, &colorsButton);
    if (content) {
        contentGrid.Add(content);
        contentGrid.Add(CSpacer::GapV7());
    }
    contentGrid.Add(&buttonRow);
    if (m_editOnCreateShown) {
        contentGrid.Add(CSpacer::GapV7());
        contentGrid.Add(&editOnCreateBox);
    }
    contentGrid.AddEmpty();
    buttonPlacement = placement;
    CDialog::SetContent(&contentGrid);
}

void CPropertiesWnd::InitControls()
{
    if (!m_contentSet)
        SetContent(nullptr, 1);
}

void CPropertiesWnd::OnOk()
{
    TRACE_POINT();
    if (m_type && m_type->IsEditOnCreateSettable())
        m_type->SetEditOnCreate(editOnCreateBox.checked);
    if (CCourse* course = GetCourse())
        course->ApplyPropertiesDialog(half);
    CDialog::OnOk();
}

void CPropertiesWnd::OnColorsClicked(CPushButton*)
{
    TRACE_POINT();
    // The picker's changes stay in the session's colours until this
    // dialog's OK.
    RunColorPicker(GetCourse(), colors.GetEditedMerge(), false);
}

void CPropertiesWnd::OnCancel()
{
    TRACE_POINT();
    CCourse* course = GetCourse();
    // Only the placing tool's own dialog: a dialog of the selection leaves
    // the tool alone.
    if (course && course->GetPropertiesDialog() == static_cast<CEditSession*>(&half))
        course->ReleasePropertiesDialog(&half);
    CDialog::OnCancel();
}

void CPropertiesWnd::LayOutSizeGrid(CGridLayout& grid, CWindow& firstLabel, CWindow& firstEdit, CWindow& secondLabel,
                                    CWindow& secondEdit)
{
    grid.SetCell(0, 0, CSpacer::GapH7to14());
    grid.SetCell(1, 0, &firstLabel);
    grid.SetCell(2, 0, CSpacer::GapH4());
    grid.SetCell(3, 0, &firstEdit);
    grid.SetCell(0, 1, CSpacer::GapV4());
    grid.SetCell(1, 2, &secondLabel);
    grid.SetCell(3, 2, &secondEdit);
}

CCourse* CPropertiesWnd::GetCourse() const
{
    return half.GetCourse();
}

bool CPropertiesWnd::IsMetric() const
{
    const CCourse* course = GetCourse();
    return course && course->IsMetric();
}

std::wstring CPropertiesWnd::GetTerm(int nameTextId) const
{
    return GetRules(GetCourse()).GetTerm(nameTextId);
}

std::wstring CPropertiesWnd::GetEditOnCreateCaption(int nameTextId) const
{
    return GetStringWithArg(kEditOnCreateText, GetTerm(nameTextId));
}
