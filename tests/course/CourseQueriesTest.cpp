#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/ObsNumSequence.h"
#include "tests/course/EditingTestKinds.h"
#include "tests/support/TestSupport.h"

using namespace coursetest;
using namespace editingtest;

namespace {

class CourseQueries : public CCourseFixture
{
protected:
    void SetUp() override
    {
        CCourseFixture::SetUp();
        // Pictures through GDI, whatever else the machine offers.
        CSettings::SetInt(L"GraphicsClass", 0);
        SilenceHints();
        ObstacleType();
        PlainType();
    }
};

// A start or finish line of a chosen kind.
class CTestEndLine : public CEndLine
{
public:
    explicit CTestEndLine(int kind) { m_kind = kind; }
    int GetCategory() const override { return 3; }
    int GetLayer() const override { return 2; }
    int GetEndCount() const override { return 0; }
    void GetEnd(CPoint2&, int) const override {}
    void Draw2D(CGraphicsContext&) override {}
};

// Writes down every nested item drawn: the drawable, its pick id and the
// matrix it was placed with.
class CItemContext : public CStateContext
{
public:
    struct CItem
    {
        const CDrawable* drawable;
        int mode;
        int flag;
        CTransform matrix;
    };
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        items.push_back({&drawable, mode, flag, m_state.matrix});
    }
    std::vector<CItem> items;
};

// An obstacle with one end of the kind at the local point, pointing along
// the direction.
CEditObject* PlaceWithEnd(CCourse& course, float x, float y, int kind, CPoint2 point = CPoint2(),
                          CPoint2 direction = CPoint2(10000.0f, 0.0f))
{
    CEditObject* object = PlaceEdit(course, PlainType(), x, y);
    object->AddEnd(kind, point, direction);
    object->Invalidate();
    return object;
}

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0x00FFFFFF;
}

bool IsDark(uint32_t pixel)
{
    return (pixel & 0xFF) < 0x60 && ((pixel >> 8) & 0xFF) < 0x60 && ((pixel >> 16) & 0xFF) < 0x60;
}

}  // namespace

TEST_F(CourseQueries, RingRectGrownByTenWithoutMargins)
{
    CCourse course(L"", L"");
    EXPECT_EQ(CRectF(-10.0f, -10.0f, 14410.0f, 12010.0f), course.GetRingRect(true, false));
}

TEST_F(CourseQueries, ViewCameraFramesTheGrownRing)
{
    CCourse course(L"", L"");
    course.SetLengthValue(CCourse::kMarginHighX, 600.0f);
    EXPECT_EQ(course.GetRingRect(true, true), course.GetViewCamera().GetCourseRect());
    EXPECT_EQ(&course.GetMapCamera(), &course.GetViewCamera());
}

TEST_F(CourseQueries, ObjectsOutsideAreAddedToTheCounters)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, -500.0f);
    PlaceEdit(course, ObstacleType(), -500.0f, 13000.0f);
    PlaceEdit(course, ObstacleType(), 15000.0f, 1000.0f);
    // On the edge is not outside.
    PlaceEdit(course, ObstacleType(), 14400.0f, 12000.0f);
    PlaceEdit(course, ObstacleType(), 5000.0f, 5000.0f);
    int belowY = 1;
    int aboveY = 0;
    int belowX = 0;
    int aboveX = 0;
    course.CountObjectsOutside(belowY, aboveY, belowX, aboveX);
    EXPECT_EQ(2, belowY);
    EXPECT_EQ(1, aboveY);
    EXPECT_EQ(1, belowX);
    EXPECT_EQ(1, aboveX);
}

TEST_F(CourseQueries, EndLinesAreCountedByKind)
{
    CCourse course(L"", L"");
    const int kinds[] = {0, 2, 1, 0, 2, 2};
    for (int kind : kinds) {
        auto line = std::make_unique<CTestEndLine>(kind);
        line->Init(&course, nullptr, CTransform(), CCourseObject::kNormal);
        course.AddObject(std::move(line));
    }
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    int kind0 = 0;
    int kind2 = 0;
    int other = 0;
    course.CountEndLines(kind0, kind2, other);
    EXPECT_EQ(2, kind0);
    EXPECT_EQ(3, kind2);
    EXPECT_EQ(1, other);
}

TEST_F(CourseQueries, LooseLayer3Objects)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    EXPECT_FALSE(course.HasLooseLayer3Object());
    CEditObject* withEnd = PlaceWithEnd(course, 2000.0f, 1000.0f, 1);
    EXPECT_FALSE(course.HasLooseLayer3Object());
    PlaceEdit(course, PlainType(), 3000.0f, 1000.0f);
    EXPECT_TRUE(course.HasLooseLayer3Object());
    (void)withEnd;
}

