#pragma once

#include <vector>

#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/MultiLineLabel.h"

class CCourse;

// Course Differences (2174): shows another open course's obstacles (with its
// numbers and lines when asked) pale over this course, keeps showing them,
// or stops. The compare row is offered only while another course is open,
// the keep button only while the course shows differences.
class CCourseDiffDlg : public CDialog
{
public:
    // others: the other open courses, in the order of the window list.
    CCourseDiffDlg(CCourse* course, const std::vector<CCourse*>& others);

    // Stores the two flags, changes the overlay as one undo step.
    void OnOk() override;

    CCourse* course;
    std::vector<CCourse*> others;
    CMultiLineLabel explanation;
    CGridLayout radioGrid{2, 5};
    CRadioButton offButton;
    CRadioButton keepButton;
    CRadioButton compareButton;
    CComboBox courseList;
    CGridLayout compareRow{3, 1};
    CCheckBox numbersBox;
    CCheckBox linesBox;
    CGridLayout column{true};

private:
    void OnRadioClicked(CRadioButton* button);
};
