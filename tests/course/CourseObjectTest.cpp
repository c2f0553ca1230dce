#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "course/ColorPalette.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/FailureReports.h"

using namespace coursetest;

namespace {

using CourseObject = CCourseFixture;

// A kind with parts 10, 2, 15, 25 and 26, for the colour rules.
CTestObjectType& GetColorKind()
{
    static CTestObjectType* type = [] {
        auto* made = new CTestObjectType(903, 0);
        made->GetPartColors().AddPart(15);
        made->GetPartColors().AddPart(25);
        made->GetPartColors().AddPart(26);
        made->GetPartColors().SetColorIndex(10, 7);
        made->GetPartColors().SetColorIndex(2, 60);
        made->GetPartColors().SetColorIndex(15, 33);
        made->GetPartColors().SetColorIndex(25, 44);
        made->GetPartColors().SetColorIndex(26, 55);
        return made;
    }();
    return *type;
}

float Angle(const CCourseObject& object)
{
    return object.GetPlacement().GetRotation();
}

}  // namespace

TEST_F(CourseObject, MoveToRoundsToWholeUnits)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 0.0f, 0.0f);
    object->MoveTo(10.4f, 10.6f);
    EXPECT_EQ(CPoint2(10.0f, 11.0f), object->GetPosition());
    object->MoveTo(-2.5f, 2.5f);
    EXPECT_EQ(CPoint2(-2.0f, 3.0f), object->GetPosition());
}

// A turn by whole degrees, however far it went, leaves the placement bit
// for bit as its record gives it back (within a half turn), so that points
// placed at the edge of the stored range lie on the same side of it in both.
TEST_F(CourseObject, AWholeTurnIsThePlacementItsRecordGivesBack)
{
    CCourse course(L"Plan", L"");
    CCourseObject* text = course.AddText(1000.0f, 2000.0f, L"Turned");
    ASSERT_NE(nullptr, text);
    std::vector<int> differing;
    for (int angle = -360; angle <= 360; ++angle) {
        text->SetPlacement(MakePlacement(1000.0f, 2000.0f, float(angle)));
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        writer.m_versionMinor = 33;
        course.WriteObject(writer, text);
        CFieldReader reader(writer.m_bytes);
        reader.m_versionMajor = 4;
        reader.m_versionMinor = 33;
        int32_t typeId = 0;
        reader.ReadInt16(typeId);
        const std::unique_ptr<CCourseObject> read = course.ReadObject(typeId, reader, false);
        ASSERT_NE(nullptr, read);
        if (read->GetPlacement() != text->GetPlacement())
            differing.push_back(angle);
    }
    EXPECT_EQ(std::vector<int>(), differing);
}

TEST_F(CourseObject, SerialNumbersGrow)
{
    CTestObject first;
    CTestObject second;
    EXPECT_LT(first.GetSerialNumber(), second.GetSerialNumber());
    const uint32_t before = second.GetSerialNumber();
    first.BringToFront();
    EXPECT_GT(first.GetSerialNumber(), before);
}

TEST_F(CourseObject, BringToFrontStaysInItsLayer)
{
    CCourse course(L"Plan", L"");
    CTestObject* back = Place(course, 0.0f, 0.0f, 4);
    CTestObject* middle = Place(course, 0.0f, 0.0f, 4);
    CTestObject* higher = Place(course, 0.0f, 0.0f, 6);
    CTestObject* lower = Place(course, 0.0f, 0.0f, 3);
    CRecordingListener listener;
    course.AddListener(&listener);
    back->BringToFront();
    const std::vector<const CCourseObject*> order(course.GetObjects().begin(), course.GetObjects().end());
    EXPECT_EQ((std::vector<const CCourseObject*>{lower, middle, back, higher}), order);
    EXPECT_EQ((std::vector<int>{2, 4}), listener.mapLayers);
    course.RemoveListener(&listener);
}

