#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "foundation/Settings.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/RecordingContext.h"

using namespace equipmenttest;

namespace {

using UnusableArea = coursetest::CSettingsFixture;

CUnusableArea* PlaceByDragging(CCourse& course, const CPoint2& a, const CPoint2& b)
{
    return PlaceWithTool<CUnusableArea>(course, CUnusableArea::kNameTextId, a, b);
}

// The corners' bounding rectangle in course coordinates.
CRectF CourseBounds(const CUnusableArea& area)
{
    CRectF bounds;
    for (int i = 0; i < 4; ++i) {
        const CPoint2 p = area.GetPlacement().TransformPoint2D(area.GetCorner(i));
        bounds = i == 0 ? CRectF(p.x, p.y, p.x, p.y) : bounds;
        bounds.Include(p);
    }
    return bounds;
}

// A record of four corners and a rounding.
std::string AreaRecord(const std::vector<CPoint2>& corners, int percent)
{
    CFieldWriter writer;
    for (const CPoint2& corner : corners)
        writer.WritePoint(corner);
    writer.WriteInt8(percent);
    return writer.m_bytes;
}

}  // namespace

TEST_F(UnusableArea, DraggingLeavesTheRectangleAndAClickASquare)
{
    auto course = MakeCourse();
    CNoticeRecorder notices;
    const struct
    {
        CPoint2 press;
        CPoint2 release;
        CRectF expected;
        bool hint;
    } cases[] = {
        {{5000, 5000}, {5000, 5000}, {4880, 4880, 5120, 5120}, true},
        {{5000, 5000}, {5080, 5050}, {5000, 5000, 5080, 5050}, true},
        // Near the left edge the area starts on it.
        {{150, 5000}, {3000, 7000}, {0, 5000, 3000, 7000}, false},
        // The far corner stops at the edge of what the archive holds.
        {{9000, 5000}, {90000, 5000.5f}, {9000, 5000, 32767, 5001}, false},
    };
    for (const auto& c : cases) {
        const CUnusableArea* area = PlaceByDragging(*course, c.press, c.release);
        ASSERT_NE(nullptr, area);
        const CRectF bounds = CourseBounds(*area);
        EXPECT_EQ(c.expected.left, bounds.left);
        EXPECT_EQ(c.expected.top, bounds.top);
        EXPECT_EQ(c.expected.right, bounds.right);
        EXPECT_EQ(c.expected.bottom, bounds.bottom);
        EXPECT_EQ(0.0f, area->GetPlacement().GetRotation());
        const std::vector<CNotice> shown = notices.Take();
        ASSERT_EQ(c.hint ? 1u : 0u, shown.size());
        if (c.hint) {
            EXPECT_EQ(2706, shown[0].textId);
            EXPECT_EQ(L"Unusable", shown[0].helpTopic);
        }
    }
}

TEST_F(UnusableArea, OutlineRoundsFromTheCornersToTheCircleThroughThem)
{
    CUnusableArea area;
    for (int percent : {0, 100}) {
        ReadRecord(area, AreaRecord({{-100, -100}, {100, -100}, {100, 100}, {-100, 100}}, percent));
        CRecordingContext context;
        context.flattenCurves = true;
        area.Draw2D(context);
        int points = 0;
        for (const CRecordingContext::CCall& call : context.calls) {
            if (call.op != 'M' && call.op != 'L')
                continue;
            ++points;
            if (percent == 100)
                EXPECT_NEAR(141.42f, CPoint2(call.v[0], call.v[1]).Length(), 0.5f);
            else
                EXPECT_EQ(200.0f, std::fabs(call.v[0]) + std::fabs(call.v[1]));
        }
        // The quadrilateral's four corners, or the flattened curves.
        EXPECT_TRUE(percent == 0 ? points == 4 : points > 4) << points;
    }
}

