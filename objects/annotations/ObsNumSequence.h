#pragma once

#include <cstdint>
#include <string>

class CCourse;
class CNumberStyle;

// An obstacle-number label taken apart: a first run and an optional second
// run of one kind each (0 invalid, 1 digits, 2 capital letters, 3 small
// letters) with zero-based values ("1" is 0, "A" is 0, "AA" is 26). A label
// that is not one or two such runs is invalid: all zero.
struct CObsNumLabel
{
    int32_t firstKind = 0;
    int32_t secondKind = 0;
    int32_t firstValue = 0;
    int32_t secondValue = 0;
};

// Full-width forms read as their ASCII characters.
CObsNumLabel ParseObsNumLabel(const std::wstring& text);
// The kind of the label's first run; 0 for an invalid label.
int GetObsNumLabelKind(const std::wstring& text);

// One obstacle-number sequence of a course, owned by the course: the numbers
// of one badge style, one badge flag and one label kind.
class CObsNumSequence
{
public:
    CObsNumSequence(CCourse* course, const CNumberStyle* style, bool flag, int kind);
    CObsNumSequence(const CObsNumSequence&) = delete;
    CObsNumSequence& operator=(const CObsNumSequence&) = delete;

    CCourse* GetCourse() const { return m_course; }
    const CNumberStyle* GetStyle() const { return m_style; }
    bool GetFlag() const { return m_flag; }
    int GetKind() const { return m_kind; }
    bool IsAutoNumber() const { return m_autoNumber; }
    // The order among sequences: raised whenever a member joins.
    uint32_t GetStamp() const { return m_stamp; }
    // Turns the course about: numbers to the other side of their obstacles,
    // labels backwards. A sequence without members has nothing to turn.
    void Reverse();

private:
    CCourse* m_course;
    const CNumberStyle* m_style;
    bool m_flag;
    int m_kind;
    bool m_autoNumber;
    uint32_t m_stamp = 0;
};
