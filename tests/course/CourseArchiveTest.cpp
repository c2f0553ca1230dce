#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/PartColors.h"
#include "course/SpecList.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace {

// The settings block of the course made by CourseArchive::MakeCourse, as
// version 4 writes it with one camera: ring 14400 x 12000, no margins, jump
// height 240, long jump 480 with 4 planks, then the display block with the
// map camera (whole course, pitch 0).
const std::string kRingBlock4 = Bytes({0x40, 0x38, 0xE0, 0x2E, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0, 0xE0, 0x01, 4});
const std::string kDisplayBlock4 = Bytes({1, 1, 1, 0, 1, 1, 3, 3, 0, 10, 0, 1, 2, 0, 1, 3, 3, 0, 2, 0, 0, 0});

class CourseArchive : public archivetest::CArchiveFixture
{
protected:
    static std::unique_ptr<CCourse> MakeCourse()
    {
        auto course = std::make_unique<CCourse>(L"Archive", L"");
        course->SetSpecList(1);
        course->SetMetric(false);
        course->SetSize(14400.0f, 12000.0f);
        course->SetJumpHeight(240.0f);
        course->SetLongJumpLength(480.0f);
        course->SetLongJumpPlanks(4);
        course->Set3D(false);
        course->Set3DCamera(false);
        return course;
    }

    static std::string Archive(CCourse& course, bool olderFormat = false, bool selectedOnly = false,
                               bool bothCameras = false)
    {
        std::string bytes;
        course.WriteArchive(bytes, selectedOnly, olderFormat, bothCameras);
        return bytes;
    }
};

archivetest::CRecordObject* OnlyRecord(CCourse& course)
{
    EXPECT_EQ(1u, course.GetObjectCount());
    if (course.GetObjectCount() != 1)
        return nullptr;
    return dynamic_cast<archivetest::CRecordObject*>(*course.GetObjects().begin());
}

}  // namespace

TEST_F(CourseArchive, EmptyCourseVersion4)
{
    auto course = MakeCourse();
    const std::string expected = Bytes({4, 33, 4, 0, 4, 0, 0x1F, 0x1F, 0xFC, 0x03, 1}) + kRingBlock4 +
                                 kDisplayBlock4 + Bytes({0x1F, 0xFD, 0x03, 0x1F});
    EXPECT_EQ(expected, Archive(*course));
}

TEST_F(CourseArchive, BothCamerasAddThe3DCamera)
{
    auto course = MakeCourse();
    const std::string one = Archive(*course);
    const std::string both = Archive(*course, false, false, true);
    // The oblique 3D camera of a new course: whole course, pitch 45.
    ASSERT_EQ(one.size() + 2, both.size());
    const size_t at = one.size() - 5;
    EXPECT_EQ(one.substr(0, at), both.substr(0, at));
    EXPECT_EQ(Bytes({2, 45}), both.substr(at, 2));
    EXPECT_EQ(one.substr(at), both.substr(at + 2));
}

TEST_F(CourseArchive, EmptyCourseVersion3)
{
    auto course = MakeCourse();
    const std::string expected = Bytes({3, 1, 83, 0x40, 0x38, 0xE0, 0x2E, 0, 0, 0, 0, 0, 0, 0, 0}) +
                                 Bytes({1, 1, 1, 1, 0, 1, 1, 3, 3, 0, 10, 0, 1, 2, 0, 1, 3, 3, 0, 100}) +
                                 Bytes({0x1F, 0x1F});
    EXPECT_EQ(expected, Archive(*course, true));
    // The course's own older-format flag asks for the same.
    course->SetWriteVersion3(true);
    EXPECT_EQ(expected, Archive(*course));
}

TEST_F(CourseArchive, MarginsAndEscapedValuesInTheRingBlock)
{
    auto course = MakeCourse();
    course->SetSize(7711.0f, 12000.0f);  // 0x1E1F: both bytes escaped
    course->SetLengthValue(CCourse::kMarginLowY, 10.0f);
    course->SetLengthValue(CCourse::kMarginHighY, 20.4f);
    course->SetLengthValue(CCourse::kMarginLowX, 30.5f);
    course->SetLengthValue(CCourse::kMarginHighX, 40.0f);
    const std::string archive = Archive(*course);
    // 30.5 rounds to 31, 0x1F, which is escaped too.
    EXPECT_EQ(Bytes({0x1E, 0x1F, 0x1E, 0x1E, 0xE0, 0x2E, 10, 0, 20, 0, 0x1E, 31, 0, 40, 0}), archive.substr(11, 15));
}

