#include "ui/PrintJob.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "graphics/GdiGraphics.h"
#include "ui/PrinterSetup.h"
#include "ui/SaveDialog.h"
#include "ui/Scene.h"

namespace {

constexpr int kPrintingTitle = 2452;
// "%1 File (*.%2)", the description of the print file's format.
constexpr int kFileFormat = 2011;

// GDI's own calls, the base's bodies.
class CGdiPrinterCalls final : public CPrinterCalls
{
};

CGdiPrinterCalls g_gdiCalls;
CPrinterCalls* g_calls = &g_gdiCalls;

CPrinterCalls& Calls() { return *g_calls; }

// Asks where a print to file goes: the system's save dialog, offering the
// printer's own output (.prn). The chosen path stays empty when the user
// cancels.
class CPrintFileDlg final : public CSaveDlg
{
public:
    CPrintFileDlg(const std::wstring& suggestedPath, std::wstring& chosenPath)
        : CSaveDlg(nullptr, suggestedPath), m_chosenPath(chosenPath)
    {
        AddFormat(kPrintFileExtension, GetStringWith2Args(kFileFormat, L"PRN", kPrintFileExtension));
    }
    void OnFileChosen(const std::wstring& chosenPath, int) override { m_chosenPath = chosenPath; }

private:
    std::wstring& m_chosenPath;
};

}  // namespace

// ---- Spooler calls ----------------------------------------------------------------------

int CPrinterCalls::StartDoc(HDC dc, const DOCINFOW& info) { return ::StartDocW(dc, &info); }
int CPrinterCalls::StartPage(HDC dc) { return ::StartPage(dc); }
int CPrinterCalls::EndPage(HDC dc) { return ::EndPage(dc); }
int CPrinterCalls::EndDoc(HDC dc) { return ::EndDoc(dc); }
int CPrinterCalls::AbortDoc(HDC dc) { return ::AbortDoc(dc); }

CPrinterCalls* SetPrinterCalls(CPrinterCalls* calls)
{
    CPrinterCalls* previous = g_calls;
    g_calls = calls ? calls : &g_gdiCalls;
    return previous;
}

// ---- Print job ------------------------------------------------------------------------------

void CPrintJob::GetOutputName(std::wstring& name) { GetTitle(name); }
bool CPrintJob::TakeOutputFile(const std::wstring&) { return true; }
bool CPrintJob::Slot3() { return true; }
bool CPrintJob::Slot4() { return true; }
bool CPrintJob::Slot5() { return false; }
CPrintJob::~CPrintJob() = default;

void CPrintJob::Run(CPrintJob& job)
{
    TRACE_VALUE(bool, job.showPrintDialog);
    if (job.Slot5())
        ReportFailure();
    int copies = 1;
    if (job.showPrintDialog) {
        copies = ShowPrintDialog(kPrintDialogFlags);
        if (copies <= 0)
            return;
    }
    const int pages = job.PrintPages();
    TRACE_VALUE(int32_t, pages);
    if (pages <= 0)
        return;
    CPrintProgressDlg* dialog = new CPrintProgressDlg(&job, pages, copies);
    if (dialog->documentStarted)
        dialog->DoModal();
    else
        delete dialog;
}

// ---- Print progress dialog ------------------------------------------------------------

CPrintProgressDlg::CPrintProgressDlg(CPrintJob* jobValue, int pageCountValue, int copiesValue)
    : CProgressDlg(GetString(kPrintingTitle)), job(jobValue), pageCount(pageCountValue), copies(copiesValue)
{
    TRACE_VALUE(int32_t, pageCount);
    TRACE_VALUE(int32_t, copies);
    // Without pages (or a job) there is no document to start.
    if (pageCount < 1 || copies < 1 || !job) {
        ReportFailure();
        return;
    }
    progressBar.SetRange(pageCount * copies);
    StartDocument();
}

CPrintProgressDlg::~CPrintProgressDlg() = default;

void CPrintProgressDlg::StartDocument()
{
    TRACE_POINT();
    if (documentStarted) {
        ReportFailure();
        return;
    }
    CPrinterSetup& setup = CPrinterSetup::Instance();
    if (!setup.deviceContext)
        return;
    std::wstring title;
    job->GetTitle(title);
    TRACE_VALUE(std::wstring, title);
    // Left to the spooler, the port "FILE:" would name the file itself (a
    // file called "FILE:" in the current folder, under Wine) or ask in a
    // dialog of its own.
    std::wstring output;
    if (setup.printToFile && !ChooseOutputFile(output))
        return;
    DOCINFOW info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = title.c_str();
    info.lpszOutput = setup.printToFile ? output.c_str() : nullptr;
    int result = 0;
    {
        // The spooler may take its time.
        CUnwatchedSection unwatched;
        result = Calls().StartDoc(setup.deviceContext, info);
    }
    TRACE_VALUE(int32_t, result);
    documentStarted = result > 0;
    if (!documentStarted)
        setup.ReportPrinterError();
}

