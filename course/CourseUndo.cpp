#include "course/Course.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "course/CourseFileAccess.h"
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
    std::string snapshot;
    WriteSnapshot(snapshot);
    // A later failure report then holds the last committed state.
    TRACE_VALUE(CTextBlockTrace, MakeTextBlockTrace(snapshot));
    m_undoHistory.Push(std::move(snapshot), CleanLabel(label));
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
    // Most steps change a few objects: only those are read again.
    if (LoadChangedRecords(snapshot))
        return true;
    SelectAll();
    DeleteSelected();
    m_markedPoints.clear();
    DestroyOverlayObjects();
    if (!LoadArchive(snapshot, false, true)) {
        TRACE_VALUE(int32_t, int32_t(snapshot.size()));
        ReportFailure();
        return false;
    }
    return true;
}

bool CCourse::LoadChangedRecords(const std::string& snapshot)
{
    TRACE_POINT();
    // A reload would drop marked points that are not shown.
    if (!m_markedPoints.empty() && !m_display.showObsCoords)
        return false;
    std::string current;
    WriteSnapshot(current);
    CCourseFileAccess::CArchiveLayout now;
    CCourseFileAccess::CArchiveLayout then;
    if (!CCourseFileAccess::SplitArchive(current, now) || !CCourseFileAccess::SplitArchive(snapshot, then) ||
        now.records.size() != m_objects.size() || current.compare(0, now.headEnd, snapshot, 0, then.headEnd) != 0 ||
        current.compare(now.tailStart, std::string::npos, snapshot, then.tailStart, std::string::npos) != 0)
        return false;

    const auto sameRecord = [&](size_t i, size_t j) {
        const auto& a = now.records[i];
        const auto& b = then.records[j];
        return current.compare(a.first, a.second - a.first, snapshot, b.first, b.second - b.first) == 0;
    };
    const size_t nowCount = now.records.size();
    const size_t thenCount = then.records.size();
    size_t first = 0;
    while (first < nowCount && first < thenCount && sameRecord(first, first))
        ++first;
    size_t last = 0;
    while (last < nowCount - first && last < thenCount - first && sameRecord(nowCount - 1 - last, thenCount - 1 - last))
        ++last;

    // The objects of the differing records, read before anything changes.
    // With as many records as before, each keeps the place (layer and serial
    // number) of the one it replaces; otherwise the new ones come last in
    // their layers, which must be where the snapshot has them.
    const std::vector<CCourseObject*> objects(m_objects.begin(), m_objects.end());
    const bool inPlace = nowCount == thenCount;
    std::vector<CCourseFileAccess::CNewObject> fresh;
    std::vector<uint32_t> serials;
    std::vector<CCourseObject*> doomed;
    for (size_t j = first; j < thenCount - last; ++j) {
        if (inPlace && sameRecord(j, j))
            continue;
        std::unique_ptr<CCourseObject> object = CCourseFileAccess::ReadRecord(*this, snapshot, then.records[j]);
        if (!object)
            return false;
        if (inPlace) {
            if (object->GetLayer() != objects[j]->GetLayer())
                return false;
            serials.push_back(objects[j]->GetSerialNumber());
            doomed.push_back(objects[j]);
        }
        fresh.push_back({std::move(object), false});
    }
    if (!inPlace) {
        doomed.assign(objects.begin() + ptrdiff_t(first), objects.end() - ptrdiff_t(last));
        if (last > 0 && !fresh.empty() && objects[nowCount - last]->GetLayer() <= fresh.back().object->GetLayer())
            return false;
    }

    std::sort(doomed.begin(), doomed.end());
    // Numbers swapped for their records keep the labels the records give.
    const CNumberingHold hold(*this, true);
    for (CCourseObject* object : m_objects)
        object->SetSelected(std::binary_search(doomed.begin(), doomed.end(), object));
    DeleteSelected();
    // An object that went with the deleted ones leaves a course the reload
    // must rebuild.
    if (m_objects.size() != nowCount - doomed.size())
        return false;
    for (size_t i = 0; i < serials.size(); ++i)
        fresh[i].object->ReuseSerialNumber(serials[i]);
    CCourseFileAccess::InsertNewObjects(*this, fresh, false);
    m_editedObject = nullptr;
    m_placedObject = nullptr;
    CCourseFileAccess::FinishLoading(*this);
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

CTextBlockTrace CCourse::MakeTextBlockTrace(const std::string& snapshot)
{
    CTextBlockTrace trace;
    trace.version3 = m_writeVersion3;
    if (trace.version3) {
        // The file's own older format: written apart from the snapshot.
        WriteArchive(trace.archive, false, true, false);
        return trace;
    }
    // The text block's archive is the snapshot without the 3D camera.
    trace.archive.reserve(snapshot.size());
    trace.archive.append(snapshot, 0, m_camera3DBytes[0]);
    trace.archive.append(snapshot, m_camera3DBytes[1], std::string::npos);
    return trace;
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
    // A later failure report then holds the state the course started from.
    TRACE_VALUE(CTextBlockTrace, MakeTextBlockTrace(snapshot));
    m_undoHistory.Reset(std::move(snapshot));
}