TEST_F(CourseArchive, ObjectRecordLayout)
{
    auto course = MakeCourse();
    const std::string empty = Archive(*course);
    auto* object = archivetest::PlaceRecord(*course, 1000.0f, 2000.0f, 89.6f, 0x1234, L"Ab");
    object->corner = CPoint2(5.0f, -3.0f);
    object->GetPartColors().SetColorIndex(2, 77);

    // Type id, colour mask (second part) and its index, the negated angle
    // rounded, the position, then the object's own fields coded against the
    // position, and the field end.
    const std::string record = Bytes({0x0B, 0x10, 0x02, 77, 0xA6, 0xFF, 0xE8, 0x03, 0xD0, 0x07, 0x34, 0x12, 'A', 'b',
                                      0x1D, 0x1D, 0xFC, 0x2D, 0xF8, 0x1F});
    const size_t tail = 3;
    EXPECT_EQ(empty.substr(0, empty.size() - tail) + record + empty.substr(empty.size() - tail), Archive(*course));
}

TEST_F(CourseArchive, Version3RecordsKeepTheRunningPoint)
{
    auto course = MakeCourse();
    const std::string empty = Archive(*course, true);
    archivetest::PlaceRecord(*course, 100.0f, 200.0f, 0.0f, 1, L"");
    auto* second = archivetest::PlaceRecord(*course, 130.0f, 180.0f, 0.0f, 2, L"");
    second->corner = CPoint2(0.0f, 0.0f);
    auto* first = dynamic_cast<archivetest::CRecordObject*>(*course->GetObjects().begin());
    first->corner = CPoint2(110.0f, 220.0f);
    // Version 3: part 10's index only, and every point coded against the
    // point before it, across fields.
    const int black = CPartColorSet::GetDefaultIndex(10);
    const std::string records =
        Bytes({0x0B, 0x10, black, 0, 0, 100, 0, 200, 0, 1, 0, 0x1D, 10, 0, 20, 0, 0x1F}) +
        Bytes({0x0B, 0x10, black, 0, 0, 20, 0, 0xD8, 0xFF, 2, 0, 0x1D, 0x7E, 0xFF, 0x4C, 0xFF, 0x1F});
    EXPECT_EQ(empty + records, Archive(*course, true));
}

TEST_F(CourseArchive, GateSetsTheShowsAllMinor)
{
    auto course = MakeCourse();
    archivetest::Place(*course, archivetest::GetKind(), 100.0f, 100.0f);
    EXPECT_EQ(0, Archive(*course)[5]);
    archivetest::Place(*course, archivetest::GetGateKind(), 200.0f, 100.0f);
    EXPECT_EQ(15, Archive(*course)[5]);
}

TEST_F(CourseArchive, RoundTripKeepsSettingsAndObjects)
{
    auto course = MakeCourse();
    course->SetSpecList(7);
    course->SetSize(9600.0f, 7200.0f);
    course->SetLengthValue(CCourse::kMarginHighX, 480.0f);
    course->SetJumpHeight(220.0f);
    course->SetLongJumpLength(440.0f);
    course->SetLongJumpPlanks(3);
    course->SetUKCClass(2);
    course->SetShowUKCFooter(false);
    course->SetShowPaths(false);
    course->SetShowNumbers(false);
    course->SetShowTexts(false);
    course->SetBackground(5);
    course->SetMetricGridSpacing(7);
    course->SetUsGridSpacing(25);
    course->SetDisplayOriginX(0);
    course->SetDisplayOriginY(1);
    course->SetMetric(true);
    course->SetBaselineCoordFirst(false);
    course->SetUSCoordUnitsX(5);
    course->SetUSCoordUnitsY(2);
    course->SetShowGrass(false);
    auto* object = archivetest::PlaceRecord(*course, 1234.4f, 567.6f, -30.0f, -7, L"Caf\u00E9");
    object->corner = CPoint2(40.0f, 50.0f);
    object->GetPartColors().SetColorIndex(17, 99);
    archivetest::Place(*course, archivetest::GetOtherKind(), 10.0f, 20.0f, 180.0f);
    const std::string bytes = Archive(*course, false, false, true);

    coursetest::OpenTestSettings();
    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(copy.LoadArchive(bytes, false, true));
    EXPECT_EQ(7, copy.GetOrganisationId());
    EXPECT_EQ(9600.0f, copy.GetWidth());
    EXPECT_EQ(7200.0f, copy.GetHeight());
    EXPECT_EQ(480.0f, copy.GetMargin(CCourse::kMarginHighX));
    EXPECT_EQ(0.0f, copy.GetMargin(CCourse::kMarginLowX));
    EXPECT_EQ(220.0f, copy.GetJumpHeight());
    EXPECT_EQ(440.0f, copy.GetLongJumpLength());
    EXPECT_EQ(3, copy.GetLongJumpPlanks());
    EXPECT_EQ(2, copy.GetUKCClass());
    EXPECT_FALSE(copy.GetShowUKCFooter());
    EXPECT_FALSE(copy.GetShowPaths());
    EXPECT_FALSE(copy.GetShowNumbers());
    EXPECT_FALSE(copy.GetShowTexts());
    EXPECT_EQ(5, copy.GetBackground());
    EXPECT_EQ(7, copy.GetMetricGridSpacing());
    EXPECT_EQ(25, copy.GetUsGridSpacing());
    EXPECT_EQ(0, copy.GetDisplayOriginX());
    EXPECT_EQ(1, copy.GetDisplayOriginY());
    EXPECT_TRUE(copy.IsMetric());
    EXPECT_FALSE(copy.GetBaselineCoordFirst());
    EXPECT_EQ(5, copy.GetUSCoordUnitsX());
    EXPECT_EQ(2, copy.GetUSCoordUnitsY());
    EXPECT_TRUE(copy.GetHideGrass());
    EXPECT_EQ(bytes, Archive(copy, false, false, true));

    ASSERT_EQ(2u, copy.GetObjectCount());
    archivetest::CRecordObject* read = nullptr;
    for (CCourseObject* each : copy.GetObjects()) {
        EXPECT_FALSE(each->IsSelected());
        EXPECT_EQ(&copy, each->GetCourse());
        if (each->GetType() == &archivetest::GetKind())
            read = dynamic_cast<archivetest::CRecordObject*>(each);
    }
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(-7, read->value);
    EXPECT_EQ(L"Caf\u00E9", read->label);
    EXPECT_EQ(CPoint2(40.0f, 50.0f), read->corner);
    EXPECT_EQ(CPoint2(1234.0f, 568.0f), read->GetPlacement().GetPosition2D());
    EXPECT_FLOAT_EQ(-30.0f, read->GetPlacement().GetRotation());
    EXPECT_EQ(99, read->GetPartColors().GetColorIndex(17));
    EXPECT_EQ(CPartColorSet::GetDefaultIndex(2), read->GetPartColors().GetColorIndex(2));
}