TEST_F(CourseObject, InitCopiesTheTypesColoursAndTheSecondPlacementStartsAsIdentity)
{
    CCourse course(L"Plan", L"");
    CTestObject object;
    CTransform placement;
    placement.SetPosition2D(100.0f, 200.0f);
    placement.RotateZ(30.0f);
    object.Init(&course, &GetColorKind(), placement, CCourseObject::kNormal);
    EXPECT_EQ(&course, object.GetCourse());
    EXPECT_EQ(&GetColorKind(), object.GetType());
    EXPECT_EQ(placement, object.GetPlacement());
    EXPECT_EQ(CTransform(), object.GetDragStartPlacement());
    EXPECT_EQ(GetColorKind().GetPartColors().GetParts(), object.GetPartColors().GetParts());
    EXPECT_EQ(60, object.GetPartColors().GetColorIndex(2));
}

TEST_F(CourseObject, ColourRulesFollowDisplayStateAndColourMode)
{
    CTestObject object;
    object.SetType(&GetColorKind());

    object.SetColorMode(CCourseObject::kColorMode2D);
    EXPECT_EQ(60, object.GetPartColorIndex(2));
    EXPECT_EQ(7, object.GetPrimaryColorIndex());
    EXPECT_EQ(7, object.GetSecondaryColorIndex());
    EXPECT_EQ(7, object.GetAccentColorIndex());
    EXPECT_EQ(255, object.GetOutlineColorIndex());

    object.SetColorMode(CCourseObject::kColorMode3D);
    EXPECT_EQ(33, object.GetPrimaryColorIndex());
    EXPECT_EQ(44, object.GetSecondaryColorIndex());
    EXPECT_EQ(55, object.GetAccentColorIndex());
    EXPECT_EQ(44, object.GetOutlineColorIndex());

    // Pale: parts take index 20, the primary its pale variant.
    object.SetDisplayState(CCourseObject::kPale);
    object.SetColorMode(CCourseObject::kColorMode2D);
    EXPECT_EQ(20, object.GetPartColorIndex(2));
    EXPECT_EQ(CColorPalette::GetPaleIndex(7), object.GetPrimaryColorIndex());
    EXPECT_EQ(138, object.GetPrimaryColorIndex());
    EXPECT_EQ(255, object.GetSecondaryColorIndex());
    EXPECT_EQ(255, object.GetOutlineColorIndex());
    object.SetColorMode(CCourseObject::kColorMode3D);
    EXPECT_EQ(20, object.GetPrimaryColorIndex());

    // Grey: everything is index 100.
    object.SetDisplayState(CCourseObject::kGrey);
    for (int mode : {CCourseObject::kColorMode2D, CCourseObject::kColorMode3D}) {
        object.SetColorMode(mode);
        EXPECT_EQ(100, object.GetPartColorIndex(2));
        EXPECT_EQ(100, object.GetPrimaryColorIndex());
        EXPECT_EQ(100, object.GetSecondaryColorIndex());
        EXPECT_EQ(100, object.GetAccentColorIndex());
        EXPECT_EQ(100, object.GetOutlineColorIndex());
    }
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(100), object.GetPrimaryColor());
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(100), object.GetOutlineColor());
}

TEST_F(CourseObject, UnknownDisplayStateIsReported)
{
    CTestObject object;
    EXPECT_EQ(1, CountReports([&] { object.SetDisplayState(5); }));
    EXPECT_EQ(CCourseObject::kNormal, object.GetDisplayState());
}

TEST_F(CourseObject, ReverseTurnsHalfWayUnlessEndsCoincide)
{
    CCourse course(L"Plan", L"");
    CTestObject* turned = Place(course, 500.0f, 500.0f, 3);
    turned->AddEnd(1, CPoint2(0.0f, -100.0f), CPoint2(0.0f, 10000.0f));
    turned->AddEnd(2, CPoint2(0.0f, 100.0f), CPoint2(0.0f, 10000.0f));
    turned->Reverse();
    EXPECT_EQ(180.0f, std::fabs(Angle(*turned)));
    EXPECT_EQ(CPoint2(500.0f, 500.0f), turned->GetPosition());

    CTestObject* kept = Place(course, 900.0f, 500.0f, 3);
    kept->AddEnd(1, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 10000.0f));
    kept->AddEnd(2, CPoint2(0.0f, 0.0f), CPoint2(0.0f, -10000.0f));
    const CTransform before = kept->GetPlacement();
    kept->Reverse();
    EXPECT_EQ(before, kept->GetPlacement());

    CTestObject* endless = Place(course, 100.0f, 100.0f, 3);
    endless->Reverse();
    EXPECT_EQ(0.0f, Angle(*endless));
}

