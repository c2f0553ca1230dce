#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/CourseWindow.h"
#include "app/WindowChooserDlg.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/FrameWindow.h"

using namespace filetest;

namespace {

// The list's own panel: the largest panel of the dialog (the frame around it
// is drawn by thin panels of its own).
HWND FindListPanel(HWND dialog)
{
    HWND best = nullptr;
    long bestArea = 0;
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        const long area = (child.rect.right - child.rect.left) * (child.rect.bottom - child.rect.top);
        if (child.className == L"CPanel" && area > bestArea) {
            best = child.window;
            bestArea = area;
        }
    }
    return best;
}

}  // namespace

CHILD_TEST(WindowChooserDlg, ListsTheWindowsAndActivatesTheChosenOne)
{
    OpenFileTestSettings();
    std::vector<CCourseWindow*> windows;
    for (const wchar_t* title : {L"Alpha", L"Beta", L"Gamma"})
        windows.push_back(new CCourseWindow(new CCourse(title, L"")));
    CSelWinDlg* dialog = new CSelWinDlg;
    // The frame-window list order: the most recently made first.
    const std::vector<std::wstring> expected{windows[2]->title, windows[1]->title, windows[0]->title};
    if (dialog->list.items != expected || dialog->list.GetSelected() != 0)
        return 1;
    if (expected[0] != L"Gamma - " + GetString(2001))
        return 2;
    std::atomic<bool> driven{false};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND shown = WaitForDialogAnsweringOthers(GetString(2459));
            const HWND list = shown ? WaitForControl(shown, FindListPanel) : nullptr;
            if (!list) {
                if (shown)
                    PostMessageW(shown, WM_CLOSE, 0, 0);
                return;
            }
            PressKey(list, VK_DOWN);
            PressKey(list, VK_DOWN);
            Sleep(200);
            PressDialogButton(shown, IDOK);
            driven = true;
        });
        dialog->DoModal();
        driver.join();
    }
    if (!driven)
        return 3;
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    if (frames.empty() || frames.front() != windows[0])
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

CHILD_TEST(WindowChooserDlg, CancelActivatesNothing)
{
    OpenFileTestSettings();
    CCourseWindow* first = new CCourseWindow(new CCourse(L"One", L""));
    CCourseWindow* second = new CCourseWindow(new CCourse(L"Two", L""));
    second->Activate();
    CSelWinDlg* dialog = new CSelWinDlg;
    dialog->list.Select(1);
    std::atomic<bool> driven{false};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND shown = WaitForDialogAnsweringOthers(GetString(2459));
            if (shown && WaitForControl(shown, FindListPanel)) {
                SaveWindowPicture(shown, GetTestArtefactPath(L"window-chooser.png"));
                PressDialogButton(shown, IDCANCEL);
                driven = true;
            }
        });
        dialog->DoModal();
        driver.join();
    }
    (void)first;
    if (!driven)
        return 1;
    return CFrameWindowList::GetFrames().front() == second ? 0 : 2;
}