TEST_F(CourseArchive, AngleIsStoredNegatedAndRounded)
{
    auto course = MakeCourse();
    const size_t recordStart = Archive(*course).size() - 3;
    archivetest::PlaceRecord(*course, 0.0f, 0.0f, 89.6f, 0, L"");
    const std::string bytes = Archive(*course);
    EXPECT_EQ(Bytes({0xA6, 0xFF}), bytes.substr(recordStart + 3, 2));

    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(copy.LoadArchive(bytes, false, false));
    ASSERT_NE(nullptr, OnlyRecord(copy));
    EXPECT_FLOAT_EQ(90.0f, OnlyRecord(copy)->GetPlacement().GetRotation());
}

TEST_F(CourseArchive, Version3RoundTripKeepsTheJumpSettingsOfTheCourse)
{
    auto course = MakeCourse();
    course->SetSize(9000.0f, 6000.0f);
    auto* object = archivetest::PlaceRecord(*course, 300.0f, 400.0f, 45.0f, 12, L"x");
    object->corner = CPoint2(-20.0f, 30.0f);
    archivetest::PlaceRecord(*course, 500.0f, 600.0f, 0.0f, 13, L"y");
    const std::string bytes = Archive(*course, true);

    CCourse copy(L"Copy", L"");
    copy.SetSpecList(1);
    copy.SetJumpHeight(200.0f);
    copy.SetLongJumpLength(400.0f);
    copy.SetLongJumpPlanks(2);
    ASSERT_TRUE(copy.LoadArchive(bytes, false, false));
    EXPECT_EQ(9000.0f, copy.GetWidth());
    EXPECT_EQ(6000.0f, copy.GetHeight());
    EXPECT_EQ(200.0f, copy.GetJumpHeight());
    EXPECT_EQ(400.0f, copy.GetLongJumpLength());
    EXPECT_EQ(2, copy.GetLongJumpPlanks());
    EXPECT_FALSE(copy.Get3D());
    EXPECT_FALSE(copy.GetHideGrass());
    ASSERT_EQ(2u, copy.GetObjectCount());
    auto* first = dynamic_cast<archivetest::CRecordObject*>(*copy.GetObjects().begin());
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(12, first->value);
    EXPECT_EQ(CPoint2(-20.0f, 30.0f), first->corner);
    EXPECT_EQ(CPoint2(300.0f, 400.0f), first->GetPlacement().GetPosition2D());
    EXPECT_EQ(bytes, Archive(copy, true));
}

TEST_F(CourseArchive, AscaTravelsAsNadacInVersion3)
{
    auto course = MakeCourse();
    course->SetSpecList(10);
    const std::string bytes = Archive(*course, true);
    EXPECT_EQ(3, bytes[1]);
    course->SetSpecList(12);
    EXPECT_EQ(0, Archive(*course, true)[1]);

    // The stored choice of the user tells ASCA from NADAC.
    CSettings::SetInt(L"SpecList", 3);
    CCourse nadac(L"Nadac", L"");
    ASSERT_TRUE(nadac.LoadArchive(bytes, false, false));
    EXPECT_EQ(3, nadac.GetOrganisationId());
    CSettings::SetInt(L"SpecList", 10);
    CCourse asca(L"Asca", L"");
    ASSERT_TRUE(asca.LoadArchive(bytes, false, false));
    EXPECT_EQ(10, asca.GetOrganisationId());
}

