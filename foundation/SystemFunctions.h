#pragma once

#include <windows.h>

// System functions bound on their first call instead of at load time. The
// loader then maps at start only the libraries the first window needs; the
// shell, the common dialogs and OLE come when a drop, a file dialog, a web
// link or a picture stream first asks for them.
//
//     static const auto getOpenFileName =
//         GetSystemFunction<decltype(GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
//
// The library stays loaded for the rest of the run. Null when the library or
// the function is missing; nothing is reported (the crash log uses it too),
// the caller answers as for a failed call.
FARPROC FindSystemFunction(const wchar_t* library, const char* name);

template <typename Function>
Function* GetSystemFunction(const wchar_t* library, const char* name)
{
    // Through the one function type that converts to any other.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(FindSystemFunction(library, name)));
}
