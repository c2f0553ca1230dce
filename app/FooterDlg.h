#pragma once

#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

class CCourse;

// Score Sheet Footer (2164): whether the course shows the score-sheet footer
// of the UKC rule set below the ring, and which of the twelve classes it
// names. The class can be chosen only while the footer is shown.
class CUKCFooterDlg : public CDialog
{
public:
    static constexpr int kClassCount = 12;

    explicit CUKCFooterDlg(CCourse* course);

    // Stores class and footer flag in the course as one undo step.
    void OnOk() override;

    CCourse* course;
    CCheckBox showBox;
    CStaticText classLabel;
    CComboBox classList;
    CGridLayout classRow;
    CGridLayout column;
    CGridLayout outer;

private:
    void OnShowClicked(CCheckBox* box);
    void OnClassChosen(CComboBox* list);

    // The list shows the course's class, or the user chose one. A class
    // outside 1 to 12 (a damaged file) is kept while the footer stays off
    // and the list untouched; a footer that is shown gets the class the list
    // shows.
    bool m_classShown = false;
};