TEST_F(CourseArchive, NewerArchivesFailOrWarn)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 300.0f, 400.0f, 0.0f, 5, L"");
    std::string bytes = Archive(*course);

    auto target = MakeCourse();
    target->SetSize(6000.0f, 6000.0f);
    const std::string before = Archive(*target);

    std::string cannotOpen = bytes;
    cannotOpen[3] = 34;
    const CCourseRead refused = target->LoadArchive(cannotOpen, false, false);
    EXPECT_FALSE(refused);
    EXPECT_EQ(2696, archivetest::MessageOf(refused));
    EXPECT_EQ(before, Archive(*target));

    std::string showsLess = bytes;
    showsLess[5] = 34;
    const CCourseRead warned = target->LoadArchive(showsLess, false, false);
    EXPECT_TRUE(warned);
    EXPECT_EQ(-2697, archivetest::MessageOf(warned));
    EXPECT_EQ(1u, target->GetObjectCount());
    EXPECT_EQ(14400.0f, target->GetWidth());
}

TEST_F(CourseArchive, UnknownMajorVersionsFail)
{
    auto course = MakeCourse();
    const std::string before = Archive(*course);
    // Only a later major version is named as such; the others are no
    // archive this program knows.
    for (int major : {5, 0, 1, 2, 127, -1}) {
        std::string bytes = before;
        bytes[0] = char(major);
        const CCourseRead read = course->LoadArchive(bytes, false, false);
        EXPECT_FALSE(read) << major;
        EXPECT_EQ(major == 5 || major == 127 ? 2696 : 0, archivetest::MessageOf(read)) << major;
        EXPECT_EQ(before, Archive(*course));
    }
    EXPECT_FALSE(course->LoadArchive(std::string(), false, false));
    EXPECT_EQ(before, Archive(*course));
}

TEST_F(CourseArchive, MarkedPoints)
{
    auto course = MakeCourse();
    course->AddMarkedPoint(CPoint2(100.0f, 200.0f));
    course->AddMarkedPoint(CPoint2(150.0f, 150.0f));
    auto plain = MakeCourse();
    const std::string empty = Archive(*plain);
    const std::string bytes = Archive(*course);
    const std::string section = Bytes({0xE8, 0x03, 2, 0, 100, 0, 200, 0, 50, 0, 0xCE, 0xFF, 0x1F});
    EXPECT_EQ(empty.substr(0, empty.size() - 3) + section + empty.substr(empty.size() - 3), bytes);

    // Kept only while the coordinates are shown.
    CCourse hidden(L"Hidden", L"");
    ASSERT_TRUE(hidden.LoadArchive(bytes, false, false));
    EXPECT_TRUE(hidden.GetMarkedPoints().empty());

    course->SetShowObsCoords(true);
    const std::string shown = Archive(*course);
    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(copy.LoadArchive(shown, false, false));
    ASSERT_EQ(2u, copy.GetMarkedPoints().size());
    EXPECT_EQ(CPoint2(150.0f, 150.0f), copy.GetMarkedPoints()[1]);

    // Merging never takes them.
    CCourse merged(L"Merged", L"");
    ASSERT_TRUE(merged.LoadArchive(shown, true, false));
    EXPECT_TRUE(merged.GetMarkedPoints().empty());
}

TEST_F(CourseArchive, AbsurdMarkedPointCountsReadOnlyWhatIsThere)
{
    auto course = MakeCourse();
    course->SetShowObsCoords(true);
    course->AddMarkedPoint(CPoint2(100.0f, 200.0f));
    course->AddMarkedPoint(CPoint2(150.0f, 150.0f));
    archivetest::PlaceRecord(*course, 300.0f, 400.0f, 0.0f, 5, L"");
    const std::string bytes = Archive(*course);
    const size_t sectionAt = bytes.find(Bytes({0xE8, 0x03, 2, 0}));
    ASSERT_NE(std::string::npos, sectionAt);
    const size_t countAt = sectionAt + 2;
    for (int count : {32767, -1, -32768, 0}) {
        std::string damaged = bytes;
        damaged[countAt] = char(count & 0xFF);
        damaged[countAt + 1] = char((count >> 8) & 0xFF);
        CCourse copy(L"Copy", L"");
        ASSERT_TRUE(copy.LoadArchive(damaged, false, false));
        EXPECT_EQ(count > 0 ? 2u : 0u, copy.GetMarkedPoints().size()) << count;
        // The record after the section is read in step.
        ASSERT_NE(nullptr, OnlyRecord(copy));
        EXPECT_EQ(5, OnlyRecord(copy)->value);
    }
}