TEST_F(CourseQueries, NumberingIsFoundOrMade)
{
    CCourse course(L"", L"");
    CObsNumSequence* digits = course.GetNumbering(nullptr);
    ASSERT_NE(nullptr, digits);
    EXPECT_EQ(1, digits->GetKind());
    EXPECT_FALSE(digits->GetFlag());
    EXPECT_EQ(digits, course.GetNumbering(nullptr));

    const std::wstring capitals = L"B";
    CObsNumSequence* letters = course.GetNumbering(nullptr, nullptr, &capitals);
    EXPECT_NE(digits, letters);
    EXPECT_EQ(2, letters->GetKind());
    const std::wstring twelve = L"12";
    EXPECT_EQ(digits, course.GetNumbering(nullptr, nullptr, &twelve));

    const bool flagged = true;
    CObsNumSequence* badge = course.GetNumbering(nullptr, &flagged, &twelve);
    EXPECT_NE(digits, badge);
    EXPECT_TRUE(badge->GetFlag());
    EXPECT_EQ(badge, course.GetNumbering(nullptr, &flagged));
}

TEST_F(CourseQueries, RefreshNumberingTurnsObstaclesAndEndsTheMotion)
{
    CCourse course(L"", L"");
    CEditObject* turned = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f, 30.0f);
    CEditObject* endless = PlaceEdit(course, PlainType(), 3000.0f, 1000.0f, 30.0f);
    turned->SetSelected(true);
    course.MoveSelectionBy(10.0f, 0.0f);
    course.RefreshNumbering();
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_NEAR(-150.0f, turned->GetPlacement().GetRotation(), 1e-3f);
    EXPECT_NEAR(30.0f, endless->GetPlacement().GetRotation(), 1e-3f);
}

TEST_F(CourseQueries, NearestEndByDistanceKindAndReach)
{
    CCourse course(L"", L"");
    CEditObject* nearer = PlaceWithEnd(course, 1000.0f, 1000.0f, 1);
    CEditObject* farther = PlaceWithEnd(course, 1300.0f, 1000.0f, 2);
    CObstacleEnd* found = course.FindNearestEnd(1050.0f, 1000.0f, -1.0f, 31, -1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(nearer, found->owner);
    found = course.FindNearestEnd(1050.0f, 1000.0f, -1.0f, 2, -1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(farther, found->owner);
    EXPECT_EQ(nullptr, course.FindNearestEnd(1050.0f, 1000.0f, 200.0f, 2, -1));
    EXPECT_EQ(nullptr, course.FindNearestEnd(1050.0f, 1000.0f, -1.0f, 8, -1));
    EXPECT_EQ(nullptr, course.FindNearestEnd(5000.0f, 5000.0f, 180.0f, 31, -1));
}

TEST_F(CourseQueries, NearestEndWithinTenPrefersTheNearerPositionThenTheSelected)
{
    CCourse course(L"", L"");
    // Ends of entries 0 wide: the distance is the distance to the point.
    CEditObject* a = PlaceWithEnd(course, 1000.0f, 1000.0f, 1);
    CEditObject* b = PlaceWithEnd(course, 1000.0f, 1016.0f, 1);
    CObstacleEnd* found = course.FindNearestEnd(1000.0f, 1006.0f, -1.0f, 31, -1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(a, found->owner);
    found = course.FindNearestEnd(1000.0f, 1010.0f, -1.0f, 31, -1);
    EXPECT_EQ(b, found->owner);
    // Equally near: the selected one.
    found = course.FindNearestEnd(1000.0f, 1008.0f, -1.0f, 31, -1);
    EXPECT_EQ(a, found->owner);
    b->SetSelected(true);
    found = course.FindNearestEnd(1000.0f, 1008.0f, -1.0f, 31, -1);
    EXPECT_EQ(b, found->owner);
}

TEST_F(CourseQueries, EndsAtOnePointAreToldApartByDirection)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, PlainType(), 1000.0f, 1000.0f);
    CObstacleEnd* east = object->AddEnd(1, CPoint2(), CPoint2(10000.0f, 0.0f));
    CObstacleEnd* west = object->AddEnd(2, CPoint2(), CPoint2(-10000.0f, 0.0f));
    object->Invalidate();
    // A point east of the ends: point - end points east.
    EXPECT_EQ(east, course.FindNearestEnd(1100.0f, 1000.0f, -1.0f, 31, 0));
    EXPECT_EQ(west, course.FindNearestEnd(1100.0f, 1000.0f, -1.0f, 31, 1));
    EXPECT_EQ(west, course.FindNearestEnd(1100.0f, 1000.0f, -1.0f, 31, 2, -1.0f, 0.2f));
    EXPECT_EQ(east, course.FindNearestEnd(900.0f, 1000.0f, -1.0f, 31, 2, 1.0f, 0.0f));
}

TEST_F(CourseQueries, EndCrossingLooksAheadWithinTheCone)
{
    CCourse course(L"", L"");
    CEditObject* source = PlaceWithEnd(course, 1000.0f, 5000.0f, 2);
    CEditObject* ahead = PlaceWithEnd(course, 3600.0f, 5000.0f, 1);
    // Heading east from (1000, 5000): the first end 2600 ahead.
    EXPECT_TRUE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, source, nullptr, false));
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, source, nullptr, true));
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, source, ahead, false));
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, -1.0f, 0.0f, nullptr, nullptr, false));
    // 45 degrees off is outside; a little less is inside.
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 1.0f, source, nullptr, false));
    EXPECT_TRUE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.98f, source, nullptr, false));
    // A second end is no entry to cross.
    CCourse other(L"", L"");
    PlaceWithEnd(other, 2000.0f, 5000.0f, 2);
    EXPECT_FALSE(other.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, nullptr, nullptr, true));
}

