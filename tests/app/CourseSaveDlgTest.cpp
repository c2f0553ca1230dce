#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <atomic>
#include <deque>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/CourseFiles.h"
#include "app/CourseImageDlg.h"
#include "app/CourseSaveDlg.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/RecentFiles.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace filetest;

namespace {

class CourseSaveDlg : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenFileTestSettings();
        CDialogWatcher::TakeAnsweredTexts();
        SetImageExportRunner(nullptr);
        // As the first course window sets it up; the list is the process's.
        m_recentMaximum = GetRecentFiles().GetMaximum();
        m_recentPaths = GetRecentFiles().GetPaths();
        GetRecentFiles().SetMaximum(16);
    }
    void TearDown() override
    {
        SetImageExportRunner(nullptr);
        CRecentFiles& recent = GetRecentFiles();
        while (!recent.GetPaths().empty())
            recent.Remove(recent.GetPaths().front());
        for (auto it = m_recentPaths.rbegin(); it != m_recentPaths.rend(); ++it)
            recent.Add(*it);
        recent.SetMaximum(m_recentMaximum);
        DeleteTestSettingsKey();
    }

private:
    int32_t m_recentMaximum = 0;
    std::deque<std::wstring> m_recentPaths;
};

// A course window of a modified course with three A-frames.
std::unique_ptr<CFakeFileWindow> MakeWindow(const std::wstring& title, const std::wstring& path)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(title, path);
    PlaceAFrame(*course, 2400.0f, 3000.0f, 10.0f);
    course->CommitUndoStepById(2122);
    return std::make_unique<CFakeFileWindow>(std::move(course));
}

// Saves through the dialog's own entry for a chosen file, as the system
// dialog would hand it over; the dialog object is not deleted here.
void Choose(CCourseSaveDlg& dialog, const std::wstring& path, int format) { dialog.OnFileChosen(path, format); }

struct CExportCall
{
    int count = 0;
    std::wstring settingsName;
    std::wstring chosenPath;
};
CExportCall g_export;

void RecordExport(CCourseSaveDlg& dialog, const std::wstring& settingsName)
{
    ++g_export.count;
    g_export.settingsName = settingsName;
    g_export.chosenPath = dialog.chosenPath;
    // The picture is written: the image dialog says so through OnError.
    dialog.OnError();
}

}  // namespace

// ---- Formats ----------------------------------------------------------------------

TEST_F(CourseSaveDlg, ACourseOffersTheCurrentFormatFirstAndTheSummaryAndOlderFormat)
{
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 7", L"");
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    EXPECT_EQ(L"Course 7", dialog.path);
    EXPECT_EQ((std::vector<std::wstring>{L"agl", L"txt", L"agl"}), dialog.extensions);
    EXPECT_EQ((std::vector<std::wstring>{GetString(2008), GetString(2012), GetString(2009)}), dialog.descriptions);
    EXPECT_EQ(0, dialog.currentFormatIndex);
    EXPECT_EQ(1, dialog.textIndex);
    EXPECT_EQ(2, dialog.olderFormatIndex);
    EXPECT_EQ(-1, dialog.epsIndex);
}

TEST_F(CourseSaveDlg, ACourseKeptInTheOlderFormatOffersItFirst)
{
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Old.agl", L"C:\\plans\\Old.agl");
    window->GetCourse()->SetWriteVersion3(true);
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    EXPECT_EQ(L"C:\\plans\\Old.agl", dialog.path);
    EXPECT_EQ((std::vector<std::wstring>{GetString(2009), GetString(2012), GetString(2008)}), dialog.descriptions);
    EXPECT_EQ(0, dialog.olderFormatIndex);
    EXPECT_EQ(2, dialog.currentFormatIndex);
}

TEST_F(CourseSaveDlg, WithImageExportThePictureFormatsButJpegAndEpsAreOffered)
{
    SetImageExportRunner(&RecordExport);
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 7", L"");
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    EXPECT_EQ((std::vector<std::wstring>{L"agl", L"bmp", L"gif", L"png", L"tif", L"eps", L"txt", L"agl"}),
              dialog.extensions);
    EXPECT_EQ(GetStringWith2Args(2010, L"BMP", L"bmp"), dialog.descriptions[1]);
    EXPECT_EQ(GetStringWith2Args(2011, L"GIF", L"gif"), dialog.descriptions[2]);
    EXPECT_EQ(GetStringWith2Args(2010, L"PNG", L"png"), dialog.descriptions[3]);
    EXPECT_EQ(GetStringWith2Args(2010, L"TIFF", L"tif"), dialog.descriptions[4]);
    EXPECT_EQ(GetStringWith2Args(2011, L"EPS", L"eps"), dialog.descriptions[5]);
    EXPECT_EQ(5, dialog.epsIndex);
    EXPECT_EQ(6, dialog.textIndex);
    EXPECT_EQ(7, dialog.olderFormatIndex);
}

