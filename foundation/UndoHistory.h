#pragma once

#include <cstdint>
#include <deque>
#include <string>

// The past and undone states of a course as whole snapshots (narrow byte
// strings). Only the current snapshot is kept as it is; every other one is a
// compressed record made against its neighbour on the way to the current
// one, so a step costs about the size of what changed:
//
//   snapshots S0 ... Sn, S(position) current;
//   entry i <  position holds S(i)   compressed with S(i+1) as dictionary,
//   entry i >= position holds S(i+1) compressed with S(i)   as dictionary.
//
// Compressing a whole snapshot against its neighbour costs time in
// proportion to the course: the compressor first takes in the whole
// neighbour as its dictionary. Beyond a small course (kWholeRecordLimit) a
// record is a patch instead: the lengths of the parts the two snapshots
// share at their start and at their end, and the differing middle compressed
// against the neighbour's middle; pushing, undoing and redoing then compress
// only what changed. Where the two middles also share a long run at the same
// place (two objects changed far apart in one step, such as an obstacle and
// a line tied to it), that run is left out of the record as well.
//
// Every step keeps a label naming it. Labels are interned for the whole run.
// Misuse and compression failures are reported; a step that fails is never
// half done: the history keeps its position, entries and current snapshot.
// How many bytes a and b share at their start, or with fromEnd at their end,
// up to limit; compared a block at a time, as two snapshots of one course
// share most of their bytes.
size_t CountSharedBytes(const std::string& a, const std::string& b, bool fromEnd, size_t limit);

class CUndoHistory
{
public:
    CUndoHistory() = default;
    explicit CUndoHistory(int32_t maximumSteps) : maximum(maximumSteps) {}
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    // Drops every step; the snapshot becomes the current one.
    void Reset(std::string snapshot);
    // Records a step from the current snapshot to the new one; the redo
    // steps are gone and the oldest steps beyond the maximum are dropped.
    // When the step cannot be compressed it is not recorded (reported): the
    // current snapshot stays, so the steps before it still undo. True when
    // the snapshot became the current one.
    bool Push(std::string snapshot, const std::wstring& label);
    // Steps back or forward and gives the snapshot stepped to. False (and
    // reported) when there is no step or its record cannot be restored; the
    // history is then unchanged and restored is left alone.
    bool Undo(std::string& restored);
    bool Redo(std::string& restored);
    // The same without a copy: the snapshot stepped to is then the current
    // one, and the one left is GetLeft() until the next step.
    bool Undo();
    bool Redo();

    bool CanUndo() const { return m_position > 0; }
    bool CanRedo() const { return m_position < int32_t(m_entries.size()); }
    // The label of the step Undo would take back; empty when none. Equal
    // labels are one interned string.
    const std::wstring& GetUndoLabel() const;
    // The label of the step Redo would take again; empty when none.
    const std::wstring& GetRedoLabel() const;

    const std::string& GetCurrent() const { return m_current; }
    const std::string& GetLeft() const { return m_spare; }
    // Grows whenever another snapshot becomes the current one.
    uint32_t GetCurrentCount() const { return m_currentCount; }
    int32_t GetPosition() const { return m_position; }
    size_t GetEntryCount() const { return m_entries.size(); }

    // The most steps kept; the owner sets it. 0 or less keeps none.
    int32_t maximum = 1;

    // Snapshots up to this size (an empty course, a few hundred objects) are
    // kept as whole compressed records.
    static constexpr size_t kWholeRecordLimit = 8192;

private:
    friend class CUndoHistoryTestAccess;

    struct CEntry
    {
        std::string record;
        // An element of the process-wide label set.
        const std::wstring* label = nullptr;
        // A patch: the record holds the middle between the shared start
        // and end of the two snapshots.
        bool patch = false;
        size_t sharedStart = 0;
        size_t sharedEnd = 0;
        // A run of the middle both snapshots hold at the same place, counted
        // from the middle's start; left out of the record.
        size_t innerStart = 0;
        size_t innerLength = 0;
    };

    // The entry of snapshot against its neighbour. False when it cannot be
    // compressed.
    static bool MakeEntry(const std::string& snapshot, const std::string& neighbour, CEntry& entry);
    // The snapshot the entry holds against its neighbour.
    static bool OpenEntry(const CEntry& entry, const std::string& neighbour, std::string& snapshot);
    // Opens the record of entry (made against the current snapshot) and
    // remakes it against the restored snapshot, which becomes the current
    // one. False leaves everything.
    bool Swap(size_t entry);

    std::string m_current;
    // Room for the snapshot the next undo or redo enters: a large course's
    // steps then take no new memory.
    std::string m_spare;
    int32_t m_position = 0;
    uint32_t m_currentCount = 0;
    std::deque<CEntry> m_entries;
};
