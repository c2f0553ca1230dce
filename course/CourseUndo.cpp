#include "course/Course.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "course/CourseFileAccess.h"
#include "course/CourseObject.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
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

// The bytes of an object record in an archive: [first, second).
using CRecordBytes = std::pair<size_t, size_t>;

// How the object records of a snapshot line up with those of the course's
// own archive: the first `first` and the last `last` are the course's, byte
// for byte, and `middle` lies between them.
struct CRecordMatch
{
    size_t first = 0;
    size_t last = 0;
    std::vector<CRecordBytes> middle;
};

// Record i of the course's archive (current) is [starts[i], starts[i + 1]);
// the last start is that of the end section.
bool SameRecord(const std::string& current, const std::vector<size_t>& starts, size_t i,
                const std::string& snapshot, const CRecordBytes& record)
{
    return current.compare(starts[i], starts[i + 1] - starts[i], snapshot, record.first,
                           record.second - record.first) == 0;
}

// Lines the records up by the bytes the two archives share at their start
// and at their end, reading only the snapshot's records between: those
// within the shared start are the course's, and so are the course's records
// that the shared end holds whole from the first of them on, once the
// snapshot's records, read from the first that differs, end just where that
// first one begins. False when that does not tell.
bool MatchSharedBytes(const std::string& current, const std::vector<size_t>& starts, const std::string& snapshot,
                      CRecordMatch& match)
{
    const size_t sharedStart = CountSharedBytes(current, snapshot, false, std::string::npos);
    const size_t sharedEnd = CountSharedBytes(current, snapshot, true, std::string::npos);
    if (sharedStart < starts.front())
        return false;
    match.first = size_t(std::upper_bound(starts.begin() + 1, starts.end(), sharedStart) - (starts.begin() + 1));
    const size_t from = starts[match.first];
    const size_t kept = std::min(sharedEnd, snapshot.size() - from);
    const auto aligned = std::lower_bound(starts.begin() + ptrdiff_t(match.first), starts.end(), current.size() - kept);
    if (aligned == starts.end())
        return false;
    match.last = size_t(starts.end() - 1 - aligned);
    const size_t to = snapshot.size() - (current.size() - *aligned);
    // The byte after `to` is read too: a record running past `to` then ends
    // beyond it, also where it finds no field end.
    CFieldReader records(snapshot.data() + from, to + 1 - from);
    while (records.GetPosition() < to - from) {
        const size_t start = from + records.GetPosition();
        records.SkipField();
        match.middle.emplace_back(start, from + records.GetPosition());
    }
    return records.GetPosition() == to - from;
}

// The same by reading the whole snapshot, comparing record by record from
// either end. False where its head or end section differs from the course's.
bool MatchAllRecords(const std::string& current, const std::vector<size_t>& starts, const std::string& snapshot,
                     CRecordMatch& match)
{
    match = CRecordMatch();
    CCourseFileAccess::CArchiveLayout then;
    if (!CCourseFileAccess::SplitArchive(snapshot, then) ||
        current.compare(0, starts.front(), snapshot, 0, then.headEnd) != 0 ||
        current.compare(starts.back(), std::string::npos, snapshot, then.tailStart, std::string::npos) != 0)
        return false;
    const size_t nowCount = starts.size() - 1;
    const size_t thenCount = then.records.size();
    size_t& first = match.first;
    while (first < nowCount && first < thenCount && SameRecord(current, starts, first, snapshot, then.records[first]))
        ++first;
    size_t& last = match.last;
    while (last < nowCount - first && last < thenCount - first &&
           SameRecord(current, starts, nowCount - 1 - last, snapshot, then.records[thenCount - 1 - last]))
        ++last;
    match.middle.assign(then.records.begin() + ptrdiff_t(first), then.records.end() - ptrdiff_t(last));
    return true;
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
    // Taken before the trace, which may write an older format.
    m_snapshotRecords.swap(m_recordStarts);
    // A later failure report then holds the last committed state.
    TRACE_VALUE(CTextBlockTrace, MakeTextBlockTrace(snapshot));
    KeepSnapshotRecords(m_undoHistory.Push(std::move(snapshot), CleanLabel(label)));
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
    // Unless the course changed since, the snapshot left is what it writes.
    const bool writesCurrent = WritesCurrentSnapshot();
    if (!(forward ? m_undoHistory.Redo() : m_undoHistory.Undo()))
        return false;
    m_restoringStep = true;
    const bool loaded = LoadSnapshot(m_undoHistory.GetCurrent(), writesCurrent ? &m_undoHistory.GetLeft() : nullptr);
    // A step that opens but cannot be read as a course: the history steps
    // back and the course gets the state it had.
    if (!loaded && (forward ? m_undoHistory.Undo() : m_undoHistory.Redo()))
        LoadSnapshot(m_undoHistory.GetCurrent(), nullptr);
    m_restoringStep = false;
    if (!loaded)
        return false;
    m_modifiedCount += forward ? -1 : 1;
    return true;
}

