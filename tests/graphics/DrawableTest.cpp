#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "graphics/Drawable.h"
#include "graphics/ShapeDrawer.h"
#include "render3d/Camera.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/RecordingContext.h"

namespace {

class CDot : public CDrawable
{
public:
    explicit CDot(int32_t size) { BeginKey().WriteInt32(size); }
    void Draw(CGraphicsContext&) override {}
};

class CSpot : public CDrawable
{
public:
    explicit CSpot(int32_t size) { BeginKey().WriteInt32(size); }
    void Draw(CGraphicsContext&) override {}
};

class CPlain : public CDrawable
{
public:
    void Draw(CGraphicsContext&) override {}
};

// The index-th 32-bit value of a key.
int32_t KeyValue(const std::string& key, int index)
{
    CFieldReader reader(key);
    int32_t value = 0;
    for (int i = 0; i <= index; ++i)
        reader.ReadInt32(value);
    return value;
}

CDrawableBounds MakeBounds(const CBox3& fixed, const CBox3& scaling = CBox3())
{
    CDrawableBounds b;
    b.fixed = fixed;
    b.scaling = scaling;
    b.empty = false;
    return b;
}

}  // namespace

// ---- Keys ------------------------------------------------------------------------

TEST(Drawable, SameClassAndParametersGiveEqualKeys)
{
    CDot a(5);
    CDot b(5);
    CDot c(6);
    EXPECT_EQ(a.GetKey(), b.GetKey());
    EXPECT_NE(a.GetKey(), c.GetKey());
}

TEST(Drawable, SameParametersUnderAnotherClassGiveAnotherKey)
{
    CDot dot(5);
    CSpot spot(5);
    EXPECT_NE(dot.GetKey(), spot.GetKey());
    EXPECT_EQ(dot.GetKey().size(), spot.GetKey().size());
}

TEST(Drawable, NewDrawablesNeverShareAKey)
{
    std::set<std::string> keys;
    std::vector<CPlain> plains(50);
    for (const CPlain& p : plains)
        keys.insert(p.GetKey());
    EXPECT_EQ(50u, keys.size());
    CDot dot(1);
    EXPECT_EQ(0u, keys.count(dot.GetKey()));
}

TEST(Drawable, UniqueKeyIsTagAndCounter)
{
    CPlain a;
    CPlain b;
    EXPECT_EQ(CDrawable::kUniqueKeyTag, KeyValue(a.GetKey(), 0));
    const int32_t first = KeyValue(a.GetKey(), 1);
    EXPECT_GT(first, 0);
    EXPECT_EQ(first + 1, KeyValue(b.GetKey(), 1));
    const std::string before = a.GetKey();
    a.MakeUniqueKey();
    EXPECT_NE(before, a.GetKey());
    EXPECT_EQ(first + 2, KeyValue(a.GetKey(), 1));
}

TEST(Drawable, BeginKeyStartsAfreshWithTheClassTag)
{
    CDot dot(5);
    const std::string five = dot.GetKey();
    dot.BeginKey().WriteInt32(6);
    EXPECT_EQ(CDot(6).GetKey(), dot.GetKey());
    dot.BeginKey().WriteInt32(5);
    EXPECT_EQ(five, dot.GetKey());
    EXPECT_NE(CDrawable::kUniqueKeyTag, KeyValue(five, 0));
}

// ---- Shape drawer ----------------------------------------------------------------

namespace {

class CFence
{
public:
    void DrawRails(CGraphicsContext& gc)
    {
        ++railsDrawn;
        gc.BeginLine(1);
        gc.MoveTo(0, 0);
        gc.LineTo(width, 0);
        gc.EndPath();
    }
    int railsDrawn = 0;
    float width = 10.0f;
};

}  // namespace

TEST(ShapeDrawer, DrawsThroughTheBoundMemberFunction)
{
    CFence fence;
    CShapeDrawer<CFence> drawer(&fence, &CFence::DrawRails);
    CRecordingContext gc;
    gc.DrawDrawable(drawer, 0, 0);
    EXPECT_EQ(1, fence.railsDrawn);
    EXPECT_EQ("D0,0 B1,0 M0,0 L10,0 E", gc.Log());
    EXPECT_EQ(&fence, drawer.GetOwner());
}

