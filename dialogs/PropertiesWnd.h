#pragma once

#include "dialogs/ObjectPropertiesDlg.h"
#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"

class CCourse;
class CObjectType;
class CSessionColors;

// The window of an object kind's properties dialog.
//
// Each kind's dialog has two halves. The windowless half, CXxxDlg (dialogs_
// merge), holds the values: the kind's ToDialog merges the edited objects
// into it and FromDialog takes them back. The window, CXxxWnd (here, a
// CPropertiesWnd), is made from the half for one modal run: InitControls
// shows the half's values, OnOk reads and checks the controls, writes them
// into the half, stores them as the kind's defaults and ends in
// CPropertiesWnd::OnOk, which applies the half to the course. The course
// holds CPropertiesSession<CXxxDlg, CXxxWnd> (dialogs/PropertiesSession.h),
// registered by type id in RegisterPropertiesDialogs.
//
// Around the subclass's content the window shows the colours button and,
// for a kind that allows it, the box that opens the dialog whenever an
// object of the kind is placed. Its title is text 2229 with the
// organisation's word for the kind.
class CPropertiesWnd : public CDialog
{
public:
    CPropertiesWnd(CObjectPropertiesDlg& half, CSessionColors& colors);

    // The kind whose edit-on-create setting the box shows (none: unchecked,
    // disabled, indeterminate); with `loadTypeColors` the objects placed
    // next start from the kind's stored colours.
    void SetObjectType(const CObjectType* type, bool loadTypeColors);
    // Makes the box wide enough for the caption naming another kind, and
    // shows it even while no kind is set when that kind allows it.
    void ReserveEditOnCreateCaption(int nameTextId);

    // Stores the edit-on-create box, applies the half to the course as one
    // undo step and closes. Subclasses check and store their values first
    // and return without calling it when a value is refused.
    void OnOk() override;
    // Closes; the course forgets the placing tool's dialog (nothing placed).
    void OnCancel() override;

    CGridLayout contentGrid;
    CGridLayout buttonRow;
    // Opens the colour picker on the session's colours.
    CPushButton colorsButton;
    CCheckBox editOnCreateBox;

protected:
    // Puts the content above the button row and the box; buttonPlacement 1
    // puts OK and Cancel in a column at the right, 2 in a row below. Once
    // only, from the subclass's constructor.
    void SetContent(CWindow* content, int placement);
    // Sets the controls' states before the window is made; subclasses end
    // by calling this one.
    virtual void InitControls();

    // Two labelled entries one under the other, indented below the radio
    // button that enables them, in a grid of 5 columns and 3 rows: the
    // custom size of the ramp obstacles.
    static void LayOutSizeGrid(CGridLayout& grid, CWindow& firstLabel, CWindow& firstEdit, CWindow& secondLabel,
                               CWindow& secondEdit);

    // Makes a check box wide enough for the caption beside its box.
    static void FitCheckBox(CCheckBox& box, const std::wstring& caption);
    // Shows a merged state; a mixed one indeterminate, checked as `mixedShown`.
    static void ShowCheckState(CCheckBox& box, ECheckState state, bool mixedShown);
    // What the box confirms: mixed while it is indeterminate.
    static ECheckState GetCheckState(const CCheckBox& box);

    CCourse* GetCourse() const;
    // Whether the course shows lengths in metric units.
    bool IsMetric() const;
    // The text of a name id in the course organisation's words.
    std::wstring GetTerm(int nameTextId) const;

    CObjectPropertiesDlg& half;
    CSessionColors& colors;

private:
    void FillControls() final { InitControls(); }
    void OnColorsClicked(CPushButton* button);
    void ShowEditOnCreate(const CObjectType* type);
    std::wstring GetEditOnCreateCaption(int nameTextId) const;

    const CObjectType* m_type = nullptr;
    // Some kind the window shows has the box.
    bool m_editOnCreateShown = false;
    bool m_contentSet = false;
};
