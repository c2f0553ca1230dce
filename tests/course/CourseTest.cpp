#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ScoreSheet.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "objects/annotations/CoordinateMark.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/FailureReports.h"

using namespace coursetest;

namespace {

using Course = CCourseFixture;

std::vector<const CCourseObject*> Order(const CCourse& course)
{
    return std::vector<const CCourseObject*>(course.GetObjects().begin(), course.GetObjects().end());
}

}  // namespace

TEST_F(Course, DefaultsOfAnEmptySettingsStore)
{
    CCourse course(L"Plan", L"C:\\plan.agl");
    EXPECT_EQ(14400.0f, course.GetWidth());
    EXPECT_EQ(12000.0f, course.GetHeight());
    for (int margin = 0; margin < 4; ++margin)
        EXPECT_EQ(0.0f, course.GetMargin(margin));
    EXPECT_EQ(1, course.GetOrganisationId());
    EXPECT_EQ(1, course.GetUKCClass());
    EXPECT_TRUE(course.GetShowUKCFooter());
    EXPECT_TRUE(course.GetShowPaths());
    EXPECT_FALSE(course.GetShowObsCoords());
    EXPECT_TRUE(course.GetShowNumbers());
    EXPECT_TRUE(course.GetShowTexts());
    EXPECT_FALSE(course.GetHideGrass());
    EXPECT_EQ(3, course.GetBackground());
    EXPECT_EQ(3, course.GetMetricGridSpacing());
    EXPECT_EQ(10, course.GetUsGridSpacing());
    EXPECT_EQ(1, course.GetDisplayOriginX());
    EXPECT_EQ(2, course.GetDisplayOriginY());
    EXPECT_FALSE(course.IsMetric());
    EXPECT_TRUE(course.GetBaselineCoordFirst());
    EXPECT_EQ(3, course.GetUSCoordUnitsX());
    EXPECT_EQ(3, course.GetUSCoordUnitsY());
    EXPECT_FALSE(course.Get3D());
    EXPECT_FALSE(course.Get3DCamera());
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(0, course.GetModifiedCount());
    EXPECT_EQ(L"Plan", course.GetTitle());
    EXPECT_EQ(L"C:\\plan.agl", course.GetPath());
    EXPECT_EQ(0u, course.GetObjectCount());
    // The AKC table's default row is 24 inches: 48-inch long jump, 5 planks.
    EXPECT_EQ(240.0f, course.GetJumpHeight());
    EXPECT_EQ(480.0f, course.GetLongJumpLength());
    EXPECT_EQ(5, course.GetLongJumpPlanks());
}

TEST_F(Course, MetricCoursesStartThirtyMetresSquare)
{
    CSettings::SetInt(L"Metric", 1);
    CCourse course(L"Plan", L"");
    EXPECT_TRUE(course.IsMetric());
    EXPECT_EQ(11811.0f, course.GetWidth());
    EXPECT_EQ(11811.0f, course.GetHeight());
}

TEST_F(Course, StoredSettingsAreRead)
{
    CSettings::SetInt(L"CourseWidth", 6000);
    CSettings::SetInt(L"CourseHeight", 4800);
    CSettings::SetInt(L"UKCClass", 7);
    CSettings::SetInt(L"ShowUKCFooter", 0);
    CSettings::SetInt(L"ShowObsCoords", 1);
    CSettings::SetInt(L"MetricGridSpacing", 5);
    CSettings::SetInt(L"UsGridSpacing", 20);
    CSettings::SetInt(L"BaselineCoordFirst", 0);
    CSettings::SetInt(L"ShowGrass", 0);
    CSettings::SetInt(L"Background", 1);
    CSettings::SetInt(L"DisplayOriginX", 2);
    CSettings::SetInt(L"DisplayOriginY", 0);
    CSettings::SetInt(L"USCoordUnitsX", 5);
    CSettings::SetInt(L"USCoordUnitsY", 2);
    CSettings::SetInt(L"SpecList", 2);
    CSettings::SetInt(L"USDAAJumpHeight", 160);
    CSettings::SetInt(L"USDAALongJumpLength", 360);
    CSettings::SetInt(L"USDAALongJumpPlanks", 3);
    CCourse course(L"Plan", L"");
    EXPECT_EQ(6000.0f, course.GetWidth());
    EXPECT_EQ(4800.0f, course.GetHeight());
    EXPECT_EQ(7, course.GetUKCClass());
    EXPECT_FALSE(course.GetShowUKCFooter());
    EXPECT_TRUE(course.GetShowObsCoords());
    EXPECT_EQ(5, course.GetMetricGridSpacing());
    EXPECT_EQ(20, course.GetUsGridSpacing());
    EXPECT_FALSE(course.GetBaselineCoordFirst());
    EXPECT_TRUE(course.GetHideGrass());
    EXPECT_EQ(1, course.GetBackground());
    EXPECT_EQ(2, course.GetDisplayOriginX());
    EXPECT_EQ(0, course.GetDisplayOriginY());
    EXPECT_EQ(5, course.GetUSCoordUnitsX());
    EXPECT_EQ(2, course.GetUSCoordUnitsY());
    EXPECT_EQ(2, course.GetOrganisationId());
    EXPECT_EQ(160.0f, course.GetJumpHeight());
    EXPECT_EQ(360.0f, course.GetLongJumpLength());
    EXPECT_EQ(3, course.GetLongJumpPlanks());
}

