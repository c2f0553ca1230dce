#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The built program (app/Fendrel4.exe beside the tests folder), started as a
// child process under the same Wine prefix. The destructor ends a child that
// is still running: its course windows are asked to close, and after a grace
// period it is terminated.
class CProgramProcess
{
public:
    CProgramProcess() = default;
    ~CProgramProcess();
    CProgramProcess(const CProgramProcess&) = delete;
    CProgramProcess& operator=(const CProgramProcess&) = delete;

    static std::wstring GetProgramPath();

    // Starts the program with the arguments (appended to its quoted path),
    // in the folder given (the test's own when empty), after storing
    // graphicsClass as its "GraphicsClass".
    bool Start(const std::wstring& arguments, const std::wstring& folder = std::wstring());

    // What the program's views are drawn through: GDI (0) unless the test
    // asks for another class, so that pictures of views compare with GDI's
    // whatever the machine offers; kStoredClass leaves the stored value (or
    // its absence) alone.
    static constexpr int kStoredClass = -1;
    int graphicsClass = 0;
    bool IsRunning() const;
    // Waits for the end; the exit code, or -1 after the timeout.
    int WaitForExit(DWORD timeoutMs);
    DWORD GetId() const { return m_id; }
    // Whether the child has loaded the library of that file name.
    bool HasModule(const wchar_t* name) const;
    // The file names of the libraries the child has loaded, joined by blanks
    // (for a failure message).
    std::wstring ListModules() const;

    // Visible top-level windows of the child with the class name.
    std::vector<HWND> FindWindows(const std::wstring& className) const;
    // Waits until the child shows at least `count` windows of the class.
    std::vector<HWND> WaitForWindows(const std::wstring& className, size_t count, DWORD timeoutMs) const;
    // Waits until a course window of the child carries the caption.
    HWND WaitForCaption(const std::wstring& caption, DWORD timeoutMs) const;
    // The child's message box, or null after the timeout.
    HWND WaitForMessageBox(DWORD timeoutMs) const;
    // Text of a message box.
    static std::wstring GetMessageBoxText(HWND box);
    // Presses OK (or Cancel) and waits until the box has gone.
    static void AnswerMessageBox(HWND box);
    // Closes every course window of the child (WM_CLOSE).
    void CloseCourseWindows() const;

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// Pumps this thread's messages for the given time.
void PumpMessagesFor(DWORD milliseconds);

// A course file holding the empty course block, written in the folder.
std::wstring WriteEmptyCourseFile(const std::wstring& folder, const std::wstring& name);