TEST(ShapeDrawer, KeyIsTheCallersParameters)
{
    CFence a;
    CFence b;
    CShapeDrawer<CFence> first(&a, &CFence::DrawRails);
    CShapeDrawer<CFence> second(&b, &CFence::DrawRails);
    EXPECT_NE(first.GetKey(), second.GetKey());
    first.BeginKey().WriteFloat16(a.width);
    second.BeginKey().WriteFloat16(b.width);
    EXPECT_EQ(first.GetKey(), second.GetKey());
    b.width = 12.0f;
    second.BeginKey().WriteFloat16(b.width);
    EXPECT_NE(first.GetKey(), second.GetKey());
}

TEST(ShapeDrawer, WithoutObjectDrawsNothing)
{
    CShapeDrawer<CFence> drawer(nullptr, &CFence::DrawRails);
    CRecordingContext gc;
    drawer.Draw(gc);
    EXPECT_EQ("", gc.Log());
}

// ---- Bounds ------------------------------------------------------------------------

TEST(DrawableBounds, NewBoundsAreEmptyZeroBoxes)
{
    const CDrawableBounds b;
    EXPECT_TRUE(b.empty);
    EXPECT_TRUE(b.fixed.IsZero());
    EXPECT_TRUE(b.scaling.IsZero());
}

TEST(DrawableBounds, AtZeroIsTheFixedPartAndScaleAddsTheScalingPart)
{
    const CDrawableBounds b = MakeBounds(CBox3(1, 2, 3, 4, 5, 6), CBox3(-1, 1, -2, 2, 0, 3));
    EXPECT_EQ(b.fixed, b.At(0.0f));
    EXPECT_EQ(CBox3(-1, 4, -1, 8, 5, 12), b.At(2.0f));
}

TEST(DrawableBounds, UnionOfEmptyWithOtherIsTheOther)
{
    CDrawableBounds b;
    const CDrawableBounds other = MakeBounds(CBox3(1, 2, 3, 4, 5, 6), CBox3(0, 1, 0, 1, 0, 1));
    b.Union(other);
    EXPECT_FALSE(b.empty);
    EXPECT_EQ(other.fixed, b.fixed);
    EXPECT_EQ(other.scaling, b.scaling);
    b.Union(CDrawableBounds());
    EXPECT_EQ(other.fixed, b.fixed);
    b.Union(MakeBounds(CBox3(0, 1, 3, 3, 9, 10), CBox3(-1, 0, 0, 0, 0, 0)));
    EXPECT_EQ(CBox3(0, 2, 3, 4, 5, 10), b.fixed);
    EXPECT_EQ(CBox3(-1, 1, 0, 1, 0, 1), b.scaling);
}

TEST(DrawableBounds, IncludingABoxEmptyOnEveryAxisChangesNothing)
{
    CDrawableBounds b;
    b.IncludeFixedBox(CBox3(1, 1, 2, 2, 3, 3));
    EXPECT_TRUE(b.empty);
    b.IncludeFixedBox(CBox3(5, 1, 2, 0, 3, 3));
    EXPECT_TRUE(b.empty);
    b.IncludeFixedBox(CBox3(0, 1, 0, 1, 0, 0));  // flat but not empty
    EXPECT_FALSE(b.empty);
    EXPECT_EQ(CBox3(0, 1, 0, 1, 0, 0), b.fixed);
    b.IncludeFixedBox(CBox3(4, 4, 4, 4, 4, 4));
    EXPECT_EQ(CBox3(0, 1, 0, 1, 0, 0), b.fixed);
    b.IncludeFixedBox(CBox3(-1, 0, 0, 0.5f, 0, 2));
    EXPECT_EQ(CBox3(-1, 1, 0, 1, 0, 2), b.fixed);
    EXPECT_TRUE(b.scaling.IsZero());
}

TEST(DrawableBounds, SphereBoundsHoldTheBoxTurnedAnyWay)
{
    CTransform t;
    t.Scale(2.0f);
    t.RotateZ(45.0f);
    t.SetTranslation(10, 20, 30);
    // Farthest corner (3, 4, 12): radius 13, scaled 26.
    ExpectNear(CBox3(-16, 36, -6, 46, 4, 56), SphereBounds(CBox3(-1, 3, -4, 2, 0, 12), t));
    EXPECT_EQ(CBox3(10, 10, 20, 20, 30, 30), SphereBounds(CBox3(), t));
}