TEST_F(Course, DamagedStoredSizesFallBackOrAreLimited)
{
    CSettings::SetInt(L"CourseWidth", 0);
    CSettings::SetInt(L"CourseHeight", -120);
    CSettings::SetInt(L"MetricGridSpacing", 0);
    CSettings::SetInt(L"UsGridSpacing", -4);
    CSettings::SetInt(L"DisplayOriginX", 7);
    CSettings::SetInt(L"DisplayOriginY", -1);
    CSettings::SetInt(L"USCoordUnitsX", 9);
    {
        CCourse course(L"Plan", L"");
        EXPECT_EQ(14400.0f, course.GetWidth());
        EXPECT_EQ(12000.0f, course.GetHeight());
        EXPECT_EQ(3, course.GetMetricGridSpacing());
        EXPECT_EQ(10, course.GetUsGridSpacing());
        EXPECT_EQ(1, course.GetDisplayOriginX());
        EXPECT_EQ(2, course.GetDisplayOriginY());
        EXPECT_EQ(3, course.GetUSCoordUnitsX());
    }
    CSettings::SetInt(L"CourseWidth", 99999);
    CSettings::SetInt(L"CourseHeight", 40000);
    CCourse course(L"Plan", L"");
    EXPECT_EQ(30000.0f, course.GetWidth());
    EXPECT_EQ(30000.0f, course.GetHeight());
}

TEST_F(Course, StoredOrganisationOutOfRangeIsReportedAndGivesRuleSetZero)
{
    CSettings::SetInt(L"SpecList", 40);
    const int before = ReportCount();
    CCourse course(L"Plan", L"");
    EXPECT_EQ(0, course.GetOrganisationId());
    EXPECT_EQ(before + 1, ReportCount());
}

TEST_F(Course, UntitledCoursesAreNumberedInTurn)
{
    CCourse first(L"", L"");
    CCourse second(L"", L"");
    const std::wstring prefix = GetStringWithArg(2004, L"");
    ASSERT_EQ(0u, first.GetTitle().find(prefix));
    const int number = std::stoi(first.GetTitle().substr(prefix.size()));
    EXPECT_GE(number, 1);
    EXPECT_EQ(GetStringWithArg(2004, std::to_wstring(number + 1)), second.GetTitle());
    CCourse named(L"Agility", L"");
    EXPECT_EQ(L"Agility", named.GetTitle());
}

TEST_F(Course, SettersStoreTheirSettingsAndTellTheListeners)
{
    CCourse course(L"Plan", L"");
    CRecordingListener listener;
    course.AddListener(&listener);

    course.SetSize(6000.0f, 4800.0f);
    course.SetBackground(2);
    course.SetMetric(true);
    course.SetMetricGridSpacing(4);
    course.SetUsGridSpacing(30);
    course.SetShowGrass(false);
    course.SetShowObsCoords(true);
    course.SetUKCClass(3);
    course.SetUSCoordUnitsX(5);
    course.SetDisplayOriginY(1);
    course.Set3D(true);
    course.SetBaselineCoordFirst(false);
    EXPECT_EQ(12, listener.settingsChanges);

    EXPECT_EQ(6000, CSettings::GetInt(L"CourseWidth", 0));
    EXPECT_EQ(4800, CSettings::GetInt(L"CourseHeight", 0));
    EXPECT_EQ(2, CSettings::GetInt(L"Background", 0));
    EXPECT_EQ(1, CSettings::GetInt(L"Metric", 0));
    EXPECT_EQ(4, CSettings::GetInt(L"MetricGridSpacing", 0));
    EXPECT_EQ(30, CSettings::GetInt(L"UsGridSpacing", 0));
    EXPECT_EQ(0, CSettings::GetInt(L"ShowGrass", 1));
    EXPECT_TRUE(course.GetHideGrass());
    EXPECT_EQ(1, CSettings::GetInt(L"ShowObsCoords", 0));
    EXPECT_EQ(3, CSettings::GetInt(L"UKCClass", 0));
    EXPECT_EQ(5, CSettings::GetInt(L"USCoordUnitsX", 0));
    EXPECT_EQ(1, CSettings::GetInt(L"DisplayOriginY", 0));
    EXPECT_EQ(1, CSettings::GetInt(L"3D", 0));
    EXPECT_EQ(0, CSettings::GetInt(L"BaselineCoordFirst", 1));

    // The next course starts from what was stored.
    CCourse next(L"Next", L"");
    EXPECT_EQ(6000.0f, next.GetWidth());
    EXPECT_TRUE(next.IsMetric());
    EXPECT_EQ(4, next.GetMetricGridSpacing());
    course.RemoveListener(&listener);
}

