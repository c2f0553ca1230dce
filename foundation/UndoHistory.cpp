#include "foundation/UndoHistory.h"

#include <algorithm>
#include <cstring>
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

size_t CountSharedBytes(const std::string& a, const std::string& b, bool fromEnd, size_t limit)
{
    const size_t shorter = std::min({a.size(), b.size(), limit});
    const auto at = [fromEnd](const std::string& s, size_t shared, size_t count) {
        return s.data() + (fromEnd ? s.size() - shared - count : shared);
    };
    constexpr size_t kBlock = 64;
    size_t shared = 0;
    while (shorter - shared >= kBlock && std::memcmp(at(a, shared, kBlock), at(b, shared, kBlock), kBlock) == 0)
        shared += kBlock;
    while (shared < shorter && *at(a, shared, 1) == *at(b, shared, 1))
        ++shared;
    return shared;
}

void CUndoHistory::Reset(std::string snapshot)
{
    TRACE_VALUE(int32_t, int32_t(m_entries.size()));
    m_entries.clear();
    m_position = 0;
    m_current = std::move(snapshot);
    ++m_currentCount;
}

bool CUndoHistory::MakeEntry(const std::string& snapshot, const std::string& neighbour, CEntry& entry)
{
    entry.patch = snapshot.size() > kWholeRecordLimit || neighbour.size() > kWholeRecordLimit;
    if (!entry.patch) {
        entry.sharedStart = entry.sharedEnd = 0;
        return ZlibCompressWithLength(snapshot, entry.record, false, neighbour);
    }
    const size_t shorter = std::min(snapshot.size(), neighbour.size());
    const size_t start = CountSharedBytes(snapshot, neighbour, false, shorter);
    const size_t end = CountSharedBytes(snapshot, neighbour, true, shorter - start);
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

bool CUndoHistory::Push(std::string snapshot, const std::wstring& label)
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
        ++m_currentCount;
        return true;
    }
    // A snapshot that no record can hold could never be left by Undo: the
    // step is not recorded and the current snapshot, to which the earlier
    // steps are keyed, stays.
    if (snapshot.size() > kMaxCompressedInput) {
        TRACE_VALUE(int32_t, int32_t(snapshot.size()));
        ReportFailure();
        return false;
    }
    CEntry entry;
    if (m_current.size() > kMaxCompressedInput || !MakeEntry(m_current, snapshot, entry)) {
        TRACE_VALUE(int32_t, int32_t(m_current.size()));
        ReportFailure();
        // A current snapshot too large to store leaves nothing to step back
        // to: the history starts again from the new one.
        if (m_current.size() <= kMaxCompressedInput)
            return false;
        Reset(std::move(snapshot));
        return true;
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
    ++m_currentCount;
    return true;
}

bool CUndoHistory::Swap(size_t index)
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
    ++m_currentCount;
    return true;
}

bool CUndoHistory::Undo(std::string& restored)
{
    if (!Undo())
        return false;
    restored = m_current;
    return true;
}

bool CUndoHistory::Redo(std::string& restored)
{
    if (!Redo())
        return false;
    restored = m_current;
    return true;
}

bool CUndoHistory::Undo()
{
    TRACE_VALUE(int32_t, m_position);
    if (!CanUndo()) {
        ReportFailure();
        return false;
    }
    if (!Swap(size_t(m_position - 1)))
        return false;
    --m_position;
    return true;
}

bool CUndoHistory::Redo()
{
    TRACE_VALUE(int32_t, m_position);
    if (!CanRedo()) {
        ReportFailure();
        return false;
    }
    if (!Swap(size_t(m_position)))
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
