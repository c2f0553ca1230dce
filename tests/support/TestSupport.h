#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Shared helpers of the test executables.

// ---- Start-up ---------------------------------------------------------------
// What the program's start-up registers (the notice sink, the object kinds,
// the properties dialogs, the graphics systems) a test program registers as
// far as its tests need it, through a step that main runs before any test or
// child scenario:
//
//     static CTestStartup g_startup([] { RegisterObjectTypes(); });

struct CTestStartup
{
    explicit CTestStartup(void (*step)());
};

void RunTestStartup();

// ---- Child scenarios --------------------------------------------------------
// Code that must run in a process of its own: the one-time failure report,
// deliberate faults, the watchdog. A scenario returns the child's exit code.
//
//     CHILD_SCENARIO(ReportTwice) { ReportFailure(); ReportFailure(); return 0; }
//     EXPECT_EQ(0, RunChildScenario("ReportTwice"));

using ChildScenario = int (*)();

struct CChildScenarioRegistrar
{
    CChildScenarioRegistrar(const char* name, ChildScenario scenario);
};

#define CHILD_SCENARIO(name)                                                   \
    static int name##_Scenario();                                              \
    static CChildScenarioRegistrar name##_Registrar(#name, &name##_Scenario); \
    static int name##_Scenario()

// A test whose body runs as a child scenario (named "<suite>_<name>") and
// passes when it returns 0; the body returns the number of the first check
// that failed.
#define CHILD_TEST(suite, name)                                                            \
    static int suite##_##name##_Scenario();                                                \
    static CChildScenarioRegistrar suite##_##name##_Registrar(#suite "_" #name,            \
                                                              &suite##_##name##_Scenario); \
    TEST(suite, name) { EXPECT_EQ(0, RunChildScenario(#suite "_" #name)); }                \
    static int suite##_##name##_Scenario()

// Runs this executable again with only the named scenario and returns its
// exit code; -1 when it could not start, -2 when it did not end in time.
// The child's message boxes are answered as in any test (see below).
int RunChildScenario(const char* name, DWORD timeoutMs = 120000);

// Runs the scenario when the command line asks for one; false otherwise.
bool RunChildScenarioFromCommandLine(int argc, char** argv, int* exitCode);

// ---- Runs by hand -----------------------------------------------------------
// The number an environment variable gives (a random test's count of cases
// or its seed, for a longer run by hand), or the fallback when it is unset.
unsigned long GetEnvironmentNumber(const char* name, unsigned long fallback);

// ---- Dialogs ----------------------------------------------------------------
// Modal message boxes and dialogs would wait for a person. A watcher thread
// answers every message box of this process (OK where there is one, else
// Cancel) and remembers its text; a test that drives a dialog itself pauses
// the watcher for that time.

struct CSeenDialog
{
    std::wstring caption;
    std::wstring text;   // the message text of a message box (static id 0xFFFF)
    DWORD style = 0;
};

class CDialogWatcher
{
public:
    static void Start();
    // The message boxes answered since the last call, oldest first.
    static std::vector<CSeenDialog> TakeAnswered();
    // Their message texts only.
    static std::vector<std::wstring> TakeAnsweredTexts();
};

class CDialogWatcherPause
{
public:
    CDialogWatcherPause();
    ~CDialogWatcherPause();
};

// Top-level visible dialogs (#32770) of this process.
std::vector<HWND> FindProcessDialogs();
// Waits until a dialog of this process appears; null after the timeout.
HWND WaitForDialog(DWORD timeoutMs = 10000);
// Waits for the dialog of this process with the caption; null after the
// timeout.
HWND WaitForDialogTitled(const std::wstring& caption, DWORD timeoutMs = 10000);
// The same for a test thread that drives a dialog while the watcher is
// paused: any other dialog that comes up meanwhile (a failure report's
// message box) is answered with OK, else Cancel, and its text kept in
// `others`.
HWND WaitForDialogAnsweringOthers(const std::wstring& caption, std::vector<std::wstring>* others = nullptr,
                                  DWORD timeoutMs = 10000);
std::wstring GetWindowTextString(HWND window);
// Clicks a button of a dialog the way a user would (BN_CLICKED to the owner).
void PressDialogButton(HWND dialog, int id);

// ---- Files ------------------------------------------------------------------
// The shared (public) Documents folder; where the crash log goes.
std::wstring GetCommonDocumentsFolder();
std::string ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
// A fresh empty folder under the temporary folder, unique for the process.
std::wstring MakeTempFolder(const std::wstring& name);
