#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/TimerPump.h"

namespace {

const wchar_t kProgramKey[] = L"Software\\Norvane\\Fendrel 4";

std::wstring ReadProgramString(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

void WriteProgramString(const wchar_t* name, const std::wstring& value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, name, REG_SZ, value.c_str(), DWORD((value.size() + 1) * 2));
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Runs the loop of the program until the quit message; the milliseconds it
// took, or -1 when it did not come within the limit.
int RunLoopUntilQuit(DWORD limitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return int(GetTickCount() - start);
            TranslateMessage(&message);
            DispatchMessageW(&message);
            PumpAfterMessage(message.message);
        }
        PumpAfterMessage(WM_NULL);
        if (GetTickCount() - start > limitMs)
            return -1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::wstring LastAnsweredText()
{
    const std::vector<CSeenDialog> seen = CDialogWatcher::TakeAnswered();
    return seen.empty() ? std::wstring() : seen.back().text;
}

// The text of the last message box the run showed, after giving it time to
// come up.
std::wstring MessageShownAfterwards()
{
    Sleep(300);
    return LastAnsweredText();
}

// Runs the mode of a command line as the program is started with it.
bool RunStartedAs(const std::wstring& commandLineText)
{
    CCommandLine commandLine;
    ParseCommandLineText(commandLineText, commandLine);
    return RunCommandLineMode(commandLine);
}

// Runs the mode of a command that came in by DDE.
bool RunDdeCommand(const std::wstring& command)
{
    CCommandLine commandLine;
    ParseDdeCommand(command, commandLine);
    return RunCommandLineMode(commandLine);
}

// Starts the program and waits for its course windows; their number, or 0
// when it did not start.
size_t StartAndCountWindows(CProgramProcess& program, const std::wstring& arguments,
                            const std::wstring& folder = std::wstring())
{
    if (!program.Start(arguments, folder))
        return 0;
    return program.WaitForWindows(L"Fendrel 4", 1, 20000).size();
}

// Closes the program's course windows, the last of which ends it; the exit
// code, or -1 when it did not end.
int CloseWindowsAndWaitForExit(CProgramProcess& program)
{
    program.CloseCourseWindows();
    return program.WaitForExit(20000);
}

}  // namespace

// ---- Program identity ---------------------------------------------------------

TEST(ProgramIdentity, NamesAndVersion)
{
    EXPECT_EQ(L"Fendrel 4", GetProductName());
    EXPECT_EQ(L"Fendrel4", GetProductName(true));
    EXPECT_EQ(L"4.33", GetVersionString());
}

TEST(ProgramIdentity, ProgramFolderHoldsTheProgramFile)
{
    const std::wstring folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_TRUE(FileExists(folder + L"test_app.exe"));
}

TEST(ProgramIdentity, ShortModulePathNamesTheSameFile)
{
    const std::wstring& shortPath = GetShortModulePath();
    EXPECT_EQ(std::wstring::npos, shortPath.find(L' '));
    wchar_t longPath[MAX_PATH] = {};
    ASSERT_GT(GetLongPathNameW(shortPath.c_str(), longPath, MAX_PATH), 0u);
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp(module, longPath));
    EXPECT_EQ(&shortPath, &GetShortModulePath());
}

TEST(ProgramIdentity, ProgramIconIsThere)
{
    EXPECT_EQ(0, CountReports([&] { EXPECT_TRUE(LoadProgramIcon()); }));
}

// ---- Wine check -------------------------------------------------------------------

TEST(WineCheck, MissingKeyGivesZeroAndIsNotCreated)
{
    const std::wstring path = GetTestSettingsKeyPath() + L"\\Wine\\Fonts";
    DeleteTestSettingsKey();
    EXPECT_EQ(0, ReadWineLogPixels(path.c_str()));
    EXPECT_FALSE(KeyExists(path));
    EXPECT_FALSE(KeyExists(GetTestSettingsKeyPath()));
}

