// The actions of the course window's commands and the facts their state
// rules read (app/CommandTable.h). A command's identifier is also the text of
// the undo step it records.

#include <sstream>

#include "app/Application.h"
#include "app/Clipboard.h"
#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "app/FooterDlg.h"
#include "app/OpenFileDialog.h"
#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/RecentFiles.h"
#include "foundation/WebAccess.h"

namespace {

constexpr int kFirstRecentId = 2085;
constexpr int kLastRecentId = 2100;
constexpr int kFooterOrganisation = 5;

bool IsOpenCourseWindow(const CCourseWindow* window)
{
    for (const CCourseWindow* open : CCourseWindow::GetCourseWindows())
        if (open == window)
            return true;
    return false;
}

void RefreshAllCommandStates()
{
    int shown = 0;
    for (CFrameWindow* frame : CFrameWindow::FindFrameWindows(shown))
        frame->UpdateCommandStates();
}

}  // namespace

// ---- Which commands the window runs -------------------------------------------------

bool CCourseWindow::HasCommandAction(int id) const
{
    if (id >= kFirstRecentId && id <= kLastRecentId)
        return true;
    switch (id) {
    case 2060: case 2062: case 2066: case 2070: case 2073: case 2075: case 2077: case 2079:
    case 2104: case 2107: case 2110: case 2112: case 2116: case 2118: case 2120: case 2122: case 2124:
    case 2128: case 2140: case 2142: case 2144: case 2148: case 2150: case 2152:
    case 2160: case 2164: case 2166: case 2168: case 2170: case 2176:
    case 2190: case 2192: case 2194:
        return true;
    default:
        // Their dialogs (set-up, print, picture, select, colours, course size,
        // jump settings, camera, coordinates, differences) are not there.
        return false;
    }
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
    switch (id) {
    case 2060:
        NewCourse(false);
        break;
    case 2062:
        NewCourse(true);
        break;
    case 2066:
        ShowOpenFileDialog(this);
        break;
    case 2070:
        Close();
        break;
    case 2073:
        Save();
        break;
    case 2075:
        SaveAs();
        break;
    case 2077:
        SaveAll();
        break;
    case 2079:
        SaveAsTemplate();
        break;
    case 2104:
        ResetTool();
        m_course->Undo();
        Broadcast();
        break;
    case 2107:
        ResetTool();
        m_course->Redo();
        Broadcast();
        break;
    case 2110:
        ResetTool();
        // Deletes only what reached the clipboard.
        CutCourseSelection(*m_course, hwnd);
        break;
    case 2112:
        CopyCourse(*m_course, hwnd, id);
        break;
    case 2116:
        CopyCourseSummary(*m_course, hwnd);
        break;
    case 2118:
        CopyCourseVersion3(*m_course, hwnd);
        break;
    case 2120:
        Paste();
        break;
    case 2122:
        ResetTool();
        m_course->DeleteSelected();
        m_course->CommitUndoStepById(id);
        Broadcast();
        break;
    case 2124:
        ResetTool();
        m_course->SelectAll();
        Broadcast();
        break;
    case 2128:
        RunProperties();
        break;
    case 2140:
    case 2142:
        // Mirrors the selection, or the whole course when nothing is selected.
        ResetTool();
        m_course->FlipSelection(id == 2140);
        m_course->CommitUndoStepById(id);
        Broadcast();
        break;
    case 2144:
        ResetTool();
        m_course->DeselectAll(false);
        m_course->RefreshNumbering();
        m_course->CommitUndoStepById(id);
        Broadcast();
        break;
    case 2148:
    case 2150:
    case 2152:
        SetViewMode(id);
        break;
    case 2164:
        ResetTool();
        (new CUKCFooterDlg(m_course.get()))->DoModal();
        break;
    case 2160:
    case 2166:
    case 2168:
    case 2170:
    case 2176:
        ToggleOption(id);
        break;
    case 2190:
    case 2192:
    case 2194:
        OpenRuleSetDocument(id);
        break;
    default:
        break;
    }
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
        course->ReadTextBlock(block, false, true);
    }
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
    if (!WriteCourseFile(*m_course))
        return;
    m_course->ClearReadFromVersion3();
    m_course->MarkUnmodified(false);
    Broadcast();
}

void CCourseWindow::SaveAs()
{
    ResetTool();
    m_course->DeselectAll(false);
    SetCloseMode(0);
    ShowSaveDialog(*this, GetViewWidth(), GetViewHeight());
}

void CCourseWindow::SaveAll()
{
    ResetTool();
    for (CCourseWindow* window : GetCourseWindows()) {
        // A dialog of an earlier window may have closed this one.
        if (!IsOpenCourseWindow(window) || !window->m_course)
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
    if (!m_course->GetSelectionTypeName().empty())
        m_course->EditSelectionProperties();
    else
        m_course->RunPropertiesDialog();
    Broadcast();
}

// ---- View ---------------------------------------------------------------------------------

void CCourseWindow::SetViewMode(int id)
{
    m_course->Set3D(id == 2148);
    m_course->Set3DCamera(id != 2150);
    m_course->CommitUndoStepById(id);
    Broadcast();
}

void CCourseWindow::ToggleOption(int id)
{
    ResetTool();
    switch (id) {
    case 2160:
        m_course->SetShowPaths(!m_course->GetShowPaths());
        break;
    case 2166:
        m_course->SetShowNumbers(!m_course->GetShowNumbers());
        break;
    case 2168:
        m_course->SetShowTexts(!m_course->GetShowTexts());
        break;
    case 2170:
        m_course->SetShowGrass(m_course->GetHideGrass());
        break;
    case 2176:
        m_course->SetMetric(!m_course->IsMetric());
        break;
    default:
        ReportFailure();
        return;
    }
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
    if (!m_course)
        return false;
    switch (id) {
    case 2160:
        return m_course->GetShowPaths();
    case 2166:
        return m_course->GetShowNumbers();
    case 2168:
        return m_course->GetShowTexts();
    case 2170:
        return !m_course->GetHideGrass();
    case 2176:
        return m_course->IsMetric();
    default:
        return false;
    }
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

bool CCourseWindow::ShowsDifferences() const { return m_course && !m_course->GetOverlayObjects().empty(); }
