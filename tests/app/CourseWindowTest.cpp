#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <sstream>
#include <thread>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "app/FooterDlg.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "graphics/GraphicsBackEnd.h"
#include "graphics/RenderTarget.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace cwtest;
using namespace filetest;

// Every scenario opens course windows: the last one to close ends the
// program, so each runs in a process of its own.

namespace {

std::wstring Caption(const std::wstring& title) { return title + L" - " + GetString(2001); }

std::wstring FileCourse(const std::wstring& folder, const std::wstring& name, bool version3 = false)
{
    const std::wstring path = folder + L"\\" + name;
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(name, path);
    WriteBytes(path, TextBlockOf(*course, false, version3));
    return path;
}

CCourseWindow* FrontWindow() { return CCourseWindow::GetCourseWindows().front(); }

void Modify(CCourseWindow* window)
{
    PlaceAFrame(*window->GetCourse(), 2400.0f, 1200.0f, 0.0f);
    window->GetCourse()->CommitUndoStepById(2122);
    window->GetCourse()->OnCourseChanged();
}

// The captions shown top-level windows of this thread were given.
std::vector<std::wstring> g_shownCaptions;

LRESULT CALLBACK RecordShownCaption(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call.message == WM_SETTEXT && !GetParent(call.hwnd) && IsWindowVisible(call.hwnd))
        g_shownCaptions.push_back(reinterpret_cast<const wchar_t*>(call.lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool QuitPosted()
{
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace

// ---- A new window ---------------------------------------------------------------------

CHILD_TEST(CourseWindow, NewCourseWindowIsUnmodifiedAndLaidOut)
{
    PrepareWindowTest();
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordShownCaption, nullptr, GetCurrentThreadId());
    CCourseWindow* window = OpenNewCourseWindow();
    UnhookWindowsHookEx(hook);
    CCourse* course = window->GetCourse();
    // The first layout set the view's size: still not a change of the course,
    // not even for a moment in the shown caption.
    if (course->IsModified() || course->CanUndo() || !g_shownCaptions.empty())
        return 1;
    if (GetWindowTextString(window->hwnd) != Caption(GetStringWithArg(2004, L"1")))
        return 2;
    const CViewCamera& camera = course->GetViewCamera();
    if (camera.GetViewportWidth() != window->view.bounds.Width() ||
        camera.GetViewportHeight() != window->view.bounds.Height() || window->view.bounds.Width() < 100.0f)
        return 3;
    if (window->organisationChooser.GetSelection() != course->GetOrganisationId() ||
        window->organisationChooser.GetItemCount() != 16 ||
        window->shapeToolbar.GetSpecList().GetOrgId() != course->GetOrganisationId())
        return 4;
    CCommand* undo = dynamic_cast<CCommand*>(window->menuBar.FindById(2104));
    if (!undo || undo->enabled || undo->GetText() != GetString(2104))
        return 5;
    if (window->propertiesButton.enabled || window->colorsButton.enabled)
        return 6;
    // The buttons carry no access key, though the Colours command's menu
    // caption has one.
    if (GetWindowTextString(window->colorsButton.hwnd).find(L'&') != std::wstring::npos ||
        GetWindowTextString(window->propertiesButton.hwnd).find(L'&') != std::wstring::npos)
        return 6;
    if (!(GetWindowLongW(window->hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
        return 7;
    // The tool column at the left, the view to its right.
    if (!(window->toolColumn.bounds.right <= window->view.bounds.left))
        return 8;
    return ReportCount() == 0 ? 0 : 9;
}

CHILD_TEST(CourseWindow, CaptionNamesAnOlderFileAndTheModifiedState)
{
    PrepareWindowTest();
    const std::wstring path = FileCourse(MakeTempFolder(L"caption"), L"Old.agl", true);
    if (!OpenCourseFile(path, nullptr))
        return 1;
    CCourseWindow* window = FrontWindow();
    if (GetWindowTextString(window->hwnd) != Caption(L"Old.agl (3)"))
        return 2;
    Modify(window);
    if (GetWindowTextString(window->hwnd) != Caption(L"Old.agl (3) *") || window->GetListTitle() != L"Old.agl *")
        return 3;
    // Saving in the current format drops both marks.
    window->RunMenuCommand(2073);
    if (GetWindowTextString(window->hwnd) != Caption(L"Old.agl") || window->GetCourse()->IsModified())
        return 4;
    CCourse reread(L"", L"");
    std::istringstream block(ReadWholeFile(path));
    if (!reread.ReadTextBlock(block, false) || reread.GetObjectCount() != 4)
        return 5;
    return ReportCount() == 0 ? 0 : 6;
}

// ---- Closing ------------------------------------------------------------------------------

CHILD_TEST(CourseWindow, ClosingAsksOnlyForAModifiedCourseAndCancelStopsACloseAll)
{
    PrepareWindowTest();
    CCourseWindow* plain = OpenNewCourseWindow(L"Plain");
    CCourseWindow* changed = OpenNewCourseWindow(L"Changed");
    Modify(changed);
    {
        CBoxAnswers answers({IDCANCEL});
        changed->Close();
        const std::vector<CBoxAnswers::CBox> boxes = answers.Take();
        if (boxes.size() != 1 || boxes[0].text != GetStringWithArg(2698, L"Changed") || !boxes[0].yes ||
            !boxes[0].no || !boxes[0].cancel)
            return 1;
    }
    if (CCourseWindow::GetCourseWindows().size() != 2 || CCourseWindow::GetCloseMode() != 0)
        return 2;

    // Exit asks at the modified window first; Cancel ends it there.
    changed->Activate();
    PumpFor(50);
    if (FrontWindow() != changed)
        return 3;
    if (CountBoxes({IDCANCEL}, [&] { plain->CloseAllWindows(); }) != 1)
        return 4;
    if (CCourseWindow::GetCourseWindows().size() != 2 || CCourseWindow::GetCloseMode() != 0 || QuitPosted())
        return 5;

    // An unmodified window closes without a word.
    if (CountBoxes({}, [&] { plain->Close(); }) != 0 || CCourseWindow::GetCourseWindows().size() != 1)
        return 6;
    if (QuitPosted())
        return 7;

    // No closes the last window, which ends the program.
    GetRecentFiles().Add(L"C:\\Somewhere\\Kept.agl");
    if (CountBoxes({IDNO}, [&] { changed->CloseAllWindows(); }) != 1)
        return 8;
    if (!CCourseWindow::GetCourseWindows().empty() || !QuitPosted())
        return 9;
    CRecentFiles stored;
    stored.SetMaximum(16);
    stored.Load();
    if (stored.GetPaths().empty() || stored.GetPaths().front() != L"C:\\Somewhere\\Kept.agl")
        return 10;
    return ReportCount() == 0 ? 0 : 11;
}

CHILD_TEST(CourseWindow, YesSavesBeforeClosingAndAFailedSaveKeepsTheWindow)
{
    PrepareWindowTest();
    const std::wstring folder = MakeTempFolder(L"close-yes");
    const std::wstring path = FileCourse(folder, L"Saved.agl");
    const std::wstring locked = FileCourse(folder, L"Locked.agl");
    if (!OpenCourseFile(path, nullptr) || !OpenCourseFile(locked, nullptr))
        return 1;
    CCourseWindow* lockedWindow = FrontWindow();
    CCourseWindow* savedWindow = CCourseWindow::GetCourseWindows().back();
    Modify(savedWindow);
    Modify(lockedWindow);

    if (CountBoxes({IDYES}, [&] { savedWindow->Close(); }) != 1)
        return 2;
    CCourse reread(L"", L"");
    std::istringstream block(ReadWholeFile(path));
    if (!reread.ReadTextBlock(block, false) || reread.GetObjectCount() != 4)
        return 3;
    if (CCourseWindow::GetCourseWindows().size() != 1)
        return 4;

    // The file cannot be replaced: the user learns why and the window stays.
    const std::string before = ReadWholeFile(locked);
    SetReadOnly(locked, true);
    {
        CBoxAnswers answers({IDYES, IDOK});
        lockedWindow->Close();
        const std::vector<CBoxAnswers::CBox> boxes = answers.Take();
        if (boxes.size() != 2 || boxes[1].text != GetStringWithArg(2689, locked))
            return 5;
    }
    SetReadOnly(locked, false);
    if (CCourseWindow::GetCourseWindows().size() != 1 || ReadWholeFile(locked) != before ||
        CCourseWindow::GetCloseMode() != 0 || !lockedWindow->GetCourse()->IsModified())
        return 6;
    if (QuitPosted())
        return 7;
    return ReportCount() == 0 ? 0 : 8;
}

CHILD_TEST(CourseWindow, EndOfSessionClosesEveryWindowAsExitDoes)
{
    PrepareWindowTest();
    CCourseWindow* first = OpenNewCourseWindow(L"First");
    CCourseWindow* second = OpenNewCourseWindow(L"Second");
    Modify(second);
    {
        CBoxAnswers answers({IDCANCEL});
        if (SendMessageW(first->hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) != FALSE)
            return 1;
        if (answers.Take().size() != 1)
            return 2;
    }
    if (CCourseWindow::GetCourseWindows().size() < 1 || CCourseWindow::GetCloseMode() != 0)
        return 3;
    {
        CBoxAnswers answers({IDNO});
        const HWND any = FrontWindow()->hwnd;
        if (SendMessageW(any, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) != TRUE)
            return 4;
    }
    if (!CCourseWindow::GetCourseWindows().empty() || !QuitPosted())
        return 5;
    return ReportCount() == 0 ? 0 : 6;
}

CHILD_TEST(CourseWindow, EndOfSessionAndCloseWaitForAnOpenDialog)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow(L"Dialog");
    const HWND frame = window->hwnd;
    std::atomic<int> answer{-1};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND dialog = WaitForDialogAnsweringOthers(GetString(2502));
            if (!dialog)
                return;
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &result))
                answer = int(result);
            // A close from another program: its deferred close runs in the
            // dialog's loop.
            PostMessageW(frame, WM_CLOSE, 0, 0);
            Sleep(300);
            PressDialogButton(dialog, IDCANCEL);
        });
        // The dialog holds the window's course: the window must outlive it.
        (new CUKCFooterDlg(window->GetCourse()))->DoModal();
        driver.join();
    }
    if (answer != FALSE)
        return 1;
    if (CCourseWindow::GetCourseWindows().size() != 1 || CCourseWindow::GetCloseMode() != 0 || QuitPosted())
        return 2;
    // Once the dialog is closed, the session may end.
    if (SendMessageW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) != TRUE || !QuitPosted())
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(CourseWindow, APathShownInAnotherWindowIsNotFreeForSaving)
{
    PrepareWindowTest();
    const std::wstring path = FileCourse(MakeTempFolder(L"path-free"), L"Taken.agl");
    if (!OpenCourseFile(path, nullptr))
        return 1;
    CCourseWindow* owner = FrontWindow();
    CCourseWindow* other = OpenNewCourseWindow();
    std::wstring upper = path;
    for (wchar_t& c : upper)
        c = wchar_t(towupper(c));
    CBoxAnswers answers({});
    if (other->IsPathFreeForSave(upper))
        return 2;
    const std::vector<CBoxAnswers::CBox> boxes = answers.Take();
    if (boxes.size() != 1 || boxes[0].text != GetString(2702))
        return 3;
    if (!owner->IsPathFreeForSave(path) || !other->IsPathFreeForSave(path + L"x") || !answers.Take().empty())
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

// ---- Tools --------------------------------------------------------------------------------

CHILD_TEST(CourseWindow, ChoosingAnOrganisationIsOneUndoStepAndTheSameOneNone)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    const HWND combo = window->organisationChooser.hwnd;
    const int id = GetDlgCtrlID(combo);
    auto choose = [&](int organisation) {
        SendMessageW(combo, CB_SETCURSEL, WPARAM(organisation), 0);
        SendMessageW(window->hwnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(combo));
    };
    choose(1);
    if (course->CanUndo())
        return 1;
    choose(0);
    if (course->GetOrganisationId() != 0 || window->shapeToolbar.GetSpecList().GetOrgId() != 0)
        return 2;
    if (!course->CanUndo() || course->GetUndoLabel() != GetSpecList(0).GetName())
        return 3;
    // Undo brings the chooser and the shape toolbar back with the course.
    window->RunMenuCommand(2104);
    if (course->GetOrganisationId() != 1 || window->organisationChooser.GetSelection() != 1 ||
        window->shapeToolbar.GetSpecList().GetOrgId() != 1)
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

CHILD_TEST(CourseWindow, ShowingThe3DSceneSwitchesTheViewsScene)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    if (window->currentScene != &window->mapScene || window->view.GetCourseScene() != &window->mapScene)
        return 1;
    course->Set3D(true);
    if (window->currentScene != &window->scene3D || window->view.GetCourseScene() != &window->scene3D)
        return 2;
    course->Set3D(false);
    if (window->view.GetCourseScene() != &window->mapScene)
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(CourseWindow, NewCoursesKeepWithinTheThreeDBudget)
{
    PrepareWindowTest();
    // The views draw through GDI: no course window may show 3D.
    if (CanShowAnother3DView())
        return 1;
    CSettings::SetInt(L"3D", 1);
    CSettings::SetInt(L"3DCamera", 1);
    CCourseWindow* first = OpenNewCourseWindow();
    first->RunMenuCommand(2060);
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 2)
        return 2;
    CCourse* course = windows[windows[0] == first ? 1 : 0]->GetCourse();
    if (course->Get3D() || course->Get3DCamera() || CSettings::GetInt(L"3D", 0) != 1)
        return 3;
    // A course read while it used the 3D camera keeps 3D.
    course->Set3DCamera(true);
    course->Set3D(true);
    KeepWithin3DBudget(*course, true);
    if (!course->Get3D())
        return 4;
    KeepWithin3DBudget(*course, false);
    return !course->Get3D() && !course->Get3DCamera() && ReportCount() == 0 ? 0 : 5;
}

