#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CourseSaveDlg.h"
#include "tests/support/TestSettings.h"

class CCourse;
class CCourseObject;

// Helpers of the file, save-dialog, clipboard and drop tests.
namespace filetest {

// A settings key of the test's own process, empty; imperial, rule set 1, and
// the hints of saving and the clipboard switched off (they are still counted).
void OpenFileTestSettings();

// A 9-foot A-frame with its apex 5 feet 6 inches high at (x, y), turned by
// the angle.
CCourseObject* PlaceAFrame(CCourse& course, float x, float y, float angle);
// A course with three A-frames, the middle one selected.
std::unique_ptr<CCourse> MakeCourseWithAFrames(const std::wstring& title, const std::wstring& path);
// A course holding an object of every registered kind, each made as the
// placing tool makes it and, where its last end is a handle, with that end
// dragged; false (with a test failure) when a kind could not be made.
bool PlaceEveryKind(CCourse& course);
// The course's text block as WriteTextBlock writes it.
std::string TextBlockOf(CCourse& course, bool selectedOnly = false, bool version3 = false);

void WriteBytes(const std::wstring& path, const std::string& bytes);
// Names of the files in a folder (no "." and "..").
std::vector<std::wstring> ListFolder(const std::wstring& folder);
// Makes a file read-only (or writable again).
void SetReadOnly(const std::wstring& path, bool readOnly);

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

}  // namespace filetest
