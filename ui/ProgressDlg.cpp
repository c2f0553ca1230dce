#include "ui/ProgressDlg.h"

#include <commctrl.h>

#include "foundation/CrashLog.h"

// ---- Progress bar --------------------------------------------------------------------

void CProgressBar::Measure()
{
    const int side = GetSystemMetrics(SM_CYVSCROLL);
    minWidth = side;
    preferredWidth = side;
    maxWidth = 0;
    widthStretch = 1;
    minHeight = side;
    preferredHeight = side;
    maxHeight = side;
    heightStretch = side == 0 ? 1 : 0;
}

void CProgressBar::CreateNativeWindow(CNativeWindow& owner)
{
    if (!CreateControl(owner, PROGRESS_CLASSW, PBS_SMOOTH, 0, std::wstring()))
        return;
    SendMessageW(hwnd, PBM_SETRANGE32, WPARAM(min), LPARAM(max));
    SendMessageW(hwnd, PBM_SETPOS, WPARAM(position), 0);
}

void CProgressBar::SetRange(int newMax)
{
    max = newMax;
    if (hwnd)
        SendMessageW(hwnd, PBM_SETRANGE32, WPARAM(min), LPARAM(max));
}

void CProgressBar::SetPos(int newPosition)
{
    position = newPosition;
    if (hwnd)
        SendMessageW(hwnd, PBM_SETPOS, WPARAM(position), 0);
}

// ---- Progress dialog -----------------------------------------------------------------

CProgressDlg::CProgressDlg(const std::wstring& titleText)
    : CDialog(titleText), grid(true), label(std::wstring())
{
    // Wide enough for the title in the caption bar.
    FitWidthToText(label, titleText + std::wstring(22, L'x'));
    timer.interval = 0;
    timer.repeat = false;
    timer.SetOnTimer(CMemberDelegate<CTimer*, CProgressDlg>::Make(this, &CProgressDlg::OnTimerStep));
    grid.Add(&label);
    grid.Add(CSpacer::GapV7());
    grid.Add(&progressBar);
    grid.Add(CSpacer::EmptyCell());
    showOk = false;
    buttonPlacement = 2;
    SetContent(&grid);
}

void CProgressDlg::FillControls()
{
    TRACE_VALUE(int32_t, progressBar.max);
    if (progressBar.max < 1)
        ReportFailure();
    timer.Start(true);
}

void CProgressDlg::OnCancel()
{
    TRACE_POINT();
    timer.Stop();
    Close();
}

void CProgressDlg::OnTimerStep(CTimer*)
{
    const int step = progressBar.position;
    TRACE_VALUE(int32_t, step);
    if (step >= progressBar.max) {
        resultOk = true;
        Close();
        return;
    }
    // A closed dialog ticks no more: a step after the end would work on
    // what the last step finished.
    if (!DoStep(step)) {
        Close();
        return;
    }
    progressBar.SetPos(step + 1);
    if (step + 1 == progressBar.max)
        timer.interval = kFinishedDelay;
    timer.Start(true);
}
