#pragma once

#include <string>

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
// into a new course shown in a new window. Without a requesting window the
// front-most course window asks. True when the file is shown; a file that
// cannot be read leaves the recent-file list and the user is told why.
bool OpenCourseFile(const std::wstring& path, CCourseWindow* requestingWindow);

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
