#pragma once

#include <windows.h>

#include <string>

class CCourse;

// The course on the Windows clipboard. A course travels as its text block in
// CF_TEXT (the text of a course file) beside a picture of the whole map as an
// enhanced metafile; the text summary goes as CF_UNICODETEXT. Only CF_TEXT is
// read back. A clipboard that another program holds open is an ordinary
// message to the user (text 2671); the clipboard owner is the course window.

// Copy (2112) and the copy of Cut (2110): the selected objects, or the whole
// course when nothing is selected, as text; the whole map as a picture. Copy
// offers its hint once the course is on the clipboard. True when the text is
// on the clipboard.
bool CopyCourse(CCourse& course, HWND owner, int commandId);

// Cut (2110): copies, and only when the text reached the clipboard deletes
// the selected objects as one undo step and tells the listeners.
bool CutCourseSelection(CCourse& course, HWND owner);

// Command 2116: the text summary of the whole course (the selection is
// cleared first), UTF-16 without a byte-order mark.
bool CopyCourseSummary(CCourse& course, HWND owner);

// Command 2118: the whole course as text in the older format, no picture.
bool CopyCourseVersion3(CCourse& course, HWND owner);

// The clipboard's CF_TEXT up to its terminator, never beyond the clipboard
// block; empty when there is none or it cannot be read (the user is told).
std::string GetClipboardCourseText();

// Paste (2120): reads the clipboard's course text into the course, adding
// its objects; an unmodified, untitled course that was not made from the
// template is replaced by the pasted one instead. A successful paste is one
// undo step, and pasted objects lying exactly on old ones give a hint. The
// listeners are told in any case. True when something was read.
bool PasteFromClipboard(CCourse& course, bool madeFromTemplate);

// Paste's state: the clipboard offers CF_TEXT.
bool CanPaste();