TEST_F(CourseSaveDlg, PicturesGoToTheImageExportWithTheirSettingsName)
{
    SetImageExportRunner(&RecordExport);
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 7", L"");
    window->closing = true;
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    g_export = CExportCall();
    Choose(dialog, L"C:\\p\\map.png", 3);
    EXPECT_EQ(1, g_export.count);
    EXPECT_EQ(L"FilePNG", g_export.settingsName);
    EXPECT_EQ(L"C:\\p\\map.png", g_export.chosenPath);
    // A written picture during a close asks about the course again.
    EXPECT_EQ(1, window->requestCloseCount);
    Choose(dialog, L"C:\\p\\map.eps", dialog.epsIndex);
    EXPECT_EQ(L"FileEPS", g_export.settingsName);
    EXPECT_TRUE(window->GetCourse()->IsModified());
}

// ---- Saving a course file ------------------------------------------------------------

TEST_F(CourseSaveDlg, SaveInTheCurrentFormatWritesTheFileAndTakesItsName)
{
    const std::wstring folder = MakeTempFolder(L"save-current");
    const std::wstring path = folder + L"\\Saved.agl";
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 3", L"");
    CCourse& course = *window->GetCourse();
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    Choose(dialog, path, dialog.currentFormatIndex);
    EXPECT_EQ(TextBlockOf(course), ReadWholeFile(path));
    EXPECT_EQ(L"Saved.agl", course.GetTitle());
    EXPECT_EQ(path, course.GetPath());
    EXPECT_FALSE(course.IsModified());
    EXPECT_EQ(std::vector<std::wstring>{path}, window->askedPaths);
    ASSERT_FALSE(GetRecentFiles().GetPaths().empty());
    EXPECT_EQ(path, GetRecentFiles().GetPaths().front());
    EXPECT_TRUE(CDialogWatcher::TakeAnsweredTexts().empty());

    CCourse readBack(L"", L"");
    std::ifstream in(path.c_str(), std::ios::binary);
    ASSERT_TRUE(readBack.ReadTextBlock(in, false));
    EXPECT_EQ(4u, readBack.GetObjectCount());
    EXPECT_EQ(TextBlockOf(course), TextBlockOf(readBack));
}

TEST_F(CourseSaveDlg, SavingDuringACloseDestroysTheWindowAndCourse)
{
    const std::wstring folder = MakeTempFolder(L"save-closing");
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 3", L"");
    window->closing = true;
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    Choose(dialog, folder + L"\\Closing.agl", dialog.currentFormatIndex);
    EXPECT_EQ(1, window->destroyCount);
    EXPECT_EQ(nullptr, window->GetCourse());
    EXPECT_TRUE(FileExists(folder + L"\\Closing.agl"));
}

TEST_F(CourseSaveDlg, AFailedSaveKeepsTheOldFileAndTheCourseAndStopsTheClose)
{
    const std::wstring folder = MakeTempFolder(L"save-fails");
    const std::wstring path = folder + L"\\Locked.agl";
    WriteBytes(path, "the file before");
    SetReadOnly(path, true);
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 3", L"");
    window->closing = true;
    CCourse& course = *window->GetCourse();
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    const int reports = ReportCount();
    Choose(dialog, path, dialog.currentFormatIndex);
    SetReadOnly(path, false);
    EXPECT_EQ("the file before", ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::wstring>{GetStringWithArg(2689, path)}, CDialogWatcher::TakeAnsweredTexts());
    EXPECT_EQ(L"Course 3", course.GetTitle());
    EXPECT_EQ(L"", course.GetPath());
    EXPECT_TRUE(course.IsModified());
    EXPECT_FALSE(window->closing);
    EXPECT_EQ(0, window->destroyCount + window->requestCloseCount);
    EXPECT_EQ(reports, ReportCount());
    EXPECT_EQ(std::vector<std::wstring>{L"Locked.agl"}, ListFolder(folder));
}

