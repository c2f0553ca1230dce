#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/CourseWindow.h"
#include "app/OpenFileDialog.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/ModalState.h"

using namespace filetest;

// The scenarios open windows: each runs in a process of its own.

CHILD_TEST(OpenFileDialog, OpensTheChosenFileInANewWindow)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"open-dialog");
    const std::wstring path = folder + L"\\Chosen.agl";
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Chosen.agl", path);
    WriteBytes(path, TextBlockOf(*course));
    CCourseWindow* window = new CCourseWindow(new CCourse(L"", L""));
    std::atomic<bool> chosen{false};
    std::atomic<int> modalCount{-1};
    std::atomic<bool> ownerEnabled{true};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND dialog = WaitForDialogTitled(L"Open");
            if (!dialog)
                return;
            modalCount = GetModalCount();
            ownerEnabled = IsWindowEnabled(window->hwnd) != 0;
            chosen = GetWindow(dialog, GW_OWNER) == window->hwnd && ChooseFileName(dialog, path) &&
                     WaitUntilGone(dialog);
        });
        ShowOpenFileDialog(window);
        driver.join();
    }
    if (!chosen)
        return 1;
    if (modalCount != 1 || ownerEnabled)
        return 2;
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 2 || windows.front()->GetCourse()->GetTitle() != L"Chosen.agl")
        return 3;
    if (windows.front()->GetCourse()->GetObjectCount() != 3 || !IsWindowEnabled(window->hwnd))
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

CHILD_TEST(OpenFileDialog, CancelOpensNothing)
{
    OpenFileTestSettings();
    CCourseWindow* window = new CCourseWindow(new CCourse(L"", L""));
    std::atomic<bool> cancelled{false};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND dialog = WaitForDialogTitled(L"Open");
            if (dialog && WaitForControl(dialog, FindOkButton))
                PressDialogButton(dialog, IDCANCEL);
            cancelled = dialog && WaitUntilGone(dialog);
        });
        ShowOpenFileDialog(window);
        driver.join();
    }
    if (!cancelled)
        return 1;
    if (CCourseWindow::GetCourseWindows().size() != 1 || GetModalCount() != 0)
        return 2;
    return ReportCount() == 0 && CDialogWatcher::TakeAnsweredTexts().empty() ? 0 : 3;
}