bool CCourse::LoadSnapshot(const std::string& snapshot, const std::string* kept)
{
    // Most steps change a few objects: only those are read again.
    if (LoadChangedRecords(snapshot, kept))
        return true;
    KeepSnapshotRecords(false);
    // The history's own snapshot may change while the listeners are told.
    const std::string whole = snapshot;
    SelectAll();
    DeleteSelected();
    m_markedPoints.clear();
    DestroyOverlayObjects();
    if (!LoadArchive(whole, false, true)) {
        TRACE_VALUE(int32_t, int32_t(whole.size()));
        ReportFailure();
        return false;
    }
    return true;
}

bool CCourse::LoadChangedRecords(const std::string& snapshot, const std::string* kept)
{
    TRACE_POINT();
    // A reload would drop marked points that are not shown.
    if (!m_markedPoints.empty() && !m_display.showObsCoords)
        return false;
    // The archive the course writes: the one kept, or written now, which
    // notes where the course's records went.
    std::string written;
    if (kept == nullptr)
        WriteSnapshot(written);
    const std::string& current = kept != nullptr ? *kept : written;
    const std::vector<size_t>& starts = kept != nullptr ? m_snapshotRecords : m_recordStarts;
    const size_t nowCount = starts.size() - 1;
    CRecordMatch match;
    if (nowCount != m_objects.size() ||
        !(MatchSharedBytes(current, starts, snapshot, match) || MatchAllRecords(current, starts, snapshot, match)))
        return false;
    const size_t first = match.first;
    const size_t last = match.last;
    const size_t thenCount = first + match.middle.size() + last;
    // With as many records as before, each keeps the place (layer and serial
    // number) of the one it replaces, and only those that differ are read;
    // otherwise the new ones come last in their layers, which must be where
    // the snapshot has them.
    const bool inPlace = nowCount == thenCount;
    // Where the snapshot's records begin: the course's first and last, the
    // last moved by the change of length, and the middle ones read.
    std::vector<size_t> records;
    records.reserve(thenCount + 1);
    records.assign(starts.begin(), starts.begin() + ptrdiff_t(first));
    for (const CRecordBytes& record : match.middle)
        records.push_back(record.first);
    for (size_t i = nowCount - last; i <= nowCount; ++i)
        records.push_back(snapshot.size() - (current.size() - starts[i]));
    std::vector<size_t> differing;
    for (size_t k = 0; k < match.middle.size(); ++k) {
        if (!inPlace || !SameRecord(current, starts, first + k, snapshot, match.middle[k]))
            differing.push_back(k);
    }

    // The objects from the first differing record to the one after the last,
    // objects[k] the object of record first + k; the set is walked to them
    // from its nearer end.
    std::vector<CCourseObject*> objects;
    auto it = first <= nowCount - first ? std::next(m_objects.begin(), ptrdiff_t(first))
                                        : std::prev(m_objects.end(), ptrdiff_t(nowCount - first));
    for (size_t k = first; k < nowCount && k <= nowCount - last; ++k, ++it)
        objects.push_back(*it);

    // The objects of the differing records, read before anything changes.
    std::vector<CCourseFileAccess::CNewObject> fresh;
    std::vector<uint32_t> serials;
    std::vector<CCourseObject*> doomed;
    for (size_t k : differing) {
        std::unique_ptr<CCourseObject> object = CCourseFileAccess::ReadRecord(*this, snapshot, match.middle[k]);
        if (!object)
            return false;
        if (inPlace) {
            CCourseObject* replaced = objects[k];
            if (object->GetLayer() != replaced->GetLayer())
                return false;
            serials.push_back(replaced->GetSerialNumber());
            doomed.push_back(replaced);
        }
        fresh.push_back({std::move(object), false});
    }
    if (!inPlace) {
        doomed.assign(objects.begin(), objects.begin() + ptrdiff_t(nowCount - last - first));
        if (last > 0 && !fresh.empty() && objects.back()->GetLayer() <= fresh.back().object->GetLayer())
            return false;
    }

    std::sort(doomed.begin(), doomed.end());
    // Numbers swapped for their records keep the labels the records give.
    const CNumberingHold hold(*this, true);
    RemoveObjectsReadAgain(doomed);
    // An object that went with the deleted ones leaves a course the reload
    // must rebuild.
    if (m_objects.size() != nowCount - doomed.size())
        return false;
    for (size_t i = 0; i < serials.size(); ++i)
        fresh[i].object->ReuseSerialNumber(serials[i]);
    for (const CCourseFileAccess::CNewObject& entry : fresh)
        m_objectsReadBack.push_back(entry.object.get());
    CCourseFileAccess::InsertNewObjects(*this, fresh, false);
    m_editedObject = nullptr;
    m_placedObject = nullptr;
    CCourseFileAccess::FinishLoading(*this);
    m_objectsReadBack.clear();
    m_snapshotRecords.swap(records);
    KeepSnapshotRecords(true);
    return true;
}

