#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "course/PartColors.h"

class CCourse;
class CCourseObject;
class CFieldStream;
class CEditSession;
class CTransform;

// The descriptor of one kind of course object: its type id (the tag of its
// archive records), its display name, its default part colours, how to make
// an object of the kind and which properties dialog edits it. Descriptors are
// process-wide and live until exit; they are found by type id, by key name
// (the words of the legacy course text and of variants) or by name text id.
class CObjectType
{
public:
    // The text id of a display name not yet given.
    static constexpr int kUnnamed = 2000;
    // The group text id of every jump kind.
    static constexpr int kJumpGroup = 2631;

    // Registers the descriptor by type id when the id is not 0. Kinds pass
    // kUnnamed as name text id and then call SetNameId.
    CObjectType(int typeId, int groupTextId, int nameTextId);
    CObjectType(const CObjectType&) = delete;
    CObjectType& operator=(const CObjectType&) = delete;

    // ---- Operations, in their fixed order -------------------------------
    // A new, uninitialised object of the kind.
    virtual std::unique_ptr<CCourseObject> CreateObject() const = 0;
    // The type id as stored in the stream (the true id without a stream).
    // Kinds unknown to version-3 readers answer an older kind's id when the
    // stream's major version is 3. An id of 0 is reported.
    virtual int GetId(const CFieldStream* stream = nullptr) const;
    virtual bool IsEditOnCreateSettable() const;
    // The kind's dialog as registered for its type id (course/EditSession.h),
    // the plain dialog where none is; none while no dialogs are registered.
    virtual std::unique_ptr<CEditSession> CreatePropertiesDialog(CCourse* course, int nameTextId) const;
    // A non-standard kind is allowed on a course only when its rule set
    // admits it.
    virtual bool IsStandard() const;
    virtual bool GetEditOnCreateDefault() const;
    virtual ~CObjectType() = default;

    // ---- Plain operations -------------------------------------------------
    // Registers one more key name.
    void AddVariantName(const std::string& keyName);
    // Gives the name text id (and the group text id, where they are still
    // kUnnamed) and registers by it. A descriptor with type id 0 is reported.
    void SetNameId(int nameTextId);
    int GetTypeId() const { return m_typeId; }
    int GetGroupTextId() const { return m_groupTextId; }
    int GetNameTextId() const { return m_nameTextId; }
    // The type id in decimal: the prefix of the kind's settings values.
    std::wstring GetIdString() const;
    // The course rule set's word for the name. An unnamed type is reported.
    std::wstring GetDisplayName(const CCourse& course) const;
    // Whether a new object opens its dialog at once: the stored setting
    // "<id>EditOnCreate" where the kind allows it, else the default.
    bool IsEditOnCreate() const;
    // A kind that does not allow the setting is reported and nothing stored.
    void SetEditOnCreate(bool on) const;
    const CPartColorSet& GetPartColors() const { return m_partColors; }
    CPartColorSet& GetPartColors() { return m_partColors; }

    // Creation. An overlay object is created grey (display state 2). Each
    // reports and returns none when CreateObject gives nothing.
    std::unique_ptr<CCourseObject> CreateFromArchive(CCourse* course, const CTransform& placement,
                                                     CFieldStream& stream, bool overlay) const;
    std::unique_ptr<CCourseObject> CreateFromText(CCourse* course, const CTransform& placement,
                                                  const std::string& keyName, std::istream& words) const;
    // With a dialog, the new object takes its values and colours.
    std::unique_ptr<CCourseObject> CreateNew(CCourse* course, const CTransform& placement,
                                             CEditSession* dialog) const;

private:
    // CreateObject's object placed on the course in the display state;
    // none after a report when CreateObject gives nothing.
    std::unique_ptr<CCourseObject> CreatePlaced(CCourse* course, const CTransform& placement, int state) const;

    int m_typeId;
    int m_groupTextId;
    int m_nameTextId;
    CPartColorSet m_partColors;
};

// The descriptors register themselves as they are made; start-up makes every
// kind's (objects/annotations/ObjectTypes.h) before anything looks one up.
// Every registered descriptor, by type id.
std::vector<const CObjectType*> GetObjectTypes();
// None when absent.
const CObjectType* FindObjectTypeById(int typeId);
// Exact and case-sensitive.
const CObjectType* FindObjectTypeByKeyName(const std::string& keyName);
// Every registered key name, in order.
std::vector<std::string> GetObjectKeyNames();
const CObjectType* FindObjectTypeByNameId(int nameTextId);

// The next whole number of a legacy line's words, or the fallback when the
// words hold none there (the word is then left unread).
int ReadLegacyInt(std::istream& words, int fallback);
