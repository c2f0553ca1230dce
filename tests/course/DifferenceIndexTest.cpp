#include <gtest/gtest.h>

#include "course/DifferenceIndex.h"
#include "tests/course/EditingTestKinds.h"
#include "tests/support/TestSettings.h"

using namespace coursetest;
using namespace editingtest;

TEST(DifferenceIndex, LooksAtTheOverlayObjectsOfTheSameTypeAndPlacement)
{
    OpenCourseTestSettings();
    CCourse overlay(L"Overlay", L"");
    CEditObject* copy = PlaceEdit(overlay, ObstacleType(), 1000.0f, 2000.0f, 30.0f);
    CEditObject* reshapedCopy = PlaceEdit(overlay, ObstacleType(), 5000.0f, 2000.0f);
    reshapedCopy->halfSize = 70.0f;
    CDifferenceIndex index;
    index.Add(copy);
    index.Add(reshapedCopy);

    CCourse course(L"", L"");
    struct
    {
        CEditObject* object;
        int status;
    } const cases[] = {
        {copy, CCourseObject::kGrey},
        {PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f, 30.0f), CCourseObject::kPale},
        {PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f, 31.0f), CCourseObject::kNormal},
        {PlaceEdit(course, ObstacleType(), 1000.4f, 2000.0f, 30.0f), CCourseObject::kNormal},
        {PlaceEdit(course, NumberType(), 1000.0f, 2000.0f, 30.0f), CCourseObject::kNormal},
        {PlaceEdit(course, ObstacleType(), 5000.0f, 2000.0f), CCourseObject::kNormal},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(cases[i].status, index.GetStatus(cases[i].object)) << i;

    // An overlay object that moved after it was added still leaves.
    CTransform moved = copy->GetPlacement();
    moved.SetPosition2D(9000.0f, 9000.0f);
    copy->SetPlacement(moved);
    index.Remove(copy);
    EXPECT_EQ(1u, index.GetSize());
    EXPECT_EQ(CCourseObject::kNormal, index.GetStatus(cases[1].object));
    index.Clear();
    EXPECT_EQ(CCourseObject::kNormal, index.GetStatus(reshapedCopy));
    DeleteTestSettingsKey();
}