TEST_F(CourseSaveDlg, APathShownInAnotherWindowIsNeitherWrittenNorTaken)
{
    const std::wstring folder = MakeTempFolder(L"save-not-free");
    const std::wstring path = folder + L"\\Other.agl";
    for (bool older : {false, true}) {
        std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Mine.agl", folder + L"\\Mine.agl");
        CCourse& course = *window->GetCourse();
        course.SetWriteVersion3(older);
        window->pathFree = false;
        window->closing = true;
        CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
        Choose(dialog, path, older ? dialog.olderFormatIndex : dialog.currentFormatIndex);
        EXPECT_FALSE(FileExists(path));
        EXPECT_EQ(L"Mine.agl", course.GetTitle());
        EXPECT_EQ(folder + L"\\Mine.agl", course.GetPath());
        EXPECT_TRUE(course.IsModified());
        // The close stops.
        EXPECT_FALSE(window->closing);
        EXPECT_EQ(0, window->destroyCount + window->requestCloseCount);
    }
}

TEST_F(CourseSaveDlg, ACourseKeptInTheOlderFormatTakesTheFileOnlyOnceWritten)
{
    const std::wstring folder = MakeTempFolder(L"save-older-own");
    const std::wstring path = folder + L"\\Older.agl";
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 4", L"");
    CCourse& course = *window->GetCourse();
    course.SetWriteVersion3(true);
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    Choose(dialog, path, dialog.olderFormatIndex);
    const std::string file = ReadWholeFile(path);
    EXPECT_NE(std::string::npos, file.find("Version 3 \r\n"));
    EXPECT_EQ(TextBlockOf(course, false, true), file);
    EXPECT_EQ(L"Older.agl", course.GetTitle());
    EXPECT_EQ(path, course.GetPath());
    // Unmodified with a fresh history.
    EXPECT_FALSE(course.IsModified());
    EXPECT_FALSE(course.CanUndo());
}

TEST_F(CourseSaveDlg, OlderFormatOfATitledCourseKeepsItsPathAndStaysModified)
{
    const std::wstring folder = MakeTempFolder(L"save-older-copy");
    const std::wstring own = folder + L"\\Own.agl";
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Own.agl", own);
    CCourse& course = *window->GetCourse();
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    const int hintsBefore = GetHintCounts()[2712];
    Choose(dialog, folder + L"\\Copy.agl", dialog.olderFormatIndex);
    EXPECT_NE(std::string::npos, ReadWholeFile(folder + L"\\Copy.agl").find("Version 3 \r\n"));
    EXPECT_EQ(L"Own.agl", course.GetTitle());
    EXPECT_EQ(own, course.GetPath());
    EXPECT_TRUE(course.IsModified());
    EXPECT_EQ(hintsBefore + 1, GetHintCounts()[2712]);
    EXPECT_FALSE(FileExists(own));
}

TEST_F(CourseSaveDlg, OlderFormatOfAnUntitledCourseGivesItATitleButNoPath)
{
    const std::wstring folder = MakeTempFolder(L"save-older-untitled");
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 5", L"");
    window->closing = true;
    CCourse& course = *window->GetCourse();
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    Choose(dialog, folder + L"\\Named.agl", dialog.olderFormatIndex);
    EXPECT_TRUE(FileExists(folder + L"\\Named.agl"));
    EXPECT_EQ(L"Named.agl", course.GetTitle());
    EXPECT_EQ(L"", course.GetPath());
    // During a close the window asks again.
    EXPECT_EQ(1, window->requestCloseCount);
    EXPECT_EQ(0, window->destroyCount);
}