TEST_F(CourseArchive, SelectedOnlyWritesNeitherOverlayNorUnselected)
{
    auto course = MakeCourse();
    auto* keep = archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, L"");
    archivetest::PlaceRecord(*course, 200.0f, 100.0f, 0.0f, 2, L"");
    keep->SetSelected(true);

    // An overlay from a copy of the course.
    const std::string overlayBytes = [&] {
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        writer.m_versionMinor = 33;
        course->WriteObject(writer, keep);
        return writer.m_bytes;
    }();
    CFieldReader reader(overlayBytes);
    int32_t typeId = 0;
    reader.ReadInt16(typeId);
    reader.m_versionMajor = 4;
    reader.m_versionMinor = 33;
    std::unique_ptr<CCourseObject> overlay = course->ReadObject(typeId, reader, true);
    ASSERT_NE(nullptr, overlay);
    EXPECT_EQ(CCourseObject::kGrey, overlay->GetDisplayState());
    // Framed as the overlay sections of an archive.
    std::string whole = Archive(*course);
    const std::string tail = whole.substr(whole.size() - 3);
    std::string withOverlay = whole.substr(0, whole.size() - 3);
    withOverlay += Bytes({0xF2, 0x03, 0x1F}) + overlayBytes + Bytes({0xF3, 0x03, 0x1F}) + tail;

    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(copy.LoadArchive(withOverlay, false, false));
    EXPECT_EQ(2u, copy.GetObjectCount());
    ASSERT_EQ(1u, copy.GetOverlayObjects().size());
    EXPECT_EQ(CCourseObject::kGrey, (*copy.GetOverlayObjects().begin())->GetDisplayState());
    // The whole course writes its overlay back; the selection never does.
    const std::string rewritten = Archive(copy);
    EXPECT_NE(std::string::npos, rewritten.find(Bytes({0xF2, 0x03, 0x1F})));
    for (CCourseObject* each : copy.GetObjects())
        each->SetSelected(static_cast<archivetest::CRecordObject*>(each)->value == 1);
    const std::string selected = Archive(copy, false, true);
    EXPECT_EQ(std::string::npos, selected.find(Bytes({0xF2, 0x03, 0x1F})));
    CCourse pasted(L"Pasted", L"");
    ASSERT_TRUE(pasted.LoadArchive(selected, false, false));
    ASSERT_NE(nullptr, OnlyRecord(pasted));
    EXPECT_EQ(1, OnlyRecord(pasted)->value);

    // Merging skips the overlay records.
    CCourse merged(L"Merged", L"");
    ASSERT_TRUE(merged.LoadArchive(withOverlay, true, false));
    EXPECT_EQ(2u, merged.GetObjectCount());
    EXPECT_TRUE(merged.GetOverlayObjects().empty());
}

TEST_F(CourseArchive, Version3RecordsSkippedByAMergeKeepTheRunningPoint)
{
    // A course with an overlay, in version 3: every point, the overlay's
    // included, is coded against the one before it.
    auto source = MakeCourse();
    archivetest::PlaceRecord(*source, 100.0f, 200.0f, 0.0f, 1, L"")->corner = CPoint2(700.0f, 900.0f);
    const std::string overlaid = [&] {
        std::string whole = Archive(*source);
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        writer.m_versionMinor = 33;
        source->WriteObject(writer, *source->GetObjects().begin());
        return whole.substr(0, whole.size() - 3) + Bytes({0xF2, 0x03, 0x1F}) + writer.m_bytes +
               Bytes({0xF3, 0x03, 0x1F}) + whole.substr(whole.size() - 3);
    }();
    CCourse withOverlay(L"Overlay", L"");
    ASSERT_TRUE(withOverlay.LoadArchive(overlaid, false, false));
    ASSERT_EQ(1u, withOverlay.GetOverlayObjects().size());
    archivetest::PlaceRecord(withOverlay, 3000.0f, 4000.0f, 0.0f, 2, L"")->corner = CPoint2(50.0f, 60.0f);
    const std::string version3 = Archive(withOverlay, true);

    // Merging skips the overlay, yet the objects after it stand where they stood.
    auto target = MakeCourse();
    ASSERT_TRUE(target->LoadArchive(version3, true, false));
    EXPECT_TRUE(target->GetOverlayObjects().empty());
    ASSERT_EQ(2u, target->GetObjectCount());
    for (CCourseObject* each : target->GetObjects()) {
        auto* record = static_cast<archivetest::CRecordObject*>(each);
        if (record->value == 1) {
            EXPECT_EQ(CPoint2(100.0f, 200.0f), record->GetPlacement().GetPosition2D());
            EXPECT_EQ(CPoint2(700.0f, 900.0f), record->corner);
        } else {
            EXPECT_EQ(CPoint2(3000.0f, 4000.0f), record->GetPlacement().GetPosition2D());
            EXPECT_EQ(CPoint2(50.0f, 60.0f), record->corner);
        }
    }
}