bool CPrintProgressDlg::ChooseOutputFile(std::wstring& path)
{
    std::wstring offered;
    job->GetOutputName(offered);
    offered += L".";
    offered += kPrintFileExtension;
    for (;;) {
        path.clear();
        CPrintFileDlg* dialog = new CPrintFileDlg(offered, path);
        dialog->Run();   // deletes the dialog
        TRACE_VALUE(std::wstring, path);
        if (path.empty())
            return false;
        offered = path;
        if (job->TakeOutputFile(path))
            return true;
    }
}

bool CPrintProgressDlg::DoStep(int step)
{
    TRACE_VALUE(int32_t, step);
    if (pageCount < 1)
        return false;
    if (!BeginPage()) {
        StopOnRefusal();
        return false;
    }
    const CPrinterSetup& setup = CPrinterSetup::Instance();
    pageCanvas->SetScene(job->GetPrintContext(step % pageCount));
    pageCanvas->SetViewport(setup.pageSize.width, setup.pageSize.height, setup.pageSize.width,
                            setup.pageSize.height);
    pageCanvas->RenderScene();
    const bool lastStep = step == copies * pageCount - 1;
    if (!EndPage() || (lastStep && !EndDocument())) {
        StopOnRefusal();
        return false;
    }
    return true;
}

void CPrintProgressDlg::OnCancel()
{
    TRACE_POINT();
    AbortPrinting();
    CProgressDlg::OnCancel();
}

bool CPrintProgressDlg::BeginPage()
{
    TRACE_POINT();
    if (!documentStarted || pageCanvas) {
        ReportFailure();
        return false;
    }
    CPrinterSetup& setup = CPrinterSetup::Instance();
    const HDC dc = setup.deviceContext;
    if (!dc)
        return false;
    int result = 0;
    {
        CUnwatchedSection unwatched;
        result = Calls().StartPage(dc);
    }
    if (result <= 0) {
        TRACE_VALUE(int32_t, result);
        return false;
    }
    // One logical unit is 1/resolution inch; logical (0, 0) is the sheet's
    // corner, the printable area's offset away from the device origin.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, int(setup.printableOffset.x), int(setup.printableOffset.y), nullptr);
    SetViewportExtEx(dc, int(setup.viewportExtent.x), int(setup.viewportExtent.y), nullptr);
    SetWindowExtEx(dc, int(setup.windowExtent.x), int(setup.windowExtent.y), nullptr);
    pageCanvas = std::make_unique<CGdiGraphics>();
    pageCanvas->SetDeviceContext(dc);
    return true;
}

bool CPrintProgressDlg::EndPage()
{
    TRACE_POINT();
    if (!pageCanvas) {
        ReportFailure();
        return false;
    }
    pageCanvas.reset();
    const int result = Calls().EndPage(CPrinterSetup::Instance().deviceContext);
    TRACE_VALUE(int32_t, result);
    return result > 0;
}

bool CPrintProgressDlg::EndDocument()
{
    TRACE_POINT();
    if (pageCanvas && !EndPage())
        return false;
    const int result = Calls().EndDoc(CPrinterSetup::Instance().deviceContext);
    TRACE_VALUE(int32_t, result);
    // A document whose end was refused is still open, for AbortPrinting.
    if (result <= 0)
        return false;
    documentStarted = false;
    return true;
}

void CPrintProgressDlg::AbortPrinting()
{
    TRACE_POINT();
    // A document that ended (a Cancel while the finished bar shows) or never
    // started has nothing to abort.
    if (!documentStarted)
        return;
    // The page goes with the document, whatever the printer says to it.
    if (pageCanvas)
        EndPage();
    documentStarted = false;
    CPrinterSetup& setup = CPrinterSetup::Instance();
    const int result = Calls().AbortDoc(setup.deviceContext);
    TRACE_VALUE(int32_t, result);
    // Not the program's fault, and nothing the user can act on (Wine's
    // drivers never abort); the printer only needs a context that is free
    // for the next document.
    if (result < 1)
        setup.RenewDeviceContext();
}

void CPrintProgressDlg::StopOnRefusal()
{
    // The error of the refused call, before the abort sets its own.
    const DWORD error = GetLastError();
    AbortPrinting();
    CPrinterSetup::Instance().ReportPrinterError(error);
}
