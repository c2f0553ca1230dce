#pragma once

#include <string>

#include "dialogs/LengthEdit.h"
#include "dialogs/PropertiesWnd.h"
#include "dialogs/TextPropertiesDlg.h"
#include "graphics/FormattedTextView.h"
#include "ui/ComboBox.h"
#include "ui/ScrollView.h"
#include "ui/StaticText.h"

// The text's window: the formatted text in an editor, the size, weight,
// alignment and box width of the selected characters, where the text
// stands (on the course or in a margin, which then takes the text's size)
// and the three flags.
//
// While the edited texts differ, the editor shows the first, each text
// keeps its own and the format chosen here goes to all of them; the first
// change of the editor's content or format makes its text everybody's. A
// placement mixed among the texts shows as the empty entry and keeps each
// text where it is.
class CTextPropertiesWnd : public CPropertiesWnd
{
public:
    // Entries of the placement box after the five placements.
    static constexpr int kMixedPlacementEntry = 5;

    CTextPropertiesWnd(CTextPropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;
    bool OnInitDialog() override;

    // Applies a size or box width typed or stepped since; false, with the
    // user told, when one is refused.
    bool ApplyPendingEdits();

    // The editor inside its scroll view, which shows whatever part of the
    // text fits: it asks for no least size of its own.
    class CEditor : public CFormattedTextView
    {
    public:
        using CFormattedTextView::CFormattedTextView;
        void Measure() override;
    };

    CEditor editor;
    CScrollView editorView;
    CGridLayout mainColumn;
    CGridLayout formatGrid;
    CStaticText sizeLabel;
    CLengthEdit sizeEdit;
    CStaticText weightLabel;
    CComboBox weightList;
    CStaticText alignmentLabel;
    CComboBox alignmentList;
    CStaticText widthLabel;
    CLengthEdit widthEdit;
    CComboBox placementList;
    CCheckBox showBoxBox;
    CCheckBox uprightBox;
    CCheckBox hidableBox;

protected:
    void InitControls() override;

private:
    void OnEditorChanged(CFormattedTextView* view);
    void OnEditorFocus(CFormattedTextView* view);
    void OnWeightChanged(CComboBox* list);
    void OnAlignmentChanged(CComboBox* list);
    void OnSizeTyped(CSpinEdit* edit) { m_sizeChanged = true; }
    void OnWidthTyped(CSpinEdit* edit) { m_widthChanged = true; }
    void OnMovedOn(CSpinEdit* edit);
    // OK only with a character to keep; the format of the selection shown.
    void RefreshFromSelection();
    void ShowFormat(float size, int weight, int alignment, float width);
    // The selection takes a format change from the boxes (while the texts
    // differ, the whole text shows it); the editor's text is then what the
    // user did not change in it.
    void BeginFormatChange();
    void EndFormatChange();
    // The size and width of the box the texts need in a margin.
    void MeasureBoxes(float& width, float& height);
    bool ConfirmPlacement(int placement);

    CTextPropertiesDlg& m_dialog;
    // The editor's text as the dialog or the boxes last left it.
    std::string m_editorBytes;
    bool m_sizeChanged = false;
    bool m_widthChanged = false;
    bool m_applying = false;
};
