#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/ProgressDlg.h"

class CGdiGraphics;
class CScene;

// The extension of a printer's raw output, which a print to file offers.
constexpr wchar_t kPrintFileExtension[] = L"prn";

// A print job: what the application prints, page by page. The job knows its
// pages; Run does the printing on the printer of the shared set-up
// (ui/PrinterSetup.h), with the print dialog first when the job asks for it
// and a progress dialog that prints one page per step and can be cancelled.
// A job is usually a short-lived object on the caller's stack.
//
//     CMyJob job;
//     job.showPrintDialog = true;
//     CPrintJob::Run(job);
class CPrintJob
{
public:
    CPrintJob() = default;
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    // The document name the spooler shows.
    virtual void GetTitle(std::wstring& title) = 0;
    // Gets the job ready and returns its number of pages; 0 prints nothing.
    virtual int PrintPages() = 0;
    // The scene of a page, drawn with one unit to the printer's logical unit
    // and the origin at the sheet's corner.
    virtual CScene* GetPrintContext(int page) = 0;
    // The file a print to file offers first, without the printer's
    // extension, which the save dialog adds; without a folder it lies in the
    // current one. This body offers the title.
    virtual void GetOutputName(std::wstring& name);
    // Whether the printer's output may go into the chosen file, which the
    // save dialog has given the printer's extension. A job that refuses a
    // file tells the user why, and the save dialog asks again. This body
    // takes any file.
    virtual bool TakeOutputFile(const std::wstring& path);
    // Three questions no print run asks; they keep their places in the
    // interface (true, true, false here). Run requires Slot5 to be false.
    virtual bool Slot3();
    virtual bool Slot4();
    virtual bool Slot5();
    virtual ~CPrintJob();

    // Prints the job: the print dialog when showPrintDialog (cancelled:
    // nothing), then every page of every copy, collated, under the progress
    // dialog. Nothing shows when there is nothing to print or the document
    // cannot start (the user is told why).
    static void Run(CPrintJob& job);

    bool showPrintDialog = false;
};

// The spooler calls of a print run. The program makes GDI's own; a test puts
// a recorder in between with SetPrinterCalls.
class CPrinterCalls
{
public:
    virtual int StartDoc(HDC dc, const DOCINFOW& info);
    virtual int StartPage(HDC dc);
    virtual int EndPage(HDC dc);
    virtual int EndDoc(HDC dc);
    virtual int AbortDoc(HDC dc);

protected:
    ~CPrinterCalls() = default;
};

// Replaces the calls (null: GDI's); returns the ones replaced.
CPrinterCalls* SetPrinterCalls(CPrinterCalls* calls);

// The progress dialog of a print run: pageCount x copies steps, each
// printing one page (copies collated: every page of a copy, then the next
// copy). The document starts when the dialog is made, printing to the file
// the user names when the set-up prints to a file; Run shows the dialog
// only when it did. Cancel aborts the document.
class CPrintProgressDlg : public CProgressDlg
{
public:
    CPrintProgressDlg(CPrintJob* job, int pageCount, int copies);
    ~CPrintProgressDlg() override;

    // Prints page step mod pageCount; after the last page the document ends.
    // A page the printer refuses to start or to end, or a refused end of the
    // document, aborts the document, tells the user why and stops the run
    // before it shows as done.
    bool DoStep(int step) override;
    // Aborts a document that is still open, then stops.
    void OnCancel() override;

    CPrintJob* job;
    int pageCount;
    int copies;
    // The canvas of the open page; none between pages.
    std::unique_ptr<CGdiGraphics> pageCanvas;
    // From a successful StartDoc until the document ends or is aborted.
    bool documentStarted = false;

private:
    void StartDocument();
    // The file a print to file goes into, once the job takes it; false when
    // the user cancelled the save dialog.
    bool ChooseOutputFile(std::wstring& path);
    // Each false when the printer refused (or there was no page to end).
    bool BeginPage();
    bool EndPage();
    bool EndDocument();
    void AbortPrinting();
    // The printer refused: the document is aborted and the user told why.
    void StopOnRefusal();
};
