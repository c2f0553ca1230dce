// The state rules and actions of the command table (app/CommandTable.h): one
// small function each, chosen by the row's rule and action.

#include "app/AboutDlg.h"
#include "app/Application.h"
#include "app/CommandTable.h"
#include "app/CourseWindow.h"
#include "app/GraphicsSystemDlg.h"
#include "app/HelpLinks.h"
#include "app/WindowChooserDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "ui/Command.h"
#include "ui/FrameWindow.h"

namespace {

constexpr int kFirstRecentId = 2085;
constexpr int kFirstWindowListId = 2207;
constexpr int kWindowListLength = 9;

// A file path or window title shown as a menu caption: its "&" are not
// access-key markers.
std::wstring EscapeMenuText(const std::wstring& text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'&')
            escaped += L'&';
        escaped += c;
    }
    return escaped;
}

std::vector<CFrameWindow*> GetFrames()
{
    int shown = 0;
    return CFrameWindow::FindFrameWindows(shown);
}

using RuleFunction = void (*)(CCommandTarget& target, int id, CCommandState& state);

void RuleNone(CCommandTarget&, int, CCommandState&) {}

void RuleAlways(CCommandTarget&, int, CCommandState& state) { state.enabled = true; }

void RuleNever(CCommandTarget&, int, CCommandState& state) { state.enabled = false; }

void RuleWindowRoom(CCommandTarget&, int, CCommandState& state) { state.enabled = CanOpenAnotherCourseWindow(); }

void RuleTemplate(CCommandTarget&, int, CCommandState& state)
{
    state.enabled = CanOpenAnotherCourseWindow() && !CSettings::GetString(L"Template", std::string()).empty();
}

void RuleRecent(CCommandTarget&, int id, CCommandState& state)
{
    const std::deque<std::wstring>& labels = GetRecentFiles().GetLabels();
    const size_t index = size_t(id - kFirstRecentId);
    state.visible = index < labels.size();
    if (state.visible)
        state.text = EscapeMenuText(labels[index]);
    state.enabled = CanOpenAnotherCourseWindow();
}

void RuleHasObjects(CCommandTarget& target, int, CCommandState& state) { state.enabled = target.HasObjects(); }

void RuleSelection(CCommandTarget& target, int, CCommandState& state) { state.enabled = target.HasSelection(); }

void RuleClipboard(CCommandTarget& target, int, CCommandState& state) { state.enabled = target.CanPaste(); }

void RuleUndoOrRedo(bool hasStep, const std::wstring& label, int plainText, int labelledText,
                    CCommandState& state)
{
    state.enabled = hasStep;
    state.text = hasStep ? GetStringWithArg(labelledText, label) : GetString(plainText);
}

void RuleUndo(CCommandTarget& target, int, CCommandState& state)
{
    std::wstring label;
    const bool hasStep = target.GetUndoLabel(label);
    RuleUndoOrRedo(hasStep, label, 2104, 2105, state);
}

void RuleRedo(CCommandTarget& target, int, CCommandState& state)
{
    std::wstring label;
    const bool hasStep = target.GetRedoLabel(label);
    RuleUndoOrRedo(hasStep, label, 2107, 2108, state);
}

void RuleView(CCommandTarget& target, CCommandState& state, bool ticked)
{
    state.enabled = target.Uses3DCamera() || CanShowAnother3DView();
    state.checked = ticked;
}

void RuleView3D(CCommandTarget& target, int, CCommandState& state) { RuleView(target, state, target.Shows3D()); }

void RuleViewMap(CCommandTarget& target, int, CCommandState& state)
{
    RuleView(target, state, !target.Shows3D() && !target.Uses3DCamera());
}

void RuleView3DMap(CCommandTarget& target, int, CCommandState& state)
{
    RuleView(target, state, !target.Shows3D() && target.Uses3DCamera());
}

void RuleCamera(CCommandTarget& target, int, CCommandState& state) { state.enabled = target.Uses3DCamera(); }

