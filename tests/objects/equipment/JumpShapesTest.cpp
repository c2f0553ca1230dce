#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "course/Course.h"
#include "course/SpecList.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/equipment/BarJumpType.h"
#include "objects/equipment/SolidJumpType.h"
#include "objects/equipment/WallJumpType.h"
#include "objects/equipment/WishingWellJumpType.h"
#include "tests/objects/equipment/CountingContext.h"
#include "tests/objects/equipment/JumpTestSupport.h"
#include "tests/objects/equipment/ModelPicture.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"

using namespace jumptest;

namespace {

class JumpShapes : public coursetest::CSettingsFixture
{
};

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
    ASSERT_TRUE(course->RenderImage(map, true, 0.0f, 0.0f));
    EXPECT_TRUE(SaveImage(map, GetTestArtefactPath(L"JumpsMap.png"), nullptr));
    // Each jump in a cell of its own, seen from the front left.
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