TEST_F(Course, DisplayFlagsAreNotStored)
{
    CCourse course(L"Plan", L"");
    course.SetShowTexts(false);
    course.SetShowNumbers(false);
    course.SetShowPaths(false);
    EXPECT_FALSE(course.GetShowTexts());
    EXPECT_FALSE(course.GetShowNumbers());
    EXPECT_FALSE(course.GetShowPaths());
    EXPECT_FALSE(HasTestSettingsValue(L"ShowTexts"));
    EXPECT_FALSE(HasTestSettingsValue(L"ShowNumbers"));
    EXPECT_FALSE(HasTestSettingsValue(L"ShowPaths"));
}

TEST_F(Course, FloatSettingsAreStoredTruncated)
{
    CCourse course(L"Plan", L"");
    course.SetSize(6000.9f, 4800.5f);
    EXPECT_EQ(6000, CSettings::GetInt(L"CourseWidth", 0));
    EXPECT_EQ(4800, CSettings::GetInt(L"CourseHeight", 0));
    course.SetLongJumpLength(377.8f);
    EXPECT_EQ(377, CSettings::GetInt(L"AKCLongJumpLength", 0));
    // Values no integer holds are stored saturated, or 0 when not a number.
    course.SetLongJumpLength(std::nanf(""));
    EXPECT_EQ(0, CSettings::GetInt(L"AKCLongJumpLength", 5));
    course.SetJumpHeight(1e12f);
    EXPECT_EQ(INT32_MAX, CSettings::GetInt(L"AKCJumpHeight", 0));
}

TEST_F(Course, NonPositiveSizeIsReportedAndKeepsTheRing)
{
    CCourse course(L"Plan", L"");
    Place(course, 7000.0f, 6000.0f);
    Place(course, 100.0f, 100.0f);
    EXPECT_EQ(1, CountReports([&] { course.SetSize(0.0f, 8000.0f); }));
    EXPECT_EQ(14400.0f, course.GetWidth());
    EXPECT_EQ(8000.0f, course.GetHeight());
    EXPECT_EQ(2u, course.GetObjectCount());

    course.SetSize(-5.0f, std::nanf(""));
    EXPECT_EQ(14400.0f, course.GetWidth());
    EXPECT_EQ(8000.0f, course.GetHeight());
    EXPECT_EQ(2u, course.GetObjectCount());
}

TEST_F(Course, SizesAreLimitedToTheRange)
{
    CCourse course(L"Plan", L"");
    course.SetSize(45000.0f, 0.25f);
    EXPECT_EQ(30000.0f, course.GetWidth());
    EXPECT_EQ(1.0f, course.GetHeight());
}

TEST_F(Course, CheckedValuesFromFiles)
{
    EXPECT_EQ(500.0f, CCourse::CheckRingSize(0.0f, 500.0f));
    EXPECT_EQ(500.0f, CCourse::CheckRingSize(-3.0f, 500.0f));
    EXPECT_EQ(500.0f, CCourse::CheckRingSize(std::nanf(""), 500.0f));
    EXPECT_EQ(1.0f, CCourse::CheckRingSize(0.5f, 500.0f));
    EXPECT_EQ(30000.0f, CCourse::CheckRingSize(32767.0f, 500.0f));
    EXPECT_EQ(0.0f, CCourse::CheckMargin(-10.0f));
    EXPECT_EQ(0.0f, CCourse::CheckMargin(std::nanf("")));
    EXPECT_EQ(120.0f, CCourse::CheckMargin(120.0f));
    EXPECT_EQ(3, CCourse::CheckGridSpacing(0, 3));
    EXPECT_EQ(1, CCourse::CheckGridSpacing(1, 3));

    const int before = ReportCount();
    EXPECT_EQ(15, CCourse::CheckOrganisationId(15));
    EXPECT_EQ(before, ReportCount());
    EXPECT_EQ(0, CCourse::CheckOrganisationId(16));
    EXPECT_EQ(0, CCourse::CheckOrganisationId(-1));
    EXPECT_EQ(before + 2, ReportCount());
}

