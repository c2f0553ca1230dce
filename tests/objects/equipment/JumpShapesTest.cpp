#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "course/SpecList.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCache.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/equipment/BarJumpType.h"
#include "objects/equipment/LongJumpType.h"
#include "objects/equipment/SolidJumpType.h"
#include "objects/equipment/WallJumpType.h"
#include "objects/equipment/WishingWellJumpType.h"
#include "tests/objects/equipment/CountingContext.h"
#include "tests/objects/equipment/JumpTestSupport.h"
#include "tests/objects/equipment/ModelPicture.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

using namespace jumptest;

namespace {

using JumpShapes = coursetest::CSettingsFixture;

bool RectWithin(const CRectF& inner, const CRectF& outer, float tolerance)
{
    return inner.left >= outer.left - tolerance && inner.right <= outer.right + tolerance &&
           inner.top >= outer.top - tolerance && inner.bottom <= outer.bottom + tolerance;
}

// The x of every figure that starts at y.
std::vector<float> MovesAt(const CRecordingContext& context, float y)
{
    std::vector<float> xs;
    for (const CRecordingContext::CCall& call : context.calls)
        if (call.op == 'M' && std::fabs(call.v[1] - y) < 0.01f)
            xs.push_back(call.v[0]);
    return xs;
}

// Every kind on one course, four to a row, winged where it can be.
std::unique_ptr<CCourse> CourseOfEveryKind()
{
    auto course = MakeCourse(0);
    course->SetBackground(1);
    const std::vector<int>& ids = AllJumpTypeIds();
    for (size_t i = 0; i < ids.size(); ++i) {
        const float x = 2000.0f + 3400.0f * float(i % 4);
        const float y = 1500.0f + 2000.0f * float(i / 4);
        CJump* jump = PlaceJump(*course, ids[i], x, y);
        if (CWingsBinding* wings = dynamic_cast<CWingsBinding*>(jump->GetBinding()))
            SetWings(*jump, wings->width, i % 2 == 0 ? 240.0f : 0.0f);
    }
    return course;
}

}  // namespace

