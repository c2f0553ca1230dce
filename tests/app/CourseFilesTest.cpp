#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "foundation/Base64.h"
#include "foundation/Compression.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace filetest;

namespace {

class CourseFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenFileTestSettings();
        CDialogWatcher::TakeAnsweredTexts();
    }
    void TearDown() override { DeleteTestSettingsKey(); }
};

}  // namespace

// ---- Replacing a file's content ---------------------------------------------------

TEST_F(CourseFiles, ReplacedContentIsTheBytesExactlyAndNothingIsLeftBeside)
{
    const std::wstring folder = MakeTempFolder(L"replace-exact");
    const std::wstring path = folder + L"\\plan.agl";
    WriteBytes(path, "old content that is longer than the new one");
    const std::string bytes("a \r\nb\r\n\0c\n", 11);
    ASSERT_TRUE(ReplaceFileContent(path, bytes));
    EXPECT_EQ(bytes, ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::wstring>{L"plan.agl"}, ListFolder(folder));
}

TEST_F(CourseFiles, ANewFileIsCreated)
{
    const std::wstring folder = MakeTempFolder(L"replace-new");
    ASSERT_TRUE(ReplaceFileContent(folder + L"\\new.agl", "text"));
    EXPECT_EQ("text", ReadWholeFile(folder + L"\\new.agl"));
}

TEST_F(CourseFiles, AReadOnlyFileStaysAsItWas)
{
    const std::wstring folder = MakeTempFolder(L"replace-read-only");
    const std::wstring path = folder + L"\\kept.agl";
    WriteBytes(path, "the old course");
    SetReadOnly(path, true);
    EXPECT_FALSE(ReplaceFileContent(path, "the new course"));
    SetReadOnly(path, false);
    EXPECT_EQ("the old course", ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::wstring>{L"kept.agl"}, ListFolder(folder));
}

TEST_F(CourseFiles, AMissingFolderFails)
{
    const std::wstring folder = MakeTempFolder(L"replace-missing-folder");
    EXPECT_FALSE(ReplaceFileContent(folder + L"\\no such folder\\x.agl", "text"));
    EXPECT_TRUE(ListFolder(folder).empty());
}

TEST_F(CourseFiles, LeftoverTemporaryFilesAreNotTakenOver)
{
    const std::wstring folder = MakeTempFolder(L"replace-leftover");
    const std::wstring path = folder + L"\\plan.agl";
    WriteBytes(path + L"~1.tmp", "somebody else's file");
    ASSERT_TRUE(ReplaceFileContent(path, "course"));
    EXPECT_EQ("course", ReadWholeFile(path));
    EXPECT_EQ("somebody else's file", ReadWholeFile(path + L"~1.tmp"));
    EXPECT_EQ(2u, ListFolder(folder).size());
}

// ---- Writing a course to its file ------------------------------------------------

TEST_F(CourseFiles, TheFileIsTheTextBlockByteForByteAndReadsBackToTheSameCourse)
{
    const std::wstring folder = MakeTempFolder(L"write-course");
    const std::wstring path = folder + L"\\Three.agl";
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Three.agl", path);
    ASSERT_EQ(3u, course->GetObjectCount());
    ASSERT_TRUE(WriteCourseFile(*course));
    // Writing cleared the selection, so the block below is of the same state.
    EXPECT_FALSE(course->HasSelection());
    const std::string expected = TextBlockOf(*course);
    const std::string file = ReadWholeFile(path);
    EXPECT_EQ(expected, file);
    EXPECT_NE(std::string::npos, file.find("Version 4 \r\n"));
    EXPECT_EQ(std::string::npos, file.find("\r\r\n"));
    EXPECT_TRUE(CDialogWatcher::TakeAnsweredTexts().empty());

    CCourse readBack(L"", L"");
    std::istringstream in(file);
    ASSERT_TRUE(readBack.ReadTextBlock(in, false));
    EXPECT_EQ(3u, readBack.GetObjectCount());
    EXPECT_EQ(expected, TextBlockOf(readBack));
}

TEST_F(CourseFiles, ACourseKeptInTheOlderFormatIsWrittenInIt)
{
    const std::wstring folder = MakeTempFolder(L"write-older");
    const std::wstring path = folder + L"\\Old.agl";
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Old.agl", path);
    course->SetWriteVersion3(true);
    ASSERT_TRUE(WriteCourseFile(*course));
    const std::string file = ReadWholeFile(path);
    EXPECT_NE(std::string::npos, file.find("Version 3 \r\n"));
    EXPECT_EQ(TextBlockOf(*course, false, true), file);
}

