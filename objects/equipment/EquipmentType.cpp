#include "objects/equipment/EquipmentType.h"

#include <cmath>

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

CEquipmentType::CEquipmentType(const CDescription& description)
    : CObjectType(description.typeId, kUnnamed, kUnnamed),
      m_standard(description.standard),
      m_editOnCreate(description.editOnCreate)
{
    SetNameId(description.nameTextId);
    for (const char* key : description.keyNames)
        AddVariantName(key);
    for (int part : description.parts)
        GetPartColors().AddPart(part);
}

float GetCourseJumpHeight(const CCourseObject& object)
{
    const CCourse* course = object.GetCourse();
    if (course == nullptr)
        return 240.0f;
    const float height = course->GetJumpHeight();
    return std::isfinite(height) && height > 0.0f ? height : 0.0f;
}

void TakeLength(float& field, float value)
{
    if (!(value > 0.0f)) {
        TRACE_VALUE(float, value);
        return;
    }
    field = value < kMaxStoredLength ? value : kMaxStoredLength;
}

bool IsOnMetricCourse(const CCourseObject& object)
{
    return object.GetCourse() != nullptr && object.GetCourse()->IsMetric();
}

bool IsRestoringStep(const CCourseObject& object)
{
    return object.GetCourse() != nullptr && object.GetCourse()->IsRestoringStep();
}

bool IsBeingDeleted(const CCourseObject& object)
{
    return object.GetCourse() != nullptr ? object.GetCourse()->IsBeingDeleted(object) : object.IsSelected();
}
