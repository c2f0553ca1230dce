#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PdfPrinter.h"
#include "tests/support/TestSupport.h"
#include "ui/ModalState.h"
#include "ui/PrintJob.h"
#include "ui/PrinterSetup.h"
#include "ui/Scene.h"
#include "ui/TimerPump.h"

namespace {

// Counts the spooler calls on their way to GDI and keeps the document's
// output. The calls named in `refused` with the time they come ("EndPage 1")
// are refused, as a printer refuses them (Wine's drivers refuse every
// AbortDoc): such a call does nothing and leaves its error.
class CRecordingCalls : public CPrinterCalls
{
public:
    int StartDoc(HDC dc, const DOCINFOW& info) override
    {
        output = info.lpszOutput ? info.lpszOutput : L"";
        return ++startDocs, CPrinterCalls::StartDoc(dc, info);
    }
    int StartPage(HDC dc) override { return Refuses("StartPage", ++startPages) ? 0 : CPrinterCalls::StartPage(dc); }
    int EndPage(HDC dc) override { return Refuses("EndPage", ++endPages) ? 0 : CPrinterCalls::EndPage(dc); }
    int EndDoc(HDC dc) override { return Refuses("EndDoc", ++endDocs) ? 0 : CPrinterCalls::EndDoc(dc); }
    int AbortDoc(HDC dc) override { return Refuses("AbortDoc", ++abortDocs) ? 0 : CPrinterCalls::AbortDoc(dc); }

    bool Refuses(const std::string& call, int time)
    {
        const bool refuses = refused.find(call + " " + std::to_string(time)) != std::string::npos;
        if (refuses)
            SetLastError(ERROR_NOT_READY);
        return refuses;
    }

    int startDocs = 0, startPages = 0, endPages = 0, endDocs = 0, abortDocs = 0;
    std::string refused;
    std::wstring output;
};

// What the user reads when the printer refuses with ERROR_NOT_READY: the
// failure with the error's number, then the system's words for it.
std::wstring NotReadyMessage()
{
    wchar_t words[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_NOT_READY, 0, words,
                   512, nullptr);
    std::wstring reason = words;
    reason.erase(reason.find_last_not_of(L" \r\n") + 1);
    EXPECT_FALSE(reason.empty());
    return GetStringWithArg(2700, std::to_wstring(ERROR_NOT_READY)) + L"\n\n" + reason;
}

// Blank pages (nothing filled, as on the program's pages); records the pages
// asked for and presses Cancel of the running dialog at the nth.
class CTestJob : public CPrintJob
{
public:
    CTestJob(int pageCount, int cancelAtPage) : m_pageCount(pageCount), m_cancelAt(cancelAtPage)
    {
        m_scene.background = 0;
    }
    void GetTitle(std::wstring& title) override { title = L"PrintJobTest " + std::to_wstring(GetTickCount()); }
    int PrintPages() override { return m_pageCount; }
    CScene* GetPrintContext(int page) override
    {
        pages.push_back(page);
        if (int(pages.size()) == m_cancelAt)
            PostMessageW(GetCurrentDialog()->hwnd, WM_COMMAND, IDCANCEL, 0);
        return &m_scene;
    }

    std::vector<int> pages;

private:
    int m_pageCount;
    int m_cancelAt;
    CScene m_scene{true, 1};
};

// The dialogs' owner fires the timers while a modal loop idles, as the
// program's windows do.
LRESULT CALLBACK PumpingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE)
        PumpAfterMessage(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

class PrintJob : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string missing = CheckPdfPrinter();
        ASSERT_EQ("", missing) << missing;
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PumpingOwnerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"PumpingOwner";
        RegisterClassW(&windowClass);
        m_owner = CreateWindowExW(0, L"PumpingOwner", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetDefaultOwnerWindow(m_owner);
        m_previous = SetPrinterCalls(&calls);
        CDialogWatcher::TakeAnsweredTexts();
    }
    void TearDown() override
    {
        SetPrinterCalls(m_previous);
        SetDefaultOwnerWindow(nullptr);
        DestroyWindow(m_owner);
    }

    CRecordingCalls calls;

private:
    HWND m_owner = nullptr;
    CPrinterCalls* m_previous = nullptr;
};