TEST(WineCheck, LogPixelsValueIsRead)
{
    const std::wstring path = GetTestSettingsKeyPath() + L"\\Fonts";
    const DWORD value = 120;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"LogPixels", REG_DWORD, &value, 4));
    EXPECT_EQ(120, ReadWineLogPixels(path.c_str()));
    RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"LogPixels", REG_SZ, L"96", 6);
    EXPECT_EQ(0, ReadWineLogPixels(path.c_str()));
    DeleteTestSettingsKey();
}

// ---- Run modes, each in a process of its own -----------------------------------------

CHILD_TEST(RunMode, RegisterReturnsFalseWithoutQuitTimer)
{
    OpenTestSettingsKey();
    CCommandLine commandLine;
    commandLine.runMode = kRunRegister;
    const bool result = RunCommandLineMode(commandLine);
    return (result ? 1 : 0) + (IsQuitPending() ? 2 : 0) + (WasCourseWindowOpened() ? 4 : 0);
}

CHILD_TEST(RunMode, DdeServerStaysUpWithoutWindow)
{
    OpenTestSettingsKey();
    const bool result = RunStartedAs(L"Fendrel4.exe /dde");
    return (result ? 0 : 1) + (IsQuitPending() ? 2 : 0) + (CFrameWindowList::GetFrames().empty() ? 0 : 4);
}

CHILD_TEST(RunMode, PrintReadsTheFileAndQuits1500msLater)
{
    OpenTestSettingsKey();
    const std::wstring folder = MakeTempFolder(L"print-mode");
    if (!RunDdeCommand(L"[print(\"" + WriteEmptyCourseFile(folder, L"p.agl") + L"\")]"))
        return 1;
    if (!IsQuitPending() || !CFrameWindowList::GetFrames().empty())
        return 2;
    const int elapsed = RunLoopUntilQuit(20000);
    if (elapsed < 1400)
        return 3;
    if (elapsed > 8000)
        return 4;
    return 0;
}

CHILD_TEST(RunMode, PrintOfMissingFileFailsAndQuits)
{
    OpenTestSettingsKey();
    const bool result = RunDdeCommand(L"[print(\"C:\\no such folder\\missing.agl\")]");
    const std::wstring shown = MessageShownAfterwards();
    return (result ? 1 : 0) + (IsQuitPending() ? 0 : 2) + (shown.empty() ? 4 : 0);
}

CHILD_TEST(RunMode, UnknownDdeCommandShowsItsMessage)
{
    OpenTestSettingsKey();
    const bool result = RunDdeCommand(L"[nonsense]");
    const bool right = MessageShownAfterwards() == GetString(2680);
    return (result ? 1 : 0) + (right ? 0 : 2) + (IsQuitPending() ? 0 : 4) + 8 * ReportCount();
}

CHILD_TEST(RunMode, EmbeddingShowsTheCommandLineMessage)
{
    OpenTestSettingsKey();
    const bool result = RunStartedAs(L"Fendrel4.exe -Embedding");
    const bool right = MessageShownAfterwards() == GetString(2676);
    return (result ? 1 : 0) + (right ? 0 : 2) + 8 * ReportCount();
}

CHILD_TEST(RunMode, UnregisterIsReportedThenRefused)
{
    OpenTestSettingsKey();
    const bool result = RunStartedAs(L"Fendrel4.exe /unregserver");
    const bool right = MessageShownAfterwards() == GetString(2676);
    return (result ? 1 : 0) + (right ? 0 : 2) + (ReportCount() == 1 ? 0 : 8);
}

