#include "course/ObjectType.h"

#include <istream>
#include <map>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"

namespace {

// The registry maps live until exit, like the descriptors they point to.
struct CTypeRegistry
{
    std::map<int, const CObjectType*> byId;
    std::map<std::string, const CObjectType*> byKeyName;
    std::map<int, const CObjectType*> byNameId;
};

CTypeRegistry& GetRegistry()
{
    static CTypeRegistry* registry = new CTypeRegistry();
    return *registry;
}

// The first descriptor registered under a key keeps it.
template <class Key>
void Register(std::map<Key, const CObjectType*>& map, const Key& key, const CObjectType* type)
{
    if (!map.emplace(key, type).second) {
        TRACE_VALUE(int32_t, type->GetTypeId());
        ReportFailure();
    }
}

template <class Key>
const CObjectType* Find(const std::map<Key, const CObjectType*>& map, const Key& key)
{
    const auto found = map.find(key);
    return found != map.end() ? found->second : nullptr;
}

}  // namespace

CObjectType::CObjectType(int typeId, int groupTextId, int nameTextId)
    : m_typeId(typeId), m_groupTextId(groupTextId), m_nameTextId(nameTextId)
{
    if (typeId != 0)
        Register(GetRegistry().byId, typeId, this);
}

int CObjectType::GetId(const CFieldStream* stream) const
{
    if (m_typeId == 0) {
        TRACE_POINT();
        ReportFailure();
        return 0;
    }
    if (stream != nullptr && stream->m_versionMajor == 3) {
        switch (m_typeId) {
        case 25:
            return 190;
        case 113:
            return 350;
        case 115:
            return 320;
        case 353:
        case 357:
            return 210;
        default:
            break;
        }
    }
    return m_typeId;
}

bool CObjectType::IsEditOnCreateSettable() const
{
    return m_typeId != 0;
}

std::unique_ptr<CEditSession> CObjectType::CreatePropertiesDialog(CCourse* course, int nameTextId) const
{
    return MakeEditSession(course, *this, nameTextId);
}

bool CObjectType::IsStandard() const
{
    return true;
}

bool CObjectType::GetEditOnCreateDefault() const
{
    return false;
}

void CObjectType::AddVariantName(const std::string& keyName)
{
    Register(GetRegistry().byKeyName, keyName, this);
}

void CObjectType::SetNameId(int nameTextId)
{
    if (m_typeId == 0) {
        TRACE_VALUE(int32_t, nameTextId);
        ReportFailure();
    }
    if (m_nameTextId == kUnnamed)
        m_nameTextId = nameTextId;
    if (m_groupTextId == kUnnamed)
        m_groupTextId = nameTextId;
    Register(GetRegistry().byNameId, nameTextId, this);
}

std::wstring CObjectType::GetIdString() const
{
    return std::to_wstring(m_typeId);
}

std::wstring CObjectType::GetDisplayName(const CCourse& course) const
{
    if (m_nameTextId == kUnnamed) {
        TRACE_VALUE(int32_t, m_typeId);
        ReportFailure();
    }
    return course.GetSpecList().GetTerm(m_nameTextId);
}

bool CObjectType::IsEditOnCreate() const
{
    const bool byDefault = GetEditOnCreateDefault();
    if (!IsEditOnCreateSettable())
        return byDefault;
    return CSettings::GetInt(GetIdString() + L"EditOnCreate", byDefault ? 1 : 0) != 0;
}

void CObjectType::SetEditOnCreate(bool on) const
{
    if (!IsEditOnCreateSettable()) {
        TRACE_VALUE(int32_t, m_typeId);
        ReportFailure();
        return;
    }
    CSettings::SetInt(GetIdString() + L"EditOnCreate", on ? 1 : 0);
}

std::unique_ptr<CCourseObject> CObjectType::CreatePlaced(CCourse* course, const CTransform& placement,
                                                         int state) const
{
    std::unique_ptr<CCourseObject> object = CreateObject();
    if (!object) {
        TRACE_VALUE(int32_t, m_typeId);
        ReportFailure();
        return nullptr;
    }
    object->Init(course, this, placement, state);
    return object;
}

std::unique_ptr<CCourseObject> CObjectType::CreateFromArchive(CCourse* course, const CTransform& placement,
                                                              CFieldStream& stream, bool overlay) const
{
    std::unique_ptr<CCourseObject> object =
        CreatePlaced(course, placement, overlay ? CCourseObject::kGrey : CCourseObject::kNormal);
    if (object)
        object->ReadFields(stream);
    return object;
}

std::unique_ptr<CCourseObject> CObjectType::CreateFromText(CCourse* course, const CTransform& placement,
                                                           const std::string& keyName, std::istream& words) const
{
    std::unique_ptr<CCourseObject> object = CreatePlaced(course, placement, CCourseObject::kNormal);
    if (object)
        object->ApplyVariant(keyName, words);
    return object;
}

std::unique_ptr<CCourseObject> CObjectType::CreateNew(CCourse* course, const CTransform& placement,
                                                      CEditSession* dialog) const
{
    std::unique_ptr<CCourseObject> object = CreatePlaced(course, placement, CCourseObject::kNormal);
    if (!object)
        return nullptr;
    object->ClearHandles();
    if (dialog != nullptr)
        object->ApplyDialog(*dialog);
    return object;
}

std::vector<const CObjectType*> GetObjectTypes()
{
    std::vector<const CObjectType*> types;
    for (const auto& entry : GetRegistry().byId)
        types.push_back(entry.second);
    return types;
}

const CObjectType* FindObjectTypeById(int typeId)
{
    return Find(GetRegistry().byId, typeId);
}

const CObjectType* FindObjectTypeByKeyName(const std::string& keyName)
{
    return Find(GetRegistry().byKeyName, keyName);
}

std::vector<std::string> GetObjectKeyNames()
{
    std::vector<std::string> names;
    for (const auto& entry : GetRegistry().byKeyName)
        names.push_back(entry.first);
    return names;
}

const CObjectType* FindObjectTypeByNameId(int nameTextId)
{
    return Find(GetRegistry().byNameId, nameTextId);
}

int ReadLegacyInt(std::istream& words, int fallback)
{
    int value = 0;
    if (words >> value)
        return value;
    words.clear();
    return fallback;
}
