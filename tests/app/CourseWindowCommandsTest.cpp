#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <thread>

#include "app/CommandTable.h"
#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/HintDlg.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "objects/equipment/AFrame.h"
#include "foundation/CrashLog.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace cwtest;
using namespace filetest;

// The commands of a course window, run as the menu runs them. Every scenario
// opens windows and so runs in a process of its own.

namespace {

CCommand* Command(CCourseWindow* window, int id)
{
    window->UpdateCommandStates();
    return dynamic_cast<CCommand*>(window->menuBar.FindById(id));
}

std::wstring FileCourse(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring path = folder + L"\\" + name;
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(name, path);
    WriteBytes(path, TextBlockOf(*course));
    return path;
}

// The file's window, with the middle of its three A-frames selected.
CCourseWindow* OpenFile(const std::wstring& path)
{
    if (!OpenCourseFile(path, nullptr))
        return nullptr;
    for (CCourseWindow* window : CCourseWindow::GetCourseWindows()) {
        if (window->GetCourse()->GetPath() != path)
            continue;
        for (CCourseObject* object : window->GetCourse()->GetObjects())
            object->SetSelected(object->GetPosition().x == 3600.0f);
        window->GetCourse()->OnCourseChanged();
        return window;
    }
    return nullptr;
}

// Adds an A-frame at the point as an undo step of its own, as placing one
// by hand does, and tells the course's listeners.
void AddAFrameStep(CCourse& course, float x, float y)
{
    PlaceAFrame(course, x, y, 0.0f);
    course.CommitUndoStepById(2122);
    course.OnCourseChanged();
}

// Runs the command while CBoxAnswers answers its message boxes; the boxes.
std::vector<CBoxAnswers::CBox> RunAnsweringBoxes(CCourseWindow* window, int id)
{
    CBoxAnswers answers({});
    window->RunMenuCommand(id);
    return answers.Take();
}

size_t ObjectsInFile(const std::wstring& path)
{
    CCourse course(L"", L"");
    std::istringstream block(ReadWholeFile(path));
    return course.ReadTextBlock(block, false) ? course.GetObjectCount() : size_t(-1);
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* characters = static_cast<const char*>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

CHILD_TEST(CourseWindowCommands, TogglesAreOneStepEachAndUndoAndRedoRecordNone)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    const bool paths = course->GetShowPaths();
    const bool numbers = course->GetShowNumbers();
    const bool texts = course->GetShowTexts();
    const bool metric = course->IsMetric();
    const size_t before = course->GetUndoHistory().GetEntryCount();
    const std::pair<int, const wchar_t*> toggles[] = {
        {2160, L"Paths"}, {2166, L"Obstacle Numbers"}, {2168, L"Hidable Texts"}, {2176, L"Metric Units"}};
    for (const auto& toggle : toggles) {
        window->RunMenuCommand(toggle.first);
        if (course->GetUndoLabel() != toggle.second)
            return 1;
    }
    if (course->GetShowPaths() == paths || course->GetShowNumbers() == numbers || course->GetShowTexts() == texts ||
        course->IsMetric() == metric)
        return 2;
    if (course->GetUndoHistory().GetEntryCount() != before + 4 || Command(window, 2176)->checked != course->IsMetric())
        return 3;
    window->RunMenuCommand(2104);
    window->RunMenuCommand(2104);
    window->RunMenuCommand(2107);
    if (course->GetUndoHistory().GetEntryCount() != before + 4 || course->GetShowTexts() == texts ||
        course->IsMetric() != metric)
        return 4;
    // Grass is a 3D matter: off while the course shows the map.
    if (Command(window, 2170)->enabled || Command(window, 2170)->checked)
        return 5;
    return ReportCount() == 0 ? 0 : 6;
}

CHILD_TEST(CourseWindowCommands, DeleteFlipAndReverseAreStepsOfTheirOwn)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenFile(FileCourse(MakeTempFolder(L"commands"), L"Steps.agl"));
    if (!window)
        return 1;
    CCourse* course = window->GetCourse();
    const CCourseObject* middle = nullptr;
    for (const CCourseObject* object : course->GetObjects())
        if (object->IsSelected())
            middle = object;
    if (!middle || !Command(window, 2122)->enabled)
        return 2;
    const float angle = middle->GetPlacement().GetRotation();
    const CPoint2 position = middle->GetPosition();
    window->RunMenuCommand(2140);
    if (course->GetUndoLabel() != L"Flip Left to Right")
        return 3;
    // One object mirrors about its own place: it stays, its angle turns over.
    if (std::fabs(std::remainder(middle->GetPlacement().GetRotation() + angle, 360.0f)) > 0.5f ||
        middle->GetPosition().x != position.x)
        return 4;
    window->RunMenuCommand(2122);
    if (course->GetObjectCount() != 2 || course->GetUndoLabel() != L"Delete" || Command(window, 2122)->enabled)
        return 5;
    window->RunMenuCommand(2144);
    if (course->GetUndoLabel() != L"Reverse Course" || course->HasSelection())
        return 6;
    window->RunMenuCommand(2124);
    if (course->CountSelected() != 2)
        return 7;
    return ReportCount() == 0 ? 0 : 8;
}

