#include "ui/PrinterSetup.h"

#include <cderr.h>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <iterator>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/SystemFunctions.h"
#include "ui/MessageBox.h"
#include "ui/ModalState.h"

static_assert(sizeof(PRINTDLGW) == (sizeof(void*) == 8 ? 120 : 66),
              "PRINTDLGW is packed to 66 bytes on 32-bit Windows and aligned to 120 on 64-bit Windows");

namespace {

constexpr int kNamedPrinterError = 2699;
constexpr int kPrinterError = 2700;
// What printing needs of a printer: BitBlt, bitmaps over 64 KB, StretchDIBits.
constexpr int kNeededRasterCaps = RC_BITBLT | RC_BITMAP64 | RC_STRETCHDIB;
constexpr float kLimitedResolution = 300.0f;

bool (*g_limitTo300)() = nullptr;

// The common dialog functions, bound on first use: a plain start maps no
// comdlg32.
BOOL CallPrintDlg(PRINTDLGW* record)
{
    static const auto printDlg = GetSystemFunction<decltype(PrintDlgW)>(L"comdlg32.dll", "PrintDlgW");
    return printDlg ? printDlg(record) : FALSE;
}

DWORD GetDialogError()
{
    static const auto extendedError =
        GetSystemFunction<decltype(CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
    // Without the library no dialog could start.
    return extendedError ? extendedError() : DWORD(CDERR_INITIALIZATION);
}

// Device measures in logical units: window extent x measure / viewport
// extent, in single precision, floored.
float ToLogical(float windowExtent, int measure, float viewportExtent)
{
    const float product = windowExtent * float(measure);
    return float(std::floor(double(product / viewportExtent)));
}

// The system's own words for a Windows error, without the line end they
// come with; empty for no error, or one the system has no words for.
std::wstring GetSystemErrorText(DWORD error)
{
    if (error == 0)
        return std::wstring();
    wchar_t buffer[512];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        buffer, DWORD(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && iswspace(text.back()))
        text.pop_back();
    return text;
}

void FreeBlock(HGLOBAL& block)
{
    if (block)
        GlobalFree(block);
    block = nullptr;
}

}  // namespace

void SetPrintResolutionLimit(bool (*limitTo300)()) { g_limitTo300 = limitTo300; }

CPrinterSetup& CPrinterSetup::Instance()
{
    static CPrinterSetup* setup = [] {
        // Lives to the end of the run; the system takes back its device
        // context and blocks.
        CPrinterSetup* made = new CPrinterSetup;
        made->UseDefaultPrinter();
        made->UpdateMetrics();
        return made;
    }();
    return *setup;
}

void CPrinterSetup::Apply(PRINTDLGW& record)
{
    TRACE_POINT();
    if (devNames && devNames != record.hDevNames)
        GlobalFree(devNames);
    devNames = record.hDevNames;
    if (devMode && devMode != record.hDevMode)
        GlobalFree(devMode);
    devMode = record.hDevMode;
    if (deviceContext) {
        if (!DeleteDC(deviceContext))
            ReportFailure(kFailSystemCall);
        deviceContext = nullptr;
    }
    if (devNames) {
        const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(devNames));
        if (!names) {
            ReportFailure(kFailSystemCall);
        } else {
            const DEVMODEW* mode = devMode ? static_cast<const DEVMODEW*>(GlobalLock(devMode)) : nullptr;
            const wchar_t* base = reinterpret_cast<const wchar_t*>(names);
            const wchar_t* driver = base + names->wDriverOffset;
            const wchar_t* device = base + names->wDeviceOffset;
            deviceContext = CreateDCW(driver, device, nullptr, mode);
            printerName = device;
            TRACE_VALUE(std::wstring, printerName);
            if (!deviceContext)
                ReportPrinterError();
            printToFile = std::wstring(base + names->wOutputOffset) == L"FILE:";
            if (mode)
                GlobalUnlock(devMode);
            GlobalUnlock(devNames);
        }
    }
    if (!deviceContext) {
        UseDefaultPrinter();
        printToFile = false;
    }
    UpdateMetrics();
}

void CPrinterSetup::UseDefaultPrinter()
{
    TRACE_POINT();
    PRINTDLGW record = {};
    record.lStructSize = sizeof record;
    record.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    {
        CUnwatchedSection unwatched;
        CallPrintDlg(&record);
    }
    deviceContext = record.hDC;
    printerName.clear();
    if (!deviceContext)
        ReportPrinterError();
    // The next print dialog starts from the default printer.
    FreeBlock(record.hDevMode);
    FreeBlock(record.hDevNames);
    FreeBlock(devMode);
    FreeBlock(devNames);
}

