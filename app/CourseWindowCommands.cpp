// The actions of the course window's commands and the facts their state
// rules read (app/CommandTable.h). A command's identifier is also the text of
// the undo step it records.

#include <sstream>

#include "app/Application.h"
#include "app/BaselineDlg.h"
#include "app/CameraDlg.h"
#include "app/Clipboard.h"
#include "app/CourseFiles.h"
#include "app/CourseDiffDlg.h"
#include "app/CourseImageDlg.h"
#include "app/CourseSetUpDlg.h"
#include "app/CourseSizeDlg.h"
#include "app/CourseWindow.h"
#include "app/FooterDlg.h"
#include "app/JumpSettingsDlg.h"
#include "app/OpenFileDialog.h"
#include "app/PrintDlg.h"
#include "app/SelectDlg.h"
#include "course/Course.h"
#include "course/EditSession.h"
#include "course/SpecList.h"
#include "dialogs/ColorPickerDlg.h"
#include "dialogs/HintDlg.h"
#include "dialogs/PartColorMerge.h"
#include "foundation/CrashLog.h"
#include "foundation/RecentFiles.h"
#include "foundation/WebAccess.h"

namespace {

constexpr int kFirstRecentId = 2085;
constexpr int kLastRecentId = 2100;
constexpr int kFooterOrganisation = 5;
// The hint after properties applied to the selection.
constexpr int kEditHint = 2708;

void RefreshAllCommandStates()
{
    int shown = 0;
    for (CFrameWindow* frame : CFrameWindow::FindFrameWindows(shown))
        frame->UpdateCommandStates();
}

// The snapshot read back keeps to the 3D budget like any course read.
void UndoOrRedo(CCourse& course, bool undo)
{
    const bool had3DCamera = course.Get3DCamera();
    if (undo)
        course.Undo();
    else
        course.Redo();
    KeepWithin3DBudget(course, had3DCamera);
}

}  // namespace

// ---- Which commands the window runs -------------------------------------------------
//
// One row per command the window itself carries out.