TEST_F(CourseQueries, ObjectsGoToTheSceneWithTheirPickIds)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 3000.0f, 4000.0f, 90.0f);
    a->GetShape2D().MarkStale();
    CItemContext suppressed;
    course.AddObjectsToScene(suppressed, true, 2, false);
    EXPECT_TRUE(suppressed.items.empty());
    EXPECT_TRUE(a->GetShape2D().IsKeyValid());

    CItemContext context;
    course.AddObjectsToScene(context, false, 2, false);
    ASSERT_EQ(2u, context.items.size());
    EXPECT_EQ(&a->GetShape2D(), context.items[0].drawable);
    EXPECT_EQ(1, context.items[0].flag);
    EXPECT_EQ(0, context.items[0].mode);
    EXPECT_EQ(a->GetPlacement().GetPosition2D(), context.items[0].matrix.GetPosition2D());
    EXPECT_EQ(&b->GetShape2D(), context.items[1].drawable);
    EXPECT_EQ(5, context.items[1].flag);
    EXPECT_EQ(b->GetPlacement().GetPosition2D(), context.items[1].matrix.GetPosition2D());
    EXPECT_NEAR(90.0f, context.items[1].matrix.GetRotation(), 1e-3f);
    // The context's own matrix is left as it was.
    EXPECT_EQ(CPoint2(), context.m_state.matrix.GetPosition2D());
    EXPECT_EQ(0.0f, context.m_state.matrix.GetRotation());

    CItemContext context3D;
    course.AddObjectsToScene(context3D, false, 3, false);
    ASSERT_EQ(2u, context3D.items.size());
    EXPECT_EQ(&b->GetShape3D(), context3D.items[1].drawable);
}

TEST_F(CourseQueries, OverlayObjectsAreNotPickable)
{
    CCourse other(L"", L"");
    PlaceEdit(other, ObstacleType(), 1000.0f, 2000.0f);
    PlaceEdit(other, ObstacleType(), 3000.0f, 2000.0f);
    CCourse course(L"", L"");
    course.BuildDifferenceOverlay(other, false, false);
    CItemContext context;
    course.AddObjectsToScene(context, false, 2, true);
    ASSERT_EQ(2u, context.items.size());
    EXPECT_EQ(0, context.items[0].flag);
    EXPECT_EQ(0, context.items[1].flag);
}

TEST_F(CourseQueries, RenderImageDrawsTheRingAndObjectsOnWhite)
{
    CCourse course(L"Render", L"");
    // The ring outline only, no grid.
    course.SetBackground(1);
    CEditObject* square = PlaceEdit(course, ObstacleType(), 7200.0f, 6000.0f);
    square->halfSize = 600.0f;
    square->Invalidate();
    CPixelBitmap picture(480.0f, 400.0f);
    ASSERT_TRUE(course.RenderImage(picture, true, 0.0f, 0.0f));

    // The ring, 14420 x 12020 with the 10 around it, fills the width: 30.04
    // units per pixel, so its edges lie at pixel 0.33 and 479.7 across and
    // 0.33 and 400.5 down.
    const float scale = 14420.0f / 480.0f;
    auto pixelX = [&](float x) { return int((x + 10.0f) / scale); };
    auto pixelY = [&](float y) { return int((y + 10.0f) / scale); };
    int darkOnTop = 0;
    for (int x = 20; x < 460; ++x) {
        if (IsDark(picture.GetPixel(x, 0)) || IsDark(picture.GetPixel(x, 1)))
            ++darkOnTop;
    }
    EXPECT_GT(darkOnTop, 400);
    int darkOnLeft = 0;
    for (int y = 20; y < 380; ++y) {
        if (IsDark(picture.GetPixel(0, y)) || IsDark(picture.GetPixel(1, y)))
            ++darkOnLeft;
    }
    EXPECT_GT(darkOnLeft, 340);
    // Inside the ring and away from the square: white.
    EXPECT_EQ(0xFFFFFFu, Rgb(picture.GetPixel(pixelX(2000.0f), pixelY(2000.0f))));
    EXPECT_EQ(0xFFFFFFu, Rgb(picture.GetPixel(pixelX(12000.0f), pixelY(10000.0f))));
    // The square: filled in its colour, which is not white.
    const uint32_t inside = Rgb(picture.GetPixel(pixelX(7200.0f), pixelY(6000.0f)));
    EXPECT_NE(0xFFFFFFu, inside);
    EXPECT_EQ(inside, Rgb(picture.GetPixel(pixelX(7000.0f), pixelY(5800.0f))));
    EXPECT_EQ(0xFFFFFFu, Rgb(picture.GetPixel(pixelX(6400.0f), pixelY(6000.0f))));

    CGdiplusSession gdiplus;
    const std::wstring folder = MakeTempFolder(L"CourseRender");
    EXPECT_TRUE(SaveImage(picture, folder + L"\\course-map.png", nullptr));
}

