#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/ModalState.h"
#include "ui/SaveDialog.h"

namespace {

// What the dialog under test reported; its object is gone after Run.
struct COutcome
{
    int chosen = 0;
    int cancelled = 0;
    int errors = 0;
    int deleted = 0;
    std::wstring path;
    int format = -1;
    int modalCountWhileShown = -1;
};

class CRecordingSaveDlg : public CSaveDlg
{
public:
    CRecordingSaveDlg(CNativeWindow* owner, const std::wstring& path, COutcome& outcome)
        : CSaveDlg(owner, path), m_outcome(outcome)
    {
    }
    ~CRecordingSaveDlg() override { ++m_outcome.deleted; }
    void OnFileChosen(const std::wstring& chosenPath, int format) override
    {
        ++m_outcome.chosen;
        m_outcome.path = chosenPath;
        m_outcome.format = format;
    }
    void OnCancelled() override { ++m_outcome.cancelled; }
    void OnError() override { ++m_outcome.errors; }

private:
    COutcome& m_outcome;
};

CSaveDlg MakeDialog(const std::wstring& path)
{
    return CSaveDlg(nullptr, path);
}

// Offers courses (agl) and texts (txt), in that order.
void AddCourseAndTextFormats(CSaveDlg& dialog)
{
    dialog.AddFormat(L"agl", L"Course (*.agl)");
    dialog.AddFormat(L"txt", L"Text (*.txt)");
}

// The system's save dialog: waits for it, then types the name into its file
// name field and presses Save, or presses Cancel when the name is empty.
void DriveSystemDialog(const std::wstring& name, COutcome& outcome, std::atomic<bool>& done)
{
    const HWND dialog = WaitForDialog(10000);
    if (!dialog)
        return;
    outcome.modalCountWhileShown = GetModalCount();
    if (!WaitForControl(dialog, FindFileNameEdit) || !WaitForControl(dialog, FindOkButton)) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    if (name.empty())
        PressDialogButton(dialog, IDCANCEL);
    else if (!ChooseFileName(dialog, name))
        return;
    done = true;
}

// Runs the dialog while another thread drives it; whether the driver got
// through.
bool RunDriven(CSaveDlg* dialog, const std::wstring& name, COutcome& outcome)
{
    CDialogWatcherPause pause;
    std::atomic<bool> done{false};
    std::thread driver([&] { DriveSystemDialog(name, outcome, done); });
    dialog->Run();
    driver.join();
    return done;
}

}  // namespace

// ---- Without windows -------------------------------------------------------------

TEST(SaveDialog, FormatsAreAddedInOrderWithTheirIndices)
{
    CSaveDlg dialog = MakeDialog(L"x");
    EXPECT_EQ(0, dialog.AddFormat(L"agl", L"Course (*.agl)"));
    EXPECT_EQ(1, dialog.AddFormat(L"txt", L"Text (*.txt)"));
    EXPECT_EQ(2, dialog.formatCount);
    EXPECT_EQ(L"txt", dialog.extensions[1]);
    EXPECT_EQ(L"Text (*.txt)", dialog.descriptions[1]);
}

TEST(SaveDialog, FilterIsPairsOfDescriptionAndPatternEndedByTwoNuls)
{
    CSaveDlg dialog = MakeDialog(L"x");
    dialog.AddFormat(L"agl", L"Course (*.agl)");
    dialog.AddFormat(L"bmp", L"BMP Image (*.bmp)");
    const std::wstring expected(L"Course (*.agl)\0*.agl\0BMP Image (*.bmp)\0*.bmp\0", 45);
    const std::wstring filter = dialog.BuildFilter();
    EXPECT_EQ(expected, filter);
    // The string's own terminator is the second NUL after the last pattern.
    EXPECT_EQ(L'\0', filter.c_str()[filter.size()]);
}

TEST(SaveDialog, FileNameIsTheSuggestedPathWithoutItsExtension)
{
    EXPECT_EQ(L"C:\\Courses\\Ring", MakeDialog(L"C:\\Courses\\Ring.agl").GetInitialFileName());
    EXPECT_EQ(L"Course 1", MakeDialog(L"Course 1").GetInitialFileName());
    // A dot in a folder name is no extension.
    EXPECT_EQ(L"C:\\a.b\\Ring", MakeDialog(L"C:\\a.b\\Ring").GetInitialFileName());
}

TEST(SaveDialog, AnOverlongSuggestionFitsTheBuffer)
{
    const std::wstring path = L"C:\\" + std::wstring(2000, L'a') + L".agl";
    const std::wstring name = MakeDialog(path).GetInitialFileName();
    EXPECT_EQ(size_t(CSaveDlg::kFileBufferSize - 1), name.size());
    EXPECT_EQ(path.substr(0, name.size()), name);
}