CHILD_TEST(CourseWindowCommands, PropertiesFollowTheSelectionAndTheTool)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    CCommand* properties = Command(window, 2128);
    if (properties->enabled || properties->GetText() != GetString(2128) || window->propertiesButton.enabled ||
        window->colorsButton.enabled || Command(window, 2132)->enabled)
        return 1;
    CCourseObject* frame = PlaceAFrame(*course, 2400.0f, 2400.0f, 0.0f);
    frame->SetSelected(true);
    course->OnCourseChanged();
    const std::wstring name = course->GetSelectionTypeName();
    properties = Command(window, 2128);
    if (name.empty() || !properties->enabled || properties->GetText() != GetStringWithArg(2131, name) ||
        !window->propertiesButton.enabled)
        return 2;
    // With the select tool the colour picker paints the selection.
    if (!Command(window, 2132)->enabled || !window->colorsButton.enabled)
        return 3;
    // The window runs the selection's dialog; a new kind of step brings the
    // editing hint, the same step again does not.
    const int hints = GetHintCounts()[2708];
    const std::wstring before = course->GetUndoLabel();
    const auto choosePreset = [](int preset) {
        return [preset](HWND dialog) {
            ClickControl(FindRadioButtons(dialog).at(size_t(preset)));
            PressDialogButton(dialog, IDOK);
        };
    };
    if (!RunModalDriven([&] { window->RunMenuCommand(2128); }, choosePreset(1)))
        return 4;
    // AKC's second A-frame: 9 ft ramps, 5 ft high.
    if (course->GetUndoLabel() == before || GetHintCounts()[2708] != hints + 1 ||
        static_cast<CAFrame*>(frame)->GetHeight() != 600.0f)
        return 5;
    // The tool column's button runs the same dialog.
    if (!RunModalDriven([&] { window->propertiesButton.onClick(&window->propertiesButton); }, choosePreset(1)) ||
        GetHintCounts()[2708] != hints + 1)
        return 6;
    if (window->contextMenu.FindById(2128) == nullptr)
        return 7;
    return ReportCount() == 0 ? 0 : 8;
}

