#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CCourse;
class CCourseWindow;
struct CCourseRead;

// Course files: a course file holds exactly the course's text block (the
// text the clipboard carries too), lines ending in " \r\n".

// Whether the path names a file that may hold a course: a file on a disk (a
// device or pipe could keep its reader waiting) of a size a course text can
// have.
bool IsCourseFile(const std::wstring& path);

// Tells the user the one message of a read of a course block, if it has one
// (why it failed, or what the course read left out). True when the course
// was read.
bool TellCourseRead(const CCourseRead& read);

// Opens a course file in a course window. A file that a course window shows
// already is brought forward when that window asked for it, else its course
// moves into a new window and the old window goes. Otherwise the file is read
// into a new course shown in a new window, whose undo history starts from the
// course as read. Without a requesting window the front-most course window
// asks. True when the file is shown; a file that cannot be read leaves the
// recent-file list and the user is told why, once the windows are as the open
// leaves them.
bool OpenCourseFile(const std::wstring& path, CCourseWindow* requestingWindow);

// What an open has to tell the user: the reader's message about the course
// (why it was not read, or what the read left out), or text 2670 with the
// path for a file that could not be opened at all. No message when empty;
// the kind is a CMessageBox kind.
struct CCourseFileOpen
{
    bool shown = false;
    std::wstring message;
    int messageKind = 0;
};

// Text 2670 for the files that could not be opened: the first few names in
// quotes, then, when there are more, how many.
std::wstring GetUnopenedFilesMessage(const std::vector<std::wstring>& names);
constexpr size_t kMaxNamedUnopenedFiles = 5;

// OpenCourseFile without telling the user anything: the result holds what
// it would have said.
CCourseFileOpen OpenCourseFileQuietly(const std::wstring& path, CCourseWindow* requestingWindow);

// Writes the course to its own path, in the older format when the course
// asks for it, after clearing the selection. On failure the user sees text
// 2689 with the path, the file there stays as it was and the result is false.
bool WriteCourseFile(CCourse& course);

// The course's text block: the selected objects or the whole course, version
// 3 when asked. False, with the text empty, when the block could not be made.
bool WriteCourseText(CCourse& course, bool selectedOnly, bool version3, std::string& text);

// Stores the course's text block as the setting "Template", from which new
// courses can be made. The course itself keeps its title, path and modified
// state. False when nothing was stored.
bool SaveCourseAsTemplate(CCourse& course);

// Puts the bytes into the file at path without ever leaving a part-written
// file there: they go into a new file in the same folder first, which then
// takes the place of the old one. On failure the old file is untouched and
// nothing else is left behind; the caller tells the user.
bool ReplaceFileContent(const std::wstring& path, const std::string& bytes);

// ReplaceFileContent for a writer that makes the file itself from its name
// (an image encoder): it gets the temporary file's path, where an empty file
// is waiting, and answers whether it wrote. A file left empty counts as not
// written.
bool ReplaceFileByWriter(const std::wstring& path, const std::function<bool(const std::wstring&)>& write);

// A new, empty file beside the path, opened for writing without sharing:
// "<path>~<n>.tmp" for the first n from 1 that names no file yet. Invalid,
// with the name empty, when none could be made.
HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring& temporaryPath);

// A course window held across a message box or a dialog: whatever runs
// meanwhile may close it (a close that came due fires before every message
// box), so it is looked up again afterwards.
class CHeldCourseWindow
{
public:
    explicit CHeldCourseWindow(CCourseWindow* window);
    // The window while it is still open; null once it has gone.
    CCourseWindow* Get() const;

private:
    CCourseWindow* m_window;
    // A window made later may live at a gone window's address; the handle
    // tells them apart.
    HWND m_hwnd;
};
