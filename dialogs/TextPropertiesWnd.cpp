#include "dialogs/TextPropertiesWnd.h"

#include <algorithm>

#include "course/Course.h"
#include "dialogs/ConfirmCourseSize.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/Text.h"

namespace {

constexpr int kSizeText = 2481;
constexpr int kWeightTexts[] = {2482, 2483};
constexpr int kWeightText = 2484;
constexpr int kAlignmentTexts[] = {2485, 2486, 2487};
constexpr int kAlignmentText = 2488;
constexpr int kWidthText = 2489;
constexpr int kFirstPlacementText = 2490;
constexpr int kShowBoxText = 2495;
constexpr int kUprightText = 2496;
constexpr int kHidableText = 2497;
constexpr int kSelectFirstHint = 2703;
constexpr int kBold = 2;
const wchar_t kHelpTopic[] = L"Text";
// The editor's picture in pixels; the box fits across where that leaves the
// letters readable (a text of 2 ft 20 to 48 pixels high).
constexpr float kEditorWidth = 360.0f;
constexpr float kEditorHeight = 140.0f;
constexpr float kFinestScale = 5.0f;
constexpr float kCoarsestScale = 12.0f;

std::string Bytes(CFormattedText& text) { return text.Serialize(0, text.GetLength()); }

}  // namespace

CTextPropertiesWnd::CTextPropertiesWnd(CTextPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      editor(&dialog.GetEditorText()),
      editorView(&editor),
      mainColumn(true),
      formatGrid(7, 3),
      sizeLabel(GetString(kSizeText)),
      sizeEdit(6, 120, 4, 10, IsMetric()),
      weightLabel(GetString(kWeightText)),
      alignmentLabel(GetString(kAlignmentText)),
      widthLabel(GetString(kWidthText)),
      widthEdit(60, 3000, 120, 100, IsMetric()),
      showBoxBox(GetString(kShowBoxText)),
      uprightBox(GetString(kUprightText)),
      hidableBox(GetString(kHidableText)),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    CFormattedText& text = dialog.GetEditorText();
    // A new text starts in the format of new texts on the course.
    if (dialog.GetObjectTextCount() == 0 && text.GetLength() <= 1)
        ApplyDefaultTextFormat(text, GetCourse());
    editor.scrollView = &editorView;
    editor.onChange = CMemberDelegate<CFormattedTextView*, CTextPropertiesWnd>::Make(
        this, &CTextPropertiesWnd::OnEditorChanged);
    editor.onFocus = CMemberDelegate<CFormattedTextView*, CTextPropertiesWnd>::Make(
        this, &CTextPropertiesWnd::OnEditorFocus);
    const float scale =
        std::clamp(float(text.GetWrapWidth()) / (kEditorWidth - 20.0f), kFinestScale, kCoarsestScale);
    CTransform scaled;
    scaled.Scale(scale);
    editor.SetSceneTransform(scaled);
    editorView.scale = scale;
    editorView.contentWidth = kEditorWidth * scale;
    editorView.contentHeight = kEditorHeight * scale;
    editorView.fillWidth = true;
    editorView.fillHeight = true;
    editor.Refresh(false);

    weightList.AddItem(std::wstring());
    for (int id : kWeightTexts)
        weightList.AddItem(GetString(id));
    alignmentList.AddItem(std::wstring());
    for (int id : kAlignmentTexts)
        alignmentList.AddItem(GetString(id));
    for (int i = 0; i <= 4; ++i)
        placementList.AddItem(GetString(kFirstPlacementText + i));
    weightList.SetOnSelChange(
        CMemberDelegate<CComboBox*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnWeightChanged));
    alignmentList.SetOnSelChange(
        CMemberDelegate<CComboBox*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnAlignmentChanged));
    sizeEdit.SetOnTextChange(CMemberDelegate<CSpinEdit*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnSizeTyped));
    sizeEdit.SetOnSpin(CMemberDelegate<CSpinEdit*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnSizeTyped));
    widthEdit.SetOnTextChange(
        CMemberDelegate<CSpinEdit*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnWidthTyped));
    widthEdit.SetOnSpin(CMemberDelegate<CSpinEdit*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnWidthTyped));
    const auto onMovedOn = CMemberDelegate<CSpinEdit*, CTextPropertiesWnd>::Make(this, &CTextPropertiesWnd::OnMovedOn);
    sizeEdit.SetOnFocus(onMovedOn);
    widthEdit.SetOnFocus(onMovedOn);
    for (CCheckBox* box : {&showBoxBox, &uprightBox, &hidableBox})
        FitCheckBox(*box, box->caption.text);

    formatGrid.SetCell(0, 0, &sizeLabel);
    formatGrid.SetCell(1, 0, CSpacer::GapH4());
    formatGrid.SetCell(2, 0, &sizeEdit);
    formatGrid.SetCell(3, 0, CSpacer::GapH7to14());
    formatGrid.SetCell(4, 0, &weightLabel);
    formatGrid.SetCell(5, 0, CSpacer::GapH4());
    formatGrid.SetCell(6, 0, &weightList);
    formatGrid.SetCell(0, 1, CSpacer::GapV4());
    formatGrid.SetCell(0, 2, &alignmentLabel);
    formatGrid.SetCell(2, 2, &alignmentList);
    formatGrid.SetCell(4, 2, &widthLabel);
    formatGrid.SetCell(6, 2, &widthEdit);

    mainColumn.Add(&editorView);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&formatGrid);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&placementList);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&showBoxBox);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&uprightBox);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&hidableBox);
    SetContent(&mainColumn, 2);
}

