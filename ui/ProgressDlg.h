#pragma once

#include <string>

#include "foundation/Timer.h"
#include "ui/Control.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

// The native progress bar ("msctls_progress32"): a smooth bar from min to
// max at position, kept in the object and pushed to the control while it
// exists.
class CProgressBar : public CControl
{
public:
    // As high as a horizontal scroll bar's arrow; any width from that on.
    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;

    void SetRange(int newMax);
    void SetPos(int newPosition);

    int min = 0;
    int max = 0;
    int position = 0;
};

// A modal dialog that does a long task in steps under a progress bar and a
// Cancel button. A timer runs one step per tick from the message loop, so
// the dialog answers between two steps; the bar's max is the number of
// steps, its position the next step. The subclass sets the range before
// DoModal and does the work in DoStep:
//
//     CMyProgress* dialog = new CMyProgress(title);   // calls progressBar.SetRange(n)
//     dialog->DoModal();   // OK result once every step ran; deletes itself
class CProgressDlg : public CDialog
{
public:
    explicit CProgressDlg(const std::wstring& title);

    // Starts the steps (a range below 1 is reported: the first tick then
    // finds nothing to do and closes the dialog as finished).
    void FillControls() override;
    // Stops the steps and closes the dialog.
    void OnCancel() override;
    // Does step `step` (from 0); false stops the dialog at once.
    virtual bool DoStep(int step) = 0;

    // The finished bar stays up this long before the dialog closes.
    static constexpr int32_t kFinishedDelay = 250;

    CTimer timer;
    CGridLayout grid;
    CStaticText label;
    CProgressBar progressBar;

private:
    void OnTimerStep(CTimer*);
};