const CCourseWindow::CWindowCommand* CCourseWindow::FindWindowCommand(int id)
{
    // The actions are local lambdas so they may call the window's own
    // private steps.
    static const CWindowCommand commands[] = {
        {2060, [](CCourseWindow& window, int) { window.NewCourse(false); }},
        {2062, [](CCourseWindow& window, int) { window.NewCourse(true); }},
        {2064, [](CCourseWindow& window, int) {
             window.m_course->DeselectAll(false);
             window.Broadcast();
             (new CCourseSetUpDlg(&window))->DoModal();
         }},
        {2066, [](CCourseWindow& window, int) { ShowOpenFileDialog(&window); }},
        {2070, [](CCourseWindow& window, int) { window.Close(); }},
        {2073, [](CCourseWindow& window, int) { window.Save(); }},
        {2075, [](CCourseWindow& window, int) { window.SaveAs(); }},
        {2077, [](CCourseWindow& window, int) { window.SaveAll(); }},
        {2079, [](CCourseWindow& window, int) { window.SaveAsTemplate(); }},
        {2081, [](CCourseWindow& window, int) {
             window.ResetTool();
             window.m_course->DeselectAll(false);
             window.Broadcast();
             (new CPrintDlg(window.m_course.get()))->DoModal();
         }},
        {2104, [](CCourseWindow& window, int) { window.ChangeCourse([](CCourse& c) { UndoOrRedo(c, true); }); }},
        {2107, [](CCourseWindow& window, int) { window.ChangeCourse([](CCourse& c) { UndoOrRedo(c, false); }); }},
        // Cut deletes only what reached the clipboard.
        {2110, [](CCourseWindow& window, int) {
             window.ResetTool();
             CutCourseSelection(*window.m_course, window.hwnd);
         }},
        {2112, [](CCourseWindow& window, int id) { CopyCourse(*window.m_course, window.hwnd, id); }},
        {2114, [](CCourseWindow& window, int) {
             window.ResetTool();
             window.m_course->DeselectAll(false);
             window.Broadcast();
             ShowCourseImageDialogForClipboard(*window.m_course, window.GetViewWidth(), window.GetViewHeight());
         }},
        // The summary clears the selection: the commands that need one follow.
        {2116, [](CCourseWindow& window, int) {
             const CHeldCourseWindow held(&window);
             CopyCourseSummary(*window.m_course, window.hwnd);
             if (held.Get())
                 window.Broadcast();
         }},
        {2118, [](CCourseWindow& window, int) { CopyCourseVersion3(*window.m_course, window.hwnd); }},
        {2120, [](CCourseWindow& window, int) { window.Paste(); }},
        {2122, [](CCourseWindow& window, int id) {
             window.ChangeCourseAsStep(id, [](CCourse& course) { course.DeleteSelected(); });
         }},
        {2124, [](CCourseWindow& window, int) { window.ChangeCourse([](CCourse& course) { course.SelectAll(); }); }},
        {2126, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CSelectDlg(window.m_course.get()))->DoModal();
         }},
        {2128, [](CCourseWindow& window, int) { window.RunProperties(); }},
        // With a placing tool chosen, the tool's properties; else the colour
        // picker paints the selection as one step.
        {2132, [](CCourseWindow& window, int) {
             if (window.shapeToolbar.GetCurrentTool() != CShapeToolbar::kNoTool) {
                 window.RunProperties();
                 return;
             }
             window.ResetTool();
             std::vector<CCourse::CSelectionValue> values;
             window.m_course->CollectSelectionValues(values);
             CPartColorMerge merge;
             for (const CCourse::CSelectionValue& value : values)
                 merge.Add(value.type, value.variant, *value.colors);
             RunColorPicker(window.m_course.get(), merge, true);
         }},
        {2134, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CCourseSizeSimpleDlg(window.m_course.get()))->DoModal();
         }},
        {2136, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CCourseSizeDlg(window.m_course.get()))->DoModal();
         }},
        {2138, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CJumpSettingsDlg(window.m_course.get()))->DoModal();
         }},
        // Mirrors the selection, or the whole course when nothing is selected.
        {2140, [](CCourseWindow& window, int id) {
             window.ChangeCourseAsStep(id, [](CCourse& course) { course.FlipSelection(true); });
         }},
        {2142, [](CCourseWindow& window, int id) {
             window.ChangeCourseAsStep(id, [](CCourse& course) { course.FlipSelection(false); });
         }},
        {2144, [](CCourseWindow& window, int id) {
             window.ChangeCourseAsStep(id, [](CCourse& course) {
                 course.DeselectAll(false);
                 course.RefreshNumbering();
             });
         }},
        {2148, [](CCourseWindow& window, int id) { window.SetViewMode(id); }},
        {2150, [](CCourseWindow& window, int id) { window.SetViewMode(id); }},
        {2152, [](CCourseWindow& window, int id) { window.SetViewMode(id); }},
        {2154, [](CCourseWindow& window, int) {
             (new CCameraDlg(window.m_course.get(), window.GetViewWidth(), window.GetViewHeight()))->DoModal();
         }},
        {2160, [](CCourseWindow& window, int id) { window.ToggleOption(id); }},
        {2164, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CUKCFooterDlg(window.m_course.get()))->DoModal();
         }},
        {2166, [](CCourseWindow& window, int id) { window.ToggleOption(id); }},
        {2168, [](CCourseWindow& window, int id) { window.ToggleOption(id); }},
        {2170, [](CCourseWindow& window, int id) { window.ToggleOption(id); }},
        {2172, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CBaselineDlg(window.m_course.get()))->DoModal();
         }},
        {2174, [](CCourseWindow& window, int) {
             window.ResetTool();
             (new CCourseDiffDlg(window.m_course.get(), window.GetOtherCourses()))->DoModal();
         }},
        {2176, [](CCourseWindow& window, int id) { window.ToggleOption(id); }},
        {2190, [](CCourseWindow& window, int id) { window.OpenRuleSetDocument(id); }},
        {2192, [](CCourseWindow& window, int id) { window.OpenRuleSetDocument(id); }},
        {2194, [](CCourseWindow& window, int id) { window.OpenRuleSetDocument(id); }},
    };
    for (const CWindowCommand& command : commands)
        if (command.id == id)
            return &command;
    return nullptr;
}

bool CCourseWindow::HasCommandAction(int id) const
{
    return (id >= kFirstRecentId && id <= kLastRecentId) || FindWindowCommand(id) != nullptr;
}

void CCourseWindow::ExecuteCommand(int id)
{
    TRACE_VALUE(int32_t, id);
    if (!m_course || !HasCommandAction(id)) {
        ReportFailure();
        return;
    }
    if (id >= kFirstRecentId && id <= kLastRecentId) {
        const std::deque<std::wstring>& paths = GetRecentFiles().GetPaths();
        const size_t index = size_t(id - kFirstRecentId);
        if (index < paths.size() && CanOpenAnotherCourseWindow()) {
            const std::wstring path = paths[index];
            OpenCourseFile(path, this);
        }
        return;
    }
    FindWindowCommand(id)->run(*this, id);
}