void CTextPropertiesWnd::InitControls()
{
    ShowFormat(m_dialog.GetFontSize(), m_dialog.GetWeight(), m_dialog.GetAlignmentChoice(), m_dialog.GetBoxWidth());
    const int placement = m_dialog.GetKind();
    if (placement == CTextPropertiesDlg::kMixedPlacement) {
        if (placementList.GetItemCount() == kMixedPlacementEntry)
            placementList.AddItem(std::wstring());
        placementList.SelectItem(kMixedPlacementEntry);
    } else {
        placementList.SelectItem(placement);
    }
    ShowCheckState(showBoxBox, m_dialog.GetShowBox(),
                   CSettings::GetInt(m_dialog.GetValueName(L"ShowBox", false), 0) != 0);
    ShowCheckState(hidableBox, m_dialog.GetHidable(),
                   CSettings::GetInt(m_dialog.GetValueName(L"Hidable", false), 0) != 0);
    ShowCheckState(uprightBox, m_dialog.GetUpright(), false);
    CFormattedText& text = m_dialog.GetEditorText();
    // Texts that differ show the first; typing waits until the user changes
    // something, after which the editor's text is every text's.
    editor.readOnly = m_dialog.HasObjectTexts();
    if (!m_dialog.HasObjectTexts()) {
        text.SetCaret(0, false, false);
        editor.Refresh(false);
    }
    RefreshFromSelection();
    m_editorBytes = Bytes(text);
    CPropertiesWnd::InitControls();
}

void CTextPropertiesWnd::CEditor::Measure()
{
    CFormattedTextView::Measure();
    minWidth = 0;
    minHeight = 0;
}

bool CTextPropertiesWnd::OnInitDialog()
{
    CPropertiesWnd::OnInitDialog();
    editor.SetFocus();
    return false;
}

void CTextPropertiesWnd::ShowFormat(float size, int weight, int alignment, float width)
{
    if (size > 0.0f)
        sizeEdit.SetValue(size);
    else
        sizeEdit.SetText(std::wstring());
    weightList.SelectItem(weight >= 0 && weight <= kBold ? weight : 0);
    alignmentList.SelectItem(alignment >= 0 && alignment <= 3 ? alignment : 0);
    if (width > 0.0f)
        widthEdit.SetValue(width);
    else
        widthEdit.SetText(std::wstring());
    m_sizeChanged = false;
    m_widthChanged = false;
}

void CTextPropertiesWnd::RefreshFromSelection()
{
    CFormattedText& text = m_dialog.GetEditorText();
    okButton.SetEnabled(text.GetLength() > 1);
    // While the texts differ the boxes show what they share.
    if (m_dialog.HasObjectTexts())
        return;
    const bool empty = text.GetSelectionStart() == text.GetSelectionEnd();
    const float size = empty || text.IsSelectionSizeUniform() ? float(text.GetFontSize()) : 0.0f;
    const int weight = empty || text.IsSelectionBoldUniform() ? (text.IsBold() ? kBold : 1) : 0;
    const int alignment = text.IsSelectionAlignmentUniform() ? int(text.GetAlignment()) + 1 : 0;
    ShowFormat(size, weight, alignment, float(text.GetWrapWidth()));
}

