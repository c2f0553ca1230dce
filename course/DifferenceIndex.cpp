#include "course/DifferenceIndex.h"

#include <tuple>

#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "foundation/FieldStream.h"

bool CDifferenceIndex::CKey::operator<(const CKey& other) const
{
    return std::tie(typeId, x, y, degrees) < std::tie(other.typeId, other.x, other.y, other.degrees);
}

bool CDifferenceIndex::MakeKey(const CCourseObject* object, CKey& key)
{
    if (object == nullptr || object->GetType() == nullptr)
        return false;
    const CTransform& placement = object->GetPlacement();
    const CPoint2 position = placement.GetPosition2D();
    key = CKey{object->GetType()->GetTypeId(), CFieldStream::RoundHalfUp(position.x),
               CFieldStream::RoundHalfUp(position.y), CFieldStream::RoundHalfUp(placement.GetRotation())};
    return true;
}

std::string CDifferenceIndex::GetRecordBody(CCourseObject* object)
{
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    object->Serialize(writer);
    return writer.m_bytes;
}

void CDifferenceIndex::Clear()
{
    m_places.clear();
    m_members.clear();
}

void CDifferenceIndex::Add(CCourseObject* overlayObject)
{
    CEntry entry;
    if (m_members.count(overlayObject) != 0 || !MakeKey(overlayObject, entry.key))
        return;
    entry.body = GetRecordBody(overlayObject);
    m_places[entry.key][entry.body].insert(overlayObject);
    m_members.emplace(overlayObject, entry);
}

void CDifferenceIndex::Remove(CCourseObject* overlayObject)
{
    // Found by where it was added, should it have moved since.
    const auto member = m_members.find(overlayObject);
    if (member == m_members.end())
        return;
    const auto place = m_places.find(member->second.key);
    const auto bodies = place->second.find(member->second.body);
    bodies->second.erase(overlayObject);
    if (bodies->second.empty())
        place->second.erase(bodies);
    if (place->second.empty())
        m_places.erase(place);
    m_members.erase(member);
}

int CDifferenceIndex::GetStatus(CCourseObject* object) const
{
    if (m_members.count(object) != 0)
        return CCourseObject::kGrey;
    CKey key;
    if (m_places.empty() || !MakeKey(object, key))
        return CCourseObject::kNormal;
    const auto place = m_places.find(key);
    if (place == m_places.end())
        return CCourseObject::kNormal;
    const auto bodies = place->second.find(GetRecordBody(object));
    if (bodies == place->second.end())
        return CCourseObject::kNormal;
    for (const CCourseObject* other : bodies->second) {
        if (other->GetPlacement() == object->GetPlacement())
            return CCourseObject::kPale;
    }
    return CCourseObject::kNormal;
}