TEST(SaveDialog, InitialFolderIsTheSuggestedFolderOrTheCurrentOne)
{
    EXPECT_EQ(L"C:\\Courses", MakeDialog(L"C:\\Courses\\Ring.agl").GetInitialFolder());
    EXPECT_EQ(L".", MakeDialog(L"Ring.agl").GetInitialFolder());
    EXPECT_EQ(L".", MakeDialog(L"").GetInitialFolder());
}

// The chosen filter wins when the extension is its own; another format's
// extension chooses that format (the first with it); an unknown extension is
// kept and gets the chosen filter's, or the first format's when the index is
// outside the list.
TEST(SaveDialog, ATypedPathResolvesItsFormat)
{
    CSaveDlg dialog = MakeDialog(L"x");
    AddCourseAndTextFormats(dialog);
    dialog.AddFormat(L"agl", L"Older course");
    const struct
    {
        const wchar_t* typed;
        int filter;
        int format;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\a\\b.AGL", 3, 2, L"C:\\a\\b.AGL"},        {L"C:\\a\\b.Txt", 1, 1, L"C:\\a\\b.Txt"},
        {L"C:\\a\\b.agl", 2, 0, L"C:\\a\\b.agl"},        {L"C:\\a\\b.bak", 2, 1, L"C:\\a\\b.bak.txt"},
        {L"C:\\a.d\\plain", 2, 1, L"C:\\a.d\\plain.txt"}, {L"b.txt", 0, 1, L"b.txt"},
        {L"b.txt", -5, 1, L"b.txt"},                      {L"b.txt", 9, 1, L"b.txt"},
        {L"ring.final", 3, 2, L"ring.final.agl"},         {L"ring.final", 1, 0, L"ring.final.agl"},
        {L"ring.final", 0, 0, L"ring.final.agl"},         {L"ring.final", 9, 0, L"ring.final.agl"},
    };
    for (const auto& c : cases) {
        std::wstring path = c.typed;
        EXPECT_EQ(c.format, dialog.ResolveFormat(path, c.filter)) << c.typed << " " << c.filter;
        EXPECT_EQ(c.path, path);
    }
}

// ---- The system dialog --------------------------------------------------------------

TEST(SaveDialog, TypedNameIsChosenInTheSuggestedFolderWithTheDefaultExtension)
{
    const std::wstring folder = MakeTempFolder(L"save-dialog-typed");
    COutcome outcome;
    CTestHost owner;
    auto* dialog = new CRecordingSaveDlg(&owner, folder + L"\\Suggested.agl", outcome);
    AddCourseAndTextFormats(*dialog);
    ASSERT_TRUE(RunDriven(dialog, L"Typed", outcome));
    EXPECT_EQ(1, outcome.chosen);
    EXPECT_EQ(0, outcome.cancelled + outcome.errors);
    EXPECT_EQ(1, outcome.deleted);
    EXPECT_TRUE(IsSamePath(folder + L"\\Typed.agl", outcome.path)) << outcome.path;
    EXPECT_EQ(0, outcome.format);
    // The dialog ran as a modal loop of the program.
    EXPECT_EQ(1, outcome.modalCountWhileShown);
    EXPECT_EQ(0, GetModalCount());
}

TEST(SaveDialog, TypedExtensionOfTheSecondFormatChoosesIt)
{
    const std::wstring folder = MakeTempFolder(L"save-dialog-second");
    COutcome outcome;
    auto* dialog = new CRecordingSaveDlg(nullptr, folder + L"\\Suggested", outcome);
    AddCourseAndTextFormats(*dialog);
    ASSERT_TRUE(RunDriven(dialog, folder + L"\\Summary.txt", outcome));
    EXPECT_EQ(1, outcome.chosen);
    EXPECT_TRUE(IsSamePath(folder + L"\\Summary.txt", outcome.path)) << outcome.path;
    EXPECT_EQ(1, outcome.format);
}

TEST(SaveDialog, CancelCallsOnCancelledAndDeletes)
{
    COutcome outcome;
    auto* dialog = new CRecordingSaveDlg(nullptr, L"Course 1", outcome);
    dialog->AddFormat(L"agl", L"Course (*.agl)");
    ASSERT_TRUE(RunDriven(dialog, L"", outcome));
    EXPECT_EQ(0, outcome.chosen);
    EXPECT_EQ(1, outcome.cancelled);
    EXPECT_EQ(0, outcome.errors);
    EXPECT_EQ(1, outcome.deleted);
}

CHILD_TEST(SaveDialog, WithoutFormatsItIsReportedAndFails)
{
    COutcome outcome;
    (new CRecordingSaveDlg(nullptr, L"Course 1", outcome))->Run();
    CDialogWatcher::TakeAnswered();
    const bool failed = outcome.errors == 1 && outcome.chosen + outcome.cancelled == 0 && outcome.deleted == 1;
    return (failed ? 0 : 1) + (ReportCount() == 1 ? 0 : 2);
}
