#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "dialogs/CollapsedTunnelDlg.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "app/ViewCamera.h"
#include "graphics/PixelBitmap.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

using namespace tunneltest;

namespace {

uint32_t Rgb(uint32_t pixel) { return pixel & 0xFFFFFFu; }

// A course with a tunnel of each kind and a collapsed tunnel, each in a
// quarter of the ring.
class TunnelPicture : public coursetest::CSettingsFixture
{
protected:
    void SetUp() override
    {
        coursetest::CSettingsFixture::SetUp();
        course = MakeCourse(0);
        course->SetBackground(1);
        Add(MakeTunnel(course.get(), CTunnelGeometry::kFlexible, 3, 2400.0f, coursetest::MakePlacement(1500, 2500)));
        Flexible(*tunnels.back()).Solve(1, 1500.0f, 700.0f);
        Flexible(*tunnels.back()).RebuildOutline();
        Add(MakeTunnel(course.get(), CTunnelGeometry::kRigid, 135, 1800.0f, coursetest::MakePlacement(10000, 3500)));
        Add(MakeTunnel(course.get(), CTunnelGeometry::kPolyline, 4, 2400.0f, coursetest::MakePlacement(1500, 8500)));
        CTunnel& line = *tunnels.back();
        line.MoveHandle(2, 2700.0f, 7900.0f);
        line.MoveHandle(4, 3500.0f, 9800.0f);
        CCollapsedTunnelDlg dialog(course.get());
        dialog.MergeLength(1500.0f);
        auto collapsed = CCollapsedTunnel::GetCollapsedTunnelType().CreateNew(
            course.get(), coursetest::MakePlacement(10500, 9000, 30), &dialog);
        course->AddObject(std::move(collapsed));
        for (CCourseObject* object : course->GetObjects())
            object->Invalidate();
    }

    void Add(std::unique_ptr<CTunnel> tunnel)
    {
        tunnels.push_back(tunnel.get());
        course->AddObject(std::move(tunnel));
    }

    std::unique_ptr<CCourse> course;
    std::vector<CTunnel*> tunnels;
};

}  // namespace

TEST_F(TunnelPicture, MapShowsEachTunnelWithinItsBounds)
{
    constexpr int kWidth = 960;
    CPixelBitmap picture(float(kWidth), 800.0f);
    ASSERT_TRUE(course->RenderImage(picture, true, 0.0f, 0.0f));
    CGdiplusSession gdiplus;
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"TunnelsMap.png"), nullptr));

    // Each object painted most of the middle of its bounds' quarter, and
    // the fabric colour of the tunnels appears on their centre lines.
    const float scale = 14420.0f / float(kWidth);
    for (CCourseObject* object : course->GetObjects()) {
        const CRectF bounds = object->GetBoundingRect();
        int painted = 0;
        int pixels = 0;
        for (float y = bounds.top; y < bounds.bottom; y += scale) {
            for (float x = bounds.left; x < bounds.right; x += scale) {
                ++pixels;
                if (Rgb(picture.GetPixel(int((x + 10.0f) / scale), int((y + 10.0f) / scale))) != 0xFFFFFFu)
                    ++painted;
            }
        }
        EXPECT_GT(painted, pixels / 8) << object->GetType()->GetTypeId();
    }
    for (CTunnel* tunnel : tunnels) {
        CPoint2 point;
        tunnel->GetEnd(point, 1);
        const CPoint2 at = tunnel->GetPlacement().TransformPoint2D(point);
        EXPECT_EQ(Rgb(tunnel->GetPrimaryColor()),
                  Rgb(picture.GetPixel(int((at.x + 10.0f) / scale) + 1, int((at.y + 10.0f) / scale) + 1)));
    }
}

TEST_F(TunnelPicture, ThreeDViewShowsTheTunnels)
{
    course->Set3D(true);
    course->Set3DCamera(true);
    course->SetShowGrass(false);
    course->Get3DViewCamera().SetPitch(55);
    CPixelBitmap picture(800.0f, 600.0f);
    ASSERT_TRUE(course->RenderImage(picture, false, 0.0f, 0.0f));
    CGdiplusSession gdiplus;
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"Tunnels3D.png"), nullptr));
    // The fabric of the four tunnels, seen from afar, covers part of the
    // picture.
    int coloured = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const uint32_t p = picture.GetPixel(x, y);
            const int r = int(p & 0xFF);
            const int g = int((p >> 8) & 0xFF);
            const int b = int((p >> 16) & 0xFF);
            if (r > g + 40 || b > g + 40)
                ++coloured;
        }
    }
    EXPECT_GT(coloured, 800 * 600 / 500);
}
