#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CourseSaveDlg.h"

class CCourse;
class CCourseObject;

// Helpers of the file, save-dialog, clipboard and drop tests.
namespace filetest {

// A settings key of the test's own process, empty; imperial, rule set 1, and
// the hints of saving and the clipboard switched off (they are still counted).
void OpenFileTestSettings();
void DeleteFileTestSettings();

// A 9-foot A-frame at (x, y) turned by the angle.
CCourseObject* PlaceAFrame(CCourse& course, float x, float y, float angle);
// A course with three A-frames, the middle one selected.
std::unique_ptr<CCourse> MakeCourseWithAFrames(const std::wstring& title, const std::wstring& path);
// The course's text block as WriteTextBlock writes it.
std::string TextBlockOf(CCourse& course, bool selectedOnly = false, bool version3 = false);

void WriteBytes(const std::wstring& path, const std::string& bytes);
// Names of the files in a folder (no "." and "..").
std::vector<std::wstring> ListFolder(const std::wstring& folder);
// Makes a file read-only (or writable again).
void SetReadOnly(const std::wstring& path, bool readOnly);

// The texts of the message boxes the watcher answered since the last call.
std::vector<std::wstring> TakeMessageTexts();

// A course window as the save paths see it: owns its course and records
// what the save asked of it.
class CFakeFileWindow : public CCourseFileWindow
{
public:
    explicit CFakeFileWindow(std::unique_ptr<CCourse> course);
    ~CFakeFileWindow() override;

    CCourse* GetCourse() const override { return m_course.get(); }
    CNativeWindow* GetDialogOwner() override { return nullptr; }
    bool IsPathFreeForSave(const std::wstring& path) override;
    bool IsClosing() const override { return closing; }
    void StopClosing() override;
    void RequestClose() override { ++requestCloseCount; }
    void DestroyWindowAndCourse(bool deleteCourse) override;

    bool pathFree = true;
    bool closing = false;
    std::vector<std::wstring> askedPaths;
    int stopCount = 0;
    int requestCloseCount = 0;
    int destroyCount = 0;

private:
    std::unique_ptr<CCourse> m_course;
};

// Polls the finder until it gives a window (the controls of a dialog exist
// only once the dialog has set itself up); null after the timeout.
HWND WaitForControl(HWND dialog, HWND (*find)(HWND dialog), DWORD timeoutMs = 5000);
// The OK button of a system dialog.
HWND FindOkButton(HWND dialog);

// ---- The system's file dialogs ----------------------------------------------------
// Waits for the file dialog of this process with the caption ("Save As",
// "Open"); null after the timeout.
HWND WaitForFileDialog(const std::wstring& caption, DWORD timeoutMs = 10000);
// The first visible edit among the dialog's descendants: the file-name field.
HWND FindFileNameEdit(HWND dialog);
// Types the name into the dialog's file-name field and presses its OK button.
bool ChooseFileName(HWND dialog, const std::wstring& name);
// Waits for the dialog to go; false when it stays.
bool WaitUntilGone(HWND dialog, DWORD timeoutMs = 10000);

}  // namespace filetest