// The older file of a course without unsaved changes lost details of it:
// the course becomes modified, as the hint says, and stays so whatever is
// undone and redone, also when the file was its own or names it now.
TEST_F(CourseSaveDlg, OlderFormatOfACourseWithoutChangesMarksItModified)
{
    const std::wstring folder = MakeTempFolder(L"save-older-unchanged");
    const struct { const wchar_t* title; bool titled; const wchar_t* chosen; const wchar_t* titleAfter; } cases[] = {
        {L"Own.agl", true, L"Copy.agl", L"Own.agl"},
        {L"Own.agl", true, L"Own.agl", L"Own.agl"},
        {L"Course 8", false, L"Named.agl", L"Named.agl"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        const std::wstring own = c.titled ? folder + L"\\" + c.title : std::wstring();
        std::unique_ptr<CFakeFileWindow> window = MakeWindow(c.title, own);
        CCourse& course = *window->GetCourse();
        course.MarkUnmodified(false);
        CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
        const int hintsBefore = GetHintCounts()[2712];
        Choose(dialog, folder + L"\\" + c.chosen, dialog.olderFormatIndex);
        EXPECT_NE(std::string::npos, ReadWholeFile(folder + L"\\" + c.chosen).find("Version 3 \r\n"));
        EXPECT_EQ(c.titleAfter, course.GetTitle());
        EXPECT_EQ(own, course.GetPath());
        EXPECT_EQ(hintsBefore + 1, GetHintCounts()[2712]);
        EXPECT_TRUE(course.IsModified());
        ASSERT_TRUE(course.Undo() && course.Redo());
        EXPECT_TRUE(course.IsModified());
    }
}

TEST_F(CourseSaveDlg, TheSummaryIsUtf16WithAByteOrderMark)
{
    const std::wstring folder = MakeTempFolder(L"save-summary");
    const std::wstring path = folder + L"\\List.txt";
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 6", L"");
    CCourse& course = *window->GetCourse();
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    Choose(dialog, path, dialog.textIndex);
    std::wostringstream summary;
    course.DescribeCourse(summary, false);
    const std::wstring text = summary.str();
    std::string expected = "\xFF\xFE";
    for (wchar_t unit : text) {
        expected.push_back(char(unit & 0xFF));
        expected.push_back(char(unit >> 8));
    }
    EXPECT_EQ(expected, ReadWholeFile(path));
    EXPECT_EQ(L"Course 6", course.GetTitle());
    EXPECT_TRUE(course.IsModified());
    EXPECT_EQ(1, window->stopCount);
}

// ---- After the save ------------------------------------------------------------------

TEST_F(CourseSaveDlg, CancelStopsAClose)
{
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 8", L"");
    window->closing = true;
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    dialog.OnCancelled();
    EXPECT_FALSE(window->closing);
    EXPECT_EQ(0, window->destroyCount + window->requestCloseCount);
    EXPECT_TRUE(window->GetCourse()->IsModified());
}

CHILD_TEST(CourseSaveResult, AnUnknownResultIsReportedAndTakenAsOther)
{
    OpenFileTestSettings();
    CFakeFileWindow window(MakeCourseWithAFrames(L"x", L""));
    window.closing = true;
    OnSaveFinished(window, 9);
    return (ReportCount() == 1 ? 0 : 1) + (window.requestCloseCount == 1 ? 0 : 2);
}

// A window that closes, and its course with it, while the message about the
// refused path is up.
class CClosingFileWindow : public CFakeFileWindow
{
public:
    using CFakeFileWindow::CFakeFileWindow;
    bool IsPathFreeForSave(const std::wstring& path) override
    {
        delete this;
        return false;
    }
};

CHILD_TEST(CourseSaveResult, AWindowGoneDuringTheSaveIsLeftAlone)
{
    OpenFileTestSettings();
    const std::wstring path = MakeTempFolder(L"save-gone") + L"\\Gone.agl";
    CClosingFileWindow* window = new CClosingFileWindow(MakeCourseWithAFrames(L"Gone.agl", L""));
    CCourseSaveDlg dialog(*window, 800.0f, 600.0f);
    Choose(dialog, path, dialog.currentFormatIndex);
    return !FileExists(path) && ReportCount() == 0 ? 0 : 1;
}

TEST_F(CourseSaveDlg, TheSystemDialogSavesTheTypedFile)
{
    const std::wstring folder = MakeTempFolder(L"save-driven");
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 9", L"");
    CCourse& course = *window->GetCourse();
    std::atomic<bool> chosen{false};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND dialog = WaitForDialogTitled(L"Save As");
            chosen = dialog && ChooseFileName(dialog, folder + L"\\Typed") && WaitUntilGone(dialog);
        });
        ShowSaveDialog(*window, 800.0f, 600.0f);
        driver.join();
    }
    ASSERT_TRUE(chosen);
    const std::wstring path = folder + L"\\Typed.agl";
    EXPECT_EQ(TextBlockOf(course), ReadWholeFile(path));
    EXPECT_TRUE(IsSamePath(path, course.GetPath())) << course.GetPath();
    EXPECT_FALSE(course.IsModified());
}