TEST_F(CourseFiles, AFailedWriteKeepsTheOldFileAndTellsTheUserThePath)
{
    const std::wstring folder = MakeTempFolder(L"write-fails");
    const std::wstring path = folder + L"\\Kept.agl";
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Kept.agl", path);
    ASSERT_TRUE(WriteCourseFile(*course));
    const std::string first = ReadWholeFile(path);
    PlaceAFrame(*course, 2000.0f, 2000.0f, 30.0f);
    SetReadOnly(path, true);
    const int reports = ReportCount();
    EXPECT_FALSE(WriteCourseFile(*course));
    SetReadOnly(path, false);
    EXPECT_EQ(first, ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::wstring>{GetStringWithArg(2689, path)}, CDialogWatcher::TakeAnsweredTexts());
    EXPECT_EQ(reports, ReportCount());
    EXPECT_EQ(std::vector<std::wstring>{L"Kept.agl"}, ListFolder(folder));
}

TEST_F(CourseFiles, TemplateIsTheTextBlockAndTheCourseStaysAsItWas)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Mine.agl", L"C:\\somewhere\\Mine.agl");
    PlaceAFrame(*course, 2400.0f, 2400.0f, 0.0f);
    course->CommitUndoStepById(2122);
    ASSERT_TRUE(course->IsModified());
    ASSERT_TRUE(SaveCourseAsTemplate(*course));
    EXPECT_EQ(TextBlockOf(*course), CSettings::GetString(L"Template", std::string()));
    EXPECT_EQ(L"Mine.agl", course->GetTitle());
    EXPECT_EQ(L"C:\\somewhere\\Mine.agl", course->GetPath());
    EXPECT_TRUE(course->IsModified());
}

// ---- Opening files into course windows ------------------------------------------

namespace {

// Each scenario opens windows, so it runs in a process of its own: the last
// window to close posts the quit message.
int CountCourseWindows() { return int(CCourseWindow::GetCourseWindows().size()); }

std::wstring WriteCourseFileOf(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring path = folder + L"\\" + name;
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(name, path);
    WriteBytes(path, TextBlockOf(*course));
    return path;
}

}  // namespace

CHILD_TEST(CourseFileOpening, OpenShowsTheFileInANewWindow)
{
    OpenFileTestSettings();
    const std::wstring path = WriteCourseFileOf(MakeTempFolder(L"open-new"), L"Shown.agl");
    if (!OpenCourseFile(path, nullptr))
        return 1;
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 1)
        return 2;
    CCourse* course = windows[0]->GetCourse();
    if (course->GetTitle() != L"Shown.agl" || course->GetPath() != path || course->GetObjectCount() != 3)
        return 3;
    if (GetRecentFiles().GetPaths().empty() || GetRecentFiles().GetPaths().front() != path)
        return 4;
    if (!CDialogWatcher::TakeAnsweredTexts().empty())
        return 5;
    return ReportCount() == 0 ? 0 : 6;
}

// Undo goes back to the course as read and no further, whether it came from
// a file or from the template. Both were written from a window of the size
// the next one has: its first layout leaves the course as read.
CHILD_TEST(CourseFileOpening, UndoGoesBackToTheCourseAsReadAndNoFurther)
{
    OpenFileTestSettings();
    const std::wstring path = WriteCourseFileOf(MakeTempFolder(L"open-undo"), L"Undone.agl");
    if (!OpenCourseFile(path, nullptr))
        return 1;
    CCourseWindow* shown = CCourseWindow::GetCourseWindows().front();
    if (!WriteCourseFile(*shown->GetCourse()) || !SaveCourseAsTemplate(*shown->GetCourse()))
        return 2;
    shown->DestroyWindowAndCourse(true);
    if (!OpenCourseFile(path, nullptr))
        return 3;
    CCourseWindow::GetCourseWindows().front()->ExecuteCommand(2062);
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 2)
        return 4;
    for (CCourseWindow* window : windows) {
        CCourse& course = *window->GetCourse();
        if (course.GetObjectCount() != 3 || course.IsModified() || course.CanUndo())
            return 5;
        course.SelectAll();
        course.DeleteSelected();
        course.CommitUndoStepById(2122);
        if (!course.Undo() || course.GetObjectCount() != 3 || course.CanUndo())
            return 6;
    }
    return ReportCount() == 0 ? 0 : 7;
}