void CCourseWindow::ChangeCourse(void (*change)(CCourse& course))
{
    ResetTool();
    change(*m_course);
    Broadcast();
}

void CCourseWindow::ChangeCourseAsStep(int id, void (*change)(CCourse& course))
{
    ResetTool();
    change(*m_course);
    m_course->CommitUndoStepById(id);
    Broadcast();
}

void CCourseWindow::ResetTool() { shapeToolbar.SelectNone(); }

void CCourseWindow::Broadcast()
{
    if (m_course)
        m_course->OnCourseChanged();
}

// ---- Files ------------------------------------------------------------------------------

void CCourseWindow::NewCourse(bool fromTemplate)
{
    TRACE_VALUE(bool, fromTemplate);
    if (!CanOpenAnotherCourseWindow())
        return;
    CCourse* course = new CCourse(std::wstring(), std::wstring());
    if (fromTemplate) {
        course->SetMadeFromTemplate(true);
        std::istringstream block(GetTemplateText());
        TellCourseRead(course->ReadTextBlock(block, false));
    }
    KeepWithin3DBudget(*course, false);
    // Undo goes back no further than the template as read.
    course->MarkUnmodified(true);
    new CCourseWindow(course);
    RefreshAllCommandStates();
}

void CCourseWindow::Save()
{
    ResetTool();
    if (m_course->GetPath().empty()) {
        SaveAs();
        return;
    }
    // Writing clears the selection, also when the file could not be written;
    // the window may have gone while its message was up.
    const CHeldCourseWindow held(this);
    if (WriteCourseFile(*m_course)) {
        m_course->ClearReadFromVersion3();
        m_course->MarkUnmodified(false);
    }
    if (held.Get())
        Broadcast();
}

void CCourseWindow::SaveAs()
{
    ResetTool();
    m_course->DeselectAll(false);
    Broadcast();
    SetCloseMode(0);
    ShowSaveDialog(*this, GetViewWidth(), GetViewHeight());
}

void CCourseWindow::SaveAll()
{
    ResetTool();
    std::vector<CHeldCourseWindow> windows;
    for (CCourseWindow* window : GetCourseWindows())
        windows.emplace_back(window);
    for (const CHeldCourseWindow& held : windows) {
        // A dialog of an earlier window may have closed this one.
        CCourseWindow* window = held.Get();
        if (!window || !window->m_course)
            continue;
        if (window->m_course->GetPath().empty()) {
            window->Activate();
            window->SaveAs();
        } else {
            window->Save();
        }
    }
    RefreshAllCommandStates();
}

void CCourseWindow::SaveAsTemplate()
{
    // The course keeps its title, path and modified state.
    if (SaveCourseAsTemplate(*m_course))
        ReadTemplateText();
    RefreshAllCommandStates();
}

// ---- Edit ---------------------------------------------------------------------------------

void CCourseWindow::Paste()
{
    ResetTool();
    PasteFromClipboard(*m_course, m_course->IsMadeFromTemplate());
}

void CCourseWindow::RunProperties()
{
    std::wstring name;
    if (!GetPropertiesName(name))
        return;
    if (m_course->GetSelectionTypeName().empty()) {
        RunToolProperties();
    } else if (std::unique_ptr<CEditSession> session = m_course->MakeSelectionSession()) {
        const std::wstring before = m_course->GetUndoLabel();
        const CHeldCourseWindow held(this);
        session->DoModal();
        if (held.Get() != this)
            return;
        if (m_course->GetUndoLabel() != before)
            ShowHint(kEditHint, L"Edit", 2);
    }
    Broadcast();
}

void CCourseWindow::RunToolProperties()
{
    // The course may let go of the tool's dialog while it runs.
    std::shared_ptr<CEditSession> session = m_course->GetToolSessionToRun();
    if (!session)
        return;
    const CHeldCourseWindow held(this);
    session->DoModal();
    // A cancelled dialog takes the tool away: back to selecting.
    if (held.Get() != this || m_course->GetToolType() != nullptr)
        return;
    shapeToolbar.SelectNone();
    UpdateCommandStates();
    UpdateToolButtons();
}

// ---- View ---------------------------------------------------------------------------------

void CCourseWindow::SetViewMode(int id)
{
    m_course->Set3D(id == 2148);
    m_course->Set3DCamera(id != 2150);
    m_course->CommitUndoStepById(id);
    Broadcast();
}