TEST_F(Course, RingSettingsTakenOverFromAFileAreChecked)
{
    CCourse course(L"Plan", L"");
    CCourse::CRingSettings ring;
    ring.width = 0.0f;
    ring.height = 50000.0f;
    ring.margins[CCourse::kMarginLowY] = -40.0f;
    ring.margins[CCourse::kMarginHighX] = 240.0f;
    ring.jumpHeight = 200.0f;
    ring.longJumpLength = 400.0f;
    ring.longJumpPlanks = 4;
    course.TakeOverRingSettings(ring);
    EXPECT_EQ(14400.0f, course.GetWidth());
    EXPECT_EQ(30000.0f, course.GetHeight());
    EXPECT_EQ(0.0f, course.GetMargin(CCourse::kMarginLowY));
    EXPECT_EQ(240.0f, course.GetMargin(CCourse::kMarginHighX));
    const CCourse::CRingSettings back = course.GetRingSettings();
    EXPECT_EQ(200.0f, back.jumpHeight);
    EXPECT_EQ(400.0f, back.longJumpLength);
    EXPECT_EQ(4, back.longJumpPlanks);
    EXPECT_EQ(14400.0f, back.width);
}

TEST_F(Course, NegativeMarginIsReportedAndTakenAsZero)
{
    CCourse course(L"Plan", L"");
    course.SetLengthValue(CCourse::kMarginHighX, 600.0f);
    EXPECT_EQ(600.0f, course.GetMargin(CCourse::kMarginHighX));
    EXPECT_EQ(1, CountReports([&] { course.SetLengthValue(CCourse::kMarginLowX, -50.0f); }));
    EXPECT_EQ(0.0f, course.GetMargin(CCourse::kMarginLowX));
    // Margins are not settings of the store.
    EXPECT_EQ(600.0f, course.GetMargin(CCourse::kMarginHighX));
}

TEST_F(Course, RingAndMarginsStayWithinTheLargestRing)
{
    // 14400 x 12000: each axis leaves the rest of 30000 to its margins.
    CCourse course(L"Plan", L"");
    course.SetLengthValue(CCourse::kMarginLowX, 10000.0f);
    course.SetLengthValue(CCourse::kMarginHighX, 10000.0f);
    EXPECT_EQ(10000.0f, course.GetMargin(CCourse::kMarginLowX));
    EXPECT_EQ(5600.0f, course.GetMargin(CCourse::kMarginHighX));
    // A larger ring takes from the far margin, then from the near one.
    course.SetSize(20000.0f, 12000.0f);
    EXPECT_EQ(10000.0f, course.GetMargin(CCourse::kMarginLowX));
    EXPECT_EQ(0.0f, course.GetMargin(CCourse::kMarginHighX));
    course.SetSize(25000.0f, 12000.0f);
    EXPECT_EQ(5000.0f, course.GetMargin(CCourse::kMarginLowX));

    // So do margins read from a file: the largest ring with the largest
    // margins keeps no margins at all.
    CCourse::CRingSettings ring = course.GetRingSettings();
    ring.width = 30000.0f;
    ring.height = 12000.0f;
    for (float& margin : ring.margins)
        margin = 30000.0f;
    course.TakeOverRingSettings(ring);
    EXPECT_EQ(0.0f, course.GetMargin(CCourse::kMarginLowX));
    EXPECT_EQ(0.0f, course.GetMargin(CCourse::kMarginHighX));
    EXPECT_EQ(18000.0f, course.GetMargin(CCourse::kMarginLowY));
    EXPECT_EQ(0.0f, course.GetMargin(CCourse::kMarginHighY));
    const CRectF area = course.GetRingRect(false, false);
    EXPECT_GE(area.left, -CCourse::kMaxRingSize);
    EXPECT_LE(area.right, CCourse::kMaxRingSize);
    EXPECT_GE(area.top, -CCourse::kMaxRingSize);
    EXPECT_LE(area.bottom, CCourse::kMaxRingSize);
}