TEST_F(CourseObject, AnchorsOfEndsAndOfJumps)
{
    CCourse course(L"Plan", L"");
    CTestObject* obstacle = Place(course, 0.0f, 0.0f, 4);
    obstacle->AddEnd(1, CPoint2(-50.0f, 0.0f), CPoint2(0.0f, 1.0f));
    obstacle->AddEnd(2, CPoint2(50.0f, 0.0f), CPoint2(0.0f, 1.0f));
    EXPECT_EQ(2, obstacle->GetAnchorCount());
    CPoint2 anchor;
    obstacle->GetAnchor(anchor, 1);
    EXPECT_EQ(CPoint2(50.0f, 0.0f), anchor);

    CTestObject* jump = Place(course, 0.0f, 0.0f, 4);
    jump->AddEnd(4, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 1.0f));
    jump->AddEnd(4, CPoint2(0.0f, 0.0f), CPoint2(0.0f, -1.0f));
    EXPECT_EQ(1, jump->GetAnchorCount());
    CPoint2 centre(7.0f, 8.0f);
    jump->GetAnchor(centre, 0);
    EXPECT_EQ(CPoint2(7.0f, 8.0f), centre);

    CTestObject* line = Place(course, 0.0f, 0.0f, 2);
    line->AddEnd(1, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 1.0f));
    EXPECT_EQ(0, line->GetAnchorCount());

    CTestObject* loose = Place(course, 0.0f, 0.0f, 3);
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0, loose->GetAnchorCount()); }));
}

TEST_F(CourseObject, EndsAreRegisteredOnceAndOnlyByTheirOwner)
{
    CTestObject owner;
    CTestObject other;
    CTestEnd* end = owner.AddEnd(1, CPoint2(), CPoint2(0.0f, 1.0f));
    EXPECT_TRUE(owner.HasEnd(end));
    owner.RegisterEnd(end, true);
    EXPECT_EQ(1u, owner.GetEnds().size());
    EXPECT_TRUE(owner.HasFirstEnd());

    EXPECT_EQ(1, CountReports([&] { other.RegisterEnd(end, true); }));
    EXPECT_FALSE(other.HasEnd(end));

    owner.RegisterEnd(end, false);
    EXPECT_FALSE(owner.HasEnd(end));
    EXPECT_FALSE(owner.HasFirstEnd());
}

TEST_F(CourseObject, TraversalNeedsTwoOwnEndsAtDifferentPoints)
{
    CTestObject object;
    CTestObject other;
    CTestEnd* a = object.AddEnd(1, CPoint2(0.0f, -60.0f), CPoint2(0.0f, 1.0f));
    CTestEnd* b = object.AddEnd(2, CPoint2(0.0f, 60.0f), CPoint2(0.0f, 1.0f));
    CTestEnd* c = object.AddEnd(2, CPoint2(0.0f, -60.0f), CPoint2(0.0f, 1.0f));
    CTestEnd* foreign = other.AddEnd(2, CPoint2(0.0f, 60.0f), CPoint2(0.0f, 1.0f));
    EXPECT_TRUE(object.IsValidTraversal(a, b));
    EXPECT_FALSE(object.IsValidTraversal(a, c));
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(object.IsValidTraversal(a, foreign)); }));
}

TEST_F(CourseObject, MirroredEndsAreFoundWithTheirDirection)
{
    CTestObject object;
    CTestEnd* left = object.AddEnd(1, CPoint2(-100.0f, 20.0f), CPoint2(0.0f, 10000.0f));
    CTestEnd* right = object.AddEnd(1, CPoint2(100.0f, 20.0f), CPoint2(0.0f, 10000.0f));
    CTestEnd* leftOut = object.AddEnd(2, CPoint2(-100.0f, -20.0f), CPoint2(10000.0f, 0.0f));
    CTestEnd* rightOut = object.AddEnd(2, CPoint2(100.0f, -20.0f), CPoint2(10000.0f, 0.0f));
    bool reversed = true;
    EXPECT_EQ(right, object.FindMirroredEnd(left, reversed));
    EXPECT_FALSE(reversed);
    EXPECT_EQ(leftOut, object.FindMirroredEnd(rightOut, reversed));
    EXPECT_TRUE(reversed);

    CTestObject lonely;
    CTestEnd* single = lonely.AddEnd(1, CPoint2(-100.0f, 0.0f), CPoint2(0.0f, 1.0f));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, lonely.FindMirroredEnd(single, reversed)); }));
}

