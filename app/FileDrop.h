#pragma once

#include <windows.h>

class CCourseWindow;

// Course files dragged from the shell onto a course window.

// The window accepts dropped files from now on (WM_DROPFILES).
void AcceptDroppedFiles(HWND window);

// Opens every dropped file in turn from the window that received the drop,
// as long as another course window may open; the rest are skipped. A single
// file is opened as OpenCourseFile opens it; a drop of several shows one
// message at most, naming the files that could not be opened. A block whose
// header does not describe a file list inside it, and any drop while a
// message or dialog is up, opens nothing. Ends the drop (the handle is
// freed).
void OnFilesDropped(HDROP drop, CCourseWindow* window);