TEST_F(CourseQueries, RenderImageTileIsPartOfTheFullPicture)
{
    CCourse course(L"Tiles", L"");
    course.SetBackground(1);
    CEditObject* square = PlaceEdit(course, ObstacleType(), 10000.0f, 9000.0f);
    square->halfSize = 800.0f;
    square->Invalidate();
    CPixelBitmap full(400.0f, 340.0f);
    ASSERT_TRUE(course.RenderImage(full, true, 0.0f, 0.0f));
    CPixelBitmap tile(200.0f, 170.0f);
    ASSERT_TRUE(course.RenderImage(tile, true, 400.0f, 340.0f, 200.0f, 170.0f));
    int differing = 0;
    for (int y = 0; y < 170; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (Rgb(tile.GetPixel(x, y)) != Rgb(full.GetPixel(200 + x, 170 + y)))
                ++differing;
        }
    }
    EXPECT_LT(differing, 200 * 170 / 100);
}

TEST_F(CourseQueries, RenderImageOfAnEmptyBitmapDrawsNothing)
{
    CCourse course(L"", L"");
    CPixelBitmap empty;
    EXPECT_FALSE(course.RenderImage(empty, true, 0.0f, 0.0f));
}

TEST_F(CourseQueries, RenderImageOfA3DCourseDrawsItsView)
{
    CCourse course(L"", L"");
    course.Set3D(true);
    course.SetShowGrass(false);
    CEditObject* square = PlaceEdit(course, ObstacleType(), 7200.0f, 6000.0f);
    square->halfSize = 1500.0f;
    square->Invalidate();
    CPixelBitmap picture(320.0f, 240.0f);
    ASSERT_TRUE(course.RenderImage(picture, false, 0.0f, 0.0f));
    int white = 0;
    int other = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x)
            ++(Rgb(picture.GetPixel(x, y)) == 0xFFFFFFu ? white : other);
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(other, 0);
}

TEST_F(CourseQueries, RenderImageOfACourseWithAFrames)
{
    const CObjectType* type = FindObjectTypeById(10);
    ASSERT_NE(nullptr, type);
    CCourse course(L"A-frames", L"");
    const float xs[] = {3300.0f, 7800.0f, 11100.0f};
    for (int i = 0; i < 3; ++i) {
        CTransform placement;
        placement.SetPosition2D(xs[i], 3000.0f + 2500.0f * float(i));
        placement.RotateZ(30.0f * float(i));
        std::istringstream words("");
        std::unique_ptr<CCourseObject> frame = type->CreateFromText(&course, placement, "AFrame", words);
        ASSERT_TRUE(frame);
        CCourseObject* raw = frame.get();
        course.AddObject(std::move(frame));
        raw->Invalidate();
    }
    CPixelBitmap picture(720.0f, 600.0f);
    ASSERT_TRUE(course.RenderImage(picture, true, 0.0f, 0.0f));
    // Around each A-frame's apex its outline is drawn (the grid lines of
    // 10 feet lie farther off).
    const float scale = 14420.0f / 720.0f;
    for (int i = 0; i < 3; ++i) {
        const int x = int((xs[i] + 10.0f) / scale);
        const int y = int((3000.0f + 2500.0f * float(i) + 10.0f) / scale);
        int painted = 0;
        for (int dy = -8; dy <= 8; ++dy) {
            for (int dx = -8; dx <= 8; ++dx) {
                if (Rgb(picture.GetPixel(x + dx, y + dy)) != 0xFFFFFFu)
                    ++painted;
            }
        }
        EXPECT_GT(painted, 16) << i;
    }
    CGdiplusSession gdiplus;
    const std::wstring folder = MakeTempFolder(L"CourseRenderAFrames");
    EXPECT_TRUE(SaveImage(picture, folder + L"\\course-aframes.png", nullptr));
}
