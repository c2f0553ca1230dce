#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "graphics/GdiBitmap.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/annotations/CoordinateMark.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"

namespace {

using CoordinatesLayer = CCourseSettingsTest;

// Pixels with every channel below 128: text ink and black lines.
int CountDark(const CPixelBitmap& picture, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, picture.GetPixelHeight()); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, picture.GetPixelWidth()); ++x) {
            const uint32_t c = picture.GetPixel(x, y);
            n += (c & 0xFF) < 128 && ((c >> 8) & 0xFF) < 128 && ((c >> 16) & 0xFF) < 128 ? 1 : 0;
        }
    }
    return n;
}

// The map of the course, 10 units to the pixel, through the GDI canvas.
bool RenderMap(CCourse& course, CCourseMapScene& scene, CPixelBitmap& picture)
{
    const CRectF ring = course.GetRingRect(true, true);
    const float width = std::floor(ring.Width() / 10.0f);
    const float height = std::ceil(ring.Height() / 10.0f);
    scene.FitView(width, height, 0.0f, 0.0f);
    CGdiBitmap dib;
    return dib.RenderScene(scene, width, height) && dib.GetPixels(picture);
}

}  // namespace

TEST_F(CoordinatesLayer, MapShowsEachLabelAndTheArrowsOfFarLabels)
{
    CCourse course(L"", L"");
    // A cluster whose labels stack up, a lone spot, a spot in a corner, and
    // one on an A-frame, whose label has to leave the obstacle.
    for (int i = 0; i < 9; ++i)
        course.AddMarkedPoint(CPoint2(7000.0f + 60.0f * float(i % 3), 6000.0f + 60.0f * float(i / 3)));
    course.AddMarkedPoint(CPoint2(2400.0f, 2400.0f));
    course.AddMarkedPoint(CPoint2(0.0f, 12000.0f));
    ASSERT_NE(nullptr, filetest::PlaceAFrame(course, 10800.0f, 6000.0f, 0.0f));
    course.AddMarkedPoint(CPoint2(10800.0f, 6000.0f));
    course.SetShowObsCoords(true);
    CCourseMapScene scene(&course);
    CPixelBitmap picture;
    ASSERT_TRUE(RenderMap(course, scene, picture));
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"CourseMapCoordinates.png"), nullptr));
    const CRectF ring = course.GetRingRect(true, true);
    const float scale = scene.transform.GetScale();
    auto px = [&](float x) { return int(std::lround((x - ring.left) / scale)); };
    auto py = [&](float y) { return int(std::lround((y - ring.top) / scale)); };

    const auto& marks = *course.GetCoordinateMarks();
    // The A-frame's two anchors come first.
    ASSERT_EQ(14u, marks.size());
    for (const auto& mark : marks) {
        // Text ink inside the label's box, away from its edges.
        const CRectF box = mark->GetLabelBounds();
        EXPECT_GT(CountDark(picture, px(box.left) + 3, py(box.top) + 3, px(box.right) - 3, py(box.bottom) - 3), 20)
            << box.left << ", " << box.top;
    }
    // The label of the spot on the A-frame sits beyond the obstacle, and its
    // arrow darkens the map near the spot.
    const auto& pushed = static_cast<const CCoordinateMark&>(*marks.back());
    const CPoint2 tip = pushed.GetSpot();
    const CPoint2 tail = pushed.GetArrow()->GetTail();
    ASSERT_GT((tip - tail).Length(), 150.0f);
    const CPoint2 shaft = tip + (tail - tip) * (100.0f / (tail - tip).Length());
    const int withArrow = CountDark(picture, px(shaft.x) - 3, py(shaft.y) - 3, px(shaft.x) + 4, py(shaft.y) + 4);
    course.SetShowObsCoords(false);
    CPixelBitmap plain;
    ASSERT_TRUE(RenderMap(course, scene, plain));
    EXPECT_GT(withArrow, CountDark(plain, px(shaft.x) - 3, py(shaft.y) - 3, px(shaft.x) + 4, py(shaft.y) + 4) + 5);
}
