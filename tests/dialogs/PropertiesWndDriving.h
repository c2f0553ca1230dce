#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CEditSession;

// Driving a properties window the way a user would. The session runs
// modally on the test's thread while a driver thread works its window;
// message boxes (a refused length) are answered by the test program's
// watcher, whose texts WaitForMessageTexts collects.

// Runs the session; `drive` gets the window once its controls exist and
// ends it with OK or Cancel. True when the window came up, was driven and
// went; a window still open ten seconds later is cancelled.
bool RunSessionDriven(CEditSession& session, const std::function<void(HWND window)>& drive);
// The same for any modal run.
bool RunDriven(const std::function<void()>& run, const std::function<void(HWND window)>& drive);

// The texts of the message boxes answered since the last call, once there
// are `count` of them (fewer after ten seconds).
std::vector<std::wstring> WaitForMessageTexts(size_t count = 1);

// Controls of a window: the child with this caption (access key left out),
// the edits and the radio buttons in creation order.
HWND FindCaption(HWND window, const std::wstring& caption);
std::vector<HWND> FindEdits(HWND window);
std::vector<HWND> FindRadios(HWND window);
bool IsChecked(HWND button);
std::wstring GetText(HWND window);
// The caption without its access-key marker.
std::wstring GetCaption(HWND window);

// Saves the window's client area as /tmp/shots-dialogs/<name>.png.
bool SaveShot(HWND window, const std::wstring& name);
