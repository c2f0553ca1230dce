#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCommandLine;

// One instance at a time: the first start keeps the named mutex "Fendrel 4";
// a second start brings the running instance's course window to the front,
// hands each of its files to the running instance's DDE server and ends.
// Also names the frame window class after the program. True for the first
// instance.
bool ActivateRunningInstance(const CCommandLine& commandLine);

// The window of the running instance that a second start brings to the
// front: its course window, or, while that is disabled under a modal dialog
// or message box, the enabled window the user must answer first (a task-
// modal box has no owner, so nothing else would keep it above the course
// window). The course window itself when no such window is shown.
HWND GetWindowToBringForward(HWND running);

// Posts each execute command to the server window of the class, with no
// client window (the server neither answers nor expects an answer). A server
// that is not there yet (a running instance still starting) is looked for
// again until waitMilliseconds have passed. Returns whether every command
// was posted.
bool HandOverCommands(const std::vector<std::wstring>& commands, const std::wstring& serverClass,
                      DWORD waitMilliseconds);

// The text of a DDE execute command, read only within the memory object's
// size: the first zero ends it, and a missing zero ends it at the end of the
// memory. A text that begins with "[" followed by a non-zero byte came from
// a client that wrote 8-bit text and is widened. Empty for a handle that is
// not valid memory.
std::wstring ReadDdeCommandText(HGLOBAL command);

// A global memory object holding the text and its zero terminator, for
// WM_DDE_EXECUTE; null on failure.
HGLOBAL MakeDdeCommandMemory(const std::wstring& text);

// The DDE server of the running instance: a hidden top-level window (only
// those get the broadcast WM_DDE_INITIATE) that answers conversations for
// its application names on the topic "System" and runs every execute command
// as a run mode. Built once by start-up, for the life of the process.
class CDdeServer
{
public:
    // Runs a parsed execute command; true for a positive acknowledgement.
    using Runner = bool (*)(const CCommandLine& commandLine);

    // productName names the first application and the window class (its
    // name followed by " DDE"); the runner defaults to RunCommandLineMode.
    explicit CDdeServer(const std::wstring& productName, Runner runner = nullptr);
    ~CDdeServer();
    CDdeServer(const CDdeServer&) = delete;
    CDdeServer& operator=(const CDdeServer&) = delete;

    HWND GetWindow() const { return m_window; }
    const std::wstring& GetClassName() const { return m_className; }
    ATOM GetTopicAtom() const { return m_topic; }
    const std::vector<ATOM>& GetApplicationAtoms() const { return m_applications; }

    void OnInitiate(HWND client, ATOM application, ATOM topic);
    void OnExecute(HWND client, LPARAM command);

    static LRESULT CALLBACK DdeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool IsApplicationAtom(ATOM atom) const;

    std::wstring m_className;
    Runner m_runner;
    HWND m_window = nullptr;
    ATOM m_topic = 0;
    std::vector<ATOM> m_applications;
};

// The running server's window (null while there is none).
HWND GetDdeServerWindow();

// The DDE application names in the order the server registers them: the
// product name, the program file's base name, "agility", "qx2000", "Fendrel".
std::vector<std::wstring> GetDdeApplicationNames(const std::wstring& productName);
