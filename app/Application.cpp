#include "app/Application.h"

#include <commctrl.h>

#include <fstream>
#include <memory>

#include "app/CommandLine.h"
#include "app/CourseFiles.h"
#include "app/CourseImageDlg.h"
#include "app/CoursePrintJob.h"
#include "app/CourseSaveDlg.h"
#include "app/CourseWindow.h"
#include "app/DdeServer.h"
#include "app/FileAssociation.h"
#include "app/HelpLinks.h"
#include "app/MessageLoop.h"
#include "app/PrintScene.h"
#include "app/SplashWindow.h"
#include "app/UserNotices.h"
#include "course/Course.h"
#include "dialogs/PropertiesDialogs.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/Timer.h"
#include "foundation/WebAccess.h"
#include "graphics/GdiplusSession.h"
#include "objects/annotations/ObjectTypes.h"
#include "render3d/GraphicsSystem.h"
#include "ui/FrameWindowList.h"
#include "ui/MessageBox.h"
#include "ui/ModalState.h"
#include "ui/PrinterSetup.h"

namespace {

constexpr int kProgramIconId = 102;
constexpr UINT kQuietErrorModes = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
// Standard, tab, progress, bar and date classes of the common controls.
constexpr DWORD kCommonControlClasses = 0x4034;
constexpr int kNewCourseCommand = 2060;

// Set once any run mode has opened a course window; never cleared.
bool g_windowOpened = false;

std::wstring GetModuleFileNameString()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (length == 0) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void OnQuitTimer(CTimer*) { PostQuit(); }

CTimer& GetQuitTimer()
{
    static CTimer quitTimer;
    return quitTimer;
}

std::unique_ptr<CDdeServer>& GetDdeServerSlot()
{
    static std::unique_ptr<CDdeServer> ddeServer;
    return ddeServer;
}

// Makes the DDE server unless it runs already.
void StartDdeServer()
{
    std::unique_ptr<CDdeServer>& ddeServer = GetDdeServerSlot();
    if (ddeServer)
        return;
    TRACE_VALUE(std::string, std::string("start-up: DDE server"));
    ddeServer.reset(new CDdeServer(GetProductName()));
    // Dialogs of a run without course windows (printing, messages) belong to
    // the server window, whose WM_ENTERIDLE keeps the timers going.
    SetDefaultOwnerWindow(ddeServer->GetWindow());
}

// What start-up does that nobody sees waits until the message loop has
// painted the first window: the DDE server of a plain start (a second start
// looks for it for a while), the file association and the help handler. The
// loop fires timers only once no message, a paint included, is waiting; the
// panels' first paints run from the first firing pass, so the work waits for
// the next one.
void FinishStartUp(CTimer* timer)
{
    static bool panelsPainted = false;
    if (!panelsPainted) {
        panelsPainted = true;
        timer->Start(true);
        return;
    }
    StartDdeServer();

    TRACE_VALUE(std::string, std::string("start-up: file association"));
    RegisterFileAssociation();

    TRACE_VALUE(std::string, std::string("start-up: help handler"));
    InstallHelpHandler();
}

CTimer& GetFinishTimer()
{
    static CTimer finishTimer;
    return finishTimer;
}

// Reads the course file and prints its whole map on the current printer,
// without a window. False when the file could not be read.
bool PrintCourseFile(const std::wstring& path)
{
    TRACE_VALUE(std::wstring, path);
    // The progress dialog steps on the timers its owner fires: the server's
    // window, there already when the command came by DDE.
    StartDdeServer();
    std::unique_ptr<CCourse> course(new CCourse(GetPathPart(path, 1, 2), path));
    {
        std::ifstream stream;
        if (IsCourseFile(path))
            OpenInputFileStream(stream, path, false);
        // A file that did not open reads as no course block: the reader tells
        // the user.
        if (!TellCourseRead(course->ReadTextBlock(stream, false)))
            return false;
    }
    // The job goes before the page, the page before the course.
    CPrintScene page;
    page.AddItem(course.get(), true);
    CCoursePrintJob job(&page);
    job.showPrintDialog = false;
    CPrintJob::Run(job);
    TRACE_POINT();
    return true;
}

// Printers finer than 300 dots to the inch print at 300 once a graphics
// system beyond GDI is in use.
bool LimitsPrintResolution() { return CGraphicsSystem::HighestRank != 0; }

void ShowRunModeRefusal(const CCommandLine& commandLine)
{
    CMessageBox::Show(GetString(commandLine.fromDde ? 2680 : 2676), CMessageBox::kError);
}

}  // namespace