namespace {

// The course's version-3 archive after the header of `header`, with a record
// of typeId after its first object: the colour, angle and position every
// record starts with, the bytes of `before`, `points` points and a value.
std::string WithOlderRecord(CCourse& course, const std::string& header, int typeId, const std::string& before,
                            int points)
{
    CFieldWriter writer;
    writer.m_versionMajor = 3;
    writer.m_versionMinor = 83;
    writer.m_keepPointAcrossFields = true;
    for (CCourseObject* object : course.GetObjects()) {
        course.WriteObject(writer, object);
        if (object != *course.GetObjects().begin())
            continue;
        writer.WriteInt16(typeId);
        writer.WriteInt8(0);
        writer.WriteInt16(45);
        writer.WritePoint(7000.0f, 6000.0f);
        writer.m_bytes += before;
        for (int i = 0; i < points; ++i)
            writer.WritePoint(-900.0f * float(i), 500.0f + 300.0f * float(i));
        writer.WriteInt16(0x505);
        writer.EndField();
    }
    return header + writer.m_bytes;
}

}  // namespace

TEST_F(CourseArchive, Version3RecordsOfKindsNotBuiltLeaveTheRestWhereItWasWritten)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 100.0f, 200.0f, 0.0f, 1, L"");
    archivetest::PlaceRecord(*course, 3000.0f, 4000.0f, 0.0f, 2, L"")->corner = CPoint2(50.0f, 60.0f);
    const std::string header = Archive(*MakeCourse(), true);
    const std::string without = Archive(*course, true);
    const int reports = ReportCount();
    // The older format's numbered dog path: read now, the records after it
    // still land where they were written.
    {
        CCourse copy(L"Copy", L"");
        const std::string bytes = WithOlderRecord(
            *course, header, 90, Bytes({240, 0, 1, 1, 4, 2, 1, 1, '7', 0x1C, 0x1D, 0x1D, 3, 0}), 3);
        EXPECT_EQ(0, archivetest::MessageOf(copy.LoadArchive(bytes, false, false)));
        int paths = 0;
        for (CCourseObject* object : copy.GetObjects()) {
            auto* path = dynamic_cast<CDogPath*>(object);
            paths += path != nullptr && path->GetEndCount() == 3 ? 1 : 0;
            object->SetSelected(path != nullptr);
        }
        EXPECT_EQ(1, paths);
        copy.DeleteSelected();
        EXPECT_EQ(without, Archive(copy, true));
    }
    // A kind the older format does not have: where its points end is not
    // known, so what follows it is left out rather than placed shifted.
    CCourse copy(L"Copy", L"");
    const std::string unknown = WithOlderRecord(*course, header, 4321, "", 1);
    EXPECT_EQ(-2695, archivetest::MessageOf(copy.LoadArchive(unknown, false, false)));
    ASSERT_NE(nullptr, OnlyRecord(copy));
    EXPECT_EQ(1, OnlyRecord(copy)->value);
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(CourseArchive, AGateSavedInTheOlderFormatReopensAsAnUnusableAreaWhereItStood)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 3000.0f, 4000.0f, 0.0f, 2, L"")->corner = CPoint2(50.0f, 60.0f);
    const CCourseObject* gate = archivetest::Place(*course, archivetest::GetGateKind(), 7000.0f, 6000.0f, 30.0f);
    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(copy.LoadArchive(Archive(*course, true), false, false));
    ASSERT_EQ(2u, copy.GetObjectCount());
    const auto* area = dynamic_cast<const CUnusableArea*>(*copy.GetObjects().begin());
    ASSERT_NE(nullptr, area);
    EXPECT_EQ(0, area->GetPercentRounded());
    const CPoint2 outline[4] = {{-240.0f, -60.0f}, {240.0f, -60.0f}, {240.0f, 60.0f}, {-240.0f, 60.0f}};
    for (int i = 0; i < 4; ++i) {
        const CPoint2 expected = gate->GetPlacement().TransformPoint2D(outline[i]);
        const CPoint2 corner = area->GetPlacement().TransformPoint2D(area->GetCorner(i));
        EXPECT_NEAR(expected.x, corner.x, 0.01f) << i;
        EXPECT_NEAR(expected.y, corner.y, 0.01f) << i;
    }
    // The area was read through its points: what follows it stands where it stood.
    const auto* record = dynamic_cast<const archivetest::CRecordObject*>(*copy.GetObjects().rbegin());
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(CPoint2(3000.0f, 4000.0f), record->GetPlacement().GetPosition2D());
    EXPECT_EQ(CPoint2(50.0f, 60.0f), record->corner);
}