CHILD_TEST(RunMode, OpenShowsEachFileInItsOwnWindow)
{
    OpenTestSettingsKey();
    const std::wstring folder = MakeTempFolder(L"open-mode");
    WriteEmptyCourseFile(folder, L"one.agl");
    WriteEmptyCourseFile(folder, L"two.agl");
    SetCurrentDirectoryW(folder.c_str());
    CCommandLine commandLine;
    ParseCommandLineText(L"Fendrel4.exe one.agl two.agl", commandLine);
    SetCurrentDirectoryW(L"C:\\");
    if (!RunCommandLineMode(commandLine))
        return 1;
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 2)
        return 2;
    if (windows[0]->title != L"two.agl - " + GetString(2001) || windows[1]->title != L"one.agl - " + GetString(2001))
        return 3;
    if (IsQuitPending() || !WasCourseWindowOpened())
        return 4;
    // Opening a file that is shown already only brings its window forward.
    if (!OpenCourseFile(folder + L"\\ONE.agl", windows[1]) || CCourseWindow::GetCourseWindows().size() != 2)
        return 5;
    // Closing the last window ends the loop.
    for (CCourseWindow* window : windows)
        PostMessageW(window->hwnd, WM_CLOSE, 0, 0);
    if (RunLoopUntilQuit(20000) < 0)
        return 6;
    return CFrameWindowList::GetFrames().empty() ? 0 : 7;
}

CHILD_TEST(RunMode, OpenOfMissingFileLeavesNoWindowAndQuits)
{
    OpenTestSettingsKey();
    const bool result = RunStartedAs(L"Fendrel4.exe C:\\nowhere\\missing.agl");
    return (result ? 1 : 0) + (IsQuitPending() ? 0 : 2) + (CFrameWindowList::GetFrames().empty() ? 0 : 4);
}

CHILD_TEST(RunMode, WindowOpenedByDdeStopsTheQuitTimer)
{
    OpenTestSettingsKey();
    const std::wstring folder = MakeTempFolder(L"print-then-open");
    const std::wstring path = WriteEmptyCourseFile(folder, L"c.agl");
    CCommandLine print;
    ParseDdeCommand(L"[print(\"" + path + L"\")]", print);
    RunCommandLineMode(print);
    if (!IsQuitPending())
        return 1;
    if (!RunDdeCommand(L"[open(\"" + path + L"\")]") || IsQuitPending())
        return 2;
    // Once a window was opened, a later print no longer arms the timer.
    RunCommandLineMode(print);
    return IsQuitPending() ? 3 : 0;
}

CHILD_TEST(RunMode, PlainStartOpensOneEmptyCourseWindow)
{
    OpenTestSettingsKey();
    if (!RunStartedAs(L"Fendrel4.exe"))
        return 1;
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 1 || !IsWindowVisible(windows[0]->hwnd))
        return 2;
    return CanOpenAnotherCourseWindow() ? 0 : 3;
}

// With the views through GDI no course shows 3D: a start whose new course
// would show it by the stored view opens in the map, as New does, and leaves
// the stored view for a class that shows 3D.
CHILD_TEST(RunMode, PlainStartWithTheViewsThroughGdiOpensAStored3DViewInTheMap)
{
    OpenTestSettingsKey();
    CSettings::SetInt(L"GraphicsClass", 0);
    CSettings::SetInt(L"3D", 1);
    CSettings::SetInt(L"3DCamera", 1);
    if (!RunStartedAs(L"Fendrel4.exe") || CCourseWindow::GetCourseWindows().size() != 1)
        return 1;
    const CCourseWindow& window = *CCourseWindow::GetCourseWindows().front();
    const CCourse& course = *window.GetCourse();
    if (course.Get3D() || course.Get3DCamera() || course.IsModified() ||
        window.view.GetCourseScene() != &window.mapScene)
        return 2;
    return CSettings::GetInt(L"3D", 0) == 1 && CSettings::GetInt(L"3DCamera", 0) == 1 && ReportCount() == 0 ? 0 : 3;
}

// ---- The real program ----------------------------------------------------------

