#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "app/CourseScene.h"
#include "course/ObjectType.h"
#include "foundation/Settings.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/course/EditingTestKinds.h"
#include "tests/support/TestSupport.h"

using namespace coursetest;
using namespace editingtest;

namespace {

class CourseImage : public CCourseFixture
{
protected:
    void SetUp() override
    {
        CCourseFixture::SetUp();
        // Pictures through GDI, whatever else the machine offers.
        CSettings::SetInt(L"GraphicsClass", 0);
        SilenceHints();
        ObstacleType();
    }
};

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0x00FFFFFF;
}

bool IsDark(uint32_t pixel)
{
    return (pixel & 0xFF) < 0x60 && ((pixel >> 8) & 0xFF) < 0x60 && ((pixel >> 16) & 0xFF) < 0x60;
}

// The points (x, y) of the rectangle for which the test holds.
template <class Test>
int Count(int left, int top, int right, int bottom, Test test)
{
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            count += test(x, y) ? 1 : 0;
    }
    return count;
}

// A square of the half size at (x, y), on a course that shows the ring's
// outline and no grid.
void PlaceSquare(CCourse& course, float x, float y, float halfSize)
{
    course.SetBackground(1);
    CEditObject* square = PlaceEdit(course, ObstacleType(), x, y);
    square->halfSize = halfSize;
    square->Invalidate();
}

}  // namespace

TEST_F(CourseImage, DrawsTheRingAndObjectsOnWhite)
{
    CCourse course(L"Render", L"");
    PlaceSquare(course, 7200.0f, 6000.0f, 600.0f);
    CPixelBitmap picture(480.0f, 400.0f);
    ASSERT_TRUE(RenderCourseImage(course, picture, true, 0.0f, 0.0f));

    // The ring, 14420 x 12020 with the 10 around it, fills the width: 30.04
    // units per pixel, so its edges lie at pixel 0.33 and 479.7 across and
    // 0.33 and 400.5 down.
    const float scale = 14420.0f / 480.0f;
    auto pixelX = [&](float x) { return int((x + 10.0f) / scale); };
    auto pixelY = [&](float y) { return int((y + 10.0f) / scale); };
    const auto darkAt = [&](int x, int y) { return IsDark(picture.GetPixel(x, y)); };
    EXPECT_GT(Count(20, 0, 460, 1, [&](int x, int) { return darkAt(x, 0) || darkAt(x, 1); }), 400);
    EXPECT_GT(Count(0, 20, 1, 380, [&](int, int y) { return darkAt(0, y) || darkAt(1, y); }), 340);
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

TEST_F(CourseImage, TileIsPartOfTheFullPicture)
{
    CCourse course(L"Tiles", L"");
    PlaceSquare(course, 10000.0f, 9000.0f, 800.0f);
    CPixelBitmap full(400.0f, 340.0f);
    ASSERT_TRUE(RenderCourseImage(course, full, true, 0.0f, 0.0f));
    CPixelBitmap tile(200.0f, 170.0f);
    ASSERT_TRUE(RenderCourseImage(course, tile, true, 400.0f, 340.0f, 200.0f, 170.0f));
    const auto differs = [&](int x, int y) { return Rgb(tile.GetPixel(x, y)) != Rgb(full.GetPixel(200 + x, 170 + y)); };
    EXPECT_LT(Count(0, 0, 200, 170, differs), 200 * 170 / 100);
}

TEST_F(CourseImage, OfAnEmptyBitmapDrawsNothing)
{
    CCourse course(L"", L"");
    CPixelBitmap empty;
    EXPECT_FALSE(RenderCourseImage(course, empty, true, 0.0f, 0.0f));
}

TEST_F(CourseImage, OfA3DCourseDrawsItsView)
{
    CCourse course(L"", L"");
    course.Set3D(true);
    course.SetShowGrass(false);
    CEditObject* square = PlaceEdit(course, ObstacleType(), 7200.0f, 6000.0f);
    square->halfSize = 1500.0f;
    square->Invalidate();
    CPixelBitmap picture(320.0f, 240.0f);
    ASSERT_TRUE(RenderCourseImage(course, picture, false, 0.0f, 0.0f));
    const int white = Count(0, 0, 320, 240, [&](int x, int y) { return Rgb(picture.GetPixel(x, y)) == 0xFFFFFFu; });
    EXPECT_GT(white, 0);
    EXPECT_LT(white, 320 * 240);
}

TEST_F(CourseImage, OfACourseWithAFrames)
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
    ASSERT_TRUE(RenderCourseImage(course, picture, true, 0.0f, 0.0f));
    // Around each A-frame's apex its outline is drawn (the grid lines of
    // 10 feet lie farther off).
    const float scale = 14420.0f / 720.0f;
    for (int i = 0; i < 3; ++i) {
        const int x = int((xs[i] + 10.0f) / scale);
        const int y = int((3000.0f + 2500.0f * float(i) + 10.0f) / scale);
        const auto painted = [&](int px, int py) { return Rgb(picture.GetPixel(px, py)) != 0xFFFFFFu; };
        EXPECT_GT(Count(x - 8, y - 8, x + 9, y + 9, painted), 16) << i;
    }
    CGdiplusSession gdiplus;
    const std::wstring folder = MakeTempFolder(L"CourseRenderAFrames");
    EXPECT_TRUE(SaveImage(picture, folder + L"\\course-aframes.png", nullptr));
}
