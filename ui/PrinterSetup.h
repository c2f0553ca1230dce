#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "foundation/Geometry.h"

// What the page geometry is computed from: a printer device context's
// capabilities (GetDeviceCaps), in device pixels.
struct CPrinterCaps
{
    int rasterCaps = 0;
    int dpiX = 0;
    int dpiY = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
};

// The one process-wide record of the chosen printer: its device context, the
// DEVMODE and DEVNAMES blocks the common print dialog exchanges, and the page
// geometry in the logical units every page is drawn in (resolution units to
// the inch, origin at the sheet's corner). It starts with the system's
// default printer and follows every print or printer set-up dialog for the
// rest of the run; nothing of it is stored.
//
// Without a usable printer the page is a Letter sheet at 300 units to the
// inch and there is no device context: the preview still has a page, and
// printing cannot start.
class CPrinterSetup
{
public:
    // The program's one, built on first use with the default printer.
    static CPrinterSetup& Instance();
    // A set-up with no printer yet (the Letter page); tests make their own.
    CPrinterSetup() = default;

    // Takes over the dialog's blocks (freeing ones it replaced), makes the
    // device context of the printer they name, and reads its geometry; falls
    // back to the default printer.
    void Apply(PRINTDLGW& record);
    // Binds the set-up to the system's default printer; tells the user when
    // there is none.
    void UseDefaultPrinter();
    // Reads the geometry from the device context. A printer that cannot take
    // bitmaps, or reports no resolution, is not used: its device context goes
    // and the Letter page applies.
    void UpdateMetrics();
    // Tells the user that printing failed (message 2699 with the printer's
    // name, else 2700) with the number of the Windows error and, where the
    // system has them, its own words for it: the last error, or the one
    // given.
    void ReportPrinterError();
    void ReportPrinterError(DWORD error);
    // Makes the device context anew for the same printer. A document the
    // printer would not abort stays open on its context, where no other can
    // start; a fresh context prints again.
    void RenewDeviceContext();

    // The geometry of a printer with these capabilities; false (with a
    // report) when it lacks the raster capabilities or a resolution. With
    // limitTo300 a finer printer is drawn at 300 units to the inch.
    bool TakeMetrics(const CPrinterCaps& caps, bool limitTo300);
    // The page without a printer: Letter at 300 units to the inch, the
    // resolution left as it is.
    void UseLetterPage();

    // Starts at 300 so that a run without any printer still lays pages out
    // at a real resolution.
    float resolution = 300.0f;
    CSize2 pageSize{2550.0f, 3300.0f};
    CSize2 printableSize{2550.0f, 3300.0f};
    CPoint2 printableOffset;
    HDC deviceContext = nullptr;
    // The chosen port is "FILE:": the spooler asks for a file name.
    bool printToFile = false;
    CPoint2 windowExtent{300.0f, 300.0f};
    CPoint2 viewportExtent{300.0f, 300.0f};
    // The device name from DEVNAMES; empty for the default printer.
    std::wstring printerName;
    HGLOBAL devNames = nullptr;
    HGLOBAL devMode = nullptr;
};

// The flags of the print dialog before printing (copies and collation in
// the DEVMODE, no page numbers, no selection) and of the printer set-up.
constexpr DWORD kPrintDialogFlags = PD_USEDEVMODECOPIESANDCOLLATE | PD_NOPAGENUMS | PD_NOSELECTION;
constexpr DWORD kPrinterSetupFlags = PD_PRINTSETUP | PD_USEDEVMODECOPIESANDCOLLATE;

// The common print dialog on the shared set-up: the number of copies chosen,
// or 0 when the user cancelled or the dialog failed. The set-up takes the
// dialog's answer in either case.
int ShowPrintDialog(DWORD flags);
// The printer set-up dialog: ShowPrintDialog(kPrinterSetupFlags).
int ShowPrinterSetupDialog();

// Whether printers finer than 300 dots to the inch are drawn at 300 (the
// application answers from the graphics systems in use; unset means no).
void SetPrintResolutionLimit(bool (*limitTo300)());