TEST(Program, FirstStartStaysUpAndSecondStartHandsOverTheAbsolutePath)
{
    const std::wstring folder = MakeTempFolder(L"hand-over");
    WriteEmptyCourseFile(folder, L"Hand over.agl");
    CProgramProcess first;
    ASSERT_EQ(1u, StartAndCountWindows(first, L""));

    CProgramProcess second;
    // A name relative to the second start's own folder.
    ASSERT_TRUE(second.Start(L"\"Hand over.agl\"", folder));
    EXPECT_EQ(0, second.WaitForExit(20000));
    EXPECT_TRUE(first.WaitForCaption(L"Hand over.agl - " + GetString(2001), 20000));
    EXPECT_EQ(2u, first.FindWindows(L"Fendrel 4").size());

    // The last window to close ends the program.
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(first));
}

// The views through GDI, as the start helper stores it: with no class stored
// the map's first paint makes Direct3D 11's device, which loads its own
// libraries (under Wine, OpenGL too).
TEST(Program, PlainStartLoadsNoPictureLibraryAndStillServesDde)
{
    CProgramProcess program;
    ASSERT_EQ(1u, StartAndCountWindows(program, L""));
    PumpMessagesFor(500);
    EXPECT_TRUE(program.HasModule(L"user32.dll"));
    for (const wchar_t* unused : {L"gdiplus.dll", L"glu32.dll", L"opengl32.dll", L"comdlg32.dll"})
        EXPECT_FALSE(program.HasModule(unused)) << unused << " among: " << program.ListModules();
    DWORD serverProcess = 0;
    GetWindowThreadProcessId(FindWindowW(L"Fendrel 4 DDE", nullptr), &serverProcess);
    EXPECT_EQ(program.GetId(), serverProcess);
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(program));
}

TEST(Program, PlainStartShowsTheSplashForAMoment)
{
    CProgramProcess program;
    ASSERT_TRUE(program.Start(L""));
    std::vector<HWND> splash = program.WaitForWindows(L"#32770", 1, 20000);
    ASSERT_EQ(1u, splash.size());
    EXPECT_EQ(GetString(2237), GetWindowTextString(splash[0]));
    EXPECT_FALSE(GetDlgItem(splash[0], 0xFFFF));
    const DWORD start = GetTickCount();
    while (IsWindow(splash[0]) && IsWindowVisible(splash[0]) && GetTickCount() - start < 10000)
        PumpMessagesFor(20);
    EXPECT_FALSE(IsWindow(splash[0]) && IsWindowVisible(splash[0]));
    EXPECT_EQ(1u, program.FindWindows(L"Fendrel 4").size());
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(program));
}

TEST(Program, SecondStartWithoutFilesOnlyEnds)
{
    CProgramProcess first;
    ASSERT_EQ(1u, StartAndCountWindows(first, L""));
    CProgramProcess second;
    ASSERT_TRUE(second.Start(L""));
    EXPECT_EQ(0, second.WaitForExit(20000));
    PumpMessagesFor(500);
    EXPECT_EQ(1u, first.FindWindows(L"Fendrel 4").size());
    EXPECT_TRUE(second.FindWindows(L"Fendrel 4").empty());
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(first));
}

TEST(Program, FilesReachARunningInstanceThatHasNoWindow)
{
    const std::wstring folder = MakeTempFolder(L"windowless");
    const std::wstring one = WriteEmptyCourseFile(folder, L"one.agl");
    const std::wstring two = WriteEmptyCourseFile(folder, L"two.agl");
    CProgramProcess first;
    ASSERT_TRUE(first.Start(L"/dde"));
    for (int i = 0; i < 1000 && !FindWindowW(L"Fendrel 4 DDE", nullptr); ++i)
        PumpMessagesFor(20);
    CProgramProcess second;
    ASSERT_TRUE(second.Start(L"\"" + one + L"\" two.agl", folder));
    EXPECT_EQ(0, second.WaitForExit(20000));
    EXPECT_TRUE(first.WaitForCaption(L"one.agl - " + GetString(2001), 20000));
    EXPECT_TRUE(first.WaitForCaption(L"two.agl - " + GetString(2001), 20000));
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(first));
}