void RuleOption(CCommandTarget& target, int id, CCommandState& state)
{
    state.enabled = true;
    state.checked = target.IsOptionOn(id);
}

void RuleGrass(CCommandTarget& target, int id, CCommandState& state)
{
    const bool shows3D = target.Shows3D();
    state.enabled = shows3D;
    state.checked = shows3D && target.IsOptionOn(id);
}

void RuleStatusBar(CCommandTarget& target, int, CCommandState& state)
{
    state.enabled = true;
    state.checked = target.GetCommandFrame().statusBarShown;
}

void RuleToolbar(CCommandTarget& target, int, CCommandState& state)
{
    state.enabled = true;
    state.checked = target.GetCommandFrame().toolbarShown;
}

void RuleFooter(CCommandTarget& target, int id, CCommandState& state)
{
    state.enabled = true;
    state.visible = target.OffersRuleSetCommand(id);
}

void RuleRuleSetDocument(CCommandTarget& target, int id, CCommandState& state)
{
    state.enabled = target.OffersRuleSetCommand(id);
}

void RuleDifferences(CCommandTarget& target, int, CCommandState& state)
{
    state.checked = target.ShowsDifferences();
    state.enabled = state.checked || GetFrames().size() >= 2;
}

void RuleWindowList(CCommandTarget&, int id, CCommandState& state)
{
    const std::vector<CFrameWindow*> frames = GetFrames();
    const size_t index = size_t(id - kFirstWindowListId);
    state.enabled = true;
    state.visible = index < frames.size();
    if (!state.visible)
        return;
    CCommandTarget* window = dynamic_cast<CCommandTarget*>(frames[index]);
    state.text = EscapeMenuText(window ? window->GetListTitle() : frames[index]->title);
}

void RuleMoreWindows(CCommandTarget&, int, CCommandState& state)
{
    state.enabled = true;
    state.visible = GetFrames().size() > size_t(kWindowListLength);
}

void RuleProperties(CCommandTarget& target, int, CCommandState& state)
{
    std::wstring name;
    state.enabled = target.GetPropertiesName(name);
    state.text = state.enabled ? GetStringWithArg(2131, name) : GetString(2128);
}

const RuleFunction kRules[] = {
    RuleNone,        RuleAlways,    RuleNever,       RuleWindowRoom,  RuleTemplate,        RuleRecent,
    RuleHasObjects,  RuleSelection, RuleProperties,  RuleUndo,        RuleRedo,            RuleClipboard,
    RuleView3D,      RuleViewMap,   RuleView3DMap,   RuleCamera,      RuleOption,          RuleGrass,
    RuleStatusBar,   RuleToolbar,   RuleFooter,      RuleRuleSetDocument, RuleDifferences, RuleWindowList,
    RuleMoreWindows,
};
static_assert(sizeof kRules / sizeof kRules[0] == size_t(ECommandRule::kCount), "one function per rule");

using ActionFunction = void (*)(CCommandTarget& target, int id);

void RunWindowAction(CCommandTarget& target, int id) { target.ExecuteCommand(id); }

void RunExit(CCommandTarget&, int id) { ExitProgram(id); }

void RunAbout(CCommandTarget&, int) { ShowAboutBox(); }

void RunHelpContents(CCommandTarget&, int id) { ShowHelpContents(id); }

void RunLink(CCommandTarget&, int id) { RunLinkCommand(id); }

void RunGraphicsSystem(CCommandTarget&, int) { ShowGraphicsSystemDialog(); }

void RunToggleStatusBar(CCommandTarget& target, int)
{
    CFrameWindow& frame = target.GetCommandFrame();
    frame.SetStatusBarShown(!frame.statusBarShown);
    frame.UpdateCommandStates();
}

void RunToggleToolbar(CCommandTarget& target, int)
{
    CFrameWindow& frame = target.GetCommandFrame();
    frame.SetToolbarShown(!frame.toolbarShown);
    frame.UpdateCommandStates();
}

