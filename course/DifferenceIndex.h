#pragma once

#include <cstdint>
#include <map>
#include <string>

class CCourseObject;

// The overlay objects of a course's difference display, found by type id and
// placement, so that telling an object's difference status looks only at
// the overlay objects in its place instead of walking the whole overlay.
class CDifferenceIndex
{
public:
    void Clear();
    // The object's record body is kept for the comparisons.
    void Add(CCourseObject* overlayObject);
    void Remove(CCourseObject* overlayObject);
    // 2 (grey) for an overlay object itself, 1 (pale) when an overlay object
    // of the same type id and placement has the same record body, else 0.
    int GetStatus(CCourseObject* object) const;
    size_t GetSize() const { return m_entries.size(); }

    // The record body as compared: the object's own fields, written as
    // version 4.33.
    static std::string GetRecordBody(CCourseObject* object);

private:
    // The type id and the whole units of the placement's position; equal
    // placements have equal keys.
    struct CKey
    {
        int typeId;
        int32_t x;
        int32_t y;
        bool operator<(const CKey& other) const;
    };
    struct CEntry
    {
        CCourseObject* object;
        std::string body;
    };

    // False for an object without a type, which never matches.
    static bool MakeKey(const CCourseObject* object, CKey& key);

    std::multimap<CKey, CEntry> m_entries;
};
