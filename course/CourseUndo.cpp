#include "course/Course.h"

#include <sstream>

#include "course/CourseObject.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kFirstMotionLabel = 2017;
constexpr int kLastMotion = 5;
// A count that no run of undos and redos brings back to 0.
constexpr int32_t kUnreachableModifiedCount = 0x40000000;

// Menu texts name the step: without the mnemonic marker and without the
// dots of a command that opens a dialog.
std::wstring CleanLabel(std::wstring label)
{
    const size_t marker = label.find(L'&');
    if (marker != std::wstring::npos)
        label.erase(marker, 1);
    if (label.size() > 3 && label.compare(label.size() - 3, 3, L"...") == 0)
        label.erase(label.size() - 3);
    return label;
}

}  // namespace

void CCourse::SetMotion(int kind)
{
    if (m_broadcasting) {
        // A listener being told of a change cannot end or start a motion.
        if (kind != m_motion)
            TRACE_VALUE(int32_t, kind);
        return;
    }
    if (kind != m_motion) {
        if (m_motion != 0) {
            const std::wstring label = GetMotionLabel();
            m_motion = 0;
            CommitUndoStep(label);
        }
        m_motion = kind;
    }
    TRACE_VALUE(std::wstring, m_motion == 0 ? std::wstring(L"NoMotion") : GetMotionLabel());
}

std::wstring CCourse::GetMotionLabel() const
{
    if (m_motion < 1 || m_motion > kLastMotion) {
        TRACE_VALUE(int32_t, m_motion);
        ReportFailure();
        return std::wstring();
    }
    return GetString(kFirstMotionLabel + m_motion);
}

void CCourse::CommitUndoStep(const std::wstring& label)
{
    TRACE_VALUE(std::wstring, label);
    if (m_motion != 0) {
        // The motion's changes go into this step instead of one of their own.
        TRACE_VALUE(int32_t, m_motion);
        ReportFailure();
        m_motion = 0;
    }
    // A later failure report then holds the last committed state.
    std::ostringstream block;
    WriteTextBlock(block, false, false);
    TRACE_VALUE(std::string, block.str());

    std::string snapshot;
    WriteSnapshot(snapshot);
    m_undoHistory.Push(snapshot, CleanLabel(label));
    if (m_modifiedCount >= 0)
        ++m_modifiedCount;
    else
        m_modifiedCount = kUnreachableModifiedCount;
}

void CCourse::CommitUndoStepById(int textId)
{
    CommitUndoStep(GetString(textId));
}

bool CCourse::Undo()
{
    return StepThroughHistory(false);
}

bool CCourse::Redo()
{
    return StepThroughHistory(true);
}

bool CCourse::StepThroughHistory(bool forward)
{
    TRACE_VALUE(bool, forward);
    // Ctrl+Z straight after a drag takes back that drag: the motion becomes
    // its own step first.
    SetMotion(0);
    if (m_motion != 0) {
        // Asked while the listeners are being told: the motion could not end.
        TRACE_VALUE(int32_t, m_motion);
        ReportFailure();
        return false;
    }
    std::string snapshot;
    if (!(forward ? m_undoHistory.Redo(snapshot) : m_undoHistory.Undo(snapshot)))
        return false;
    if (!LoadSnapshot(snapshot)) {
        // A step that opens but cannot be read as a course: the history
        // steps back and the course gets the state it had.
        std::string left;
        if (forward ? m_undoHistory.Undo(left) : m_undoHistory.Redo(left))
            LoadSnapshot(left);
        return false;
    }
    m_modifiedCount += forward ? -1 : 1;
    return true;
}

bool CCourse::LoadSnapshot(const std::string& snapshot)
{
    SelectAll();
    DeleteSelected();
    m_markedPoints.clear();
    DestroyObjects(m_overlayObjects);
    if (!LoadArchive(snapshot, false, true, true)) {
        TRACE_VALUE(int32_t, int32_t(snapshot.size()));
        ReportFailure();
        return false;
    }
    return true;
}

void CCourse::WriteSnapshot(std::string& out)
{
    // Steps keep the present format whatever the course writes to its file.
    const bool writeVersion3 = m_writeVersion3;
    m_writeVersion3 = false;
    WriteArchive(out, false, false, true);
    m_writeVersion3 = writeVersion3;
}

bool CCourse::CanUndo() const
{
    return m_undoHistory.CanUndo() || (m_motion != 0 && m_undoHistory.maximum > 0);
}

bool CCourse::CanRedo() const
{
    return m_undoHistory.CanRedo() && m_motion == 0;
}

std::wstring CCourse::GetUndoLabel() const
{
    if (m_motion != 0)
        return GetMotionLabel();
    return m_undoHistory.GetUndoLabel();
}

std::wstring CCourse::GetRedoLabel() const
{
    if (!CanRedo()) {
        TRACE_VALUE(int32_t, m_motion);
        ReportFailure();
    }
    return m_undoHistory.GetRedoLabel();
}

bool CCourse::IsModified() const
{
    return m_motion != 0 || m_modifiedCount != 0;
}

void CCourse::MarkUnmodified(bool resetHistory)
{
    TRACE_VALUE(bool, resetHistory);
    if (!resetHistory) {
        SetMotion(0);
        m_modifiedCount = 0;
        return;
    }
    m_modifiedCount = 0;
    m_motion = 0;
    std::string snapshot;
    WriteSnapshot(snapshot);
    m_undoHistory.Reset(snapshot);
    // A later failure report then holds the state the course started from.
    std::ostringstream block;
    WriteTextBlock(block, false, false);
    TRACE_VALUE(std::string, block.str());
}
