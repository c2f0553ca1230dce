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

// The shortest run shared inside two middles that is worth leaving out of a
// patch: below it the compressor matches the run against its dictionary.
constexpr size_t kLeastInnerRun = 4096;

// The first run of at least kLeastInnerRun bytes that a and b hold alike at
// the same place, looked for a block at a time; length 0 when there is none.
void FindInnerRun(const std::string& a, const std::string& b, size_t& start, size_t& length)
{
    constexpr size_t kBlock = 64;
    const size_t shorter = std::min(a.size(), b.size());
    start = 0;
    length = 0;
    for (size_t at = 0; at + kLeastInnerRun <= shorter; at += kBlock) {
        if (std::memcmp(a.data() + at, b.data() + at, kBlock) != 0)
            continue;
        size_t run = kBlock;
        while (at + run + kBlock <= shorter && std::memcmp(a.data() + at + run, b.data() + at + run, kBlock) == 0)
            run += kBlock;
        if (run >= kLeastInnerRun) {
            start = at;
            length = run;
            return;
        }
        at += run;
    }
}

// s without its [start, start + length) run.
std::string WithoutRun(const std::string& s, size_t start, size_t length)
{
    std::string rest;
    rest.reserve(s.size() - length);
    rest.assign(s, 0, start);
    rest.append(s, start + length, std::string::npos);
    return rest;
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
    std::string middle = snapshot.substr(start, snapshot.size() - start - end);
    std::string neighbourMiddle = neighbour.substr(start, neighbour.size() - start - end);
    entry.sharedStart = start;
    entry.sharedEnd = end;
    FindInnerRun(middle, neighbourMiddle, entry.innerStart, entry.innerLength);
    if (entry.innerLength > 0) {
        middle = WithoutRun(middle, entry.innerStart, entry.innerLength);
        neighbourMiddle = WithoutRun(neighbourMiddle, entry.innerStart, entry.innerLength);
    }
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
    if (entry.innerStart + entry.innerLength > neighbourMiddle.size())
        return false;
    if (!ZlibUncompressWithLength(entry.record, middle,
                                  WithoutRun(neighbourMiddle, entry.innerStart, entry.innerLength)) ||
        middle.size() < entry.innerStart)
        return false;
    snapshot.reserve(entry.sharedStart + middle.size() + entry.innerLength + entry.sharedEnd);
    snapshot.assign(neighbour, 0, entry.sharedStart);
    snapshot.append(middle, 0, entry.innerStart);
    snapshot.append(neighbourMiddle, entry.innerStart, entry.innerLength);
    snapshot.append(middle, entry.innerStart, std::string::npos);
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
