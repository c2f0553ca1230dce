#pragma once

#include <istream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "foundation/FieldStream.h"
#include "foundation/Transform.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/Bytes.h"
#include "tests/support/TestSupport.h"

// Object kinds for the archive and text-block tests, with type ids that no
// real kind has: 4107 (key names "ArchiveTestKind" and "ArchiveTestVariant")
// and 4108 (a second kind with a different layer).

namespace archivetest {

constexpr int kKindId = 4107;
constexpr int kOtherKindId = 4108;
constexpr int kGateTypeId = 113;

// A record of an Int16, a wide string and a point; its values come from a
// legacy line as "value label".
class CRecordObject : public CCourseObject
{
public:
    explicit CRecordObject(int layer) : m_layer(layer) {}

    int GetCategory() const override { return 1; }
    int GetLayer() const override { return m_layer; }
    int GetEndCount() const override { return 0; }
    void GetEnd(CPoint2&, int) const override {}
    void Draw2D(CGraphicsContext&) override {}
    void Serialize(CFieldStream& stream) override
    {
        stream.Int16(value);
        stream.WString(label);
        stream.Point(corner);
    }
    void ApplyVariant(const std::string& keyName, std::istream& words) override
    {
        variant = keyName;
        std::string word;
        if (words >> value >> word)
            label.assign(word.begin(), word.end());
    }

    int32_t value = 0;
    std::wstring label;
    CPoint2 corner;
    std::string variant;

private:
    int m_layer;
};

class CRecordType : public CObjectType
{
public:
    CRecordType(int typeId, int layer) : CObjectType(typeId, kUnnamed, kUnnamed), m_layer(layer)
    {
        GetPartColors().AddPart(2);
        GetPartColors().AddPart(17);
    }
    std::unique_ptr<CCourseObject> CreateObject() const override
    {
        return std::make_unique<CRecordObject>(m_layer);
    }

private:
    int m_layer;
};

// A stand-in for the gate (113) while the real kind is not registered.
class CGateStandInType : public CObjectType
{
public:
    CGateStandInType() : CObjectType(kGateTypeId, kUnnamed, kUnnamed) {}
    std::unique_ptr<CCourseObject> CreateObject() const override { return std::make_unique<CRecordObject>(4); }
};

inline const CObjectType& GetKind()
{
    static CRecordType* type = [] {
        auto* made = new CRecordType(kKindId, 4);
        made->AddVariantName("ArchiveTestKind");
        made->AddVariantName("ArchiveTestVariant");
        return made;
    }();
    return *type;
}

inline const CObjectType& GetOtherKind()
{
    static CRecordType* type = new CRecordType(kOtherKindId, 3);
    return *type;
}

inline const CObjectType& GetGateKind()
{
    static const CObjectType* type = [] {
        const CObjectType* registered = FindObjectTypeById(kGateTypeId);
        return registered != nullptr ? registered : new CGateStandInType();
    }();
    return *type;
}

// Makes both test kinds known to the registry.
inline void RegisterKinds()
{
    GetKind();
    GetOtherKind();
}

// A new object of a kind placed on the course (and owned by it).
inline CCourseObject* Place(CCourse& course, const CObjectType& type, float x, float y, float angle = 0.0f)
{
    std::unique_ptr<CCourseObject> object = type.CreateNew(&course, coursetest::MakePlacement(x, y, angle), nullptr);
    CCourseObject* raw = object.get();
    course.AddObject(std::move(object));
    return raw;
}

inline CRecordObject* PlaceRecord(CCourse& course, float x, float y, float angle, int32_t value,
                                  const std::wstring& label)
{
    auto* object = static_cast<CRecordObject*>(Place(course, GetKind(), x, y, angle));
    object->value = value;
    object->label = label;
    return object;
}

inline std::string TextBlockOf(CCourse& course, bool olderFormat = false, bool selectedOnly = false)
{
    std::ostringstream out;
    course.WriteTextBlock(out, selectedOnly, olderFormat);
    return out.str();
}

inline CCourseRead ReadBlock(CCourse& course, const std::string& text, bool merge = false)
{
    std::istringstream in(text);
    return course.ReadTextBlock(in, merge);
}

// The message a read ends with: its text id, a warning's id negated.
inline int MessageOf(const CCourseRead& read)
{
    return read.style == ENoticeStyle::kWarning ? -read.messageId : read.messageId;
}

// Tests in the test settings key, with both test kinds known.
class CArchiveFixture : public coursetest::CSettingsFixture
{
protected:
    void SetUp() override
    {
        CSettingsFixture::SetUp();
        RegisterKinds();
    }
};

}  // namespace archivetest