TEST_F(CourseSaveDlg, TheSystemDialogCancelledStopsTheClose)
{
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Course 10", L"");
    window->closing = true;
    std::atomic<bool> cancelled{false};
    {
        CDialogWatcherPause pause;
        std::thread driver([&] {
            const HWND dialog = WaitForDialogTitled(L"Save As");
            if (dialog && WaitForControl(dialog, FindOkButton))
                PressDialogButton(dialog, IDCANCEL);
            cancelled = dialog && WaitUntilGone(dialog);
        });
        ShowSaveDialog(*window, 800.0f, 600.0f);
        driver.join();
    }
    ASSERT_TRUE(cancelled);
    EXPECT_FALSE(window->closing);
    EXPECT_EQ(1, window->stopCount);
    EXPECT_TRUE(window->GetCourse()->IsModified());
}

// Another course saved as "ring.final" beside ring.final.agl, .txt, .png and
// ring.png, with a type chosen: that type's file is asked about and written
// in that type, the rest keep their bytes; No writes nothing and brings the
// dialog back with the name and type. "ring" gets the type's extension from
// the system dialog, which asks itself.
TEST_F(CourseSaveDlg, TheTypedNameTakesTheChosenTypeAndNoFileIsReplacedUnasked)
{
    SetImageExportRunner(&RunCourseImageExport);
    const struct
    {
        int type;   // in the list agl, bmp, gif, png, tif, eps, txt, agl
        const wchar_t* typed;
        bool yes;
        const wchar_t* asked;   // null: the system dialog's own question
        const char* start;      // of the file asked about once written; "": the course
    } rows[] = {
        {0, L"ring.final", true, L"ring.final.agl", ""},          {6, L"ring.final", true, L"ring.final.txt", "\xFF\xFE"},
        {3, L"ring.final", true, L"ring.final.png", "\x89PNG"},   {3, L"ring.final", false, L"ring.final.png", ""},
        {3, L"ring", true, nullptr, "\x89PNG"},
    };
    const std::wstring names[] = {L"ring.final.agl", L"ring.final.txt", L"ring.final.png", L"ring.png"};
    for (const auto& r : rows) {
        const std::wstring folder = MakeTempFolder(L"save-unasked-" + std::to_wstring(&r - rows));
        for (const std::wstring& name : names)
            WriteBytes(folder + L"\\" + name, "before");
        std::unique_ptr<CFakeFileWindow> window = MakeWindow(L"Other.agl", L"");
        std::vector<std::wstring> questions, offeredAgain;
        HWND first = nullptr;
        {
            CDialogWatcherPause pause;
            CDialogAnswerer user([&](HWND dialog) {
                if (const HWND text = GetDlgItem(dialog, 0xFFFF)) {
                    questions.push_back(GetWindowTextString(text));
                    return r.yes ? IDYES : IDNO;
                }
                if (GetWindowTextString(dialog) == GetString(2397))
                    return IDOK;
                if (dialog == first || !WaitForControl(dialog, FindFileNameEdit))
                    return 0;
                const HWND types = GetDlgItem(dialog, cmb1);
                if (first) {
                    offeredAgain = {GetWindowTextString(FindFileNameEdit(dialog)),
                                    std::to_wstring(SendMessageW(types, CB_GETCURSEL, 0, 0))};
                    return IDCANCEL;
                }
                first = dialog;
                ChooseComboItem(types, r.type);
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), LPARAM(types));
                ChooseFileName(dialog, folder + L"\\" + r.typed);
                return 0;
            });
            ShowSaveDialog(*window, 800.0f, 600.0f);
        }
        SCOPED_TRACE(testing::Message() << "row " << (&r - rows));
        ASSERT_EQ(1u, questions.size());
        if (r.asked) {
            EXPECT_EQ(std::wstring(r.asked) + L" already exists.\nDo you want to replace it?", questions[0]);
        }
        const std::vector<std::wstring> again{r.typed, std::to_wstring(r.type)};
        EXPECT_EQ(r.yes ? std::vector<std::wstring>() : again, offeredAgain);
        for (const std::wstring& name : names) {
            const bool written = r.yes && name == (r.asked ? r.asked : L"ring.png");
            const std::string bytes = ReadWholeFile(folder + L"\\" + name);
            const std::string expected = !written ? "before" : *r.start ? r.start : TextBlockOf(*window->GetCourse());
            EXPECT_EQ(expected, written ? bytes.substr(0, expected.size()) : bytes) << name;
        }
        EXPECT_EQ(4u, ListFolder(folder).size());
        EXPECT_EQ(r.type == 0 && r.yes, !window->GetCourse()->IsModified());
    }
}
