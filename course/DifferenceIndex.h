#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

class CCourseObject;

// The overlay objects of a course's difference display, found by type id,
// place and record body, so that telling an object's difference status
// looks only at the overlay objects that could match it instead of walking
// the whole overlay; many identical overlay objects cost no more than one.
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
    size_t GetSize() const { return m_members.size(); }

    // The record body as compared: the object's own fields, written as
    // version 4.33.
    static std::string GetRecordBody(CCourseObject* object);

private:
    // The type id, the placement's position in whole units and its turn in
    // whole degrees: equal placements have equal keys.
    struct CKey
    {
        int typeId;
        int32_t x;
        int32_t y;
        int32_t degrees;
        bool operator<(const CKey& other) const;
    };
    using CBodies = std::map<std::string, std::set<CCourseObject*>>;
    struct CEntry
    {
        CKey key;
        std::string body;
    };

    // False for an object without a type, which never matches.
    static bool MakeKey(const CCourseObject* object, CKey& key);

    std::map<CKey, CBodies> m_places;
    std::unordered_map<const CCourseObject*, CEntry> m_members;
};