// ---- The view's first picture ---------------------------------------------------------------

namespace {

// A new course that shows 3D by the stored view, under a class whose system
// draws 3D views only: the view's target is GDI's, which shows that
// system's picture of the 3D scene and then the map. Under Wine a first
// picture that a 3D library drew straight into the window never reached the
// screen, which stayed mostly black, nor did the map after it.
int ShowStored3DViewThrough(int graphicsClass)
{
    PrepareWindowTest();
    CSettings::SetInt(L"GraphicsClass", graphicsClass);
    CSettings::SetInt(L"3D", 1);
    CSettings::SetInt(L"3DCamera", 1);
    CCourseWindow* window = OpenNewCourseWindow();
    const CCourseView& view = window->view;
    const auto shown = [&] {
        RECT rect = {};
        GetWindowRect(view.hwnd, &rect);
        const std::vector<COLORREF> pixels = programtest::GrabScreen(rect);
        return view.renderTarget && size_t(std::count(pixels.begin(), pixels.end(), COLORREF(0))) * 4 < pixels.size();
    };
    if (view.GetCourseScene() != &window->scene3D || !PumpUntil(shown, 10000))
        return 1;
    if (&view.renderTarget->GetGraphicsSystem() != &ChooseGraphicsBackEnd(true))
        return 2;
    window->RunMenuCommand(2150);
    if (view.GetCourseScene() != &window->mapScene || !PumpUntil(shown, 10000))
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}

}  // namespace