TEST_F(Course, PlacementsStopAtTheEdgeOfWhatTheArchiveStores)
{
    CCourse course(L"Plan", L"");
    CTestObject* object = Place(course, 7000.0f, 6000.0f);
    CTransform beyond = object->GetPlacement();
    beyond.SetPosition2D(45000.0f, -50000.0f);
    object->SetPlacement(beyond);
    EXPECT_EQ(CPoint2(32767.0f, -32768.0f), object->GetPlacement().GetPosition2D());
    object->MoveTo(-40000.0f, 100.0f);
    EXPECT_EQ(CPoint2(-32768.0f, 100.0f), object->GetPlacement().GetPosition2D());
    // A turn of the selection about a far centre stops there too.
    object->SetSelected(true);
    CTestObject* other = Place(course, -30000.0f, 30000.0f);
    other->SetSelected(true);
    course.RotateSelectionBy(90.0f);
    for (const CCourseObject* turned : course.GetObjects()) {
        const CPoint2 at = turned->GetPlacement().GetPosition2D();
        EXPECT_EQ(at, CFieldStream::LimitPoint(at));
    }
    // Marked points too, also when the whole course is mirrored.
    course.AddMarkedPoint(CPoint2(40000.0f, -5.0f));
    course.AddMarkedPoint(CPoint2(-32000.0f, 7.0f));
    course.DeselectAll(false);
    course.FlipSelection(true);
    EXPECT_EQ((std::vector<CPoint2>{{14400.0f - 32767.0f, -5.0f}, {32767.0f, 7.0f}}), course.GetMarkedPoints());
}

TEST_F(Course, ShrinkingAMarginDeletesWhatLiesBeyondIt)
{
    CCourse course(L"Plan", L"");
    course.SetLengthValue(CCourse::kMarginHighX, 600.0f);
    CTestObject* inside = Place(course, 7000.0f, 6000.0f);
    Place(course, 14800.0f, 6000.0f);
    inside->SetSelected(true);
    course.DeleteObjectsOutside(false);
    EXPECT_EQ(2u, course.GetObjectCount());

    course.SetLengthValue(CCourse::kMarginHighX, 100.0f);
    ASSERT_EQ(1u, course.GetObjectCount());
    EXPECT_EQ(inside, *course.GetObjects().begin());
    // The selection of the objects that stay is kept.
    EXPECT_TRUE(inside->IsSelected());
}

TEST_F(Course, AnObjectOnTheHighEdgeLiesOutside)
{
    CCourse course(L"Plan", L"");
    Place(course, 14400.0f, 6000.0f);
    Place(course, 0.0f, 0.0f);
    course.DeleteObjectsOutside(false);
    ASSERT_EQ(1u, course.GetObjectCount());
    EXPECT_EQ(CPoint2(0.0f, 0.0f), (*course.GetObjects().begin())->GetPosition());
}

TEST_F(Course, GrowingTheRingMovesObjectsBeyondTheFarEdges)
{
    CCourse course(L"Plan", L"");
    course.SetLengthValue(CCourse::kMarginHighX, 2000.0f);
    course.SetLengthValue(CCourse::kMarginHighY, 2000.0f);
    CTestObject* beyondX = Place(course, 14600.0f, 6000.0f);
    CTestObject* beyondY = Place(course, 7000.0f, 12100.0f);
    CTestObject* beyondYLow = Place(course, 2000.0f, 12100.0f);
    CTestObject* inside = Place(course, 14000.0f, 11000.0f);

    course.SetSize(15600.0f, 12000.0f);
    EXPECT_EQ(4u, course.GetObjectCount());
    EXPECT_EQ(CPoint2(15800.0f, 6000.0f), beyondX->GetPosition());
    EXPECT_EQ(CPoint2(7600.0f, 12100.0f), beyondY->GetPosition());
    EXPECT_EQ(CPoint2(2000.0f, 12100.0f), beyondYLow->GetPosition());
    EXPECT_EQ(CPoint2(14000.0f, 11000.0f), inside->GetPosition());

    course.SetSize(15600.0f, 13200.0f);
    EXPECT_EQ(CPoint2(7600.0f, 13300.0f), beyondY->GetPosition());
    EXPECT_EQ(CPoint2(14000.0f, 11000.0f), inside->GetPosition());
}