// Caret moves, selections and the editor's own refreshes leave the edited
// texts as they are; only a change of the text itself makes it everybody's.
void CTextPropertiesWnd::OnEditorChanged(CFormattedTextView*)
{
    const std::string bytes = Bytes(m_dialog.GetEditorText());
    if (bytes != m_editorBytes) {
        m_editorBytes = bytes;
        m_dialog.DropObjectTexts();
    }
    RefreshFromSelection();
}

void CTextPropertiesWnd::OnEditorFocus(CFormattedTextView*) { ApplyPendingEdits(); }

void CTextPropertiesWnd::OnMovedOn(CSpinEdit* edit)
{
    // Into one entry: what was typed in the other one applies.
    const bool size = edit != &sizeEdit && m_sizeChanged;
    const bool width = edit != &widthEdit && m_widthChanged;
    if (size || width) {
        const bool keptSize = m_sizeChanged && !size;
        const bool keptWidth = m_widthChanged && !width;
        m_sizeChanged = size;
        m_widthChanged = width;
        ApplyPendingEdits();
        m_sizeChanged = m_sizeChanged || keptSize;
        m_widthChanged = m_widthChanged || keptWidth;
    }
}

void CTextPropertiesWnd::BeginFormatChange()
{
    editor.readOnly = false;
    // The whole text shows what every edited text takes.
    if (m_dialog.HasObjectTexts())
        m_dialog.GetEditorText().SelectAll();
}

void CTextPropertiesWnd::EndFormatChange()
{
    CFormattedText& text = m_dialog.GetEditorText();
    if (m_dialog.HasObjectTexts())
        text.SetCaret(0, false, false);
    editor.Refresh(false);
    m_editorBytes = Bytes(text);
}

void CTextPropertiesWnd::OnWeightChanged(CComboBox*)
{
    if (!ApplyPendingEdits())
        return;
    const int weight = weightList.GetSelection();
    if (weight == 0)
        return;
    CFormattedText& text = m_dialog.GetEditorText();
    if (text.GetSelectionStart() == text.GetSelectionEnd() && !m_dialog.HasObjectTexts())
        ShowHint(kSelectFirstHint, kHelpTopic, 1);
    m_dialog.SetWeight(weight);
    BeginFormatChange();
    text.SetSelectionBold(weight == kBold);
    EndFormatChange();
}

void CTextPropertiesWnd::OnAlignmentChanged(CComboBox*)
{
    if (!ApplyPendingEdits())
        return;
    const int alignment = alignmentList.GetSelection();
    if (alignment < 1 || alignment > 3)
        return;
    m_dialog.SetAlignmentChoice(alignment);
    BeginFormatChange();
    m_dialog.GetEditorText().SetSelectionAlignment(alignment - 1);
    EndFormatChange();
}

bool CTextPropertiesWnd::ApplyPendingEdits()
{
    // A message box of a refused value moves the focus, which comes back here.
    if (m_applying)
        return false;
    m_applying = true;
    CFormattedText& text = m_dialog.GetEditorText();
    bool applied = true;
    if (m_sizeChanged) {
        if (text.GetSelectionStart() == text.GetSelectionEnd() && !m_dialog.HasObjectTexts())
            ShowHint(kSelectFirstHint, kHelpTopic, 1);
        float size = 0.0f;
        applied = sizeEdit.GetValue(&size, true);
        if (applied) {
            size = float(int(size));
            m_dialog.SetFontSize(size);
            BeginFormatChange();
            text.SetSelectionFontSize(size);
            EndFormatChange();
            m_sizeChanged = false;
        }
    }
    if (applied && m_widthChanged) {
        float width = 0.0f;
        applied = widthEdit.GetValue(&width, true);
        if (applied) {
            width = float(int(width));
            m_dialog.SetBoxWidth(width);
            BeginFormatChange();
            text.SetWrapWidth(int32_t(width));
            EndFormatChange();
            m_widthChanged = false;
        }
    }
    m_applying = false;
    return applied;
}