TEST_F(CourseObject, FlipMirrorsTheAngle)
{
    CTestObject object;
    CTransform placement;
    placement.RotateZ(30.0f);
    object.SetPlacement(placement);
    object.Flip();
    EXPECT_FLOAT_EQ(-30.0f, Angle(object));
}

TEST_F(CourseObject, BoundingRectangleIsTheWidenedExtentPlaced)
{
    CTestObject object;
    CTransform placement;
    placement.SetPosition2D(1000.0f, 2000.0f);
    object.SetPlacement(placement);
    EXPECT_EQ(CRectF(952.0f, 1952.0f, 1048.0f, 2048.0f), object.GetBoundingRect());

    // Extents are y up: the combined box reaches 78 above the position and
    // 48 below it in the plan.
    object.SetExtents(CBox3(-100.0f, 100.0f, 10.0f, 30.0f, 0.0f, 0.0f), CBox3(0.0f, 200.0f, 0.0f, 0.0f, 0.0f, 50.0f));
    EXPECT_EQ(CRectF(852.0f, 1922.0f, 1248.0f, 2048.0f), object.GetBoundingRect());

    placement.RotateZ(90.0f);
    object.SetPlacement(placement);
    object.SetExtents(CBox3(-100.0f, 100.0f, -10.0f, 10.0f, 0.0f, 0.0f), CBox3());
    EXPECT_EQ(CRectF(942.0f, 1852.0f, 1058.0f, 2148.0f), object.GetBoundingRect());
}

TEST_F(CourseObject, ExtentsFollowAChangeWhenNextAskedFor)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 1000.0f, 1000.0f);
    EXPECT_EQ(CRectF(952.0f, 952.0f, 1048.0f, 1048.0f), object->GetBoundingRect());
    object->drawHalfSize = 70;
    object->Invalidate();
    // The square reaches 70 each way, its outline 30 more.
    EXPECT_EQ(CRectF(852.0f, 852.0f, 1148.0f, 1148.0f), object->GetBoundingRect());
    EXPECT_EQ(-100.0f, object->Get2DExtent().minX);
    EXPECT_EQ(100.0f, object->Get3DExtent().maxY);
}

TEST_F(CourseObject, InsideRingUsesTheCentreAndTheCategory)
{
    CCourse course(L"Plan", L"");
    CTestObject* inside = Place(course, 100.0f, 100.0f);
    CTestObject* onEdge = Place(course, 14400.0f, 100.0f);
    CTestObject* fixed = Place(course, 100.0f, 100.0f, 4, 0);
    EXPECT_TRUE(inside->IsInsideRing(false));
    EXPECT_FALSE(inside->IsInsideRing(true));
    inside->SetSelected(true);
    EXPECT_TRUE(inside->IsInsideRing(true));
    EXPECT_FALSE(onEdge->IsInsideRing(false));
    EXPECT_FALSE(fixed->IsInsideRing(false));
}

TEST_F(CourseObject, ActiveMeansSelectedWithACategory)
{
    CTestObject movable(4, 1);
    CTestObject fixed(4, 0);
    EXPECT_FALSE(movable.IsActive());
    movable.SetSelected(true);
    fixed.SetSelected(true);
    EXPECT_TRUE(movable.IsActive());
    EXPECT_TRUE(movable.IsActiveForPath());
    EXPECT_FALSE(fixed.IsActive());
}