TEST_F(UnusableArea, RecordsAndLegacyLinesKeepTheirValuesInRange)
{
    auto course = MakeCourse();
    const int reports = ReportCount();
    CUnusableArea* area = Place<CUnusableArea>(*course, CUnusableArea::GetUnusableType(), 30000.0f, 2000.0f);
    // Damaged roundings, and a corner whose course point lies beyond the
    // archive's range.
    for (const auto& [stored, read] : {std::pair{-6, 0}, {127, 100}, {50, 50}}) {
        ReadRecord(*area, AreaRecord({{0, 0}, {5000, 0}, {5000, 10}, {0, 10}}, stored));
        EXPECT_EQ(read, area->GetPercentRounded());
        EXPECT_EQ(32767.0f, CourseBounds(*area).right);
    }
    // Box corners in inches and the rounding code.
    const struct
    {
        const char* words;
        CPoint2 first;
        CPoint2 third;
        int percent;
    } lines[] = {
        {"10 20 30 40 2", {271, 371}, {129, 229}, 100},
        {"10 20 30 40 1", {285, 385}, {115, 215}, 50},
        {"10 20 30 40 9", {271, 371}, {129, 229}, 100},
        {"10 20 30 40 -1", {300, 400}, {100, 200}, 0},
        {"-99999999 0 99999999 0", {32767, 0}, {-32768, 0}, 0},
    };
    for (const auto& line : lines) {
        std::istringstream words(line.words);
        area->ApplyVariant("UnusableArea", words);
        EXPECT_EQ(line.first, area->GetCorner(0)) << line.words;
        EXPECT_EQ(line.third, area->GetCorner(2)) << line.words;
        EXPECT_EQ(CPoint2(line.third.x, line.first.y), area->GetCorner(1));
        EXPECT_EQ(line.percent, area->GetPercentRounded());
    }
    EXPECT_EQ(reports, ReportCount());
    EXPECT_EQ(1, CountReports([&] { area->MoveHandle(4, 0.0f, 0.0f); }));
}

TEST_F(UnusableArea, TheRoundingComesFromTheDialogWithinItsRange)
{
    auto course = MakeCourse();
    // A stored value out of range: the dialog and the area keep to 0..100,
    // so the record does not wrap it.
    CSettings::SetInt(L"350PercentRounded", 250);
    CUnusableArea* area = Place<CUnusableArea>(*course, CUnusableArea::GetUnusableType(), 3000.0f, 2000.0f);
    EXPECT_EQ(100, area->GetPercentRounded());
    EXPECT_EQ(100, int(int8_t(RecordOf(*area).back())));
    CUnusableAreaPropertiesDlg dialog(course.get());
    dialog.AddEditedObject(nullptr, 0, CPartColorSet());
    dialog.MergePercentRounded(250);
    area->FromDialog(dialog);
    EXPECT_EQ(100, area->GetPercentRounded());
}

TEST_F(UnusableArea, DraggedCornersTakeTheTurnIntoTheCornersAndSnapToTheRing)
{
    auto course = MakeCourse();
    CUnusableArea* area = PlaceByDragging(*course, {1000, 1000}, {2000, 1600});
    ASSERT_NE(nullptr, area);
    CTransform turned = area->GetPlacement();
    turned.RotateZ(-90.0f);
    area->SetPlacement(turned);
    const CRectF before = CourseBounds(*area);
    area->StartHandleMove(2);
    // Close to the ring's left edge, the corner lands on it; clear of the
    // other corners' snap zones, it lands where it is dropped.
    area->MoveHandle(2, 20.0f, before.top - 400.0f);
    area->EndHandleMove();
    EXPECT_EQ(0.0f, area->GetPlacement().GetRotation());
    const CRectF after = CourseBounds(*area);
    EXPECT_EQ(0.0f, after.left);
    EXPECT_EQ(before.top - 400.0f, after.top);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(before.bottom, after.bottom);
    // Flipping mirrors the corners about the placement alone.
    const CTransform placement = area->GetPlacement();
    const CPoint2 corner = area->GetCorner(1);
    area->Flip();
    EXPECT_EQ(CPoint2(-corner.x, corner.y), area->GetCorner(1));
    EXPECT_EQ(placement, area->GetPlacement());
    EXPECT_FALSE(area->IsInsideRing(false));
    // Moved near the ring's top edge, its side lands on it.
    course->BeginSingleObjectEdit();
    course->MoveSelectionBy(0.0f, 90.0f - after.top);
    EXPECT_EQ(0.0f, CourseBounds(*area).top);
    EXPECT_EQ(after.bottom - after.top, CourseBounds(*area).bottom);
}
