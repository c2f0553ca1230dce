#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CProgramProcess;

// A DDE client window of the tests: it records the answers to initiates, the
// acknowledgements of executes and the terminations it receives.
namespace ddeclient {

struct CAnswer
{
    HWND server = nullptr;
    std::wstring application;
    std::wstring topic;
};

struct CExecuteAck
{
    HWND server = nullptr;
    UINT status = 0;
    UINT_PTR command = 0;
};

extern std::vector<CAnswer> g_answers;
extern std::vector<CExecuteAck> g_acks;
extern std::vector<HWND> g_terminations;

// A Unicode client window, and one of 8-bit text.
HWND MakeClientWindow();
HWND MakeAnsiClientWindow();
void ClearRecords();

// Pumps until an execute acknowledgement arrives or the time is up. With a
// program, its message boxes are answered meanwhile and their texts kept.
bool WaitForAck(DWORD timeoutMs, const CProgramProcess* program = nullptr, std::vector<std::wstring>* boxes = nullptr);

// Sends WM_DDE_INITIATE to the window (HWND_BROADCAST: to every top-level
// window) for the names; a null name is atom 0.
void SendInitiate(HWND target, HWND client, const wchar_t* application, const wchar_t* topic);

// Moveable memory holding 8-bit text, with or without its terminator.
HGLOBAL MakeNarrowMemory(const std::string& text, bool terminated);
// Moveable, zeroed memory of the size holding as much of the text as fits.
HGLOBAL MakeWideMemory(const std::wstring& text, size_t bytes);

}  // namespace ddeclient