TEST_F(CourseObject, SnapGridHasFeetOrHalfMetres)
{
    CSettings::SetInt(L"CourseWidth", 14400);
    CSettings::SetInt(L"CourseHeight", 12000);
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 333.0f, 444.0f, 4);
    object->BuildSnapGrid();
    const std::set<float>& x = object->GetSnapAxisX().GetPositions();
    const std::set<float>& y = object->GetSnapAxisY().GetPositions();
    EXPECT_EQ(119u, x.size());
    EXPECT_EQ(99u, y.size());
    EXPECT_EQ(120.0f, *x.begin());
    EXPECT_EQ(14280.0f, *x.rbegin());
    EXPECT_EQ(11880.0f, *y.rbegin());
    EXPECT_EQ(40.0f, object->GetSnapAxisX().GetZone());
    // Anchored at the object's own place: a drag starts without a jump.
    EXPECT_EQ(333.0f, object->GetSnapAxisX().Apply(333.0f));
    object->ResetSnapAxes();
    EXPECT_TRUE(object->GetSnapAxisX().GetPositions().empty());

    course.SetMetric(true);
    object->BuildSnapGrid();
    const std::set<float>& metricX = object->GetSnapAxisX().GetPositions();
    ASSERT_FALSE(metricX.empty());
    EXPECT_EQ(197.0f, *metricX.begin());
    EXPECT_EQ(14370.0f, *metricX.rbegin());

    CTestObject* path = Place(course, 0.0f, 0.0f, 5, 3);
    path->BuildSnapGrid();
    EXPECT_TRUE(path->GetSnapAxisX().GetPositions().empty());
    CTestObject* other = Place(course, 0.0f, 0.0f, 2, 1);
    other->BuildSnapGrid();
    EXPECT_TRUE(other->GetSnapAxisX().GetPositions().empty());
}

TEST_F(CourseObject, SelectionAndRemovalAreTold)
{
    CCourse course(L"Plan", L"");
    CRecordingListener listener;
    course.AddListener(&listener);
    CTestObject* object = Place(course, 10.0f, 10.0f);
    object->SetSelected(true);
    object->SetSelected(true);
    EXPECT_EQ(std::vector<int>{4}, listener.mapLayers);
    listener.Clear();
    course.DeleteSelected();
    // The object's going: objects, then selection marks.
    EXPECT_EQ((std::vector<int>{2, 4}), listener.mapLayers);
    EXPECT_EQ((std::vector<int>{2, 4}), listener.layers3D);
    course.RemoveListener(&listener);
}

TEST_F(CourseObject, PlacementChangesInvalidateAndTell)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 10.0f, 10.0f);
    object->Invalidate();
    const int updates = object->updateEndsCalls;
    CRecordingListener listener;
    course.AddListener(&listener);
    object->MoveTo(20.0f, 20.0f);
    EXPECT_EQ(updates + 1, object->updateEndsCalls);
    ASSERT_FALSE(listener.mapLayers.empty());
    EXPECT_EQ(2, listener.mapLayers.front());
    EXPECT_EQ(2, listener.layers3D.front());
    course.RemoveListener(&listener);
}

TEST_F(CourseObject, ShapeKeysFollowTheRecordColoursAndExtraKey)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 10.0f, 10.0f);
    object->Invalidate();
    ASSERT_TRUE(object->GetShape2D().IsKeyValid());
    const std::string key2D = object->GetShape2D().GetKey();
    const std::string key3D = object->GetShape3D().GetKey();
    EXPECT_NE(key2D, key3D);

    // A move leaves what the shapes draw alone.
    object->MoveTo(500.0f, 500.0f);
    EXPECT_EQ(key2D, object->GetShape2D().GetKey());

    CTestObject* twin = Place(course, 900.0f, 10.0f);
    twin->Invalidate();
    EXPECT_EQ(key2D, twin->GetShape2D().GetKey());

    object->value = 12;
    object->Invalidate();
    EXPECT_NE(key2D, object->GetShape2D().GetKey());

    twin->GetPartColors().SetColorIndex(CPartColorSet::kPrimaryPart, 42);
    twin->Invalidate();
    EXPECT_NE(key2D, twin->GetShape2D().GetKey());

    // Extra key state is noticed without an invalidation.
    CTestObject* third = Place(course, 900.0f, 900.0f);
    third->Invalidate();
    const std::string before = third->GetShape2D().GetKey();
    third->drawHalfSize = 5;
    third->GetShape2D().UpdateKey();
    EXPECT_NE(before, third->GetShape2D().GetKey());
}

TEST_F(CourseObject, TheModelKeyAfterAnInvalidationIsTheKeyItWouldBuildItself)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 10.0f, 10.0f);
    object->value = 31;
    object->drawHalfSize = 7;
    object->GetPartColors().SetColorIndex(CPartColorSet::kPrimaryPart, 30);
    object->Invalidate();
    const std::string invalidated = object->GetShape3D().GetKey();
    object->GetShape3D().MarkStale();
    EXPECT_TRUE(object->GetShape3D().UpdateKey());
    EXPECT_EQ(invalidated, object->GetShape3D().GetKey());
    EXPECT_NE(object->GetShape2D().GetKey(), invalidated);
}