TEST_F(Course, RelocationTellsWhereObjectsLay)
{
    CCourse course(L"Plan", L"");
    CTestObject* left = Place(course, -300.0f, 6000.0f);
    CTestObject* below = Place(course, 7000.0f, 12500.0f);
    left->SetSelected(true);
    bool belowY = true, aboveY = true, belowX = false, aboveX = true;
    course.RelocateObjects(14400.0f, 12000.0f, true, &belowY, &aboveY, &belowX, &aboveX);
    EXPECT_FALSE(belowY);
    EXPECT_FALSE(aboveY);
    EXPECT_TRUE(belowX);
    EXPECT_FALSE(aboveX);
    course.RelocateObjects(14400.0f, 12000.0f, false, &belowY, &aboveY, &belowX, &aboveX);
    EXPECT_FALSE(belowY);
    EXPECT_TRUE(aboveY);
    EXPECT_TRUE(belowX);
    EXPECT_EQ(CPoint2(-300.0f, 6000.0f), left->GetPosition());
    EXPECT_EQ(CPoint2(7000.0f, 12500.0f), below->GetPosition());
}

TEST_F(Course, ObjectsAreOrderedByLayerThenSerialNumber)
{
    CCourse course(L"Plan", L"");
    CTestObject* a = Place(course, 10.0f, 10.0f, 4);
    CTestObject* b = Place(course, 20.0f, 10.0f, 2);
    CTestObject* c = Place(course, 30.0f, 10.0f, 4);
    CTestObject* d = Place(course, 40.0f, 10.0f, 3);
    CTestObject* e = Place(course, 50.0f, 10.0f, 6);
    EXPECT_EQ((std::vector<const CCourseObject*>{b, d, a, c, e}), Order(course));

    a->BringToFront();
    EXPECT_EQ((std::vector<const CCourseObject*>{b, d, c, a, e}), Order(course));
    EXPECT_GT(a->GetSerialNumber(), e->GetSerialNumber());

    course.EraseObject(d);
    EXPECT_EQ((std::vector<const CCourseObject*>{b, c, a, e}), Order(course));
    EXPECT_FALSE(course.ContainsObject(d));
    course.InsertObject(d);
    EXPECT_EQ((std::vector<const CCourseObject*>{b, d, c, a, e}), Order(course));
}

TEST_F(Course, ObjectsAnsweringAnEventAreRemoved)
{
    CCourse course(L"Plan", L"");
    CTestObject* a = Place(course, 10.0f, 10.0f);
    CTestObject* b = Place(course, 20.0f, 10.0f);
    CTestObject* c = Place(course, 30.0f, 10.0f);
    a->goesOnJumpSettings = true;
    c->goesOnJumpSettings = true;
    course.SetJumpHeight(200.0f);
    EXPECT_EQ((std::vector<const CCourseObject*>{b}), Order(course));
    EXPECT_EQ(200, CSettings::GetInt(L"AKCJumpHeight", 0));
    b->goesOnResolve = true;
    course.RemoveObjectsWhere(&CCourseObject::ResolveLinks);
    EXPECT_EQ(0u, course.GetObjectCount());
}

TEST_F(Course, DeleteSelectedKeepsTheOthers)
{
    CCourse course(L"Plan", L"");
    CTestObject* a = Place(course, 10.0f, 10.0f);
    CTestObject* b = Place(course, 20.0f, 10.0f);
    a->SetSelected(true);
    course.DeleteSelected();
    EXPECT_EQ((std::vector<const CCourseObject*>{b}), Order(course));
}

TEST_F(Course, OrganisationOutOfRangeIsReportedAndGivesRuleSetZero)
{
    CCourse course(L"Plan", L"");
    EXPECT_EQ(1, CountReports([&] { course.SetSpecList(99); }));
    EXPECT_EQ(0, course.GetOrganisationId());
    EXPECT_EQ(0, CSettings::GetInt(L"SpecList", -1));
    course.SetSpecList(-3);
    EXPECT_EQ(0, course.GetOrganisationId());
}

TEST_F(Course, ChangingRuleSetKeepsAJumpHeightOfItsTable)
{
    CCourse course(L"Plan", L"");
    course.SetJumpHeight(200.0f);
    course.SetLongJumpLength(400.0f);
    course.SetLongJumpPlanks(5);
    course.SetSpecList(2);
    EXPECT_EQ(2, course.GetOrganisationId());
    EXPECT_EQ(2, CSettings::GetInt(L"SpecList", 0));
    EXPECT_EQ(200.0f, course.GetJumpHeight());
    EXPECT_EQ(400.0f, course.GetLongJumpLength());
    EXPECT_EQ(5, course.GetLongJumpPlanks());

    // TDAA's table has only 2 inches: its default row takes over and is
    // stored under its name.
    course.SetSpecList(13);
    EXPECT_EQ(20.0f, course.GetJumpHeight());
    EXPECT_EQ(20, CSettings::GetInt(L"TDAAJumpHeight", 0));
    float length = 0.0f;
    int planks = 0;
    GetSpecList(13).GetLongJumpTable().Lookup(20.0f, length, planks);
    EXPECT_EQ(length, course.GetLongJumpLength());
    EXPECT_EQ(planks, course.GetLongJumpPlanks());
}