class CCountingProgress : public CProgressDlg
{
public:
    CCountingProgress(int steps, int failing) : CProgressDlg(L"Steps"), m_failing(failing)
    {
        selfDeleting = false;
        progressBar.SetRange(steps);
    }
    bool DoStep(int step) override { return ++done, step != m_failing; }

    int done = 0;

private:
    int m_failing;
};

}  // namespace

TEST_F(PrintJob, ProgressStopsTickingOnceTheDialogHasClosed)
{
    // All steps done (closed 250 ms later), or a step answering false.
    for (int failing : {-1, 0}) {
        CCountingProgress dialog(failing < 0 ? 1 : 3, failing);
        dialog.DoModal();
        EXPECT_EQ(1, dialog.done);
        EXPECT_EQ(failing < 0, dialog.resultOk);
        EXPECT_FALSE(dialog.timer.IsRunning());
    }
}

TEST_F(PrintJob, CopiesAreCollatedAndARefusingPrinterOrCancelAbortsTheDocument)
{
    // A refusing printer and a cancel are no faults of the program: neither
    // raises the failure report, whatever the printer answers to the abort.
    const int reports = GetCrashLog().GetReportCount();
    const std::wstring notReady = NotReadyMessage();
    struct
    {
        const char* name;
        int pages, copies, cancelAt;
        const char* refused;
        std::vector<int> order;
        int endDocs, abortDocs;
        bool told, done;
    } cases[] = {
        {"collated", 2, 3, 0, "", {0, 1, 0, 1, 0, 1}, 1, 0, false, true},
        {"cancelled", 2, 3, 3, "", {0, 1, 0}, 0, 1, false, false},
        {"cancelled, the abort refused", 2, 3, 3, "AbortDoc 1", {0, 1, 0}, 0, 1, false, false},
        {"cancelled while the finished bar shows", 1, 1, 1, "", {0}, 1, 0, false, false},
        {"page refused", 2, 1, 0, "StartPage 2", {0}, 0, 1, true, false},
        {"page's end refused", 2, 1, 0, "EndPage 1", {0}, 0, 1, true, false},
        {"end of the document refused", 2, 1, 0, "EndDoc 1, AbortDoc 1", {0, 1}, 1, 1, true, false},
    };
    DeletePdfs("PrintJobTest");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        calls = CRecordingCalls();
        calls.refused = c.refused;
        CTestJob job(c.pages, c.cancelAt);
        CPrintProgressDlg dialog(&job, c.pages, c.copies);
        dialog.selfDeleting = false;
        // Also after a document the printer would not abort.
        ASSERT_TRUE(dialog.documentStarted);
        dialog.DoModal();
        EXPECT_EQ(c.order, job.pages);
        EXPECT_EQ(1, calls.startDocs);
        EXPECT_EQ(c.endDocs, calls.endDocs);
        EXPECT_EQ(c.abortDocs, calls.abortDocs);
        EXPECT_EQ(c.told ? std::vector<std::wstring>{notReady} : std::vector<std::wstring>(),
                  CDialogWatcher::TakeAnsweredTexts());
        EXPECT_EQ(c.done, dialog.resultOk);
        if (c.copies == 3 && c.endDocs == 1) {
            CPdfInfo info;
            ASSERT_TRUE(ReadPdfInfo(WaitForPdf("PrintJobTest"), info)) << "no PDF came";
            EXPECT_EQ(6, info.pages);
            DeletePdfs("PrintJobTest");
        }
    }
    EXPECT_EQ(reports, GetCrashLog().GetReportCount());
}

