#pragma once

#include "dialogs/LengthEdit.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/MultiLineLabel.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"

class CCourse;

// Jump Settings (2138): the course's jump height, one of thirteen from 2 to
// 26 inches (5 to 65 cm), with the long jump's length and plank count. A
// height chosen fills both from the organisation's long-jump table.
class CJumpSettingsDlg : public CDialog
{
public:
    static constexpr int kHeightCount = 13;
    // Entry n stands for (n + 1) times this many tenths of an inch.
    static constexpr int kHeightStep = 20;

    explicit CJumpSettingsDlg(CCourse* course);

    // The entry whose height lies nearest to a course height (from a file,
    // any value).
    static int FindNearestEntry(float height);

    // Refuses planks that do not fit the length (text 2685); otherwise sets
    // the three values as one undo step.
    void OnOk() override;

    CCourse* course;
    CMultiLineLabel explanation;
    CComboBox heightList;
    CStaticText lengthLabel;
    CLengthEdit lengthEdit;
    CStaticText planksLabel;
    CRangeSpinEdit planksEdit;
    CGridLayout fields{3, 3};
    CGridLayout column{true};

private:
    void OnHeightChosen(CComboBox* list);
};