TEST_F(Course, RuleSetChangeReadsTheOrganisationsStoredJumpSettings)
{
    CSettings::SetInt(L"TDAAJumpHeight", 80);
    CSettings::SetInt(L"TDAALongJumpLength", 160);
    CSettings::SetInt(L"TDAALongJumpPlanks", 2);
    CCourse course(L"Plan", L"");
    course.SetSpecList(13);
    EXPECT_EQ(80.0f, course.GetJumpHeight());
    EXPECT_EQ(160.0f, course.GetLongJumpLength());
    EXPECT_EQ(2, course.GetLongJumpPlanks());
}

TEST_F(Course, RingRectangle)
{
    CCourse course(L"Plan", L"");
    EXPECT_EQ(CRectF(-10.0f, -10.0f, 14410.0f, 12010.0f), course.GetRingRect(true, false));
    course.SetLengthValue(CCourse::kMarginLowY, 100.0f);
    course.SetLengthValue(CCourse::kMarginHighY, 200.0f);
    course.SetLengthValue(CCourse::kMarginLowX, 300.0f);
    course.SetLengthValue(CCourse::kMarginHighX, 400.0f);
    EXPECT_EQ(CRectF(-300.0f, -100.0f, 14800.0f, 12200.0f), course.GetRingRect(false, true));

    // Only organisation 5 with the footer shown has it.
    course.SetSpecList(5);
    const float footer = CScoreSheet::GetHeight(15100.0f);
    EXPECT_GT(footer, 0.0f);
    EXPECT_EQ(CRectF(-300.0f, -100.0f, 14800.0f, 12200.0f + footer), course.GetRingRect(false, true));
    EXPECT_EQ(CRectF(-300.0f, -100.0f, 14800.0f, 12200.0f), course.GetRingRect(false, false));
    course.SetShowUKCFooter(false);
    EXPECT_EQ(CRectF(-300.0f, -100.0f, 14800.0f, 12200.0f), course.GetRingRect(false, true));
}

TEST_F(Course, FooterKeepsObjectsBelowTheRing)
{
    CCourse course(L"Plan", L"");
    course.SetSpecList(5);
    course.SetShowUKCFooter(true);
    Place(course, 7000.0f, 12000.0f + CScoreSheet::GetHeight(14400.0f) / 2.0f);
    course.DeleteObjectsOutside(false);
    EXPECT_EQ(1u, course.GetObjectCount());
    course.SetShowUKCFooter(false);
    EXPECT_EQ(0u, course.GetObjectCount());
}

TEST_F(Course, ListenersHearEveryChangeWhileBroadcasting)
{
    CCourse course(L"Plan", L"");
    CRecordingListener listener(&course);
    course.AddListener(&listener);
    CTestObject* object = Place(course, 100.0f, 100.0f);
    listener.Clear();
    object->SetSelected(true);
    EXPECT_EQ(std::vector<int>{4}, listener.mapLayers);
    EXPECT_EQ(std::vector<int>{4}, listener.layers3D);
    EXPECT_TRUE(listener.sawBroadcasting);
    EXPECT_FALSE(course.IsBroadcasting());

    // A listener cannot start a motion while it is being told.
    listener.motionRequest = 1;
    course.OnCourseSettingsChanged();
    EXPECT_EQ(0, course.GetMotion());
    listener.motionRequest = -1;

    course.OnCourseChanged();
    EXPECT_EQ(1, listener.courseChanges);
    course.RemoveListener(&listener);
    listener.Clear();
    course.OnMapLayerChanged(ESceneLayer::kObjects);
    EXPECT_TRUE(listener.mapLayers.empty());
}

TEST_F(Course, MotionSwitchesOutsideBroadcasts)
{
    CCourse course(L"Plan", L"");
    course.SetMotion(1);
    EXPECT_EQ(1, course.GetMotion());
    course.SetBackground(1);
    EXPECT_EQ(0, course.GetMotion());
}