void CTextPropertiesWnd::MeasureBoxes(float& width, float& height)
{
    width = 0.0f;
    height = 0.0f;
    // Measured as the text object lays it out: shrunk to its content.
    auto measure = [&](CFormattedText& text) {
        CFormattedText laidOut(CTextPropertiesDlg::kEditorFontSize, CTextPropertiesDlg::kEditorTabInterval);
        laidOut.SetShrinkToContent(true);
        laidOut.SelectAll();
        laidOut.InsertSerialized(Bytes(text));
        if (laidOut.GetWrapWidth() <= 0)
            laidOut.SetWrapWidth(GetDefaultWrapWidth(GetCourse()));
        const CTextBoxSize box = ComputeTextBoxSize(laidOut);
        width = std::max(width, box.width);
        height = std::max(height, box.height);
    };
    if (!m_dialog.HasObjectTexts()) {
        measure(m_dialog.GetEditorText());
        return;
    }
    for (int i = 0; i < m_dialog.GetObjectTextCount(); ++i) {
        if (CFormattedText* text = m_dialog.GetObjectText(i))
            measure(*text);
    }
}

// A text in a margin makes the margin as deep as its box: the course with
// it must stay within the size limit.
bool CTextPropertiesWnd::ConfirmPlacement(int placement)
{
    CCourse* course = GetCourse();
    if (!course || placement < 1 || placement > 4)
        return true;
    float boxWidth = 0.0f;
    float boxHeight = 0.0f;
    MeasureBoxes(boxWidth, boxHeight);
    const float width = course->GetWidth();
    const float height = course->GetHeight();
    const bool vertical = placement <= 2;
    const int margin = placement == 1   ? CCourse::kMarginLowY
                       : placement == 2 ? CCourse::kMarginHighY
                       : placement == 3 ? CCourse::kMarginLowX
                                        : CCourse::kMarginHighX;
    const float across = course->GetMargin(margin ^ 1);
    const bool fits = vertical ? ConfirmCourseSize(course->IsMetric(), width, height + boxHeight + across)
                               : ConfirmCourseSize(course->IsMetric(), width + boxWidth + across, height);
    if (!fits)
        return false;
    // A margin that shrinks drops what lies beyond it: the edited texts,
    // which go into it next, wait at its inner edge.
    for (CCourseObject* object : course->GetObjects()) {
        if (!object->IsSelected() || dynamic_cast<CText*>(object) == nullptr)
            continue;
        CTransform at = object->GetPlacement();
        const CPoint2 position = at.GetPosition2D();
        const float edge = margin == CCourse::kMarginLowY   ? -1.0f
                           : margin == CCourse::kMarginHighY ? height + 1.0f
                           : margin == CCourse::kMarginLowX  ? -1.0f
                                                             : width + 1.0f;
        at.SetPosition2D(vertical ? position.x : edge, vertical ? edge : position.y);
        object->SetPlacement(at);
    }
    course->SetLengthValue(margin, vertical ? boxHeight : boxWidth);
    return true;
}

void CTextPropertiesWnd::OnOk()
{
    TRACE_POINT();
    if (!ApplyPendingEdits())
        return;
    const ECheckState showBox = GetCheckState(showBoxBox);
    const ECheckState hidable = GetCheckState(hidableBox);
    const int entry = placementList.GetSelection();
    const int placement = entry == kMixedPlacementEntry ? CTextPropertiesDlg::kMixedPlacement : entry;
    m_dialog.ApplyFormatToObjectTexts();
    if (!ConfirmPlacement(placement))
        return;
    if (showBox != ECheckState::kMixed)
        CSettings::SetInt(m_dialog.GetValueName(L"ShowBox", false), showBox == ECheckState::kSet ? 1 : 0);
    if (hidable != ECheckState::kMixed)
        CSettings::SetInt(m_dialog.GetValueName(L"Hidable", false), hidable == ECheckState::kSet ? 1 : 0);
    m_dialog.SetShowBox(showBox);
    m_dialog.SetHidable(hidable);
    m_dialog.SetUpright(GetCheckState(uprightBox));
    m_dialog.SetKind(placement);
    CPropertiesWnd::OnOk();
}