CHILD_TEST(CourseWindowCommands, AToolThatEditsOnCreationPlacesWhatItsDialogSays)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    CSettings::SetInt(L"10EditOnCreate", 1);
    // OK: the tool stays, and places an A-frame of the size typed.
    const bool driven = RunModalDriven([&] { window->shapeToolbar.OnButton(2526); }, [](HWND dialog) {
        ClickControl(FindChildByCaption(dialog, GetString(2258)));
        const std::vector<HWND> edits = FindEditControls(dialog);
        TypeIntoEdit(edits.at(0), L"96 in");
        TypeIntoEdit(edits.at(1), L"95 in");
        PressDialogButton(dialog, IDOK);
    });
    const auto* tool = dynamic_cast<const CObjectPropertiesDlg*>(course->GetPropertiesDialog());
    if (!driven || course->GetToolType() != FindObjectTypeById(10) || tool == nullptr || tool->IsPending())
        return 1;
    course->StartPlacingObject(3000.0f, 3000.0f);
    course->DropPlacedObject(3000.0f, 3000.0f);
    const CAFrame* placed = nullptr;
    for (CCourseObject* object : course->GetObjects())
        placed = dynamic_cast<CAFrame*>(object);
    if (course->GetObjectCount() != 1 || !placed || placed->GetLength() != 960.0f || placed->GetHeight() != 950.0f)
        return 2;

    // Cancel: back to selecting, nothing placed.
    window->shapeToolbar.SelectNone();
    if (!RunModalDriven([&] { window->shapeToolbar.OnButton(2526); },
                        [](HWND dialog) { PressDialogButton(dialog, IDCANCEL); }))
        return 3;
    if (course->GetToolType() != nullptr || window->shapeToolbar.GetCurrentTool() != CShapeToolbar::kNoTool ||
        course->GetObjectCount() != 1)
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

CHILD_TEST(CourseWindowCommands, SaveAsTemplateLeavesTheCourseAloneAndNewFromTemplateUsesIt)
{
    PrepareWindowTest();
    CSettings::SetString(L"Template", std::string());
    const std::wstring path = FileCourse(MakeTempFolder(L"template"), L"Mine.agl");
    CCourseWindow* window = OpenFile(path);
    if (!window || Command(window, 2062)->enabled)
        return 1;
    CCourse* course = window->GetCourse();
    AddAFrameStep(*course, 2400.0f, 3000.0f);
    window->RunMenuCommand(2079);
    if (CSettings::GetString(L"Template", std::string()) != TextBlockOf(*course))
        return 2;
    if (course->GetTitle() != L"Mine.agl" || course->GetPath() != path || !course->IsModified())
        return 3;
    if (!Command(window, 2062)->enabled)
        return 4;

    // A course made from the template holds its objects and takes a paste
    // as an addition.
    window->RunMenuCommand(2062);
    CCourseWindow* made = CCourseWindow::GetCourseWindows().front();
    if (made == window || made->GetCourse()->GetObjectCount() != 4 || !made->GetCourse()->IsMadeFromTemplate() ||
        !made->GetCourse()->GetPath().empty() || made->GetCourse()->IsModified())
        return 5;
    window->RunMenuCommand(2124);
    window->RunMenuCommand(2112);
    made->RunMenuCommand(2120);
    if (made->GetCourse()->GetObjectCount() != 8)
        return 6;
    return ReportCount() == 0 ? 0 : 7;
}