TEST_F(Course, CoordinateMarksFollowTheOption)
{
    CCourse course(L"Plan", L"");
    CRecordingListener listener;
    course.AddListener(&listener);
    ASSERT_NE(nullptr, course.GetCoordinateMarks());
    EXPECT_TRUE(course.GetCoordinateMarks()->empty());

    CTestObject* object = Place(course, 1000.0f, 2000.0f, 4);
    object->AddEnd(1, CPoint2(-60.4f, 0.0f), CPoint2(0.0f, 10000.0f));
    object->AddEnd(2, CPoint2(60.0f, 0.0f), CPoint2(0.0f, 10000.0f));
    Place(course, 3000.0f, 2000.0f, 2);

    course.SetShowObsCoords(true);
    ASSERT_EQ(2u, course.GetCoordinateMarks()->size());
    EXPECT_EQ(CPoint2(940.0f, 2000.0f), course.GetCoordinateMarks()->at(0)->GetSpot());
    EXPECT_EQ(CPoint2(1060.0f, 2000.0f), course.GetCoordinateMarks()->at(1)->GetSpot());

    course.AddMarkedPoint(CPoint2(500.0f, 600.0f));
    course.UpdateCoordinateMarks();
    ASSERT_EQ(3u, course.GetCoordinateMarks()->size());
    EXPECT_EQ(CPoint2(500.0f, 600.0f), course.GetCoordinateMarks()->at(2)->GetSpot());

    listener.Clear();
    course.SetShowObsCoords(false);
    EXPECT_TRUE(course.GetCoordinateMarks()->empty());
    EXPECT_EQ(std::vector<int>{3}, listener.mapLayers);
    listener.Clear();
    course.UpdateCoordinateMarks();
    EXPECT_TRUE(listener.mapLayers.empty());

    course.SetShowObsCoords(true);
    course.ClearMarkedPoints();
    EXPECT_TRUE(course.GetMarkedPoints().empty());
    EXPECT_EQ(2u, course.GetCoordinateMarks()->size());
    course.RemoveListener(&listener);
}

TEST_F(Course, MarkedPointsLimitMarksToLayerFour)
{
    CCourse course(L"Plan", L"");
    CTestObject* onLayer3 = Place(course, 1000.0f, 2000.0f, 3);
    onLayer3->AddEnd(1, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 10000.0f));
    course.SetShowObsCoords(true);
    EXPECT_EQ(1u, course.GetCoordinateMarks()->size());
    course.AddMarkedPoint(CPoint2(10.0f, 20.0f));
    course.UpdateCoordinateMarks();
    ASSERT_EQ(1u, course.GetCoordinateMarks()->size());
    EXPECT_EQ(CPoint2(10.0f, 20.0f), course.GetCoordinateMarks()->at(0)->GetSpot());
}

TEST_F(Course, BrisklaneModeChangesTheDisplayDefaults)
{
    CSettings::SetInt(L"BrisklaneMode", 1);
    CSettings::SetInt(L"Metric", 1);
    CSettings::SetInt(L"UsGridSpacing", 40);
    CSettings::SetInt(L"Background", 0);
    CCourse course(L"Plan", L"");
    EXPECT_EQ(0, course.GetDisplayOriginX());
    EXPECT_EQ(2, course.GetDisplayOriginY());
    EXPECT_FALSE(course.IsMetric());
    EXPECT_EQ(10, course.GetUsGridSpacing());
    EXPECT_FALSE(course.GetBaselineCoordFirst());
    EXPECT_EQ(3, course.GetBackground());
    EXPECT_EQ(0, CSettings::GetInt(L"Metric", 1));
}

TEST_F(Course, SelectionColorsReachOnlySelectedObjects)
{
    CCourse course(L"Plan", L"");
    CTestObject* a = Place(course, 10.0f, 10.0f);
    CTestObject* b = Place(course, 20.0f, 10.0f);
    a->SetSelected(true);
    CPartColorSet colors;
    colors.SetColorIndex(CPartColorSet::kPrimaryPart, 42);
    course.SetSelectionColors(colors);
    EXPECT_EQ(42, a->GetPartColors().GetColorIndex(CPartColorSet::kPrimaryPart));
    EXPECT_NE(42, b->GetPartColors().GetColorIndex(CPartColorSet::kPrimaryPart));
}

TEST_F(Course, ViewSizeAndCameraRunAsMotions)
{
    CCourse course(L"Plan", L"");
    course.SetViewSize(800.0f, 600.0f);
    EXPECT_EQ(4, course.GetMotion());
    EXPECT_EQ(800.0f, course.GetCurrentCamera().GetViewportWidth());
    CViewCamera camera(false);
    course.SetViewCamera(camera);
    EXPECT_EQ(5, course.GetMotion());
    EXPECT_EQ(45, course.GetMapCamera().GetPitch());
    course.SetMotion(0);
    EXPECT_EQ(0, course.GetMotion());
}