CHILD_TEST(CourseWindow, AViewRestoredIn3DThroughOpenGL3ShowsItsFirstPicture) { return ShowStored3DViewThrough(2); }
CHILD_TEST(CourseWindow, AViewRestoredIn3DThroughOpenGL1ShowsItsFirstPicture) { return ShowStored3DViewThrough(1); }

// ---- Mouse and keys in the window -------------------------------------------------------------

namespace {

POINT ButtonOnScreen(CToolbarPanel& toolbar, int id)
{
    const CRectF& r = toolbar.FindItem(id)->rect;
    return ToScreen(toolbar.hwnd, (r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f);
}

void Click(POINT point)
{
    MouseInput(point);
    MouseInput(point, MOUSEEVENTF_LEFTDOWN);
    MouseInput(point, MOUSEEVENTF_LEFTUP);
}

std::wstring UndoCaption(CCourseWindow* window)
{
    window->UpdateCommandStates();
    const HMENU edit = GetSubMenu(GetMenu(window->hwnd), 1);
    wchar_t text[128] = {};
    GetMenuStringW(edit, 0, text, 128, MF_BYPOSITION);
    // The entry ends with a tab and its shortcut.
    const std::wstring entry = text;
    return entry.substr(0, entry.find(L'\t'));
}

std::wstring UndoCaptionFor(int textId)
{
    std::wstring label = GetString(textId);
    const size_t amp = label.find(L'&');
    if (amp != std::wstring::npos)
        label.erase(amp, 1);
    return GetStringWithArg(2105, label);
}

}  // namespace

CHILD_TEST(CourseWindow, MouseAndKeysPlaceMoveTurnAndDeleteAnAFrame)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    if (!PumpUntil([&] { return window->view.renderTarget != nullptr; }))
        return 1;
    // The tool chosen and given up again: the Properties button follows.
    Click(ButtonOnScreen(window->shapeToolbar, 2526));
    if (window->shapeToolbar.GetCurrentTool() != 2526 || !window->propertiesButton.enabled ||
        window->colorsButton.enabled)
        return 2;
    Click(ButtonOnScreen(window->shapeToolbar, 2526));
    if (window->shapeToolbar.GetCurrentTool() != CShapeToolbar::kNoTool || window->propertiesButton.enabled)
        return 12;
    Click(ButtonOnScreen(window->shapeToolbar, 2526));

