#pragma once

#include "dialogs/LengthEdit.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

class CCourse;

// Ring Size (command 2134): the ring's width and length, 10 to 250 feet.
// With the space around the ring the course must stay within 250 feet on
// each side (ConfirmCourseSize); the new size is one undo step.
class CCourseSizeSimpleDlg : public CDialog
{
public:
    explicit CCourseSizeSimpleDlg(CCourse* course);

    void OnOk() override;

    CCourse* course;
    CStaticText widthLabel;
    CLengthEdit widthEdit;
    CStaticText heightLabel;
    CLengthEdit heightEdit;
    CGridLayout grid;
};

// Space Around the Ring (command 2136): the four margins of the ring, 0 to
// 200 feet each, laid out where they lie: above, left and right, below. The
// course with them must stay within 250 feet on each side; the four are one
// undo step.
class CCourseSizeDlg : public CDialog
{
public:
    explicit CCourseSizeDlg(CCourse* course);

    void OnOk() override;

    // One labelled field, in the order the course stores the margins:
    // above, below, left, right.
    struct CSide
    {
        CSide(int labelText, bool metric);

        CStaticText label;
        CLengthEdit edit;
        CGridLayout row;
    };

    CCourse* course;
    CSide sides[4];
    CGridLayout grid;
};