TEST_F(CourseObject, KeysPutOffByAReadAreBuiltWhenAskedFor)
{
    CCourse course(L"Plan", L"");
    CTestObject* built = Place(course, 10.0f, 10.0f);
    CTestObject* later = Place(course, 500.0f, 10.0f);
    for (CTestObject* object : {built, later}) {
        object->value = 31;
        object->GetPartColors().SetColorIndex(CPartColorSet::kPrimaryPart, 30);
    }
    built->Invalidate();
    later->InvalidateKeysLater();
    EXPECT_FALSE(later->GetShape2D().IsKeyValid());
    EXPECT_EQ(built->GetShape3D().GetKey(), later->GetShape3D().GetKey());
    EXPECT_EQ(built->GetShape2D().GetKey(), later->GetShape2D().GetKey());
    EXPECT_TRUE(later->GetShape2D().IsKeyValid());

    // A stale key is never handed out, whoever asks.
    later->value = 12;
    later->InvalidateKeysLater();
    EXPECT_NE(built->GetShape2D().GetKey(), later->GetShape2D().GetKey());
}

TEST_F(CourseObject, EndsKeepTheirOrderBeyondThoseHeldInPlace)
{
    CTestObject owner;
    std::vector<CTestEnd*> ends;
    for (int i = 0; i < 7; ++i)
        ends.push_back(owner.AddEnd(1, CPoint2(float(i), 0.0f), CPoint2(0.0f, 1.0f)));
    // Removing from the middle, the front and the back, then adding again.
    const std::vector<CTestEnd*> all = ends;
    for (size_t index : {3u, 0u, 6u}) {
        owner.RegisterEnd(all[index], false);
        ends.erase(std::find(ends.begin(), ends.end(), all[index]));
        ASSERT_EQ(ends.size(), owner.GetEnds().size());
        EXPECT_TRUE(std::equal(ends.begin(), ends.end(), owner.GetEnds().begin()));
    }
    CTestEnd* back = owner.AddEnd(2, CPoint2(), CPoint2(1.0f, 0.0f));
    EXPECT_EQ(back, owner.GetEnds()[4]);
    EXPECT_EQ(ends[0], owner.GetEnds().front());
    const std::vector<CObstacleEnd*> copy = owner.GetEnds();
    EXPECT_EQ(5u, copy.size());
}

TEST_F(CourseObject, ExtentsComeFromWhatTheShapesDraw)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 1000.0f, 2000.0f);
    object->drawHalfSize = 100;
    object->Invalidate();
    EXPECT_LE(object->Get2DExtent().minX, -100.0f);
    EXPECT_GE(object->Get2DExtent().maxX, 100.0f);
    const CRectF bounds = object->GetBoundingRect();
    EXPECT_LE(bounds.left, 1000.0f - 148.0f);
    EXPECT_GE(bounds.left, 1000.0f - 148.0f - 30.0f);
    EXPECT_GE(bounds.bottom, 2000.0f + 148.0f);
    // Both shapes drew: the plan in colour mode 2, the model in mode 3.
    EXPECT_NE(object->drawnColorModes.end(),
              std::find(object->drawnColorModes.begin(), object->drawnColorModes.end(), 2));
    EXPECT_NE(object->drawnColorModes.end(),
              std::find(object->drawnColorModes.begin(), object->drawnColorModes.end(), 3));
}