    const float x = window->view.bounds.Width() / 2.0f;
    const float y = window->view.bounds.Height() / 2.0f;
    const POINT place = ToScreen(window->view.hwnd, x, y);
    Click(place);
    if (course->GetObjectCount() != 1 || window->shapeToolbar.GetCurrentTool() != CShapeToolbar::kNoTool)
        return 3;
    const std::wstring term = course->GetSpecList().GetTerm(2526);
    if (UndoCaption(window) != GetStringWithArg(2105, term))
        return 4;
    CCourseObject* frame = *course->GetObjects().begin();
    const CPoint2 start = frame->GetPosition();

    // A drag of the body moves it.
    MouseInput(place);
    MouseInput(place, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 4; ++step)
        MouseInput(POINT{place.x + 15 * step, place.y});
    MouseInput(POINT{place.x + 60, place.y}, MOUSEEVENTF_LEFTUP);
    frame = *course->GetObjects().begin();
    if (!(frame->GetPosition().x > start.x + 100.0f) || std::fabs(frame->GetPosition().y - start.y) > 1.0f)
        return 5;
    if (UndoCaption(window) != UndoCaptionFor(2018))
        return 6;

    // "]" turns the selection by 15 degrees.
    const float angle = frame->GetPlacement().GetRotation();
    TypeChar(L']');
    PumpFor(100);
    frame = *course->GetObjects().begin();
    const float turned = std::fabs(std::remainder(frame->GetPlacement().GetRotation() - angle, 360.0f));
    if (std::fabs(turned - 15.0f) > 0.5f)
        return 7;
    if (UndoCaption(window) != UndoCaptionFor(2019))
        return 8;

