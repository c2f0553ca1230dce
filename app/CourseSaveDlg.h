#pragma once

#include <string>

#include "ui/SaveDialog.h"

class CCourse;
class CNativeWindow;

// What saving needs of the course window whose course it saves: the course,
// the owner of the dialog, the check for a path another window shows, and the
// steps of the program-wide close sequence that a save continues or stops.
// The course window implements it.
class CCourseFileWindow
{
public:
    CCourseFileWindow();
    virtual ~CCourseFileWindow();
    CCourseFileWindow(const CCourseFileWindow&) = delete;
    CCourseFileWindow& operator=(const CCourseFileWindow&) = delete;

    // Whether the window still exists: while a message of a save is up, the
    // window may close.
    static bool Exists(const CCourseFileWindow* window);

    virtual CCourse* GetCourse() const = 0;
    virtual CNativeWindow* GetDialogOwner() = 0;
    // False, after telling the user (text 2702), when another course
    // window's course has this path.
    virtual bool IsPathFreeForSave(const std::wstring& path) = 0;
    // Whether a close of this window or of all windows is under way.
    virtual bool IsClosing() const = 0;
    // Ends a close or close-all (nothing is closing any more).
    virtual void StopClosing() = 0;
    // Asks about the modified course again (Yes, No, Cancel).
    virtual void RequestClose() = 0;
    // Deletes the course with true (else lets go of it) and destroys the
    // window; a close-all goes on with the next window.
    virtual void DestroyWindowAndCourse(bool deleteCourse) = 0;
};

// How a save ended, for OnSaveFinished.
enum ESaveResult
{
    kSavedCurrentFormat = 0,
    // Saved in the older format, a picture or summary written, or the
    // dialog failed.
    kSavedOtherOutput = 1,
    kSavedUntitledOlderFormat = 2,
    kSaveCancelled = 3,
    kSaveFailed = 4,
};

// The course window's continuation after a save: the recent-file list, the
// modified state and the close sequence follow the result.
void OnSaveFinished(CCourseFileWindow& window, int result);

class CCourseSaveDlg;

// Runs the course image dialog for a picture file chosen in a save dialog,
// with the settings name given; the image dialog ends the save through the
// save dialog's OnError (written), OnCancelled or Finish (failed). Until one
// is set, the save dialog offers no picture formats; start-up sets it.
using CImageExportRunner = void (*)(CCourseSaveDlg& dialog, const std::wstring& settingsName);
void SetImageExportRunner(CImageExportRunner runner);

// The save dialog of a course window: a course file in the current or the
// older format, a picture or an EPS file through the course image dialog,
// or the text summary.
class CCourseSaveDlg : public CSaveDlg
{
public:
    // Proposes the course's path, or its title when it has none.
    CCourseSaveDlg(CCourseFileWindow& courseWindow, float viewWidth, float viewHeight);

    void OnFileChosen(const std::wstring& path, int format) override;
    // Ends the save as cancelled.
    void OnCancelled() override;
    // Ends the save as "something else was written" (also the image
    // dialog's way to say the picture is written).
    void OnError() override;
    // OnSaveFinished for the window while it still exists; the image dialog
    // ends a failed export through it.
    void Finish(int result);

    // Writes the course as a course file at the chosen path. With adoptPath
    // the course takes the chosen path as its own once the file is written.
    void SaveCourseAs(bool version3, bool adoptPath);
    // Writes the text summary as UTF-16LE with a byte-order mark.
    void SaveSummary();

    CCourseFileWindow& window;
    float viewWidth;
    float viewHeight;
    CCourse* course;
    std::wstring chosenPath;
    int currentFormatIndex = -1;
    int epsIndex = -1;
    int textIndex = -1;
    int olderFormatIndex = -1;

private:
    void RunImageExport(const std::wstring& settingsName);
};

// Builds the course window's save dialog for its view size and runs it.
void ShowSaveDialog(CCourseFileWindow& window, float viewWidth, float viewHeight);
