#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "course/CourseNumbering.h"
#include "foundation/BlockPool.h"
#include "objects/annotations/ObsNumLabel.h"

class CCourse;
class CNumberStyle;
class CObsNum;

// Members in label order: first values, then second values, then the order
// in which the numbers were made (their serial numbers). Numbers with one
// first value form a group ("2A", "2B").
struct CObsNumOrder
{
    bool operator()(const CObsNum* a, const CObsNum* b) const;
};

// The obstacle numbers of a course that share a badge style, a badge flag
// and a label kind. While the sequence numbers automatically it keeps their
// labels consecutive: a number that takes the label 3 pushes the old 3 to 4
// and so on, one that leaves closes the gap. It knows the label the next new
// number gets, and turns the course about.
//
// An automatic sequence also keeps the course's objects in label order, so
// that the archive holds the numbers as they run. While the course holds
// its numbering (CCourse::CNumberingHold) that waits, and so does closing the
// gaps of numbers that leave, until the hold ends.
class CObsNumSequence : public CCourseNumbering
{
public:
    // Nodes from the shared pool: a course read makes one per number.
    using CMembers = std::set<CObsNum*, CObsNumOrder, CPoolAllocator<CObsNum*>>;

    CObsNumSequence(CCourse* course, const CNumberStyle& style, bool flag, int kind);
    // Its members are left without a sequence.
    ~CObsNumSequence() override;
    CObsNumSequence(const CObsNumSequence&) = delete;
    CObsNumSequence& operator=(const CObsNumSequence&) = delete;

    // The course's maker of its sequences; a style index outside 0 to 2 is
    // reported and gives style 0.
    static std::unique_ptr<CCourseNumbering> Make(CCourse* course, int styleIndex, bool flag, int kind);

    int GetStyleIndex() const override;
    bool GetFlag() const override { return m_flag; }
    int GetKind() const override { return m_kind; }
    uint32_t GetStamp() const override { return m_stamp; }
    size_t GetMemberCount() const override { return m_members.size(); }
    bool IsAutoNumber() const override { return m_autoNumber; }
    void SetAutoNumber(bool on) override;
    std::wstring GetText() const override { return m_nextText; }
    // A text of another kind than the sequence's is reported and taken.
    void SetText(const std::wstring& text) override;
    // A text of another kind than the sequence's is left alone.
    void RestoreText(const std::wstring& text) override;
    bool IsSequential(bool gapsAllowed) const override;
    // Only a sequence whose labels run in order, on a course with a first
    // or jump end: each number moves to the exit side of its obstacle (or
    // through a jump's centre), then the labels run backwards.
    void Reverse() override;
    void CatchUp() override;

    CCourse* GetCourse() const { return m_course; }
    const CNumberStyle& GetStyle() const { return *m_style; }
    const CMembers& GetMembers() const { return m_members; }

    // A number joins: loading is true when its label comes from a file or a
    // listing, false when the user gave it. Returns the new stamp. A label
    // of another kind is reported and taken. A read number keeps automatic
    // numbering only when it comes after every member and needs no room.
    uint32_t AddMember(CObsNum* number, bool loading);
    // A number that is not a member exactly once is reported.
    void RemoveMember(CObsNum* number);

private:
    // Whether automatic numbering survives the number's joining: true when
    // its label leaves no gap and, from a file, repeats no label.
    bool KeepsAutoNumber(const CObsNum* before, const CObsNum* after, const CObsNum* number, bool loading) const;
    // Relabels the members 1, 2, 3 ... keeping groups; with an insertion
    // label the members at and after it move up by one to make room.
    void Renumber(const CObsNumLabel* insertion);
    // Brings the members from first on whose serial numbers fall behind to
    // the front, so that serial numbers rise along the sequence.
    void OrderSerials(CMembers::iterator first);
    void ReverseLabels();
    void MoveToExitSide(CObsNum& member, const CObsNum* next) const;
    // The first first value no member has, as a label without second run.
    std::wstring GetFirstFreeText() const;
    // Takes the members again after their order keys changed.
    void Resort();

    CCourse* m_course;
    const CNumberStyle* m_style;
    bool m_flag;
    int m_kind;
    bool m_autoNumber;
    uint32_t m_stamp = 0;
    std::wstring m_nextText;
    CMembers m_members;
    // What waits for the end of the course's hold.
    bool m_pendingRenumber = false;
    bool m_pendingOrder = false;
    bool m_pendingFreeText = false;
    std::wstring m_restoredText;
};
