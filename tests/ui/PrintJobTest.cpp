#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/support/PdfPrinter.h"
#include "tests/support/TestSupport.h"
#include "ui/ModalState.h"
#include "ui/PrintJob.h"
#include "ui/PrinterSetup.h"
#include "ui/Scene.h"
#include "ui/TimerPump.h"

namespace {

// Counts the spooler calls on their way to GDI; the nth StartPage may fail.
class CRecordingCalls : public CPrinterCalls
{
public:
    int StartDoc(HDC dc, const DOCINFOW& info) override
    {
        ++startDocs;
        return CPrinterCalls::StartDoc(dc, info);
    }
    int StartPage(HDC dc) override
    {
        if (++startPages == failingPage) {
            SetLastError(ERROR_NOT_READY);
            return 0;
        }
        return CPrinterCalls::StartPage(dc);
    }
    int EndDoc(HDC dc) override
    {
        ++endDocs;
        return CPrinterCalls::EndDoc(dc);
    }
    int AbortDoc(HDC dc) override
    {
        ++abortDocs;
        if (CPrinterCalls::AbortDoc(dc) > 0)
            return 1;
        // Wine's PostScript driver aborts nothing: AbortDoc answers 0 and the
        // document stays open. Ending it here gives the run what Windows
        // gives it, and the printer stays usable for the next test.
        return ::EndDoc(dc) > 0 ? 1 : 0;
    }

    int startDocs = 0;
    int startPages = 0;
    int endDocs = 0;
    int abortDocs = 0;
    int failingPage = 0;
};

// Blank pages; records the pages asked for and presses Cancel of the
// running dialog when the nth page is drawn.
class CTestJob : public CPrintJob
{
public:
    // Nothing is filled on paper, as on the program's pages.
    CTestJob(int pageCount, const std::wstring& title) : m_pageCount(pageCount), m_title(title)
    {
        m_scene.background = 0;
    }
    void GetTitle(std::wstring& title) override { title = m_title; }
    int PrintPages() override { return m_pageCount; }
    CScene* GetPrintContext(int page) override
    {
        pages.push_back(page);
        if (int(pages.size()) == cancelAt)
            PostMessageW(GetCurrentDialog()->hwnd, WM_COMMAND, IDCANCEL, 0);
        return &m_scene;
    }

