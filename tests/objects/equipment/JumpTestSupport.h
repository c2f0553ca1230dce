#pragma once

#include <memory>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "dialogs/PropertyBinding.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/JumpType.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"

// Jumps for the jump tests: every jump kind, and jumps made and placed as
// the course makes them.

namespace jumptest {

// Every jump kind's type id, in registry order.
inline const std::vector<int>& AllJumpTypeIds()
{
    static const std::vector<int> ids = {150, 20, 30, 40, 115, 160, 170, 180, 200, 210,
                                         230, 260, 320, 330, 357, 353, 360, 380, 390};
    return ids;
}

inline const CJumpType& JumpType(int typeId)
{
    const CJumpType* type = dynamic_cast<const CJumpType*>(FindObjectTypeById(typeId));
    EXPECT_NE(nullptr, type) << typeId;
    return *type;
}

// A jump of the type as a new object is made, without a dialog; with a
// course it is not yet in the course.
inline std::unique_ptr<CJump> MakeJump(int typeId, CCourse* course = nullptr,
                                       const CTransform& placement = CTransform())
{
    std::unique_ptr<CCourseObject> object = JumpType(typeId).CreateNew(course, placement, nullptr);
    return std::unique_ptr<CJump>(dynamic_cast<CJump*>(object.release()));
}

inline CJump* PlaceJump(CCourse& course, int typeId, float x, float y, float angle = 0.0f)
{
    std::unique_ptr<CJump> jump = MakeJump(typeId, &course, coursetest::MakePlacement(x, y, angle));
    CJump* raw = jump.get();
    course.AddObject(std::move(jump));
    raw->Invalidate();
    return raw;
}

inline void SetWings(CJump& jump, float width, float wingWidth)
{
    CWingsBinding* wings = jump.GetWingsBinding();
    ASSERT_NE(nullptr, wings);
    wings->width = width;
    wings->wingWidth = wingWidth;
    jump.Invalidate();
}

inline std::vector<CJump*> JumpsOf(const CCourse& course)
{
    std::vector<CJump*> jumps;
    for (CCourseObject* object : course.GetObjects())
        if (CJump* jump = dynamic_cast<CJump*>(object))
            jumps.push_back(jump);
    return jumps;
}

// A course of the organisation and a record body, as the equipment tests
// make them.
using equipmenttest::MakeCourse;
using equipmenttest::RecordOf;

}  // namespace jumptest