TEST_F(JumpShapes, PicturesOfEveryKind)
{
    CGdiplusSession gdiplus;
    auto course = CourseOfEveryKind();
    CPixelBitmap map(1440.0f, 1200.0f);
    ASSERT_TRUE(RenderCourseImage(*course, map, true, 0.0f, 0.0f));
    EXPECT_TRUE(SaveImage(map, GetTestArtefactPath(L"JumpsMap.png"), nullptr));
    // Each jump is drawn within its bounds, and nothing else inside the ring
    // is: the ring and 10 around it fill the picture.
    const float scale = 14420.0f / 1440.0f;
    std::vector<CRectF> bounds;
    for (CJump* jump : JumpsOf(*course)) {
        const CRectF r = jump->GetBoundingRect();
        bounds.push_back(CRectF((r.left + 10.0f) / scale - 1.0f, (r.top + 10.0f) / scale - 1.0f,
                                (r.right + 10.0f) / scale + 1.0f, (r.bottom + 10.0f) / scale + 1.0f));
    }
    std::vector<int> inside(bounds.size(), 0);
    int outside = 0;
    for (int y = 4; y < 1196; ++y) {
        for (int x = 4; x < 1436; ++x) {
            if ((map.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                continue;
            bool found = false;
            for (size_t i = 0; i < bounds.size(); ++i) {
                if (RectWithin(CRectF(float(x), float(y), float(x), float(y)), bounds[i], 0.0f)) {
                    ++inside[i];
                    found = true;
                }
            }
            outside += found ? 0 : 1;
        }
    }
    EXPECT_EQ(0, outside);
    for (size_t i = 0; i < inside.size(); ++i)
        EXPECT_GT(inside[i], 100) << AllJumpTypeIds()[i];

    // Each jump in a cell of its own, seen from the front left, with its
    // pictures.
    for (const wchar_t* picture : {L"Brick.png", L"RoofTile.png", L"BrushFence.jpg"})
        ASSERT_NE(nullptr, CImage::GetCached(picture)) << picture;
    constexpr int kCell = 320;
    CPixelBitmap model(float(4 * kCell), float(5 * kCell));
    const std::vector<CJump*> jumps = JumpsOf(*course);
    for (size_t i = 0; i < jumps.size(); ++i) {
        CModelPicture cell(kCell, kCell, 0.3f, 0.5f * float(kCell), 0.7f * float(kCell));
        cell.DrawAt(jumps[i]->GetShape3D(), CTransform());
        model.CopyRect(cell.GetBitmap(), 0, 0, int(i % 4) * kCell, int(i / 4) * kCell, kCell, kCell);
    }
    EXPECT_TRUE(SaveImage(model, GetTestArtefactPath(L"Jumps3D.png"), nullptr));
}


// Every kind at the jump heights, widths and plank counts that the drawing
// must survive: finite coordinates within the jump's measured bounds, in
// plan (also through the GDI canvas) and in 3D.
TEST_F(JumpShapes, EveryKindIsFiniteAtEveryHeightAndWidth)
{
    CGdiBitmap dib;
    ASSERT_TRUE(dib.Create(400.0f, 400.0f));
    CGdiGraphics canvas;
    canvas.SetDeviceContext(dib.GetDC());
    const int before = ReportCount();
    for (float height : {0.0f, 20.0f, 260.0f, 1000.0f}) {
        for (int planks : {0, 200}) {
            auto course = MakeCourse(1);
            course->SetJumpHeight(height);
            course->SetLongJumpPlanks(planks);
            for (int id : AllJumpTypeIds()) {
                for (float width : {0.0f, 40.0f, 85.0f, 539.0f, 540.0f}) {
                    // Made for the course, not placed in it.
                    std::unique_ptr<CJump> jump = MakeJump(id, course.get());
                    if (jump->GetBinding()->GetKind() == CPropertyBinding::kWings)
                        SetWings(*jump, width, width == 85.0f || width == 540.0f ? 240.0f : 0.0f);
                    jump->RefreshExtents();
                    CCountingContext plan;
                    plan.DrawTop(jump->GetShape2D());
                    CCountingContext model;
                    model.DrawTop(jump->GetShape3D());
                    canvas.m_state.matrix.Scale(0.1f);
                    canvas.DrawDrawable(jump->GetShape2D(), 0, 0);
                    canvas.m_state.matrix = CTransform();
                    const std::string what =
                        std::to_string(id) + " " + std::to_string(height) + " " + std::to_string(width);
                    EXPECT_EQ(0, plan.notFinite + model.notFinite) << what;
                    EXPECT_GT(plan.pathPoints, 0) << what;
                    EXPECT_GT(model.vertices, 0) << what;
                    EXPECT_TRUE(BoxWithin(model.vertexBox, jump->Get3DExtent(), 0.5f)) << what;
                    EXPECT_TRUE(
                        RectWithin(plan.pathRect, CRectF::FromRangesFlipY(jump->Get2DExtent()), 0.5f))
                        << what;
                }
            }
        }
    }
    EXPECT_EQ(before, ReportCount());
}

TEST_F(JumpShapes, ViaductArchesByWidth)
{
    auto course = MakeCourse(1);
    course->SetJumpHeight(240.0f);
    struct CCase
    {
        float width;
        std::vector<float> starts;
    };
    const float gap = (540.0f - 260.0f) / 3.0f;
    const CCase cases[] = {{539.0f, {-65.0f}}, {540.0f, {-270.0f + gap, 0.5f * gap}}, {150.0f, {}}, {0.0f, {}}};
    for (const CCase& c : cases) {
        CJump* viaduct = PlaceJump(*course, 353, 3000.0f, 3000.0f);
        SetWings(*viaduct, c.width, 0.0f);
        CRecordingContext plan;
        viaduct->Draw2D(plan);
        const std::vector<float> starts = MovesAt(plan, 60.0f);
        ASSERT_EQ(c.starts.size(), starts.size()) << c.width;
        for (size_t i = 0; i < starts.size(); ++i)
            EXPECT_NEAR(c.starts[i], starts[i], 0.01f) << c.width;
        // No arches: the wall is as solid as the wall jump's.
        if (c.starts.empty()) {
            CCountingContext viaductModel;
            viaduct->Build3D(viaductModel);
            CJump* wall = PlaceJump(*course, 357, 3000.0f, 3000.0f);
            SetWings(*wall, c.width, 0.0f);
            CCountingContext wallModel;
            wall->Build3D(wallModel);
            EXPECT_EQ(wallModel.triangles, viaductModel.triangles) << c.width;
        }
    }
    EXPECT_NEAR(93.33f, gap, 0.01f);
}

TEST_F(JumpShapes, PicketsAcrossTheFence)
{
    const std::pair<float, std::vector<float>> cases[] = {
        {40.0f, {}},
        {42.5f, {-11.25f}},
        {84.0f, {-11.25f}},
        {85.0f, {-42.5f, 20.0f}},
        {130.0f, {-65.0f, -11.25f, 42.5f}},
    };
    for (const auto& c : cases) {
        const std::vector<float> pickets = CPicketFenceJumpType::GetPickets(c.first);
        ASSERT_EQ(c.second.size(), pickets.size()) << c.first;
        for (size_t i = 0; i < pickets.size(); ++i)
            EXPECT_NEAR(c.second[i], pickets[i], 0.01f) << c.first;
    }
    EXPECT_EQ(12u, CPicketFenceJumpType::GetPickets(540.0f).size());
    EXPECT_NEAR(270.0f - 22.5f, CPicketFenceJumpType::GetPickets(540.0f).back(), 0.01f);
}

TEST_F(JumpShapes, WishingWellRoofIsTiledAsAtLeast20High)
{
    EXPECT_EQ(2.0f, CWishingWellJumpType::GetRoofTileRepeat(240.0f));
    EXPECT_EQ(25.25f, CWishingWellJumpType::GetRoofTileRepeat(20.0f));
    for (float height : {0.0f, -100.0f, 10.0f})
        EXPECT_EQ(25.25f, CWishingWellJumpType::GetRoofTileRepeat(height)) << height;
}

TEST_F(JumpShapes, LongJumpPlanksAndLogRows)
{
    auto course = MakeCourse(1);
    course->SetLongJumpLength(600.0f);
    for (int planks : {1, 4}) {
        course->SetLongJumpPlanks(planks);
        CJump* jump = PlaceJump(*course, 180, 3000.0f, 3000.0f);
        CCountingContext model;
        jump->Build3D(model);
        const std::vector<CCountingContext::CItem> boards = model.ItemsLike(
            CLongJumpType::CPlank(jump->GetPartColorIndex(18), jump->GetPartColorIndex(21)));
        ASSERT_EQ(size_t(planks), boards.size());
        EXPECT_EQ(-300.0f, boards.front().placement.GetTranslation().y);
        EXPECT_EQ(planks == 1 ? -300.0f : 240.0f, boards.back().placement.GetTranslation().y);
    }
    EXPECT_EQ(1, CLogJumpType::GetLogRows(0.0f));
    EXPECT_EQ(5, CLogJumpType::GetLogRows(240.0f));
}

TEST_F(JumpShapes, BarJumpPlans)
{
    auto course = MakeCourse(1);
    // A one-way jump's bars start at its first end; its arrow stands 150
    // beyond the wing.
    CJump* spread = PlaceJump(*course, 20, 3000.0f, 3000.0f);
    SetWings(*spread, 600.0f, 240.0f);
    CRecordingContext plan;
    spread->Draw2D(plan);
    EXPECT_EQ((std::vector<float>{690.0f}), MovesAt(plan, 260.0f));
    EXPECT_EQ((std::vector<float>{-300.0f}), MovesAt(plan, 0.0f));
    // A single bar gets a backdrop 120 deep only when pale or grey.
    CJump* single = PlaceJump(*course, 260, 6000.0f, 3000.0f);
    for (int state : {CCourseObject::kNormal, CCourseObject::kGrey}) {
        single->SetDisplayState(state);
        CRecordingContext singlePlan;
        single->Draw2D(singlePlan);
        EXPECT_EQ(state == CCourseObject::kNormal ? 0u : 1u, MovesAt(singlePlan, -60.0f).size()) << state;
    }
}