// ---- Program identity ---------------------------------------------------------

std::wstring GetProductName(bool joined) { return joined ? L"Fendrel4" : L"Fendrel 4"; }

std::wstring GetVersionString() { return std::to_wstring(4) + L"." + std::to_wstring(33); }

std::wstring GetProgramFolder()
{
    const std::wstring path = GetModuleFileNameString();
    const size_t separator = path.find_last_of(L"/\\");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

const std::wstring& GetShortModulePath()
{
    static const std::wstring shortPath = [] {
        const std::wstring path = GetModuleFileNameString();
        std::wstring shortened(MAX_PATH, L'\0');
        for (int attempt = 0; attempt < 3; ++attempt) {
            const DWORD length = GetShortPathNameW(path.c_str(), &shortened[0], DWORD(shortened.size()));
            if (length == 0)
                break;
            if (length < shortened.size()) {
                shortened.resize(length);
                return shortened;
            }
            shortened.assign(length, L'\0');
        }
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure();
        return path;
    }();
    return shortPath;
}

HICON LoadProgramIcon()
{
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId));
    if (!icon) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure();
    }
    return icon;
}

const wchar_t* GetSettingsKeyPath() { return L"Software\\Norvane\\Fendrel 4"; }

// ---- Run modes ------------------------------------------------------------------

void PostQuit() { PostQuitMessage(0); }

bool CanOpenAnotherCourseWindow()
{
    return CFrameWindowList::GetFrames().size() < size_t(kMaxCourseWindows) && GetCrashLog().HoldsReserve();
}

void RegisterCourseKinds()
{
    RegisterObjectTypes();
    RegisterPropertiesDialogs();
}

void KeepWithin3DBudget(CCourse& course, bool had3DCamera)
{
    if (!had3DCamera && !CanShowAnother3DView())
        course.Leave3D();
}

bool CanShowAnother3DView()
{
    if (!CGraphicsSystem::IsViewSystem3D())
        return false;
    const int rank = CGraphicsSystem::HighestRank;
    if (rank <= 1)
        return true;
    int shown = 0;
    for (CCourseWindow* window : CCourseWindow::GetCourseWindows())
        if (window->GetCourse() && window->GetCourse()->Get3D())
            ++shown;
    return shown < (rank == 2 ? 10 : 8);
}

bool WasCourseWindowOpened() { return g_windowOpened; }

bool IsQuitPending() { return GetQuitTimer().IsRunning(); }

