#pragma once

#include <windows.h>

class CCourseWindow;

// Course files dragged from the shell onto a course window.

// The window accepts dropped files from now on (WM_DROPFILES).
void AcceptDroppedFiles(HWND window);

// Opens every dropped file in turn from the window that received the drop,
// as long as another course window may open; the rest are skipped. Ends the
// drop (the handle is freed).
void OnFilesDropped(HDROP drop, CCourseWindow* window);