TEST(DrawableBounds, PlainChildGoesThroughTheTransform)
{
    CTransform t;
    t.Scale(2.0f);
    t.RotateZ(90.0f);
    t.SetTranslation(100, 0, 0);
    CDrawableBounds b;
    b.AddTransformed(MakeBounds(CBox3(0, 1, 0, 3, 0, 1), CBox3(0, 1, 0, 0, 0, 0)), t, 0);
    EXPECT_FALSE(b.empty);
    // (x, y) -> (100 - 2y, 2x).
    ExpectNear(CBox3(94, 100, 0, 2, 0, 2), b.fixed);
    // The scaling part is turned but not scaled or moved.
    ExpectNear(CBox3(0, 0, 0, 1, 0, 0), b.scaling);
}

TEST(DrawableBounds, ScreenSizeChildScalesWhollyAboutItsOrigin)
{
    CTransform t;
    t.SetTranslation(50, 60, 0);
    CDrawableBounds b = MakeBounds(CBox3(0, 10, 0, 10, 0, 0));
    b.AddTransformed(MakeBounds(CBox3(-3, 0, 0, 4, 0, 0)), t, 1);
    // Fixed: the origin only; scaling: the sphere of radius 5 about 0.
    EXPECT_EQ(CBox3(0, 50, 0, 60, 0, 0), b.fixed);
    ExpectNear(CBox3(-5, 5, -5, 5, -5, 5), b.scaling);
    ExpectNear(CBox3(-10, 60, -10, 70, -10, 10), b.At(2.0f));
}

TEST(DrawableBounds, StandingChildReachesFromTheGroundUp)
{
    CTransform t;
    t.SetTranslation(0, 0, 2);
    CDrawableBounds b;
    b.AddTransformed(MakeBounds(CBox3(-3, 3, -4, 4, 0, 0)), t, 2);
    // Sphere radius 5 about (0, 0, 2): z range 10 high, plus the lift of 2.
    ExpectNear(CBox3(-5, 5, -5, 5, 0, 12), b.fixed);
    EXPECT_TRUE(b.scaling.IsZero());
}

TEST(DrawableBounds, StandingChildWithScalingPartIsReportedAndDropsIt)
{
    const int before = ReportCount();
    CDrawableBounds b;
    b.AddTransformed(MakeBounds(CBox3(0, 1, 0, 1, 0, 1), CBox3(0, 1, 0, 0, 0, 0)), CTransform(), 2);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_TRUE(b.scaling.IsZero());
}

TEST(DrawableBounds, UprightChildKeepsBothPartsAsSpheres)
{
    CTransform t;
    t.Scale(3.0f);
    t.RotateX(30.0f);
    t.SetTranslation(1, 2, 3);
    CDrawableBounds b;
    b.AddTransformed(MakeBounds(CBox3(0, 0, 0, 1, 0, 0), CBox3(0, 2, 0, 0, 0, 0)), t, 3);
    ExpectNear(CBox3(-2, 4, -1, 5, 0, 6), b.fixed);
    ExpectNear(CBox3(-2, 2, -2, 2, -2, 2), b.scaling);
}

TEST(DrawableBounds, ChildThatDrewNothingAddsNothing)
{
    CTransform t;
    t.SetTranslation(1000, 1000, 0);
    CDrawableBounds b = MakeBounds(CBox3(0, 1, 0, 1, 0, 0));
    for (int mode = 0; mode < 4; ++mode)
        b.AddTransformed(CDrawableBounds(), t, mode);
    EXPECT_EQ(CBox3(0, 1, 0, 1, 0, 0), b.fixed);
    CDrawableBounds empty;
    empty.AddTransformed(CDrawableBounds(), t, 0);
    EXPECT_TRUE(empty.empty);
}

TEST(DrawableBounds, AtCameraUsesTheScaleAtTheItemsDepth)
{
    CCamera camera;
    camera.SetViewport(400.0f, 300.0f);
    camera.SetDepthRange(1.0f, 1000.0f);
    camera.UpdateMatrices();
    CTransform t;
    t.Scale(2.0f);
    t.SetTranslation(0, 0, -100);
    const CDrawableBounds b = MakeBounds(CBox3(-1, 1, -1, 1, -10, 0), CBox3(-1, 1, -1, 1, 0, 0));
    CBox3 out;
    b.AtCamera(out, camera, t);
    // Placed z from -120 to -100: the depth is 120.
    const float s = camera.ScaleAtDepth(120.0f) / 2.0f;
    EXPECT_FLOAT_EQ(b.At(s).maxX, out.maxX);
    EXPECT_FLOAT_EQ(b.At(s).minY, out.minY);
    EXPECT_GT(out.maxX, 1.0f);
}