    KeyPress(VK_DELETE);
    PumpFor(100);
    if (course->GetObjectCount() != 0 || UndoCaption(window) != UndoCaptionFor(2122))
        return 9;
    window->RunMenuCommand(2104);
    if (course->GetObjectCount() != 1)
        return 10;
    return ReportCount() == 0 ? 0 : 11;
}

CHILD_TEST(CourseWindow, DroppingACourseFileOpensIt)
{
    PrepareWindowTest();
    const std::wstring path = FileCourse(MakeTempFolder(L"drop"), L"Dropped.agl");
    CCourseWindow* window = OpenNewCourseWindow();

    // The shell's drop block: DROPFILES, then the wide names, each ended, and
    // an empty name.
    const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    // The window frees the block (DragFinish).
    SendMessageW(window->hwnd, WM_DROPFILES, WPARAM(block), 0);

    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 2)
        return 1;
    bool shown = false;
    for (CCourseWindow* open : windows)
        shown = shown || (open->GetCourse()->GetPath() == path && open->GetCourse()->GetObjectCount() == 3);
    if (!shown)
        return 2;
    return ReportCount() == 0 ? 0 : 3;
}

CHILD_TEST(CourseWindow, PictureOfTheCourseWindowWithAFrames)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    PlaceAFrame(*course, 1200.0f, 1800.0f, 0.0f);
    PlaceAFrame(*course, 3600.0f, 3000.0f, 45.0f);
    PlaceAFrame(*course, 6000.0f, 1500.0f, 90.0f);
    course->CommitUndoStepById(2122);
    course->OnCourseChanged();
    PumpFor(500);
    if (!PumpUntil([&] { return window->view.renderTarget != nullptr; }))
        return 1;
    PumpFor(300);
    if (!SaveScreenPicture(window->hwnd, GetTestArtefactPath(L"course-window.png")))
        return 2;
    // The A-frame at the middle of the ring is drawn: not the white of the
    // ground where it stands.
    CPoint2 seen;
    window->view.camera.ProjectPoint(window->mapScene.transform.InverseTransformPoint(CVector3(3600.0f, -3000.0f, 0.0f)),
                                     &seen);
    if (ReadClientPixel(window->view.hwnd, int(seen.x), int(seen.y)) == RGB(255, 255, 255))
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}