TEST_F(CourseObject, DrawAttributes)
{
    CTestObject object;
    object.SetType(&GetColorKind());
    CStateContext context;
    object.ApplyDrawAttributes(context);
    const CGraphicsState& state = context.m_state;
    EXPECT_EQ(0.8f, state.strokeZ);
    EXPECT_EQ(0.2f, state.fillZ);
    EXPECT_EQ(0.7f, state.textZ);
    EXPECT_EQ(0u, state.dashStyle);
    EXPECT_EQ(30.0f, state.penWidth);
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(7), state.penColor);
    EXPECT_EQ(0u, state.fillPattern);
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(7), state.fillColor);
    EXPECT_EQ(10.0f, state.hatchScale);
    EXPECT_EQ(1u, state.textAlignH);
    EXPECT_EQ(4u, state.textAlignV);
    EXPECT_EQ(240.0f, state.font.size);
    EXPECT_FALSE(state.font.IsBold());

    object.SetColorMode(CCourseObject::kColorMode3D);
    object.ApplyDrawAttributes(context);
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(33), context.m_state.penColor);
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(44), context.m_state.fillColor);
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(55), context.m_state.textColor);

    // Grey objects are hatched in the plan only.
    object.SetDisplayState(CCourseObject::kGrey);
    object.ApplyDrawAttributes(context);
    EXPECT_EQ(0u, context.m_state.fillPattern);
    object.SetColorMode(CCourseObject::kColorMode2D);
    object.ApplyDrawAttributes(context);
    EXPECT_EQ(1u, context.m_state.fillPattern);
}

TEST_F(CourseObject, AShadowNeedsAnObjectWithOne)
{
    CTestObject object;
    CStateContext context;
    EXPECT_EQ(1, CountReports([&] { object.GetShadow().Draw(context); }));
}

TEST_F(CourseObject, HandlesAndShapesOfTheBase)
{
    CTestObject object(4, 1);
    const int before = ReportCount();
    EXPECT_EQ(3, object.MoveHandle(3, 10.0f, 10.0f));
    EXPECT_EQ(before + 1, ReportCount());
    object.ResetShape();
    EXPECT_EQ(before + 2, ReportCount());
    CTestObject obstacle(3, 1);
    obstacle.ResetShape();
    EXPECT_EQ(before + 2, ReportCount());
}

TEST_F(CourseObject, EndHandlesCarryPickCodes)
{
    CTestObject object(4, 1);
    CTransform placement;
    placement.SetPosition2D(100.0f, 200.0f);
    object.SetPlacement(placement);
    object.AddEnd(1, CPoint2(-10.0f, 0.0f), CPoint2(0.0f, 1.0f));
    object.AddEnd(2, CPoint2(0.0f, 30.0f), CPoint2(0.0f, 1.0f));
    object.AddEnd(2, CPoint2(5.0f, 5.0f), CPoint2(0.0f, 1.0f));
    object.AddEnd(2, CPoint2(7.0f, 5.0f), CPoint2(0.0f, 1.0f));
    std::vector<CObjectHandle> handles;
    object.AddEndHandles(handles, 0x8005, false);
    ASSERT_EQ(4u, handles.size());
    EXPECT_EQ(CPoint2(90.0f, 200.0f), handles[0].position);
    EXPECT_EQ(CPoint2(100.0f, 230.0f), handles[1].position);
    EXPECT_EQ(5u * 4u + 2u, handles[0].code);
    // Object index 0 with handle 3: 3 * 131072 + 2.
    std::vector<CObjectHandle> first;
    object.AddEndHandles(first, 0, true);
    EXPECT_EQ(3u * 131072u + 2u, first[3].code);
    EXPECT_EQ(1, handles[2].category);
    EXPECT_EQ(2, first[2].category);
}

TEST_F(CourseObject, PathLengthRunsThroughTheOrigin)
{
    CTestObject object;
    CTransform placement;
    placement.SetPosition2D(500.0f, 500.0f);
    placement.RotateZ(90.0f);
    object.SetPlacement(placement);
    EXPECT_FLOAT_EQ(150.0f, object.GetPathLength(CPoint2(30.0f, 40.0f), CPoint2(0.0f, -100.0f)));
}

TEST_F(CourseObject, DialogsFillAndApply)
{
    CCourse course(L"Plan", L"");
    CTestObject object;
    object.Init(&course, &GetColorKind(), CTransform(), CCourseObject::kNormal);
    CTestDialog dialog(&course);
    object.FillPropertiesDialog(dialog);
    EXPECT_EQ(1, dialog.editedCount);
    EXPECT_EQ(&GetColorKind(), dialog.editedType);
    EXPECT_EQ(60, dialog.GetEditedColors().GetColorIndex(2));

    dialog.colorsEdited.SetColorIndex(2, 61);
    object.ApplyDialog(dialog);
    EXPECT_EQ(1, object.fromDialogCalls);
    EXPECT_EQ(61, object.GetPartColors().GetColorIndex(2));
}