void RunTile(CCommandTarget& target, int)
{
    CFrameWindow::TileFrameWindows();
    target.RefreshAfterCommand();
}

void RunCascade(CCommandTarget& target, int)
{
    CFrameWindow::CascadeFrameWindows();
    target.RefreshAfterCommand();
}

void RunActivateWindow(CCommandTarget&, int id)
{
    const std::vector<CFrameWindow*> frames = GetFrames();
    const size_t index = size_t(id - kFirstWindowListId);
    if (index < frames.size())
        frames[index]->Activate();
}

void RunWindowChooser(CCommandTarget&, int) { (new CSelWinDlg)->DoModal(); }

const ActionFunction kActions[] = {
    RunWindowAction, RunExit, RunAbout, RunHelpContents, RunLink, RunGraphicsSystem, RunToggleStatusBar,
    RunToggleToolbar, RunTile, RunCascade, RunActivateWindow, RunWindowChooser,
};
static_assert(sizeof kActions / sizeof kActions[0] == size_t(ECommandAction::kCount), "one function per action");

}  // namespace

// ---- Rules and actions ----------------------------------------------------------

void EvaluateCommandRule(const CCommandRow& row, int id, CCommandTarget& target, CCommandState& state)
{
    const size_t rule = size_t(row.rule);
    if (rule >= size_t(ECommandRule::kCount)) {
        TRACE_VALUE(int32_t, int32_t(rule));
        ReportFailure();
        state.enabled = false;
        return;
    }
    kRules[rule](target, id, state);
}

bool IsCommandActionAvailable(const CCommandRow& row, int id, const CCommandTarget& target)
{
    if (row.action == ECommandAction::kWindow)
        return target.HasCommandAction(id);
    return size_t(row.action) < size_t(ECommandAction::kCount);
}

void RunCommandRow(const CCommandRow& row, int id, CCommandTarget& target)
{
    TRACE_VALUE(int32_t, id);
    if (!IsCommandActionAvailable(row, id, target))
        return;
    kActions[size_t(row.action)](target, id);
}

void ExitProgram(int id)
{
    TRACE_VALUE(int32_t, id);
    if (CCommandTarget* target = GetCommandTarget()) {
        target->CloseAllWindows();
        return;
    }
    for (CFrameWindow* frame : GetFrames())
        PostMessageW(frame->hwnd, WM_CLOSE, 0, 0);
}

// ---- Command target defaults -----------------------------------------------------

bool CCommandTarget::HasCommandAction(int) const { return false; }

void CCommandTarget::ExecuteCommand(int id)
{
    TRACE_VALUE(int32_t, id);
    ReportFailure();
}

void CCommandTarget::CloseAllWindows()
{
    // Each frame closes from its own deferred close, after this command.
    for (CFrameWindow* frame : GetFrames())
        if (frame->hwnd)
            PostMessageW(frame->hwnd, WM_CLOSE, 0, 0);
}

void CCommandTarget::RefreshAfterCommand() { GetCommandFrame().UpdateCommandStates(); }

bool CCommandTarget::HasObjects() const { return false; }

bool CCommandTarget::HasSelection() const { return false; }

bool CCommandTarget::CanPaste() const { return false; }

bool CCommandTarget::GetUndoLabel(std::wstring&) const { return false; }

bool CCommandTarget::GetRedoLabel(std::wstring&) const { return false; }

bool CCommandTarget::GetPropertiesName(std::wstring&) const { return false; }

bool CCommandTarget::Shows3D() const { return false; }

bool CCommandTarget::Uses3DCamera() const { return false; }

bool CCommandTarget::IsOptionOn(int) const { return false; }

bool CCommandTarget::OffersRuleSetCommand(int) const { return false; }

bool CCommandTarget::ShowsDifferences() const { return false; }

std::wstring CCommandTarget::GetListTitle() { return GetCommandFrame().title; }
