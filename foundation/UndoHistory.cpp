#include "foundation/UndoHistory.h"

#include <algorithm>
#include <set>
#include <utility>

#include "foundation/Compression.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

// Every label ever pushed, kept for the whole run; entries point into it.
const std::wstring* InternLabel(const std::wstring& label)
{
    static std::set<std::wstring> labels;
    return &*labels.insert(label).first;
}

const std::wstring& NoLabel()
{
    static const std::wstring none;
    return none;
}

}  // namespace

void CUndoHistory::Reset(std::string snapshot)
{
    TRACE_VALUE(int32_t, int32_t(m_entries.size()));
    m_entries.clear();
    m_position = 0;
    m_current = std::move(snapshot);
}

bool CUndoHistory::MakeEntry(const std::string& snapshot, const std::string& neighbour, CEntry& entry)
{
    entry.patch = snapshot.size() > kWholeRecordLimit || neighbour.size() > kWholeRecordLimit;
    if (!entry.patch) {
        entry.sharedStart = entry.sharedEnd = 0;
        return ZlibCompressWithLength(snapshot, entry.record, false, neighbour);
    }
    const size_t shorter = std::min(snapshot.size(), neighbour.size());
    const auto differ = std::mismatch(snapshot.begin(), snapshot.begin() + ptrdiff_t(shorter), neighbour.begin());
    const size_t start = size_t(differ.first - snapshot.begin());
    const auto differEnd = std::mismatch(snapshot.rbegin(), snapshot.rbegin() + ptrdiff_t(shorter - start),
                                         neighbour.rbegin());
    const size_t end = size_t(differEnd.first - snapshot.rbegin());
    const std::string middle = snapshot.substr(start, snapshot.size() - start - end);
    const std::string neighbourMiddle = neighbour.substr(start, neighbour.size() - start - end);
    entry.sharedStart = start;
    entry.sharedEnd = end;
    return ZlibCompressWithLength(middle, entry.record, false, neighbourMiddle);
}

bool CUndoHistory::OpenEntry(const CEntry& entry, const std::string& neighbour, std::string& snapshot)
{
    if (!entry.patch)
        return ZlibUncompressWithLength(entry.record, snapshot, neighbour);
    if (entry.sharedStart + entry.sharedEnd > neighbour.size())
        return false;
    std::string middle;
    const std::string neighbourMiddle =
        neighbour.substr(entry.sharedStart, neighbour.size() - entry.sharedStart - entry.sharedEnd);
    if (!ZlibUncompressWithLength(entry.record, middle, neighbourMiddle))
        return false;
    snapshot.reserve(entry.sharedStart + middle.size() + entry.sharedEnd);
    snapshot.assign(neighbour, 0, entry.sharedStart);
    snapshot += middle;
    snapshot.append(neighbour, neighbour.size() - entry.sharedEnd, entry.sharedEnd);
    return true;
}

void CUndoHistory::Push(std::string snapshot, const std::wstring& label)
{
    TRACE_VALUE(std::wstring, label);
    if (m_current.empty()) {
        // The owner resets the history with its first snapshot before it
        // pushes; going on still gives a step back to an empty snapshot.
        TRACE_POINT();
        ReportFailure();
    }
    if (maximum <= 0) {
        m_entries.clear();
        m_position = 0;
        m_current = std::move(snapshot);
        return;
    }
    // A snapshot that no record can hold could never be left by Undo: the
    // step is not recorded and the current snapshot, to which the earlier
    // steps are keyed, stays.
    if (snapshot.size() > kMaxCompressedInput) {
        TRACE_VALUE(int32_t, int32_t(snapshot.size()));
        ReportFailure();
        return;
    }
    CEntry entry;
    if (m_current.size() > kMaxCompressedInput || !MakeEntry(m_current, snapshot, entry)) {
        TRACE_VALUE(int32_t, int32_t(m_current.size()));
        ReportFailure();
        // A current snapshot too large to store leaves nothing to step back
        // to: the history starts again from the new one.
        if (m_current.size() > kMaxCompressedInput)
            Reset(std::move(snapshot));
        return;
    }
    entry.label = InternLabel(label);
    while (int32_t(m_entries.size()) > m_position)
        m_entries.pop_back();
    while (!m_entries.empty() && int32_t(m_entries.size()) + 1 > maximum) {
        m_entries.pop_front();
        --m_position;
    }
    m_entries.push_back(std::move(entry));
    ++m_position;
    m_current = std::move(snapshot);
}

bool CUndoHistory::Swap(size_t index, std::string& restored)
{
    CEntry& entry = m_entries[index];
    // The snapshot entered is built in the room of the one left last time.
    if (!OpenEntry(entry, m_current, m_spare)) {
        TRACE_VALUE(int32_t, int32_t(index));
        ReportFailure();
        return false;
    }
    // The entry now holds the snapshot being left, keyed to the one entered.
    CEntry remade;
    if (!MakeEntry(m_current, m_spare, remade)) {
        TRACE_VALUE(int32_t, int32_t(m_current.size()));
        ReportFailure();
        return false;
    }
    remade.label = entry.label;
    entry = std::move(remade);
    m_current.swap(m_spare);
    restored = m_current;
    return true;
}

bool CUndoHistory::Undo(std::string& restored)
{
    TRACE_VALUE(int32_t, m_position);
    if (!CanUndo()) {
        ReportFailure();
        return false;
    }
    if (!Swap(size_t(m_position - 1), restored))
        return false;
    --m_position;
    return true;
}

bool CUndoHistory::Redo(std::string& restored)
{
    TRACE_VALUE(int32_t, m_position);
    if (!CanRedo()) {
        ReportFailure();
        return false;
    }
    if (!Swap(size_t(m_position), restored))
        return false;
    ++m_position;
    return true;
}

const std::wstring& CUndoHistory::GetUndoLabel() const
{
    if (!CanUndo())
        return NoLabel();
    return *m_entries[size_t(m_position - 1)].label;
}

const std::wstring& CUndoHistory::GetRedoLabel() const
{
    if (!CanRedo())
        return NoLabel();
    return *m_entries[size_t(m_position)].label;
}
