#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/CameraToolbar.h"
#include "app/CommandTable.h"
#include "app/CourseSaveDlg.h"
#include "app/CourseScene.h"
#include "app/CourseView.h"
#include "app/ShapeToolbar.h"
#include "app/ToolColumn.h"
#include "app/ViewFrame.h"
#include "course/CourseListener.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/FrameWindow.h"
#include "ui/GridLayout.h"
#include "ui/Menu.h"
#include "ui/MessageBox.h"
#include "ui/SplitPane.h"

class CCourse;
class CRecentFiles;

// The window of one open course: a frame window that owns the course, shows
// it through one course view (the map or the 3D scene) with the tool column
// on its left, listens to the course's changes and runs the window's part of
// the program-wide close sequence. Its commands come from the command table;
// their actions are in CourseWindowCommands.cpp. The last course window to
// go stores the recent-file list and ends the program.
class CCourseWindow : public CFrameWindow,
                      public CCourseListener,
                      public CCommandTarget,
                      public CCourseFileWindow
{
public:
    // Takes ownership of the course, then builds and shows the window. The
    // object deletes itself when its window is destroyed.
    explicit CCourseWindow(CCourse* course);
    ~CCourseWindow() override;

    // ---- Course file window ----------------------------------------------------
    CCourse* GetCourse() const override { return m_course.get(); }
    CNativeWindow* GetDialogOwner() override { return this; }
    // False, after an error box (text 2702), when another course window's
    // course has the path (in any case).
    bool IsPathFreeForSave(const std::wstring& path) override;
    bool IsClosing() const override;
    void StopClosing() override;
    // Closes at once when the course is unmodified; otherwise asks whether
    // to save it first (Yes, No, Cancel).
    void RequestClose() override;
    // Deletes the course (with false only lets go of it) and destroys the
    // window; a close of all windows goes on with the next one.
    void DestroyWindowAndCourse(bool deleteCourse) override;

    // ---- Frame window ------------------------------------------------------------
    // The deferred close after WM_CLOSE: closes this window.
    void Close() override;
    void OnDestroyed() override;
    // The view takes the keyboard focus and the crash log notes the course.
    void OnActivated() override;
    void GetIcons(HICON& smallIcon, HICON& bigIcon) override;
    // Accepts dropped files and answers a query for the end of the session.
    void OnCreated() override;
    // A course that was unmodified before its first layout stays so.
    void OnPlaced() override;
    void OnDropFiles(HDROP drop) override;

    // ---- Course listener -----------------------------------------------------------
    void OnMapLayerChanged(ESceneLayer layer) override;
    void On3DLayerChanged(ESceneLayer layer) override;
    void OnCourseSettingsChanged() override;
    void OnCourseChanged() override;

    // ---- Command target (actions in CourseWindowCommands.cpp) ------------------------
    CFrameWindow& GetCommandFrame() override { return *this; }
    bool HasCommandAction(int id) const override;
    void ExecuteCommand(int id) override;
    void CloseAllWindows() override;
    void RefreshAfterCommand() override;
    bool HasObjects() const override;
    bool HasSelection() const override;
    bool CanPaste() const override;
    bool GetUndoLabel(std::wstring& label) const override;
    bool GetRedoLabel(std::wstring& label) const override;
    bool GetPropertiesName(std::wstring& name) const override;
    bool Shows3D() const override;
    bool Uses3DCamera() const override;
    bool IsOptionOn(int id) const override;
    bool OffersRuleSetCommand(int id) const override;
    bool ShowsDifferences() const override;
    // The course title, with " *" while the course is modified.
    std::wstring GetListTitle() override;

    // ---- Caption and tools -----------------------------------------------------------
    // The course title, " (3)" for a course read from an older file and not
    // saved since, " *" while modified, then " - " and the program's name.
    std::wstring BuildTitle() const;
    // Sets the caption when it differs from the one shown.
    void UpdateTitle();
    // The properties and colours buttons follow the Properties command.
    void UpdateToolButtons();
    // The courses of the other course windows, in the Window menu's order.
    std::vector<CCourse*> GetOtherCourses() const;
    // Runs a command of the window's menu bar as a click on it would.
    void RunMenuCommand(int id);
    // The view's size: what the save dialog and pictures are made for.
    float GetViewWidth() const;
    float GetViewHeight() const;

    // ---- Close sequence ----------------------------------------------------------------
    // 0 nothing closes, 1 one window closes, 2 every window closes in turn.
    static int GetCloseMode();
    static void SetCloseMode(int mode);
    // Starts or continues closing every window: the front-most frame window
    // is asked to close.
    static void CloseNextWindow();
    // The end of the session was asked for: every window closes as Exit
    // closes them. True when none is left (the session may end).
    static bool QueryEndSession();

    // The open course windows, most recently activated first.
    static std::vector<CCourseWindow*> GetCourseWindows();
    // The course window other than `except` whose course has this file (the
    // path in any case), or null.
    static CCourseWindow* FindByCoursePath(const std::wstring& path, const CCourseWindow* except = nullptr);
    // The course text block stored as the template; empty when none.
    static const std::string& GetTemplateText();
    // Reads the setting "Template" into the template text.
    static void ReadTemplateText();

    // ---- Parts, in the order they are built -------------------------------------------------
private:
    // Goes after every part built on it (members go in reverse order).
    std::unique_ptr<CCourse> m_course;
    // The course was unmodified when the window was made: the first layout's
    // camera motion does not count as a change.
    bool m_unmodifiedAtStart = false;

public:
    CCourseMapScene mapScene;
    CCourse3DScene scene3D;
    // The scene the view shows: the 3D scene while the course shows 3D.
    CCourseScene* currentScene;
    CMenu contextMenu;
    CComboBox organisationChooser;
    CShapeToolbar shapeToolbar;
    CPushButton propertiesButton;
    CPushButton colorsButton;
    CToolColumn toolColumn;
    CCameraToolbar cameraToolbar;
    CCourseView view;
    CViewFrame viewFrame;
    CGridLayout viewGrid;
    CSplitPane splitPane;

private:
    void OnToolChosen(CShapeToolbar* toolbar);
    void OnOrganisationChosen(CComboBox* chooser);
    void OnChooserClosed(CComboBox* chooser);
    void OnPropertiesClicked(CPushButton* button);
    void OnColorsClicked(CPushButton* button);
    void OnCloseAnswer(CMessageBox::Button answer);
    // The tool column again within its bounds, after its tools changed.
    void LayOutToolColumn();

    // Command actions (CourseWindowCommands.cpp).
    // One command the window carries out itself.
    struct CWindowCommand
    {
        int id;
        void (*run)(CCourseWindow& window, int id);
    };
    static const CWindowCommand* FindWindowCommand(int id);

    void ResetTool();
    void Broadcast();
    // Resets the tool, changes the course and tells the listeners; the second
    // form records the change as the undo step named by the command.
    void ChangeCourse(void (*change)(CCourse& course));
    void ChangeCourseAsStep(int id, void (*change)(CCourse& course));
    void NewCourse(bool fromTemplate);
    void Save();
    void SaveAs();
    void SaveAll();
    void SaveAsTemplate();
    void Paste();
    // The properties dialog of the selection, or else of the placing tool,
    // run modally; the course applies what it confirms. A change to the
    // selection's objects that is a new kind of undo step triggers the
    // editing hint.
    void RunProperties();
    void RunToolProperties();
    void ToggleOption(int id);
    void SetViewMode(int id);
    void OpenRuleSetDocument(int id);
};

// The recent-file list of the program, loaded by the first course window.
CRecentFiles& GetRecentFiles();
