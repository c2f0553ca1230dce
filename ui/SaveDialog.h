#pragma once

#include <string>
#include <vector>

class CNativeWindow;

// Asks for a file name and a format through the system's save dialog and
// hands the answer to the subclass, which lists the formats (an extension and
// a description each) and decides what a chosen file means. A save dialog is
// made with new and deletes itself at the end of Run:
//
//     CMySaveDlg* dialog = new CMySaveDlg(owner, L"C:\\Courses\\Ring.agl");
//     dialog->AddFormat(L"agl", L"Course (*.agl)");
//     dialog->Run();   // one of the three outcomes, then deletion
class CSaveDlg
{
public:
    // Room for the chosen path, terminator included.
    static constexpr int kFileBufferSize = 1024;

    CSaveDlg(CNativeWindow* owner, const std::wstring& suggestedPath);
    virtual ~CSaveDlg();
    CSaveDlg(const CSaveDlg&) = delete;
    CSaveDlg& operator=(const CSaveDlg&) = delete;

    // The user confirmed a file; the path carries the format's extension.
    virtual void OnFileChosen(const std::wstring& chosenPath, int format);
    // The user closed the dialog without a file.
    virtual void OnCancelled();
    // The common dialog failed.
    virtual void OnError();

    // Appends a format; the first one added is the default. Returns its index.
    int AddFormat(const std::wstring& extension, const std::wstring& description);

    // Shows the dialog with the other frame windows disabled (owned by the
    // owner window, or without one by the modal owner), calls exactly one
    // outcome and deletes the object. A chosen file that exists is never
    // handed on unasked: where the system dialog asked about another file
    // (the format's extension was added here), the user is asked, and No
    // shows the dialog again with the name and type as they were chosen.
    void Run();

    // ---- The parts of Run that need no window ------------------------------------
    // "description", NUL, "*." extension, NUL for every format, then a second
    // NUL after the last pair (the string's own terminator).
    std::wstring BuildFilter() const;
    // The suggested path without its extension, at most kFileBufferSize - 1
    // characters.
    std::wstring GetInitialFileName() const;
    // The suggested path's folder, "." when it has none.
    std::wstring GetInitialFolder() const;
    // The format of a path the dialog returned with a 1-based filter index:
    // the chosen filter's when the extension is that format's (in any case),
    // else the first format with that extension; a path with an extension
    // of no format gets "." and the chosen filter's extension appended and
    // that format (the first format's when the index is out of range).
    int ResolveFormat(std::wstring& chosenPath, int filterIndex) const;

    CNativeWindow* ownerWindow;
    std::wstring path;
    std::vector<std::wstring> extensions;
    int formatCount = 0;
    std::vector<std::wstring> descriptions;
};
