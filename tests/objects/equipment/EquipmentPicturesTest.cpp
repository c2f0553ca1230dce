#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "course/ObjectType.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/DialogDriver.h"

using namespace equipmenttest;

namespace {

// Paints what a model draws as flat-shaded triangles, seen from the side at
// an angle without perspective, with a depth buffer: a picture of the model
// as the 3D back ends would draw it.
class CSketchContext : public CCountingContext
{
public:
    // Looks at the centre from the front, tilted down by the tilt from the
    // horizontal, the model turned about z by the turn.
    CSketchContext(int width, int height, float scale, const CVector3& centre, float turn, float tilt)
        : m_picture(float(width), float(height)), m_depth(size_t(width) * size_t(height), 1e30f), m_scale(scale)
    {
        m_view.RotateZ(turn);
        m_view.RotateX(90.0f - tilt);
        m_view.SetTranslationVector(centre);
        for (uint32_t& pixel : m_picture.GetPixels())
            pixel = 0xFFFFFFFF;
    }

    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        const CTransform outer = m_world;
        m_world = CTransform(m_world, m_state.matrix);
        PushState();
        m_state.Reset(CVector3(0.3f, 0.4f, 0.866f));
        drawable.Draw(*this);
        PopState();
        m_world = outer;
    }
    void EndVertices() override
    {
        const std::vector<CGraphicsVertex>& vertices = GetVertices();
        const std::vector<uint32_t>& triangles = GetTriangles();
        for (size_t i = 0; i + 2 < triangles.size(); i += 3) {
            CVector3 corner[3];
            for (int k = 0; k < 3; ++k) {
                const CGraphicsVertex& v = vertices[triangles[i + size_t(k)]];
                corner[k] = m_view.InverseTransformPoint(m_world.TransformPoint(CVector3(v.x, v.y, v.z)));
            }
            Fill(corner, vertices[triangles[i]].color);
        }
        CCountingContext::EndVertices();
    }

    const CPixelBitmap& GetPicture() const { return m_picture; }

private:
    void Fill(const CVector3* c, uint32_t color)
    {
        const int w = m_picture.GetPixelWidth();
        const int h = m_picture.GetPixelHeight();
        float sx[3], sy[3];
        for (int k = 0; k < 3; ++k) {
            sx[k] = float(w) / 2.0f + c[k].x * m_scale;
            sy[k] = float(h) / 2.0f - c[k].y * m_scale;
        }
        const float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
        if (std::fabs(area) < 1e-6f)
            return;
        const int x0 = std::max(0, int(std::min({sx[0], sx[1], sx[2]})));
        const int x1 = std::min(w - 1, int(std::max({sx[0], sx[1], sx[2]})) + 1);
        const int y0 = std::max(0, int(std::min({sy[0], sy[1], sy[2]})));
        const int y1 = std::min(h - 1, int(std::max({sy[0], sy[1], sy[2]})) + 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float px = float(x) + 0.5f;
                const float py = float(y) + 0.5f;
                const float b0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
                const float b1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
                const float b2 = 1.0f - b0 - b1;
                if (b0 < 0.0f || b1 < 0.0f || b2 < 0.0f)
                    continue;
                // Nearer the eye is greater z in the view's frame.
                const float depth = -(b0 * c[0].z + b1 * c[1].z + b2 * c[2].z);
                float& held = m_depth[size_t(y) * size_t(w) + size_t(x)];
                if (depth < held) {
                    held = depth;
                    m_picture.SetPixel(x, y, color | 0xFF000000);
                }
            }
        }
    }

    CPixelBitmap m_picture;
    std::vector<float> m_depth;
    float m_scale;
    CTransform m_view;
    CTransform m_world;
};

// The kinds of the contact equipment, weave poles, pause obstacles and
// small kinds, in a grid of 5 by 3 cells of 24 by 28 feet.
const int kKinds[] = {100, 70, 250, 280, 290, 370, 300, 220, 240, 25, 113, 60, 120};

bool IsInk(uint32_t pixel)
{
    return (pixel & 0xFFFFFF) != 0xFFFFFF;
}

int InkIn(const CPixelBitmap& picture, int left, int top, int right, int bottom)
{
    int ink = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            ink += IsInk(picture.GetPixel(x, y)) ? 1 : 0;
    return ink;
}

class EquipmentPictures : public coursetest::CSettingsFixture
{
protected:
    std::unique_ptr<CCourse> MakeShowCourse()
    {
        auto course = MakeCourse(9);
        course->SetBackground(1);
        for (size_t i = 0; i < std::size(kKinds); ++i) {
            const float x = 1440.0f + 2880.0f * float(i % 5);
            const float y = 1680.0f + 3360.0f * float(i / 5);
            Place(*course, *FindObjectTypeById(kKinds[i]), x, y, i == 5 ? 0.0f : 20.0f);
        }
        return course;
    }

    CGdiplusSession gdiplus;
};

}  // namespace

// The plan of every kind, each in its own cell, with ink in its cell. The
// pictures are kept for a look.
TEST_F(EquipmentPictures, PlanShowsEachKindInItsCell)
{
    auto course = MakeShowCourse();
    CPixelBitmap picture(1442.0f, 1202.0f);
    ASSERT_TRUE(RenderCourseImage(*course, picture, true, 0.0f, 0.0f));
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"EquipmentPlan.png"), nullptr));
    for (size_t i = 0; i < std::size(kKinds); ++i) {
        const int left = 288 * int(i % 5) + 10;
        const int top = 336 * int(i / 5) + 10;
        EXPECT_GT(InkIn(picture, left, top, left + 268, top + 316), 150) << kKinds[i];
    }
}

// Each kind's model alone, seen from the side at an angle, the pictures
// side by side; each shows its model.
TEST_F(EquipmentPictures, ModelsSeenAtAnAngle)
{
    constexpr int kCell = 360;
    CPixelBitmap sheet{float(kCell * 5), float(kCell * 3)};
    for (uint32_t& pixel : sheet.GetPixels())
        pixel = 0xFFFFFFFF;
    auto course = MakeCourse(9);
    for (size_t i = 0; i < std::size(kKinds); ++i) {
        CCourseObject* object = Place(*course, *FindObjectTypeById(kKinds[i]), 2400.0f, 2400.0f);
        object->RefreshExtents();
        const CBox3& box = object->Get3DExtent();
        const float size = std::max({box.maxX - box.minX, box.maxY - box.minY, box.maxZ - box.minZ});
        const CVector3 centre((box.minX + box.maxX) / 2.0f, (box.minY + box.maxY) / 2.0f, (box.minZ + box.maxZ) / 2.0f);
        CSketchContext sketch(kCell, kCell, 0.8f * float(kCell) / size, centre, -25.0f, 30.0f);
        sketch.DrawTop(object->GetShape3D());
        EXPECT_GT(InkIn(sketch.GetPicture(), 0, 0, kCell, kCell), 800) << kKinds[i];
        sheet.CopyRect(sketch.GetPicture(), 0, 0, kCell * int(i % 5), kCell * int(i / 5), kCell, kCell);
    }
    EXPECT_TRUE(SaveImage(sheet, GetTestArtefactPath(L"EquipmentModels.png"), nullptr));
}
