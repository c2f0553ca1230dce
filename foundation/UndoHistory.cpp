#include "foundation/UndoHistory.h"

#include <set>

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

void CUndoHistory::Reset(const std::string& snapshot)
{
    TRACE_VALUE(int32_t, int32_t(m_entries.size()));
    m_entries.clear();
    m_position = 0;
    m_current = snapshot;
}

void CUndoHistory::Push(const std::string& snapshot, const std::wstring& label)
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
        m_current = snapshot;
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
    if (!ZlibCompressWithLength(m_current, entry.record, false, snapshot)) {
        TRACE_VALUE(int32_t, int32_t(m_current.size()));
        ReportFailure();
        // A current snapshot too large to store leaves nothing to step back
        // to: the history starts again from the new one.
        if (m_current.size() > kMaxCompressedInput)
            Reset(snapshot);
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
    m_current = snapshot;
}

bool CUndoHistory::Swap(size_t index, std::string& restored)
{
    CEntry& entry = m_entries[index];
    std::string opened;
    if (!ZlibUncompressWithLength(entry.record, opened, m_current)) {
        TRACE_VALUE(int32_t, int32_t(index));
        ReportFailure();
        return false;
    }
    // The entry now holds the snapshot being left, keyed to the one entered.
    std::string remade;
    if (!ZlibCompressWithLength(m_current, remade, false, opened)) {
        TRACE_VALUE(int32_t, int32_t(m_current.size()));
        ReportFailure();
        return false;
    }
    entry.record.swap(remade);
    m_current.swap(opened);
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
