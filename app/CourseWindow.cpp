#include "app/CourseWindow.h"

#include <commctrl.h>

#include <sstream>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "app/FileDrop.h"
#include "course/Course.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/GuardedCall.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "ui/ModalState.h"
#include "ui/UIFontMetrics.h"

namespace {

constexpr int kMaxRecentFiles = 16;
constexpr int kNoTool = CShapeToolbar::kNoTool;
constexpr int kPropertiesCommand = 2128;
constexpr int kColorsCommand = 2132;
constexpr UINT_PTR kEndSessionSubclassId = 1;

// Cleared by the first course window, which loads the recent-file list.
bool g_firstWindow = true;
// 0 none, 1 one window closes, 2 all windows close one after another.
int g_closeMode = 0;
// The setting "Template" as read by the last window built or as written by
// Save as Template.
std::string g_templateText;

CCourse* TakeCourse(CCourse* course)
{
    if (course)
        return course;
    ReportFailure();
    course = new CCourse(std::wstring(), std::wstring());
    KeepWithin3DBudget(*course, false);
    return course;
}

// The end of the session reaches every top-level window; the first course
// window to hear of it closes all of them as Exit does, asking about each
// modified course, and refuses the end when the user cancels.
LRESULT CALLBACK EndSessionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR data)
{
    if (message == WM_QUERYENDSESSION) {
        CWatchedSection watched;
        bool mayEnd = true;
        CallGuarded([&] { mayEnd = CCourseWindow::QueryEndSession(); });
        return mayEnd ? TRUE : FALSE;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, &EndSessionProc, id);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

CRecentFiles& GetRecentFiles()
{
    static CRecentFiles recentFiles;
    return recentFiles;
}

// ---- Construction ------------------------------------------------------------------

CCourseWindow::CCourseWindow(CCourse* course)
    : CFrameWindow(std::wstring(), true),
      m_course(TakeCourse(course)),
      mapScene(m_course.get()),
      scene3D(m_course.get()),
      currentScene(m_course->Get3D() ? static_cast<CCourseScene*>(&scene3D) : &mapScene),
      contextMenu(2000, 2000, nullptr, CMenu::kContextMenu),
      propertiesButton(GetString(2129)),
      // The command's caption without the access key it has in the menu.
      colorsButton(StripAccessKeyMarkers(GetString(kColorsCommand))),
      toolColumn(&organisationChooser, &shapeToolbar, &propertiesButton, &colorsButton, &cameraToolbar),
      cameraToolbar(m_course.get()),
      view(currentScene, &contextMenu, &shapeToolbar, &cameraToolbar),
      viewFrame(&view),
      viewGrid(1, 1),
      splitPane(&toolColumn, &viewGrid)
{
    TRACE_VALUE(std::wstring, m_course->GetTitle());
    UpdateTitle();
    if (g_firstWindow) {
        g_firstWindow = false;
        GetRecentFiles().SetMaximum(kMaxRecentFiles);
        GetRecentFiles().Load();
    }
    if (!m_course->GetPath().empty())
        GetRecentFiles().Add(m_course->GetPath());

    // Only off-screen pictures use map mode; the window's scenes look
    // through the course's view camera.
    for (CCourseScene* scene : {static_cast<CCourseScene*>(&mapScene), static_cast<CCourseScene*>(&scene3D)}) {
        scene->ShowSelection(true);
        scene->SetMapMode(false);
    }
    ReadTemplateText();

    for (int id = 0; id < kOrganisationCount; ++id)
        organisationChooser.AddItem(GetSpecList(id).GetName());
    organisationChooser.SelectItem(m_course->GetOrganisationId());
    organisationChooser.SetOnSelChange(
        CMemberDelegate<CComboBox*, CCourseWindow>::Make(this, &CCourseWindow::OnOrganisationChosen));
    organisationChooser.SetOnCloseUp(
        CMemberDelegate<CComboBox*, CCourseWindow>::Make(this, &CCourseWindow::OnChooserClosed));

    shapeToolbar.SetSpecList(m_course->GetSpecList());
    shapeToolbar.onToolChanged = CMemberDelegate<CShapeToolbar*, CCourseWindow>::Make(this, &CCourseWindow::OnToolChosen);

    propertiesButton.SetOnClick(
        CMemberDelegate<CPushButton*, CCourseWindow>::Make(this, &CCourseWindow::OnPropertiesClicked));
    colorsButton.SetOnClick(CMemberDelegate<CPushButton*, CCourseWindow>::Make(this, &CCourseWindow::OnColorsClicked));
    for (CPushButton* button : {&propertiesButton, &colorsButton}) {
        button->SetEnabled(false);
        button->caption.SetAutoMnemonic(false);
    }

    viewGrid.SetCell(0, 0, &viewFrame);
    m_course->AddListener(this);
    BuildCommandTable(*this, menuBar, &toolbar, &contextMenu);

    // The first layout gives the view its size, a camera motion of the
    // course: a course that was unmodified before stays so, from before the
    // window is first shown (OnPlaced) and after any layout its showing made.
    m_unmodifiedAtStart = !m_course->IsModified();
    Create(&splitPane, false);
    if (const HWND bar = GetStatusBarWindow())
        SetWindowTextW(bar, GetString(2000).c_str());
    OnPlaced();
    viewFrame.UpdateScrollExtents();
}

CCourseWindow::~CCourseWindow()
{
    // Destroyed without the close sequence: the course goes with the window,
    // after the parts that point at it.
    if (m_course)
        m_course->RemoveListener(this);
    propertiesButton.SetOnClick(CDelegate<CPushButton*>());
    colorsButton.SetOnClick(CDelegate<CPushButton*>());
    organisationChooser.SetOnSelChange(CDelegate<CComboBox*>());
    organisationChooser.SetOnCloseUp(CDelegate<CComboBox*>());
}

// ---- Caption ------------------------------------------------------------------------

std::wstring CCourseWindow::BuildTitle() const
{
    std::wstring text = m_course ? m_course->GetTitle() : std::wstring();
    if (m_course && m_course->IsReadFromVersion3())
        text += L" (3)";
    if (m_course && m_course->IsModified())
        text += L" *";
    return text + L" - " + GetString(2001);
}

void CCourseWindow::UpdateTitle()
{
    const std::wstring text = BuildTitle();
    if (text != title)
        SetTitle(text);
}

std::wstring CCourseWindow::GetListTitle()
{
    if (!m_course)
        return title;
    return m_course->IsModified() ? m_course->GetTitle() + L" *" : m_course->GetTitle();
}

float CCourseWindow::GetViewWidth() const { return view.bounds.Width(); }

float CCourseWindow::GetViewHeight() const { return view.bounds.Height(); }

const std::string& CCourseWindow::GetTemplateText() { return g_templateText; }

void CCourseWindow::ReadTemplateText() { g_templateText = CSettings::GetString(L"Template", std::string()); }

// ---- Tools ----------------------------------------------------------------------------

void CCourseWindow::OnToolChosen(CShapeToolbar* toolbar)
{
    const int tool = shapeToolbar.GetCurrentTool();
    TRACE_VALUE(int32_t, tool);
    if (!m_course)
        return;
    if (tool == kNoTool) {
        // Back to the select tool: nothing of the course changes, but the
        // Properties command and the two buttons no longer name the tool.
        UpdateCommandStates();
        UpdateToolButtons();
        return;
    }
    m_course->DeselectAll(false);
    m_course->SelectToolType(tool);
    if (m_course->GetToolType() != nullptr && m_course->GetToolType()->IsEditOnCreate())
        RunToolProperties();
    m_course->OnCourseChanged();
}

void CCourseWindow::OnOrganisationChosen(CComboBox* chooser)
{
    if (!m_course)
        return;
    const CSpecList& chosen = GetSpecList(organisationChooser.GetSelection());
    TRACE_VALUE(int32_t, chosen.GetOrgId());
    if (chosen.GetOrgId() == m_course->GetOrganisationId())
        return;
    shapeToolbar.SetSpecList(chosen);
    m_course->SetSpecList(chosen.GetOrgId());
    m_course->CommitUndoStep(chosen.GetName());
    m_course->OnCourseChanged();
    LayOutToolColumn();
}

void CCourseWindow::OnChooserClosed(CComboBox* chooser) { view.SetFocus(); }

void CCourseWindow::OnPropertiesClicked(CPushButton* button) { RunMenuCommand(kPropertiesCommand); }

void CCourseWindow::OnColorsClicked(CPushButton* button) { RunMenuCommand(kColorsCommand); }

void CCourseWindow::RunMenuCommand(int id)
{
    TRACE_VALUE(int32_t, id);
    CCommand* command = dynamic_cast<CCommand*>(menuBar.FindById(id));
    if (!command) {
        ReportFailure();
        return;
    }
    command->UpdateState();
    if (command->enabled)
        command->Execute();
}

void CCourseWindow::LayOutToolColumn()
{
    if (!toolColumn.bounds.IsEmpty())
        toolColumn.SetBounds(toolColumn.bounds);
}

void CCourseWindow::UpdateToolButtons()
{
    if (!m_course)
        return;
    std::wstring name;
    const bool properties = GetPropertiesName(name);
    const bool selectTool = shapeToolbar.GetCurrentTool() == kNoTool;
    propertiesButton.SetEnabled(properties);
    const bool colors = properties ? selectTool : m_course->HasSelection();
    colorsButton.SetEnabled(colors && HasCommandAction(kColorsCommand));
}

// ---- Listener -------------------------------------------------------------------------

void CCourseWindow::OnMapLayerChanged(ESceneLayer layer)
{
    if (currentScene != &mapScene)
        return;
    mapScene.UpdateLayer(layer);
    view.Invalidate();
}

void CCourseWindow::On3DLayerChanged(ESceneLayer layer)
{
    if (currentScene != &scene3D)
        return;
    scene3D.UpdateLayer(layer);
    view.Invalidate();
}

void CCourseWindow::OnCourseSettingsChanged()
{
    if (!m_course)
        return;
    const CViewCamera& camera = m_course->GetViewCamera();
    if (m_course->Get3DCamera() != cameraToolbar.shows3DCamera ||
        camera.GetViewportWidth() != view.wantedSize.width || camera.GetViewportHeight() != view.wantedSize.height) {
        cameraToolbar.Refresh3DCamera();
        if (hwnd)
            Layout();
    }
    CCourseScene* wanted = m_course->Get3D() ? static_cast<CCourseScene*>(&scene3D) : &mapScene;
    if (wanted != currentScene) {
        wanted->UpdateCamera();
        currentScene = wanted;
        view.SetScene(wanted);
    }
    currentScene->Rebuild();
    if (view.hwnd && view.visible)
        view.Invalidate();
}

void CCourseWindow::OnCourseChanged()
{
    if (!m_course)
        return;
    UpdateTitle();
    UpdateCommandStates();
    UpdateToolButtons();
    cameraToolbar.UpdateChecks();
    viewFrame.UpdateScrollExtents();
    if (!m_course->GetToolType())
        shapeToolbar.SelectNone();
    if (m_course->GetOrganisationId() != organisationChooser.GetSelection()) {
        organisationChooser.SelectItem(m_course->GetOrganisationId());
        shapeToolbar.SetSpecList(m_course->GetSpecList());
        LayOutToolColumn();
    }
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    // The front-most window repaints its status bar; its text stays what the
    // menus and the panels' tips put there.
    if (hwnd && !IsIconic(hwnd) && !frames.empty() && frames.front() == this) {
        if (const HWND bar = GetStatusBarWindow())
            InvalidateRect(bar, nullptr, FALSE);
    }
}

// ---- Frame window slots ----------------------------------------------------------------

void CCourseWindow::OnCreated()
{
    AcceptDroppedFiles(hwnd);
    if (!SetWindowSubclass(hwnd, &EndSessionProc, kEndSessionSubclassId, 0))
        ReportFailure(kFailSystemCall);
}

void CCourseWindow::OnPlaced()
{
    if (!m_unmodifiedAtStart || !m_course->IsModified())
        return;
    m_course->MarkUnmodified(true);
    m_course->OnCourseChanged();
}

void CCourseWindow::OnDropFiles(HDROP drop) { OnFilesDropped(drop, this); }

void CCourseWindow::GetIcons(HICON& smallIcon, HICON& bigIcon)
{
    const HICON icon = LoadProgramIcon();
    smallIcon = icon;
    bigIcon = icon;
}

void CCourseWindow::OnActivated()
{
    view.SetFocus();
    if (!m_course)
        return;
    TRACE_VALUE(std::wstring, m_course->GetTitle());
    std::ostringstream block;
    m_course->WriteTextBlock(block, false, false);
    TRACE_VALUE(std::string, block.str());
}

// ---- Close sequence ----------------------------------------------------------------------

int CCourseWindow::GetCloseMode() { return g_closeMode; }

void CCourseWindow::SetCloseMode(int mode) { g_closeMode = mode; }

bool CCourseWindow::IsClosing() const { return g_closeMode != 0; }

void CCourseWindow::StopClosing() { g_closeMode = 0; }

void CCourseWindow::Close()
{
    TRACE_POINT();
    // While a modal dialog or message box runs (the close sequence's own
    // question among them) the window is disabled, so the request came from
    // another program; the dialog may hold this window's course: the window
    // stays.
    if (GetModalCount() > 0)
        return;
    g_closeMode = 1;
    RequestClose();
}

void CCourseWindow::RequestClose()
{
    TRACE_VALUE(int32_t, g_closeMode);
    if (!m_course || !m_course->IsModified()) {
        DestroyWindowAndCourse(true);
        return;
    }
    Activate();
    m_course->DeselectAll(false);
    m_course->OnCourseChanged();
    // A close that comes due as the box is shown may take this window; the
    // answer goes to it only while it is still there, and may destroy it:
    // nothing of it is touched after.
    const CHeldCourseWindow held(this);
    const CMessageBox::Button answer =
        CMessageBox::Ask(GetStringWithArg(2698, m_course->GetTitle()), CMessageBox::kYesNoCancel);
    if (CCourseWindow* window = held.Get())
        window->OnCloseAnswer(answer);
}

void CCourseWindow::OnCloseAnswer(CMessageBox::Button answer)
{
    TRACE_VALUE(int32_t, int32_t(answer));
    switch (answer) {
    case CMessageBox::Yes:
        if (!m_course) {
            DestroyWindowAndCourse(true);
        } else if (m_course->GetPath().empty()) {
            // The save dialog's result goes on with the close.
            ShowSaveDialog(*this, GetViewWidth(), GetViewHeight());
        } else if (WriteCourseFile(*m_course)) {
            DestroyWindowAndCourse(true);
        } else {
            g_closeMode = 0;
        }
        break;
    case CMessageBox::No:
        DestroyWindowAndCourse(true);
        break;
    default:
        g_closeMode = 0;
        break;
    }
}

void CCourseWindow::DestroyWindowAndCourse(bool deleteCourse)
{
    TRACE_VALUE(bool, deleteCourse);
    CCourse* course = m_course.release();
    if (course)
        course->RemoveListener(this);
    const bool closeAll = g_closeMode == 2;
    // Deletes this object; the course goes after the window, whose scenes
    // and toolbars still point at it while they are taken down.
    Destroy();
    if (deleteCourse)
        delete course;
    if (closeAll)
        CloseNextWindow();
    else
        g_closeMode = 0;
}

void CCourseWindow::CloseNextWindow()
{
    TRACE_POINT();
    g_closeMode = 2;
    int shown = 0;
    const std::vector<CFrameWindow*> frames = FindFrameWindows(shown);
    if (frames.empty()) {
        g_closeMode = 0;
        return;
    }
    if (CCourseWindow* window = dynamic_cast<CCourseWindow*>(frames.front()))
        window->RequestClose();
    else
        frames.front()->Destroy();
}

bool CCourseWindow::QueryEndSession()
{
    TRACE_VALUE(int32_t, g_closeMode);
    // A close already under way is waiting for the user, or a modal dialog
    // holds a course of a window that closing would delete under it: the
    // session waits.
    if (g_closeMode != 0 || GetModalCount() > 0)
        return false;
    if (!GetCourseWindows().empty())
        CloseNextWindow();
    return GetCourseWindows().empty();
}

void CCourseWindow::OnDestroyed()
{
    TRACE_POINT();
    if (m_course) {
        TRACE_VALUE(std::wstring, m_course->GetTitle());
        ReportFailure();
    }
    // This window is still in the frame list until the object goes.
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    if (frames.size() <= 1) {
        GetRecentFiles().Save();
        PostQuit();
        return;
    }
    for (CFrameListEntry* entry : frames) {
        if (entry == this)
            continue;
        if (CFrameWindow* frame = dynamic_cast<CFrameWindow*>(entry))
            frame->UpdateCommandStates();
        break;
    }
}

bool CCourseWindow::IsPathFreeForSave(const std::wstring& path)
{
    if (!FindByCoursePath(path, this))
        return true;
    CMessageBox::Show(GetString(2702), CMessageBox::kError);
    return false;
}

CCourseWindow* CCourseWindow::FindByCoursePath(const std::wstring& path, const CCourseWindow* except)
{
    for (CCourseWindow* window : GetCourseWindows()) {
        if (window != except && window->GetCourse() && IsSamePath(window->GetCourse()->GetPath(), path))
            return window;
    }
    return nullptr;
}

std::vector<CCourseWindow*> CCourseWindow::GetCourseWindows()
{
    std::vector<CCourseWindow*> windows;
    for (CFrameListEntry* frame : CFrameWindowList::GetFrames()) {
        if (CCourseWindow* window = dynamic_cast<CCourseWindow*>(frame))
            windows.push_back(window);
    }
    return windows;
}