CHILD_TEST(CourseFileOpening, OpenOfADamagedFileTellsTheUserAndChangesNothing)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"open-damaged");
    const std::wstring good = WriteCourseFileOf(folder, L"Good.agl");
    if (!OpenCourseFile(good, nullptr))
        return 1;
    CCourseWindow* window = CCourseWindow::GetCourseWindows().front();
    const std::string before = TextBlockOf(*window->GetCourse());

    // The body of a real block, cut in half and garbled.
    std::string damaged = ReadWholeFile(good);
    damaged.resize(damaged.size() / 2);
    damaged += "@@@@ garbage \r\nEnd Fendrel \r\n";
    const std::wstring bad = folder + L"\\Damaged.agl";
    WriteBytes(bad, damaged);
    GetRecentFiles().Add(bad);
    CDialogWatcher::TakeAnsweredTexts();
    if (OpenCourseFile(bad, window))
        return 2;
    if (CountCourseWindows() != 1 || TextBlockOf(*window->GetCourse()) != before)
        return 3;
    if (CDialogWatcher::TakeAnsweredTexts() != std::vector<std::wstring>{GetString(2677)})
        return 4;
    for (const std::wstring& recent : GetRecentFiles().GetPaths())
        if (IsSamePath(recent, bad))
            return 5;

    // An archive that inflates to 16 MB of zeros is no newer version's: one
    // message, that the file could not be read.
    std::string zeros;
    if (!ZlibCompressWithLength(std::string(0xFFFFFF, '\0'), zeros, true, std::string()))
        return 6;
    const std::wstring empty = folder + L"\\Zeros.agl";
    WriteBytes(empty, "Begin Fendrel \r\nVersion 4 \r\n" + CBase64::Encode(std::string(3, '\0') + zeros, 64) +
                          " \r\nEnd Fendrel \r\n");
    if (OpenCourseFile(empty, window) || TextBlockOf(*window->GetCourse()) != before)
        return 7;
    if (CDialogWatcher::TakeAnsweredTexts() != std::vector<std::wstring>{GetString(2677)})
        return 8;
    return ReportCount() == 0 ? 0 : 9;
}

CHILD_TEST(CourseFileOpening, OpenOfAMissingFileSaysItCouldNotBeOpened)
{
    OpenFileTestSettings();
    const std::wstring path = MakeTempFolder(L"open-missing") + L"\\Missing.agl";
    if (OpenCourseFile(path, nullptr) || CountCourseWindows() != 0)
        return 1;
    const std::vector<std::wstring> said{GetStringWithArg(2670, L"\u201C" + path + L"\u201D")};
    return CDialogWatcher::TakeAnsweredTexts() == said ? 0 : 2;
}

CHILD_TEST(CourseFileOpening, OpenOfAShownFileBringsItForwardOrMovesItsCourse)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"open-shown");
    const std::wstring first = WriteCourseFileOf(folder, L"First.agl");
    const std::wstring second = WriteCourseFileOf(folder, L"Second.agl");
    if (!OpenCourseFile(first, nullptr) || !OpenCourseFile(second, nullptr))
        return 1;
    CCourseWindow* secondWindow = CCourseWindow::GetCourseWindows().front();
    CCourseWindow* firstWindow = CCourseWindow::GetCourseWindows().back();
    CCourse* firstCourse = firstWindow->GetCourse();
    if (secondWindow->GetCourse()->GetPath() != second)
        return 2;

    // Asked by the window that shows it: only brought forward.
    if (!OpenCourseFile(folder + L"\\SECOND.AGL", secondWindow) || CountCourseWindows() != 2)
        return 3;
    if (CCourseWindow::GetCourseWindows().front() != secondWindow)
        return 4;

    // Asked by another window: the course moves into a new window, unread.
    if (!OpenCourseFile(first, secondWindow) || CountCourseWindows() != 2)
        return 5;
    bool moved = false;
    for (CCourseWindow* window : CCourseWindow::GetCourseWindows())
        moved = moved || (window != secondWindow && window->GetCourse() == firstCourse);
    if (!moved)
        return 6;
    return CDialogWatcher::TakeAnsweredTexts().empty() && ReportCount() == 0 ? 0 : 7;
}
