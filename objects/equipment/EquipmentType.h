#pragma once

#include <initializer_list>
#include <memory>

#include "course/CourseObject.h"
#include "course/ObjectType.h"

// The descriptor of an equipment kind: type id, display name (also its
// group), legacy and variant key names, parts, whether the kind is standard
// and whether a new object opens its dialog by default.
class CEquipmentType : public CObjectType
{
public:
    struct CDescription
    {
        int typeId;
        int nameTextId;
        std::initializer_list<const char*> keyNames;
        std::initializer_list<int> parts;
        bool standard;
        bool editOnCreate;
    };

    explicit CEquipmentType(const CDescription& description);

    bool IsStandard() const override { return m_standard; }
    bool GetEditOnCreateDefault() const override { return m_editOnCreate; }

private:
    bool m_standard;
    bool m_editOnCreate;
};

// The descriptor of the kind whose objects are of class TObject.
template <class TObject>
class CEquipmentTypeOf : public CEquipmentType
{
public:
    using CEquipmentType::CEquipmentType;
    std::unique_ptr<CCourseObject> CreateObject() const override { return std::make_unique<TObject>(); }
};

// The course's jump height, which the tables, guides, covers and bars
// follow: 240 without a course; a value that is no usable height gives 0.
float GetCourseJumpHeight(const CCourseObject& object);

// The longest length a record holds (a whole Int16).
constexpr float kMaxStoredLength = 32767.0f;

// A length read from a record, a legacy line or a dialog: one that is not
// above 0 (or no number) keeps the field; one beyond a record's reach is
// held at kMaxStoredLength, so that it saves and reads back the same.
void TakeLength(float& field, float value);

// Whether the object's course shows metric units (false without a course).
bool IsOnMetricCourse(const CCourseObject& object);
// Whether the object's course is putting back an undo step (false without a
// course): see CCourse::IsRestoringStep.
bool IsRestoringStep(const CCourseObject& object);
// Whether the object is one of those its course is deleting, as an object
// staying asks in BeforeObjectsDeleted (CCourse::IsBeingDeleted); without a
// course, whether it is selected.
bool IsBeingDeleted(const CCourseObject& object);