    std::vector<int> pages;
    int cancelAt = 0;

private:
    int m_pageCount;
    std::wstring m_title;
    CScene m_scene{true, 1};
};

// The owner of the dialogs: as the program's windows do, it fires the
// timers while a modal loop idles.
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
        m_owner = CreateWindowExW(0, L"PumpingOwner", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
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

// Counts its steps; answers false at one of them.
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
    struct
    {
        int steps, failing, done;
        bool finished;
    } cases[] = {{1, -1, 1, true}, {3, 0, 1, false}};
    for (const auto& c : cases) {
        CCountingProgress dialog(c.steps, c.failing);
        dialog.DoModal();
        EXPECT_EQ(c.done, dialog.done);
        EXPECT_EQ(c.finished, dialog.resultOk);
        EXPECT_FALSE(dialog.timer.IsRunning());
    }
}

TEST_F(PrintJob, RunsCollateCopiesAndCancelAbortsOnlyAnOpenDocument)
{
    const std::wstring title = L"PrintJobTest " + std::to_wstring(GetCurrentProcessId());
    const std::string fileTitle = "PrintJobTest_" + std::to_string(GetCurrentProcessId());
    DeletePdfs(fileTitle);
    const int reports = GetCrashLog().GetReportCount();
    struct
    {
        const char* name;
        int pages, copies, cancelAt, failingPage;
        std::vector<int> order;
        int endDocs, abortDocs;
        std::vector<std::wstring> boxes;
    } cases[] = {
        {"collated", 2, 3, 0, 0, {0, 1, 0, 1, 0, 1}, 1, 0, {}},
        {"cancelled", 2, 3, 3, 0, {0, 1, 0}, 0, 1, {}},
        // Cancel while the finished bar shows: the document has ended.
        {"cancelled after the end", 1, 1, 1, 0, {0}, 1, 0, {}},
        {"page refused", 2, 1, 0, 2, {0}, 0, 1, {GetStringWithArg(2700, std::to_wstring(ERROR_NOT_READY))}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        calls = CRecordingCalls();
        calls.failingPage = c.failingPage;
        CTestJob job(c.pages, title);
        job.cancelAt = c.cancelAt;
        CPrintProgressDlg* dialog = new CPrintProgressDlg(&job, c.pages, c.copies);
        ASSERT_TRUE(dialog->documentStarted);
        dialog->DoModal();
        EXPECT_EQ(c.order, job.pages);
        EXPECT_EQ(1, calls.startDocs);
        EXPECT_EQ(c.endDocs, calls.endDocs);
        EXPECT_EQ(c.abortDocs, calls.abortDocs);
        EXPECT_EQ(c.boxes, CDialogWatcher::TakeAnsweredTexts());
        if (c.endDocs == 1 && c.copies == 3) {
            const std::string pdf = WaitForPdf(fileTitle);
            CPdfInfo info;
            ASSERT_TRUE(ReadPdfInfo(pdf, info)) << "no PDF of " << fileTitle;
            EXPECT_EQ(6, info.pages);
        }
    }
    EXPECT_EQ(reports, GetCrashLog().GetReportCount());
    DeletePdfs(fileTitle);
}

TEST_F(PrintJob, RunPrintsOneCopyWithoutAskingAndNothingWithoutPages)
{
    for (int pages : {0, 1}) {
        calls = CRecordingCalls();
        CTestJob job(pages, L"PrintJobTest run");
        CPrintJob::Run(job);
        EXPECT_EQ(pages, calls.startDocs);
        EXPECT_EQ(pages, calls.endDocs);
        EXPECT_EQ(std::vector<int>(size_t(pages), 0), job.pages);
    }
    DeletePdfs("PrintJobTest_run");
}

TEST(PrinterSetup, PageGeometryFollowsTheResolution)
{
    const int raster = RC_BITBLT | RC_BITMAP64 | RC_STRETCHDIB;
    struct
    {
        int dpiX, dpiY;
        bool limit;
        float resolution;
        CPoint2 window, viewport;
        CSize2 page;
    } cases[] = {
        {600, 600, true, 300.0f, {300, 300}, {600, 600}, {2550, 3300}},
        {600, 600, false, 600.0f, {600, 600}, {600, 600}, {5100, 6600}},
        {300, 600, false, 600.0f, {600, 600}, {300, 600}, {5100, 6600}},
    };
    for (const auto& c : cases) {
        CPrinterSetup setup;
        // A Letter sheet: 8.5 x 11 inches of device pixels.
        CPrinterCaps caps{raster, c.dpiX, c.dpiY, c.dpiX * 17 / 2, c.dpiY * 11, c.dpiX * 8, c.dpiY * 10, c.dpiX / 4,
                          c.dpiY / 2};
        ASSERT_TRUE(setup.TakeMetrics(caps, c.limit));
        EXPECT_EQ(c.resolution, setup.resolution);
        EXPECT_EQ(c.window, setup.windowExtent);
        EXPECT_EQ(c.viewport, setup.viewportExtent);
        EXPECT_EQ(c.page, setup.pageSize);
        EXPECT_EQ(CSize2(c.resolution * 8, c.resolution * 10), setup.printableSize);
        EXPECT_EQ(CPoint2(c.resolution / 4, c.resolution / 2), setup.printableOffset);
    }
    // Without any printer the page is Letter at a real resolution.
    CPrinterSetup none;
    none.UseLetterPage();
    EXPECT_EQ(300.0f, none.resolution);
    EXPECT_EQ(CSize2(2550, 3300), none.pageSize);
}

TEST(PrinterSetup, PrinterErrorNamesThePrinterWhenThereIsOne)
{
    CDialogWatcher::TakeAnsweredTexts();
    CPrinterSetup setup;
    SetLastError(ERROR_ACCESS_DENIED);
    setup.ReportPrinterError();
    setup.printerName = L"Office";
    SetLastError(ERROR_NOT_READY);
    setup.ReportPrinterError();
    EXPECT_EQ((std::vector<std::wstring>{GetStringWithArg(2700, L"5"), GetStringWith2Args(2699, L"Office", L"21")}),
              CDialogWatcher::TakeAnsweredTexts());
}
