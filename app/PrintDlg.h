#pragma once

#include <vector>

#include "app/PrintScene.h"
#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/Panel.h"
#include "ui/ScrollPane.h"
#include "ui/StaticText.h"

class CCourse;

// Print (2444): composes one page of open courses with a preview to the
// page's proportions, lets the user set the printer's page up, and prints.
// The page starts with the window's course; Add appends the course chosen in
// the list of open courses (or a blank cell, its first entry) drawn as the
// whole map or the current view as the radio buttons say; Clear empties it.
class CPrintDlg : public CDialog
{
public:
    // The preview: a panel exactly the page's pane size showing the page.
    class CPrintPreviewControl : public CPanel
    {
    public:
        explicit CPrintPreviewControl(CPrintScene* page);
        void Measure() override;

        CPrintScene* page;
    };

    explicit CPrintDlg(CCourse* course);

    // Stores the first course's whole-map choice, prints the page through the
    // system print dialog (which may still be cancelled) and closes.
    void OnOk() override;

    void OnAdd(CPushButton*);
    void OnClear(CPushButton*);
    void OnPrinterSetup(CPushButton*);
    // Entry 0 is a blank cell, then one entry per open course window.
    void FillCourseList();
    // The pane keeps the page's proportions, 400 pixels on its longer side,
    // and grows to the given height when that is more.
    void UpdatePaneSize(int minimumHeight);

    CPrintScene page;
    CGridLayout outer;
    CGridLayout listRow;
    CGridLayout buttonColumn;
    CGridLayout leftColumn;
    CGridLayout choiceGrid;
    CGridLayout setUpRow;
    CStaticText listLabel;
    CScrollPane courseList;
    // Parallel to the list's entries.
    std::vector<CCourse*> courses;
    CPushButton addButton;
    CPushButton clearButton;
    CStaticText choiceLabel;
    CRadioButton wholeMapChoice;
    CRadioButton currentViewChoice;
    CPushButton setUpButton;
    CStaticText previewLabel;
    CPrintPreviewControl preview;

    static constexpr float kPaneSide = 400.0f;

private:
    // The left column's height when it is as small as it gets.
    int MeasureLeftColumn();
    void RefreshPreview();
};