void CPrinterSetup::UpdateMetrics()
{
    TRACE_POINT();
    if (deviceContext) {
        const HDC dc = deviceContext;
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(dc, DRIVERVERSION)));
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(dc, TECHNOLOGY)));
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(dc, BITSPIXEL)));
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(dc, PLANES)));
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(dc, NUMCOLORS)));
        CPrinterCaps caps;
        caps.rasterCaps = GetDeviceCaps(dc, RASTERCAPS);
        caps.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        caps.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        caps.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
        caps.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
        caps.printableWidth = GetDeviceCaps(dc, HORZRES);
        caps.printableHeight = GetDeviceCaps(dc, VERTRES);
        caps.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
        caps.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
        if (!TakeMetrics(caps, g_limitTo300 && g_limitTo300())) {
            DeleteDC(deviceContext);
            deviceContext = nullptr;
        }
    }
    if (!deviceContext)
        UseLetterPage();
    TRACE_VALUE(CPoint2, windowExtent);
    TRACE_VALUE(CPoint2, viewportExtent);
    TRACE_VALUE(CSize2, pageSize);
    TRACE_VALUE(CSize2, printableSize);
    TRACE_VALUE(CPoint2, printableOffset);
}

bool CPrinterSetup::TakeMetrics(const CPrinterCaps& caps, bool limitTo300)
{
    TRACE_VALUE(int32_t, caps.rasterCaps);
    bool usable = true;
    if ((caps.rasterCaps & kNeededRasterCaps) != kNeededRasterCaps) {
        ReportFailure(kFailSystemCall);
        usable = false;
    }
    const float dpiX = float(caps.dpiX);
    const float dpiY = float(caps.dpiY);
    if (dpiX == 0.0f || dpiY == 0.0f) {
        TRACE_VALUE(CPoint2, CPoint2(dpiX, dpiY));
        ReportFailure();
        usable = false;
    }
    if (!usable)
        return false;
    resolution = std::max(dpiX, dpiY);
    if (resolution > kLimitedResolution && limitTo300)
        resolution = kLimitedResolution;
    windowExtent = CPoint2(resolution, resolution);
    viewportExtent = CPoint2(dpiX, dpiY);
    pageSize = CSize2(ToLogical(windowExtent.x, caps.physicalWidth, viewportExtent.x),
                      ToLogical(windowExtent.y, caps.physicalHeight, viewportExtent.y));
    printableSize = CSize2(ToLogical(windowExtent.x, caps.printableWidth, viewportExtent.x),
                           ToLogical(windowExtent.y, caps.printableHeight, viewportExtent.y));
    printableOffset = CPoint2(ToLogical(windowExtent.x, caps.offsetX, viewportExtent.x),
                              ToLogical(windowExtent.y, caps.offsetY, viewportExtent.y));
    return true;
}

void CPrinterSetup::UseLetterPage()
{
    windowExtent = CPoint2(300.0f, 300.0f);
    viewportExtent = CPoint2(300.0f, 300.0f);
    pageSize = CSize2(2550.0f, 3300.0f);
    printableSize = CSize2(2550.0f, 3300.0f);
    printableOffset = CPoint2();
}

void CPrinterSetup::RenewDeviceContext()
{
    TRACE_POINT();
    // The set-up's own blocks name the printer; Apply keeps them.
    PRINTDLGW record = {};
    record.hDevNames = devNames;
    record.hDevMode = devMode;
    Apply(record);
}

void CPrinterSetup::ReportPrinterError() { ReportPrinterError(GetLastError()); }

void CPrinterSetup::ReportPrinterError(DWORD error)
{
    const std::wstring number = std::to_wstring(error);
    TRACE_VALUE(std::wstring, number);
    std::wstring text = printerName.empty() ? GetStringWithArg(kPrinterError, number)
                                            : GetStringWith2Args(kNamedPrinterError, printerName, number);
    const std::wstring reason = GetSystemErrorText(error);
    if (!reason.empty())
        text += L"\n\n" + reason;
    CMessageBox::Show(text, CMessageBox::kError);
}

int ShowPrintDialog(DWORD flags)
{
    TRACE_VALUE(int32_t, int32_t(flags));
    CPrinterSetup& setup = CPrinterSetup::Instance();
    PRINTDLGW record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = GetModalOwnerWindow();
    // The set-up's own blocks: the dialog edits them and may replace them.
    record.hDevMode = setup.devMode;
    record.hDevNames = setup.devNames;
    record.Flags = flags;
    record.nFromPage = 1;
    record.nToPage = 1;
    record.nMinPage = 1;
    record.nMaxPage = 1;
    record.nCopies = 1;
    record.hInstance = GetModuleHandleW(nullptr);

    int copies = 0;
    EnableFrameWindows(record.hwndOwner, false);
    {
        CModalScope modal;
        if (CallPrintDlg(&record)) {
            copies = record.nCopies;
        } else {
            const DWORD error = GetDialogError();
            TRACE_VALUE(int32_t, int32_t(error));
            if (error == PDERR_NODEFAULTPRN)
                setup.ReportPrinterError();
            else if (error != 0)
                ReportFailure(kFailSystemCall);
        }
    }
    EnableFrameWindows(record.hwndOwner, true);
    // A cancelled dialog hands the blocks back unchanged.
    setup.Apply(record);
    TRACE_VALUE(int32_t, copies);
    return copies;
}

int ShowPrinterSetupDialog() { return ShowPrintDialog(kPrinterSetupFlags); }