TEST_F(PrintJob, PrintingToAFilePrintsIntoTheFileTheUserNames)
{
    const std::wstring folder = MakeTempFolder(L"print-to-file");
    CPrinterSetup& setup = CPrinterSetup::Instance();
    // Typed into the save dialog (a course file's name gets the printer's
    // extension too); empty cancels it, which needs no word to the user.
    for (const std::wstring& typed : {folder + L"\\Printed", folder + L"\\ring.agl", std::wstring()}) {
        SCOPED_TRACE(testing::Message() << "typed " << typed);
        calls = CRecordingCalls();
        CTestJob job(1, 0);
        bool answered = false;
        setup.printToFile = true;
        std::thread driver([&] {
            // Until the dialog goes; the message boxes that may follow are
            // the watcher's.
            CDialogWatcherPause pause;
            const HWND dialog = WaitForDialog();
            const bool ready =
                dialog && WaitForControl(dialog, FindFileNameEdit) && WaitForControl(dialog, FindOkButton);
            if (ready && typed.empty())
                PressDialogButton(dialog, IDCANCEL);
            answered = ready && (typed.empty() || ChooseFileName(dialog, typed)) && WaitUntilGone(dialog);
        });
        CPrintJob::Run(job);
        driver.join();
        setup.printToFile = false;
        EXPECT_TRUE(answered);
        EXPECT_EQ(std::vector<std::wstring>(), CDialogWatcher::TakeAnsweredTexts());
        EXPECT_EQ(typed.empty() ? 0 : 1, calls.startDocs);
        if (!typed.empty()) {
            EXPECT_EQ(1, calls.endDocs);
            EXPECT_TRUE(IsSamePath(typed + L".prn", calls.output)) << calls.output;
            EXPECT_FALSE(ReadWholeFile(typed + L".prn").empty());
        }
    }
}

TEST_F(PrintJob, RunPrintsOneCopyWithoutAskingAndNothingWithoutPages)
{
    for (int pages : {0, 1}) {
        calls = CRecordingCalls();
        CTestJob job(pages, 0);
        CPrintJob::Run(job);
        EXPECT_EQ(pages, calls.startDocs);
        EXPECT_EQ(pages, calls.endDocs);
        EXPECT_EQ(std::vector<int>(size_t(pages), 0), job.pages);
    }
}

TEST(PrinterSetup, PageGeometryFollowsTheResolution)
{
    struct
    {
        int dpiX, dpiY;
        bool limit;
        float resolution;
        CPoint2 viewport;
    } cases[] = {{600, 600, true, 300.0f, {600, 600}}, {600, 600, false, 600.0f, {600, 600}},
                 {300, 600, false, 600.0f, {300, 600}}};
    for (const auto& c : cases) {
        CPrinterSetup setup;
        // A Letter sheet of device pixels, printable from (1/4, 1/2) inch.
        const CPrinterCaps caps{RC_BITBLT | RC_BITMAP64 | RC_STRETCHDIB, c.dpiX, c.dpiY, c.dpiX * 17 / 2,
                                c.dpiY * 11, c.dpiX * 8, c.dpiY * 10, c.dpiX / 4, c.dpiY / 2};
        ASSERT_TRUE(setup.TakeMetrics(caps, c.limit));
        const float r = c.resolution;
        EXPECT_EQ(r, setup.resolution);
        EXPECT_EQ(CPoint2(r, r), setup.windowExtent);
        EXPECT_EQ(c.viewport, setup.viewportExtent);
        EXPECT_EQ(CSize2(r * 8.5f, r * 11), setup.pageSize);
        EXPECT_EQ(CSize2(r * 8, r * 10), setup.printableSize);
        EXPECT_EQ(CPoint2(r / 4, r / 2), setup.printableOffset);
    }
    // Without any printer the page is Letter at a real resolution.
    CPrinterSetup none;
    none.UseLetterPage();
    EXPECT_EQ(300.0f, none.resolution);
    EXPECT_EQ(CSize2(2550, 3300), none.pageSize);
}
