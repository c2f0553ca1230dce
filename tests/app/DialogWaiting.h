#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Waits for the visible dialog of this process with the caption, for a test
// thread that drives it. Any other dialog that comes up meanwhile (a failure
// report's message box while the watcher is paused) is answered with OK and
// its text kept in `others`. Null after the timeout.
HWND WaitForDialogTitled(const std::wstring& caption, std::vector<std::wstring>* others = nullptr,
                         DWORD timeoutMs = 10000);