int32_t ReadWineLogPixels(const wchar_t* keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = RegQueryValueExW(key, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return 0;
    return int32_t(value);
}

bool RunCommandLineMode(const CCommandLine& commandLine)
{
    TRACE_VALUE(int32_t, commandLine.runMode);
    TRACE_VALUE(std::wstring, commandLine.GetJoinedFileNames());
    bool result = false;
    bool quitNeeded = false;
    switch (commandLine.runMode) {
    case kRunPlain: {
        const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
        if (windows.empty()) {
            // As every new course, within the 3D budget: with the views
            // through GDI a course stored to show 3D opens in the map.
            CCourse* course = new CCourse(std::wstring(), std::wstring());
            KeepWithin3DBudget(*course, false);
            new CCourseWindow(course);
        } else {
            SendMessageW(windows.front()->hwnd, WM_COMMAND, MAKEWPARAM(kNewCourseCommand, 0), 0);
        }
        g_windowOpened = true;
        result = true;
        break;
    }
    case kRunOpen: {
        // Each file in a window of its own, as far as the window limit allows.
        for (const std::wstring& fileName : commandLine.fileNames) {
            if (!CanOpenAnotherCourseWindow())
                break;
            if (OpenCourseFile(fileName, nullptr))
                result = true;
        }
        if (result)
            g_windowOpened = true;
        quitNeeded = !result;
        break;
    }
    case kRunPrint:
        for (const std::wstring& fileName : commandLine.fileNames) {
            if (PrintCourseFile(fileName))
                result = true;
        }
        quitNeeded = true;
        break;
    case kRunDdeServer:
        result = true;
        break;
    case kRunRegister:
        RegisterFileAssociation();
        break;
    case kRunUnregister:
        ReportFailure();
        ShowRunModeRefusal(commandLine);
        quitNeeded = true;
        break;
    default:
        ShowRunModeRefusal(commandLine);
        quitNeeded = true;
        break;
    }
    TRACE_VALUE(bool, result);

    CTimer& quitTimer = GetQuitTimer();
    if (g_windowOpened) {
        quitTimer.Stop();
    } else if (quitNeeded) {
        if (!quitTimer.IsRunning()) {
            quitTimer.interval = kWindowlessQuitDelay;
            quitTimer.repeat = false;
            quitTimer.SetOnTimer(CDelegate<CTimer*>::FromFunction(&OnQuitTimer));
        }
        quitTimer.Start(true);
    }
    return result;
}

// ---- Start-up and shutdown ------------------------------------------------------

void RunApplication()
{
    // What the lower folders reach through the interfaces they own: whatever
    // fails from here on can tell the user, and the canvas and the panels
    // find their graphics systems.
    InstallUserNoticeSink();
    InstallGraphicsSystemChoice();
    SetPrintResolutionLimit(&LimitsPrintResolution);
    SetImageExportRunner(&RunCourseImageExport);

    TRACE_VALUE(std::string, std::string("start-up: text table"));
    GetString(2000);

    TRACE_VALUE(std::string, std::string("start-up: crash log"));
    GetCrashLog().fileName = "Fendrel4CrashLog.txt";

    TRACE_VALUE(std::string, std::string("start-up: command line"));
    CCommandLine commandLine;
    ParseCommandLine(commandLine);

    TRACE_VALUE(std::string, std::string("start-up: single instance"));
    if (!ActivateRunningInstance(commandLine))
        return;

    // Asking for the connection takes long; a thread does it meanwhile.
    StartWebAccessCheck();

    // A plain start makes the server's window, which nobody sees, once its
    // course window has been painted (FinishStartUp).
    if (commandLine.runMode != kRunPlain)
        StartDdeServer();

    TRACE_VALUE(std::string, std::string("start-up: system services"));
    SetErrorMode(SetErrorMode(0) | kQuietErrorModes);
    GdiSetBatchLimit(100);
    INITCOMMONCONTROLSEX controls = {sizeof controls, kCommonControlClasses};
    InitCommonControlsEx(&controls);

    TRACE_VALUE(std::wstring, GetVersionString());
    if (HDC screen = GetDC(nullptr)) {
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(screen, HORZRES)));
        TRACE_VALUE(int32_t, int32_t(GetDeviceCaps(screen, VERTRES)));
        ReleaseDC(nullptr, screen);
    }

    TRACE_VALUE(std::string, std::string("start-up: watchdog"));
    GetCrashLog().StartWatchdog();
    {
        CWatchedSection watched;

        TRACE_VALUE(std::string, std::string("start-up: Wine check"));
        const int32_t logPixels = ReadWineLogPixels(L"Software\\Wine\\Fonts");
        CSettings::Open(GetSettingsKeyPath());
        CSettings::SetInt(L"RunningUnderWine", logPixels);

        TRACE_VALUE(std::string, std::string("start-up: working folder"));
        const std::wstring folder = CSettings::GetWString(L"WorkingDirectory", L".");
        TRACE_VALUE(std::wstring, folder);
        SetCurrentDirectoryW(folder.c_str());

        if (commandLine.runMode == kRunPlain || commandLine.runMode == kRunOpen) {
            // The first paint of the views may need a 3D device, which takes
            // longer to make than the rest of start-up: it is made meanwhile.
            TRACE_VALUE(std::string, std::string("start-up: view graphics"));
            PrepareViewSystemAhead();
        }

        if (commandLine.runMode != kRunDdeServer && commandLine.runMode != kRunRegister) {
            TRACE_VALUE(std::string, std::string("start-up: splash"));
            ShowSplash();
        }

        TRACE_VALUE(std::string, std::string("start-up: object kinds"));
        RegisterCourseKinds();

        TRACE_VALUE(std::string, std::string("start-up: run mode"));
        if (RunCommandLineMode(commandLine)) {
            CTimer& finish = GetFinishTimer();
            finish.interval = 0;
            finish.repeat = false;
            finish.SetOnTimer(CDelegate<CTimer*>::FromFunction(&FinishStartUp));
            finish.Start(true);

            TRACE_VALUE(std::string, std::string("start-up: message loop"));
            RunMessageLoop();

            TRACE_VALUE(std::string, std::string("shutdown"));
            GetCrashLog().StopWatchdog();
            wchar_t current[MAX_PATH] = {};
            const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
            if (length > 0 && length < MAX_PATH)
                CSettings::SetWString(L"WorkingDirectory", std::wstring(current, length));
            StopGdiplus();
            FreeAcceleratorTable();
        }
    }
    GetCrashLog().StopWatchdog();

    TRACE_VALUE(std::string, std::string("shutdown: DDE server"));
    SetDefaultOwnerWindow(nullptr);
    GetDdeServerSlot().reset();
}