TEST(Program, FileThatCannotBeOpenedEndsTheProgram)
{
    CProgramProcess program;
    ASSERT_TRUE(program.Start(L"C:\\nowhere\\missing.agl"));
    HWND box = program.WaitForMessageBox(20000);
    ASSERT_TRUE(box);
    CProgramProcess::AnswerMessageBox(box);
    EXPECT_EQ(0, program.WaitForExit(20000));
}

TEST(Program, WorkingFolderIsRestoredAndStoredAtANormalEnd)
{
    const std::wstring stored = MakeTempFolder(L"stored-folder");
    const std::wstring launch = MakeTempFolder(L"launch-folder");
    WriteProgramString(L"WorkingDirectory", stored);
    CProgramProcess program;
    ASSERT_EQ(1u, StartAndCountWindows(program, L"", launch));
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(program));
    EXPECT_EQ(0, _wcsicmp(stored.c_str(), ReadProgramString(L"WorkingDirectory").c_str()));

    DWORD underWine = 12345;
    DWORD size = sizeof underWine;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kProgramKey, L"RunningUnderWine", RRF_RT_REG_DWORD,
                                          nullptr, &underWine, &size));
    EXPECT_EQ(DWORD(ReadWineLogPixels(L"Software\\Wine\\Fonts")), underWine);
}

TEST(Program, WorkingFolderIsNotStoredWhenTheRunEndsEarly)
{
    const std::wstring launch = MakeTempFolder(L"early-end");
    WriteProgramString(L"WorkingDirectory", L"C:\\no such working folder");
    CProgramProcess program;
    ASSERT_TRUE(program.Start(L"/i", launch));
    EXPECT_EQ(0, program.WaitForExit(20000));
    EXPECT_EQ(L"C:\\no such working folder", ReadProgramString(L"WorkingDirectory"));

    // A normal run from the same place stores where it ended up.
    CProgramProcess normal;
    ASSERT_EQ(1u, StartAndCountWindows(normal, L"", launch));
    EXPECT_EQ(0, CloseWindowsAndWaitForExit(normal));
    EXPECT_EQ(0, _wcsicmp(launch.c_str(), ReadProgramString(L"WorkingDirectory").c_str()));
}

TEST(Program, UnregisterRunReportsAndTheCrashLogShowsTheStartUpOrder)
{
    const std::wstring logPath = GetTestCrashLogPath();
    DeleteFileW(logPath.c_str());
    CProgramProcess program;
    ASSERT_TRUE(program.Start(L"/unregister"));
    std::vector<std::wstring> texts;
    for (int i = 0; i < 2; ++i) {
        HWND box = program.WaitForMessageBox(20000);
        ASSERT_TRUE(box);
        texts.push_back(CProgramProcess::GetMessageBoxText(box));
        CProgramProcess::AnswerMessageBox(box);
    }
    EXPECT_EQ(GetString(2676), texts[1]);
    EXPECT_EQ(0, program.WaitForExit(20000));

    const std::string log = ReadWholeFile(logPath);
    ASSERT_FALSE(log.empty());
    const char* const steps[] = {
        "start-up: text table", "start-up: crash log",       "start-up: command line",
        "start-up: single instance", "start-up: DDE server", "start-up: system services",
        "start-up: watchdog",   "start-up: Wine check",      "start-up: working folder",
        "start-up: splash",     "start-up: run mode",
    };
    size_t previous = 0;
    for (const char* step : steps) {
        const size_t found = log.find(step);
        ASSERT_NE(std::string::npos, found) << step;
        EXPECT_GT(found, previous) << step;
        previous = found;
    }
    // Ended before the loop: no association written, no loop entered.
    EXPECT_EQ(std::string::npos, log.find("start-up: file association"));
    EXPECT_EQ(std::string::npos, log.find("start-up: message loop"));
}
