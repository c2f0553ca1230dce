#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "tests/app/ProgramProcess.h"

class CCourse;
class CCourseObject;

// Driving the real program from outside as a user would: its settings, the
// parts of its course window found by their places, mouse clicks and
// drags, and its saved file read back.
namespace programtest {

constexpr DWORD kWait = 20000;

void SetProgramInt(const wchar_t* name, DWORD value);
// A number the program stored, or `missing`.
DWORD ReadProgramInt(const wchar_t* name, DWORD missing);
void DeleteProgramValue(const wchar_t* name);
// The kinds' stored values and the display mode forgotten; a 120 by 100
// foot ring of the organisation, imperial, 10-foot grid with labels; the
// A-frame's dialog not opening on placing; no hints.
void PrepareProgramSettings(int organisation);

// A course window's caption for a course title.
std::wstring Caption(const std::wstring& title);
std::wstring Quoted(const std::wstring& path);

// The parts of a course window found by their places: the view is the
// largest panel, the shape toolbar the panel right below the organisation
// chooser, the camera toolbar the lowest panel under it.
struct CWindowParts
{
    RECT view = {};
    RECT shapes = {};
    RECT camera = {};
    bool found = false;
};

CWindowParts FindParts(HWND frame);
// Where the program's shape toolbar shows a kind's button: the same toolbar
// laid out here with the same rule set.
POINT ShapeButton(const CWindowParts& parts, int id, int organisation);
// Where the camera toolbar of a 3D view shows a button.
POINT CameraButton(const CWindowParts& parts, int id);
// A point of the view at fractions of its size.
POINT ViewPoint(const CWindowParts& parts, float fx, float fy);
void Click(POINT point);
void Drag(POINT from, POINT to);

// Waits for the program's splash to go and its window to be painted.
void WaitUntilReady(const CProgramProcess& program);
// Starts the program and waits until its course window with the caption is
// ready; the window, or null when it did not come.
HWND StartAndWaitUntilReady(CProgramProcess& program, const std::wstring& arguments, const std::wstring& caption);
// Writes an empty course file of the name into the folder and starts the
// program with it; the course window once ready, or null.
HWND StartWithEmptyCourse(CProgramProcess& program, const std::wstring& folder, const std::wstring& name,
                          std::wstring& path);
// Waits for the program's message box and presses the button; whether the
// box came.
bool PressMessageBoxButton(const CProgramProcess& program, int button);

// The course in a file, read as the program reads it.
bool ReadCourseFile(const std::wstring& path, CCourse& course);
// Presses Ctrl+S and waits until the file's bytes change.
bool SaveAndWait(const std::wstring& path);
// Saves as above and reads the saved file into the course.
bool SaveAndReadBack(const std::wstring& path, CCourse& course);
const CCourseObject* OnlyObject(const CCourse& course);

// The clipboard as the program leaves it: text, Unicode text, emptied,
// given text, waited for.
std::string ReadClipboardText();
std::wstring ReadClipboardUnicode();
void EmptyTheClipboard();
void PutTextOnClipboard(const std::string& text);
// Whether the format came within kWait.
bool WaitForClipboard(UINT format);

// Selects every object of the window's course, copies them and reads the
// clipboard's course into the course given; whether all of that worked.
bool CopyWholeCourse(HWND frame, CCourse& course);
// Each object's type id (Int16) and record body, in the course's order.
std::vector<std::string> RecordsOf(const CCourse& course);

// The screen's pixels in the rectangle, row by row from the top, as
// COLORREFs.
std::vector<COLORREF> GrabScreen(const RECT& rect);

// The view's pixels once they differ from `from` (at most kWait) and have
// stopped changing.
std::vector<COLORREF> WaitForRepaint(const CWindowParts& parts, const std::vector<COLORREF>& from);

// Grid lines of a picture: the rows (or columns) that are dark across most
// of the picture, as the centres of runs of such rows.
std::vector<float> FindLines(const std::vector<COLORREF>& pixels, int width, int height, bool rows);

// The view's map of the course, from the grid drawn while the ring is still
// mostly empty: the ring's top-left corner and the pixels per unit.
struct CViewMap
{
    POINT origin = {};
    float scale = 0.0f;

    POINT ToScreen(const CPoint2& p) const;
};

// Maps the view from its 10-foot grid; false when fewer than two lines
// show either way.
bool MapView(const CWindowParts& parts, CViewMap& map);

// A program started on an empty course: its file, window, parts and view.
struct CDrivenCourse
{
    std::wstring path;
    HWND frame = nullptr;
    CWindowParts parts;
    CViewMap map;
};
// Starts the program on an empty course of the name in a new temp folder
// and maps its view; false when any of that failed.
bool StartMappedEmptyCourse(CProgramProcess& program, const wchar_t* folder, const wchar_t* name, CDrivenCourse& course);

}  // namespace programtest