TEST_F(CourseArchive, MergeAddsSelectedObjectsAndKeepsTheSettings)
{
    auto source = MakeCourse();
    source->SetSize(20000.0f, 15000.0f);
    source->SetLengthValue(CCourse::kMarginLowX, 600.0f);
    source->SetBackground(6);
    archivetest::PlaceRecord(*source, 100.0f, 100.0f, 0.0f, 1, L"");
    const std::string bytes = Archive(*source);

    auto target = MakeCourse();
    target->SetBackground(3);
    target->SetLengthValue(CCourse::kMarginHighY, 240.0f);
    auto* own = archivetest::PlaceRecord(*target, 500.0f, 500.0f, 0.0f, 9, L"");
    ASSERT_TRUE(target->LoadArchive(bytes, true, false));
    EXPECT_EQ(14400.0f, target->GetWidth());
    EXPECT_EQ(3, target->GetBackground());
    EXPECT_EQ(2u, target->GetObjectCount());
    for (CCourseObject* each : target->GetObjects())
        EXPECT_EQ(each != own, each->IsSelected());
    // The margins grew to hold the pasted ring's.
    EXPECT_EQ(600.0f, target->GetMargin(CCourse::kMarginLowX));
    EXPECT_EQ(240.0f, target->GetMargin(CCourse::kMarginHighY));

    // Not beyond the largest ring.
    source->SetLengthValue(CCourse::kMarginHighX, 20000.0f);
    EXPECT_EQ(9400.0f, source->GetMargin(CCourse::kMarginHighX));
    auto large = MakeCourse();
    large->SetSize(25000.0f, 12000.0f);
    ASSERT_TRUE(large->LoadArchive(Archive(*source), true, false));
    EXPECT_EQ(0.0f, large->GetMargin(CCourse::kMarginHighX));
    EXPECT_EQ(0.0f, large->GetMargin(CCourse::kMarginLowX));
}

TEST_F(CourseArchive, AnObjectPlacedBeyondTheStoredRangeReadsBackWhereItStands)
{
    auto course = MakeCourse();
    auto* record = archivetest::PlaceRecord(*course, 45000.0f, -50000.0f, 0.0f, 1, L"far");
    EXPECT_EQ(CPoint2(32767.0f, -32768.0f), record->GetPlacement().GetPosition2D());
    for (bool version3 : {false, true}) {
        std::string bytes;
        course->WriteArchive(bytes, false, version3, false);
        auto back = MakeCourse();
        ASSERT_TRUE(back->LoadArchive(bytes, false, false));
        ASSERT_EQ(1u, back->GetObjectCount());
        EXPECT_EQ(CPoint2(32767.0f, -32768.0f), (*back->GetObjects().begin())->GetPlacement().GetPosition2D());
    }
}

TEST_F(CourseArchive, DamagedDisplayValuesAreBroughtIntoRange)
{
    auto course = MakeCourse();
    std::string bytes = Archive(*course);
    // Display origins, grid spacings and coordinate units of the display block.
    const size_t display = 11 + kRingBlock4.size();
    bytes[display + 7] = 0;       // metric grid spacing 0
    bytes[display + 9] = char(0xFF);
    bytes[display + 10] = char(0xFF);  // US grid spacing -1
    bytes[display + 11] = 7;      // display origin x
    bytes[display + 12] = -3;     // display origin y
    bytes[display + 15] = 4;      // US coordinate units x
    bytes[display + 16] = 0;      // US coordinate units y
    auto target = MakeCourse();
    target->SetMetricGridSpacing(4);
    target->SetUsGridSpacing(12);
    ASSERT_TRUE(target->LoadArchive(bytes, false, false));
    EXPECT_EQ(4, target->GetMetricGridSpacing());
    EXPECT_EQ(12, target->GetUsGridSpacing());
    EXPECT_EQ(0, target->GetDisplayOriginX());
    EXPECT_EQ(2, target->GetDisplayOriginY());
    EXPECT_EQ(3, target->GetUSCoordUnitsX());
    EXPECT_EQ(3, target->GetUSCoordUnitsY());
}

TEST_F(CourseArchive, DamagedRingSizesKeepTheRingUsable)
{
    auto course = MakeCourse();
    const std::string bytes = Archive(*course);
    struct CCase
    {
        int width;
        int height;
        int margin;
        float expectedWidth;
        float expectedHeight;
    };
    for (const CCase& c : {CCase{0, -5, -100, 14400.0f, 12000.0f}, CCase{32767, 1, 0, 30000.0f, 1.0f}}) {
        std::string damaged = bytes;
        damaged[11] = char(c.width & 0xFF);
        damaged[12] = char((c.width >> 8) & 0xFF);
        damaged[13] = char(c.height & 0xFF);
        damaged[14] = char((c.height >> 8) & 0xFF);
        damaged[15] = char(c.margin & 0xFF);
        damaged[16] = char((c.margin >> 8) & 0xFF);
        auto target = MakeCourse();
        archivetest::PlaceRecord(*target, 500.0f, 500.0f, 0.0f, 9, L"");
        ASSERT_TRUE(target->LoadArchive(damaged, false, false));
        EXPECT_EQ(c.expectedWidth, target->GetWidth());
        EXPECT_EQ(c.expectedHeight, target->GetHeight());
        EXPECT_EQ(0.0f, target->GetMargin(CCourse::kMarginLowY));
        // Width 0 deletes nothing.
        EXPECT_EQ(1u, target->GetObjectCount());
    }
}

