#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/objects/equipment/CountingContext.h"

// Helpers of the equipment kinds' tests.
namespace equipmenttest {

// A 120 by 100 foot course in imperial units under a rule set.
inline std::unique_ptr<CCourse> MakeCourse(int organisation = 1)
{
    auto course = std::make_unique<CCourse>(L"Equipment", L"");
    course->SetSpecList(organisation);
    course->SetMetric(false);
    course->SetSize(14400.0f, 12000.0f);
    return course;
}

// A new object of the kind as the placing tool makes it: through the kind's
// own dialog with its stored defaults, or through the dialog given.
template <class T = CCourseObject>
std::unique_ptr<T> MakeNew(const CObjectType& type, CCourse* course, CEditSession* dialog = nullptr,
                           const CTransform& placement = CTransform())
{
    std::unique_ptr<CEditSession> own;
    if (dialog == nullptr) {
        own = type.CreatePropertiesDialog(course, type.GetNameTextId());
        dialog = own.get();
    }
    std::unique_ptr<CCourseObject> object = type.CreateNew(course, placement, dialog);
    return std::unique_ptr<T>(dynamic_cast<T*>(object.release()));
}

// The same, added to the course at (x, y) turned by angle.
template <class T = CCourseObject>
T* Place(CCourse& course, const CObjectType& type, float x, float y, float angle = 0.0f,
         CEditSession* dialog = nullptr)
{
    std::unique_ptr<T> object = MakeNew<T>(type, &course, dialog, coursetest::MakePlacement(x, y, angle));
    T* raw = object.get();
    course.AddObject(std::move(object));
    return raw;
}

// The object the course's tool named by the text id leaves for a press at
// from and a release at to, as type T; the tool is put down again.
template <class T = CCourseObject>
T* PlaceWithTool(CCourse& course, int nameTextId, const CPoint2& from, const CPoint2& to)
{
    course.SelectToolType(nameTextId);
    course.StartPlacingObject(from.x, from.y);
    course.DragPlacedObject(to.x, to.y);
    course.DropPlacedObject(to.x, to.y);
    course.SelectToolType(0);
    for (CCourseObject* object : course.GetObjects())
        if (object->IsSelected())
            return dynamic_cast<T*>(object);
    return nullptr;
}

// The object's record body in a stream of the version.
inline std::string RecordOf(CCourseObject& object, int major = 4)
{
    CFieldWriter writer;
    writer.m_versionMajor = major;
    writer.m_versionMinor = major == 4 ? 33 : 2;
    object.Serialize(writer);
    return writer.m_bytes;
}

// Reads a record body of the version into the object.
inline void ReadRecord(CCourseObject& object, const std::string& bytes, int major = 4)
{
    CFieldReader reader(bytes);
    reader.m_versionMajor = major;
    reader.m_versionMinor = major == 4 ? 33 : 2;
    object.Serialize(reader);
}

// The object's plan and model drawn into counting contexts, after its
// extents are measured; nothing either draws may be other than a number.
struct CDrawn
{
    CCountingContext plan;
    CCountingContext model;
};

inline std::unique_ptr<CDrawn> DrawBoth(CCourseObject& object)
{
    auto drawn = std::make_unique<CDrawn>();
    object.RefreshExtents();
    drawn->plan.DrawTop(object.GetShape2D());
    drawn->model.DrawTop(object.GetShape3D());
    EXPECT_EQ(0, drawn->plan.notFinite);
    EXPECT_EQ(0, drawn->model.notFinite);
    return drawn;
}

// Whether every end point of the object is a number.
inline bool EndsAreFinite(const CCourseObject& object)
{
    for (const CObstacleEnd* end : object.GetEnds())
        if (!IsFinite(end->point) || !IsFinite(end->GetCoursePoint()))
            return false;
    for (int i = 0; i < object.GetEndCount(); ++i) {
        CPoint2 point;
        object.GetEnd(point, i);
        if (!IsFinite(point))
            return false;
    }
    return true;
}

}  // namespace equipmenttest
