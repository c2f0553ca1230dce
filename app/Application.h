#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CCommandLine;
class CCourse;

// ---- Program identity ---------------------------------------------------------
// "Fendrel 4" (the mutex, the frame window class, the settings key and the
// first DDE application name), or "Fendrel4" when joined.
std::wstring GetProductName(bool joined = false);
// "4.33".
std::wstring GetVersionString();
// The folder of the program file, its last separator included.
std::wstring GetProgramFolder();
// The short path name of the program file, computed once.
const std::wstring& GetShortModulePath();
// Icon resource 102 of the program; a missing icon is reported.
HICON LoadProgramIcon();
// The settings key of the program under HKEY_CURRENT_USER.
const wchar_t* GetSettingsKeyPath();

// ---- Life of the process --------------------------------------------------------
// The whole run: start-up in its fixed order, the run mode of the command
// line, the message loop, shutdown. The program's entry calls it guarded.
void RunApplication();

// Acts on a run mode, from the command line at start or from a DDE execute
// command. True while the program should keep running.
bool RunCommandLineMode(const CCommandLine& commandLine);

// Makes the course's object kinds, their coordinate marks and their
// properties dialogs known, once; start-up does it before any course is
// made, after the settings are open.
void RegisterCourseKinds();

// Ends the message loop (PostQuitMessage with exit code 0).
void PostQuit();

// Whether one more course window may open: fewer than 40 frame windows, and
// the crash log still holds its memory reserve.
bool CanOpenAnotherCourseWindow();
constexpr int kMaxCourseWindows = 40;

// Whether one more course window may show its course in 3D: never while the
// views draw through GDI; otherwise within the limit the highest rank of the
// graphics systems in use sets.
bool CanShowAnother3DView();

// A course made or read for a course window keeps to that limit: unless it
// used the 3D camera before the read, it leaves 3D when no further window may
// show 3D (its stored settings stay as they are).
void KeepWithin3DBudget(CCourse& course, bool had3DCamera);

// A windowless run quits this long after its last piece of work.
constexpr int32_t kWindowlessQuitDelay = 1500;
// Whether any run mode has opened a course window in this run.
bool WasCourseWindowOpened();
// Whether the quit timer of a windowless run is counting down.
bool IsQuitPending();

// The Wine check of start-up: the DWORD "LogPixels" of the key under
// HKEY_CURRENT_USER, 0 when the key or the value is missing. The key is only
// read, never created.
int32_t ReadWineLogPixels(const wchar_t* keyPath);