// A damaged plank count can neither leave the long jump without planks nor
// make it loop over absurdly many: the archive and the settings give 1 to 10.
TEST_F(CourseArchive, DamagedLongJumpPlankCountIsBroughtIntoRange)
{
    auto course = MakeCourse();
    course->SetLongJumpPlanks(7);
    const std::string bytes = Archive(*course);
    ASSERT_EQ(7, bytes[27]);
    for (const auto& c : {std::make_pair(100, 10), std::make_pair(-5, 1), std::make_pair(0, 1)}) {
        std::string damaged = bytes;
        damaged[27] = char(c.first);
        auto target = MakeCourse();
        ASSERT_TRUE(target->LoadArchive(damaged, false, false));
        EXPECT_EQ(c.second, target->GetLongJumpPlanks()) << c.first;
    }
    CSettings::SetInt(course->GetSpecList().GetName() + L"LongJumpPlanks", 1000000);
    EXPECT_EQ(10, CCourse(L"", L"").GetLongJumpPlanks());
    CSettings::SetInt(course->GetSpecList().GetName() + L"LongJumpPlanks", -3);
    EXPECT_EQ(1, CCourse(L"", L"").GetLongJumpPlanks());
}

TEST_F(CourseArchive, UnknownRecordsAreSkipped)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, L"");
    std::string bytes = Archive(*course);
    // A record of an unknown type with surplus values before the known one.
    const size_t recordAt = bytes.size() - 3 - 17;
    ASSERT_EQ(0x0B, bytes[recordAt]);
    const std::string unknown = Bytes({0x39, 0x30, 0, 1, 0, 2, 0, 3, 0, 4, 0, 0x1E, 0x1F, 0x1D, 0x1F});
    bytes.insert(recordAt, unknown);
    // Surplus values at the end of the known record are skipped too.
    bytes.insert(bytes.size() - 4, Bytes({7, 7, 7}));
    // The loss is told: saving again would drop the record.
    CCourse copy(L"Copy", L"");
    const CCourseRead read = copy.LoadArchive(bytes, false, false);
    ASSERT_TRUE(read);
    EXPECT_EQ(-2695, archivetest::MessageOf(read));
    ASSERT_NE(nullptr, OnlyRecord(copy));
    EXPECT_EQ(1, OnlyRecord(copy)->value);
    EXPECT_EQ(0, archivetest::MessageOf(copy.LoadArchive(Archive(*course), false, false)));
}

TEST_F(CourseArchive, TruncatedArchiveKeepsWhatWasRead)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, L"");
    archivetest::PlaceRecord(*course, 200.0f, 100.0f, 0.0f, 2, L"");
    const std::string bytes = Archive(*course);
    // Records are 17 bytes long; the end section is missing in both.
    CCourse one(L"One", L"");
    ASSERT_TRUE(one.LoadArchive(bytes.substr(0, bytes.size() - 3 - 17), false, false));
    ASSERT_NE(nullptr, OnlyRecord(one));
    EXPECT_EQ(1, OnlyRecord(one)->value);
    CCourse two(L"Two", L"");
    ASSERT_TRUE(two.LoadArchive(bytes.substr(0, bytes.size() - 3), false, false));
    EXPECT_EQ(2u, two.GetObjectCount());
}

TEST_F(CourseArchive, OrganisationOutOfRangeGivesRuleSetZeroWithoutAReport)
{
    // A damaged file is the file's fault: no failure report, in either
    // version (the id is the eleventh byte of version 4, the second of 3).
    auto course = MakeCourse();
    course->SetSpecList(4);
    const int reports = ReportCount();
    for (bool version3 : {false, true}) {
        for (int id : {16, 99, -1, -128}) {
            std::string bytes = Archive(*course, version3);
            bytes[version3 ? 1 : 10] = char(id);
            auto target = MakeCourse();
            ASSERT_TRUE(target->LoadArchive(bytes, false, false)) << id;
            EXPECT_EQ(0, target->GetOrganisationId()) << id;
        }
    }
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(CourseArchive, OldestVersion3ColourNumbers)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, L"");
    std::string bytes = Archive(*course, true);
    const size_t colourAt = bytes.size() - 15;
    ASSERT_EQ(0x0B, bytes[colourAt - 2]);
    // Minor 1: colours are the seven old colour numbers.
    bytes[2] = 1;
    for (int number : {4, 6, 7, 100, -1}) {
        bytes[colourAt] = char(number);
        CCourse copy(L"Copy", L"");
        ASSERT_TRUE(copy.LoadArchive(bytes, false, false));
        ASSERT_NE(nullptr, OnlyRecord(copy));
        const int expected = number == 4 ? 55 : number == 6 ? 120 : CPartColorSet::GetDefaultIndex(10);
        EXPECT_EQ(expected, OnlyRecord(copy)->GetPartColors().GetColorIndex(10)) << number;
    }
}
