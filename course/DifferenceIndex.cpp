#include "course/DifferenceIndex.h"

#include <tuple>

#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "foundation/FieldStream.h"

bool CDifferenceIndex::CKey::operator<(const CKey& other) const
{
    return std::tie(typeId, x, y) < std::tie(other.typeId, other.x, other.y);
}

bool CDifferenceIndex::MakeKey(const CCourseObject* object, CKey& key)
{
    if (object == nullptr || object->GetType() == nullptr)
        return false;
    const CPoint2 position = object->GetPlacement().GetPosition2D();
    key = CKey{object->GetType()->GetTypeId(), CFieldStream::RoundHalfUp(position.x),
               CFieldStream::RoundHalfUp(position.y)};
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
    m_entries.clear();
}

void CDifferenceIndex::Add(CCourseObject* overlayObject)
{
    CKey key;
    if (MakeKey(overlayObject, key))
        m_entries.emplace(key, CEntry{overlayObject, GetRecordBody(overlayObject)});
}

void CDifferenceIndex::Remove(CCourseObject* overlayObject)
{
    CKey key;
    if (!MakeKey(overlayObject, key))
        return;
    const auto range = m_entries.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.object == overlayObject) {
            m_entries.erase(it);
            return;
        }
    }
    // Moved since it was added: no entry may outlive its object.
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->second.object == overlayObject) {
            m_entries.erase(it);
            return;
        }
    }
}

int CDifferenceIndex::GetStatus(CCourseObject* object) const
{
    CKey key;
    if (m_entries.empty() || !MakeKey(object, key))
        return CCourseObject::kNormal;
    int status = CCourseObject::kNormal;
    std::string body;
    bool haveBody = false;
    const auto range = m_entries.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        const CCourseObject* other = it->second.object;
        if (other == object)
            return CCourseObject::kGrey;
        if (status == CCourseObject::kPale || other->GetPlacement() != object->GetPlacement())
            continue;
        if (!haveBody) {
            body = GetRecordBody(object);
            haveBody = true;
        }
        if (it->second.body == body)
            status = CCourseObject::kPale;
    }
    return status;
}
