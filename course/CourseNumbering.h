#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CCourse;

// An obstacle-number sequence as the course keeps it: the numbers of one
// badge style (0 to 2), one badge flag and one label kind (0 invalid labels,
// 1 digits, 2 capital letters, 3 small letters), in label order, with the
// label the next new number gets. The course owns its sequences, finds or
// makes the one a number joins (CCourse::GetNumbering), reverses them and
// lets them catch up after it held them. The sequences are the annotations'
// (objects/annotations/ObsNumSequence.h), made through the maker that the
// object kinds' registration installs.
class CCourseNumbering
{
public:
    virtual ~CCourseNumbering() = default;

    virtual int GetStyleIndex() const = 0;
    virtual bool GetFlag() const = 0;
    virtual int GetKind() const = 0;
    // Raised whenever a number joins: the sequence joined last has the
    // highest stamp of the program.
    virtual uint32_t GetStamp() const = 0;
    virtual size_t GetMemberCount() const = 0;

    // Whether the members' labels are kept consecutive. Switching it on
    // renumbers them; a sequence of invalid labels is never automatic.
    virtual bool IsAutoNumber() const = 0;
    virtual void SetAutoNumber(bool on) = 0;
    // The label the next new number of the sequence gets.
    virtual std::wstring GetText() const = 0;
    virtual void SetText(const std::wstring& text) = 0;
    // The label an undo step's routed path names as the next one: taken
    // when the sequence catches up, over the one it would work out itself.
    virtual void RestoreText(const std::wstring& text) = 0;
    // Whether the labels run 1, 2, 3 (a group such as 2A, 2B counting as
    // one step), or, with gaps allowed, only rise.
    virtual bool IsSequential(bool gapsAllowed) const = 0;
    // Turns the course about: every number moves to the exit side of its
    // obstacle and the labels run backwards.
    virtual void Reverse() = 0;
    // Does what the sequence put off while the course held its numbering
    // (CCourse::CNumberingHold).
    virtual void CatchUp() = 0;
};

// Makes a sequence of the course for a badge style index, badge flag and
// label kind.
using CCourseNumberingMaker = std::unique_ptr<CCourseNumbering> (*)(CCourse* course, int styleIndex, bool flag,
                                                                     int kind);
void SetCourseNumberingMaker(CCourseNumberingMaker maker);
// None, after a report, before a maker is installed.
std::unique_ptr<CCourseNumbering> MakeCourseNumbering(CCourse* course, int styleIndex, bool flag, int kind);