CHILD_TEST(CourseWindowCommands, SaveOverAReadOnlyFileKeepsItAndTellsTheUser)
{
    PrepareWindowTest();
    const std::wstring path = FileCourse(MakeTempFolder(L"save-locked"), L"Locked.agl");
    CCourseWindow* window = OpenFile(path);
    if (!window)
        return 1;
    CCourse* course = window->GetCourse();
    AddAFrameStep(*course, 2400.0f, 3000.0f);
    const std::string before = ReadWholeFile(path);
    SetReadOnly(path, true);
    const std::vector<CBoxAnswers::CBox> boxes = RunAnsweringBoxes(window, 2073);
    SetReadOnly(path, false);
    if (boxes.size() != 1 || boxes[0].text != GetStringWithArg(2689, path))
        return 2;
    if (ReadWholeFile(path) != before || !course->IsModified() ||
        GetWindowTextString(window->hwnd).find(L" *") == std::wstring::npos)
        return 3;
    // Writable again, the same command saves.
    window->RunMenuCommand(2073);
    if (ObjectsInFile(path) != 4 || course->IsModified())
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

CHILD_TEST(CourseWindowCommands, SaveAllWritesEveryTitledCourse)
{
    PrepareWindowTest();
    const std::wstring folder = MakeTempFolder(L"save-all");
    CCourseWindow* one = OpenFile(FileCourse(folder, L"One.agl"));
    CCourseWindow* two = OpenFile(FileCourse(folder, L"Two.agl"));
    if (!one || !two)
        return 1;
    for (CCourseWindow* window : {one, two})
        AddAFrameStep(*window->GetCourse(), 2400.0f, 3000.0f);
    one->RunMenuCommand(2077);
    if (ObjectsInFile(folder + L"\\One.agl") != 4 || ObjectsInFile(folder + L"\\Two.agl") != 4)
        return 2;
    if (one->GetCourse()->IsModified() || two->GetCourse()->IsModified())
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(CourseWindowCommands, CopyPutsTheCourseOnTheClipboardAndPasteAddsItElsewhere)
{
    PrepareWindowTest();
    CCourseWindow* source = OpenFile(FileCourse(MakeTempFolder(L"clipboard"), L"Source.agl"));
    if (!source)
        return 1;
    source->RunMenuCommand(2124);
    source->RunMenuCommand(2112);
    if (ClipboardText() != TextBlockOf(*source->GetCourse(), true) || !IsClipboardFormatAvailable(CF_ENHMETAFILE))
        return 2;

    // Into a course with objects of its own: added, one step.
    CCourseWindow* target = OpenNewCourseWindow(L"Target");
    AddAFrameStep(*target->GetCourse(), 1200.0f, 1200.0f);
    if (!Command(target, 2120)->enabled)
        return 3;
    target->RunMenuCommand(2120);
    if (target->GetCourse()->GetObjectCount() != 4 || target->GetCourse()->GetUndoLabel() != L"Paste")
        return 4;

    // Into a fresh untitled course: it becomes the pasted course.
    CCourseWindow* fresh = OpenNewCourseWindow(L"Fresh");
    fresh->RunMenuCommand(2120);
    if (fresh->GetCourse()->GetObjectCount() != 3)
        return 5;

    // The summary leaves nothing selected, and Cut and Delete say so at once
    // (in the toolbar too, whose states are not pulled by a menu).
    source->RunMenuCommand(2124);
    source->RunMenuCommand(2116);
    const CCommand* remove = dynamic_cast<const CCommand*>(source->menuBar.FindById(2122));
    const CCommand* cut = dynamic_cast<const CCommand*>(source->menuBar.FindById(2110));
    if (source->GetCourse()->HasSelection() || !remove || remove->enabled || !cut || cut->enabled ||
        !IsClipboardFormatAvailable(CF_UNICODETEXT))
        return 6;
    return ReportCount() == 0 ? 0 : 7;
}

CHILD_TEST(CourseWindowCommands, CutWithABusyClipboardDeletesNothing)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenFile(FileCourse(MakeTempFolder(L"cut-busy"), L"Busy.agl"));
    if (!window)
        return 1;
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        if (!OpenClipboard(nullptr))
            return;
        holding = true;
        while (!release)
            Sleep(5);
        CloseClipboard();
    });
    while (!holding)
        Sleep(5);
    const std::vector<CBoxAnswers::CBox> boxes = RunAnsweringBoxes(window, 2110);
    release = true;
    holder.join();
    if (boxes.size() != 1 || boxes[0].text != GetString(2671))
        return 2;
    if (window->GetCourse()->GetObjectCount() != 3 || window->GetCourse()->IsModified())
        return 3;
    // With the clipboard free, Cut takes the selected object away.
    window->RunMenuCommand(2110);
    if (window->GetCourse()->GetObjectCount() != 2 || window->GetCourse()->GetUndoLabel() != L"Cut")
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}