void CCourse::RemoveObjectsReadAgain(const std::vector<CCourseObject*>& going)
{
    // The objects that stay tell the going ones by IsBeingDeleted, not by
    // their selection, which changes on the same walk: the going ones are
    // selected as they would be for DeleteSelected, and the others not.
    m_objectsGoing = &going;
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        CCourseObject* object = *it;
        object->SetSelected(IsBeingDeleted(*object));
        it = object->BeforeObjectsDeleted() && !IsBeingDeleted(*object) ? DestroyObjectAt(it) : std::next(it);
    }
    m_objectsGoing = nullptr;
    for (CCourseObject* object : going) {
        const auto found = m_objects.find(object);
        if (found == m_objects.end() || *found != object) {
            TRACE_VALUE(const void*, object);
            ReportFailure();
            continue;
        }
        DestroyObjectAt(found);
    }
    for (auto it = m_objects.begin(); it != m_objects.end();)
        it = (*it)->AfterObjectsDeleted() ? DestroyObjectAt(it) : std::next(it);
}

void CCourse::WriteSnapshot(std::string& out)
{
    // Steps keep the present format whatever the course writes to its file.
    const bool writeVersion3 = m_writeVersion3;
    m_writeVersion3 = false;
    WriteArchive(out, false, false, true);
    m_writeVersion3 = writeVersion3;
}

void CCourse::WriteSnapshotHead(std::string& out)
{
    CFieldWriter stream(256);
    WriteArchiveHead(stream, false, false, true);
    out.swap(stream.m_bytes);
}

bool CCourse::WritesCurrentSnapshot()
{
    const std::string& current = m_undoHistory.GetCurrent();
    const std::vector<size_t>& starts = m_snapshotRecords;
    if (starts.empty() || m_snapshotCount != m_undoHistory.GetCurrentCount() || m_snapshotChanges != m_changeCount ||
        starts.size() - 1 != m_objects.size() || starts.back() > current.size())
        return false;
    // Settings and cameras change without telling: the head is written anew.
    std::string head;
    WriteSnapshotHead(head);
    return head.size() == starts.front() && current.compare(0, head.size(), head) == 0;
}

void CCourse::KeepSnapshotRecords(bool known)
{
    if (!known)
        m_snapshotRecords.clear();
    m_snapshotCount = m_undoHistory.GetCurrentCount();
    m_snapshotChanges = m_changeCount;
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

void CCourse::MarkModifiedUntilSaved()
{
    TRACE_POINT();
    m_modifiedCount = kUnreachableModifiedCount;
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
    m_snapshotRecords.swap(m_recordStarts);
    // A later failure report then holds the state the course started from.
    TRACE_VALUE(CTextBlockTrace, MakeTextBlockTrace(snapshot));
    m_undoHistory.Reset(std::move(snapshot));
    KeepSnapshotRecords(true);
}