namespace {

// The course options that menu commands turn on and off.
struct COptionCommand
{
    int id;
    bool (*isOn)(const CCourse& course);
    void (*set)(CCourse& course, bool on);
};

const COptionCommand kOptionCommands[] = {
    {2160, [](const CCourse& c) { return c.GetShowPaths(); }, [](CCourse& c, bool on) { c.SetShowPaths(on); }},
    {2166, [](const CCourse& c) { return c.GetShowNumbers(); }, [](CCourse& c, bool on) { c.SetShowNumbers(on); }},
    {2168, [](const CCourse& c) { return c.GetShowTexts(); }, [](CCourse& c, bool on) { c.SetShowTexts(on); }},
    {2170, [](const CCourse& c) { return !c.GetHideGrass(); }, [](CCourse& c, bool on) { c.SetShowGrass(on); }},
    {2176, [](const CCourse& c) { return c.IsMetric(); }, [](CCourse& c, bool on) { c.SetMetric(on); }},
};

const COptionCommand* FindOptionCommand(int id)
{
    for (const COptionCommand& option : kOptionCommands)
        if (option.id == id)
            return &option;
    return nullptr;
}

}  // namespace

void CCourseWindow::ToggleOption(int id)
{
    ResetTool();
    const COptionCommand* option = FindOptionCommand(id);
    if (!option) {
        TRACE_VALUE(int32_t, id);
        ReportFailure();
        return;
    }
    option->set(*m_course, !option->isOn(*m_course));
    m_course->CommitUndoStepById(id);
    Broadcast();
}

void CCourseWindow::OpenRuleSetDocument(int id)
{
    if (!OffersRuleSetCommand(id))
        return;
    const CSpecList& rules = m_course->GetSpecList();
    CUrlBuilder url;
    url.AppendUtf8(id == 2190 ? rules.GetRulebookUrl() : id == 2192 ? rules.GetJudgesUrl() : rules.GetRuleUpdatesUrl());
    GetWebAccess().OpenLink(url);
}

// ---- Window ---------------------------------------------------------------------------------

void CCourseWindow::CloseAllWindows() { CloseNextWindow(); }

void CCourseWindow::RefreshAfterCommand() { OnCourseChanged(); }

// ---- Facts of the state rules -------------------------------------------------------------

bool CCourseWindow::HasObjects() const { return m_course && m_course->GetObjectCount() > 0; }

bool CCourseWindow::HasSelection() const { return m_course && m_course->HasSelection(); }

bool CCourseWindow::CanPaste() const { return ::CanPaste(); }

bool CCourseWindow::GetUndoLabel(std::wstring& label) const
{
    if (!m_course || !m_course->CanUndo())
        return false;
    label = m_course->GetUndoLabel();
    return true;
}

bool CCourseWindow::GetRedoLabel(std::wstring& label) const
{
    if (!m_course || !m_course->CanRedo())
        return false;
    label = m_course->GetRedoLabel();
    return true;
}

bool CCourseWindow::GetPropertiesName(std::wstring& name) const
{
    if (!m_course)
        return false;
    name = m_course->GetSelectionTypeName();
    if (!name.empty())
        return true;
    if (m_course->HasSelection() || shapeToolbar.GetCurrentTool() == CShapeToolbar::kNoTool ||
        !m_course->GetToolType() || m_course->GetToolLabel().empty())
        return false;
    name = m_course->GetToolLabel();
    return true;
}

bool CCourseWindow::Shows3D() const { return m_course && m_course->Get3D(); }

bool CCourseWindow::Uses3DCamera() const { return m_course && m_course->Get3DCamera(); }

bool CCourseWindow::IsOptionOn(int id) const
{
    const COptionCommand* option = FindOptionCommand(id);
    return m_course && option && option->isOn(*m_course);
}

bool CCourseWindow::OffersRuleSetCommand(int id) const
{
    if (!m_course)
        return false;
    const CSpecList& rules = m_course->GetSpecList();
    switch (id) {
    case 2164:
        return rules.GetOrgId() == kFooterOrganisation;
    case 2190:
        return rules.HasRulebookUrl();
    case 2192:
        return rules.HasJudgesUrl();
    case 2194:
        return rules.HasRuleUpdatesUrl();
    default:
        return false;
    }
}

std::vector<CCourse*> CCourseWindow::GetOtherCourses() const
{
    std::vector<CCourse*> others;
    int shown = 0;
    for (CFrameWindow* frame : CFrameWindow::FindFrameWindows(shown)) {
        const CCourseWindow* window = dynamic_cast<CCourseWindow*>(frame);
        if (window && window != this && window->m_course)
            others.push_back(window->m_course.get());
    }
    return others;
}

bool CCourseWindow::ShowsDifferences() const { return m_course && !m_course->GetOverlayObjects().empty(); }