CHILD_TEST(CourseWindowCommands, RecentFilesAndTheWindowListFollowTheirLists)
{
    PrepareWindowTest();
    const std::wstring folder = MakeTempFolder(L"recent");
    const std::wstring first = FileCourse(folder, L"First.agl");
    CCourseWindow* window = OpenNewCourseWindow(L"Listed");
    CRecentFiles& recent = GetRecentFiles();
    while (!recent.GetPaths().empty())
        recent.Remove(recent.GetPaths().front());
    recent.Add(first);
    recent.Add(folder + L"\\Second.agl");
    if (!Command(window, 2085)->visible || !Command(window, 2086)->visible || Command(window, 2087)->visible)
        return 1;
    // Entry 2 is the first file: opening it shows it.
    window->RunMenuCommand(2086);
    if (CCourseWindow::GetCourseWindows().size() != 2)
        return 2;
    // The Window menu names each window, with " *" for a modified course.
    AddAFrameStep(*window->GetCourse(), 1200.0f, 1200.0f);
    bool listed = false;
    for (int id = 2207; id <= 2208; ++id) {
        CCommand* entry = Command(window, id);
        listed = listed || (entry->visible && entry->GetText() == L"Listed *");
    }
    if (!listed || Command(window, 2209)->visible || Command(window, 2217)->visible)
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(CourseWindowCommands, EveryMenuCommandIsEnabledWhereItsRuleAllows)
{
    PrepareWindowTest();
    OpenNewCourseWindow();
    CCourseWindow* window = OpenNewCourseWindow();
    PlaceAFrame(*window->GetCourse(), 1200.0f, 1200.0f, 0.0f);
    window->GetCourse()->SelectAll();
    window->GetCourse()->CommitUndoStepById(2122);
    window->GetCourse()->OnCourseChanged();
    int checkedCommands = 0;
    for (const CCommandRow& row : GetCommandRows()) {
        if (row.kind != ECommandRowKind::kCommand || (row.places & kInMenu) == 0)
            continue;
        for (int id = row.id; id < row.id + row.count; ++id) {
            CCommand* command = Command(window, id);
            // Rows not made here (the web menu, the graphics-system item).
            if (!command)
                continue;
            CCommandState state;
            EvaluateCommandRule(row, id, *window, state);
            if (command->enabled != state.enabled)
                return id;
            ++checkedCommands;
        }
    }
    if (checkedCommands < 60)
        return 1;
    for (int id : {2064, 2124, 2126, 2138, 2174})
        if (!Command(window, id)->enabled)
            return id;
    return ReportCount() == 0 ? 0 : 2;
}

CHILD_TEST(CourseWindowCommands, FortyWindowsAreTheLimit)
{
    PrepareWindowTest();
    CSettings::SetString(L"Template", "Begin Fendrel\r\nVersion Empty\r\nEnd Fendrel\r\n");
    CCourseWindow* first = OpenNewCourseWindow();
    if (!Command(first, 2060)->enabled || !Command(first, 2062)->enabled)
        return 1;
    while (CCourseWindow::GetCourseWindows().size() < 40)
        OpenNewCourseWindow();
    CCourseWindow* last = CCourseWindow::GetCourseWindows().front();
    for (int id : {2060, 2062, 2064, 2066})
        if (Command(last, id)->enabled)
            return 2;
    // A command message (as a second start sends it) makes no 41st window.
    SendMessageW(last->hwnd, WM_COMMAND, MAKEWPARAM(2060, 0), 0);
    if (CCourseWindow::GetCourseWindows().size() != 40)
        return 3;
    last->RunMenuCommand(2070);
    if (!Command(first, 2060)->enabled)
        return 4;
    return ReportCount() == 0 ? 0 : 5;
}
