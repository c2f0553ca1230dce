#pragma once

class CCourseWindow;

// Open (2066): the system's open dialog for course files, owned by the
// window (or by none); the chosen file is opened from that window.
void ShowOpenFileDialog(CCourseWindow* window);
