#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/PartColors.h"
#include "foundation/FontMetrics.h"
#include "foundation/Settings.h"
#include "graphics/BoundsContext.h"
#include "objects/equipment/TextLabelPart.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"
#include "tests/support/WorldRecorder.h"

namespace {

using TextLabelPart = CCourseSettingsTest;

CTextLabelPart MakeLabel(const std::wstring& text, CCourse& course)
{
    CTextLabelPart label(false);
    label.SetText(text);
    label.SetCourse(course);
    return label;
}

}  // namespace

TEST_F(TextLabelPart, FreeLabelOfACourse)
{
    CCourse course(L"", L"");
    CTextLabelPart label = MakeLabel(L"20", course);
    EXPECT_FALSE(label.IsAnchored());
    EXPECT_EQ(0, label.GetTextColorIndex());
    EXPECT_EQ(255, label.GetFillColorIndex());
    EXPECT_EQ(0, label.GetPenColorIndex());
    EXPECT_FALSE(label.IsGreyed());
    EXPECT_EQ(2, label.GetStyle());
    EXPECT_EQ(course.GetViewCamera().GetTransform(), label.GetCamera().GetTransform());

    CRecordingContext context;
    label.Draw(context);
    // A filled box without outline, then the text centred on the baseline.
    ASSERT_EQ(1u, context.texts.size());
    EXPECT_EQ(L"20", context.texts[0]);
    const CRecordingContext::CCall& box = context.calls[0];
    EXPECT_EQ('B', box.op);
    EXPECT_EQ(0.0f, box.v[0]);
    EXPECT_EQ(1.0f, box.v[1]);
    const CColorPalette& palette = CColorPalette::GetInstance();
    EXPECT_EQ(palette.GetColor(255), box.state.fillColor);
    const CFontMetrics font(240.0f, false);
    const float halfWidth = font.GetStringWidth(L"20") / 2.0f + 60.0f;
    const float top = font.GetEmAscent() + 60.0f;
    const float bottom = 60.0f;
    const float halfHeight = (top + bottom) / 2.0f;
    EXPECT_FLOAT_EQ(-halfWidth, context.calls[1].v[0]);
    EXPECT_FLOAT_EQ(-halfHeight, context.calls[1].v[1]);
    EXPECT_FLOAT_EQ(halfWidth, context.calls[3].v[0]);
    EXPECT_FLOAT_EQ(halfHeight, context.calls[3].v[1]);
    const CRecordingContext::CCall& text = context.calls.back();
    EXPECT_EQ('T', text.op);
    EXPECT_EQ(0.0f, text.v[0]);
    EXPECT_FLOAT_EQ(halfHeight - bottom, text.v[1]);
    EXPECT_EQ(1u, text.state.textAlignH);
    EXPECT_EQ(5u, text.state.textAlignV);
    EXPECT_EQ(palette.GetColor(0), text.state.textColor);
    EXPECT_EQ(240.0f, text.state.font.size);
}

TEST_F(TextLabelPart, EmptyTextDrawsABoxOfTwoPads)
{
    CCourse course(L"", L"");
    CTextLabelPart label = MakeLabel(L"", course);
    CRecordingContext context;
    label.Draw(context);
    EXPECT_TRUE(context.texts.empty());
    CBoundsContext::MeasureDrawable(label);
    const CBox3 box = label.GetBounds().At(0.0f);
    EXPECT_FLOAT_EQ(120.0f, box.maxX - box.minX);
}

TEST_F(TextLabelPart, EqualTextAndFillColoursDrawOnlyTheBoxUnlessGreyed)
{
    const CObjectType* type = FindObjectTypeById(10);
    ASSERT_NE(nullptr, type);
    CCourse course(L"", L"");
    std::unique_ptr<CCourseObject> object = type->CreateNew(&course, CTransform(), nullptr);
    // On the map the text takes the primary colour and the box white (255).
    object->GetPartColors().SetColorIndex(CPartColorSet::kPrimaryPart, 255);
    CTextLabelPart label(true);
    label.SetText(L"7");
    label.AttachToObject(*object);
    ASSERT_EQ(255, label.GetTextColorIndex());
    ASSERT_EQ(255, label.GetFillColorIndex());
    CRecordingContext context;
    label.Draw(context);
    EXPECT_TRUE(context.texts.empty());
    EXPECT_EQ(1, context.Count('B'));

    // A grey object's label: both grey, and the text still drawn.
    object->SetDisplayState(CCourseObject::kGrey);
    label.AttachToObject(*object);
    ASSERT_TRUE(label.IsGreyed());
    ASSERT_EQ(label.GetTextColorIndex(), label.GetFillColorIndex());
    CRecordingContext greyed;
    label.Draw(greyed);
    ASSERT_EQ(1u, greyed.texts.size());
    EXPECT_EQ(L"7", greyed.texts[0]);
    EXPECT_EQ(1u, greyed.calls[0].state.fillPattern);
}

TEST_F(TextLabelPart, AttachedToAnObject)
{
    const CObjectType* type = FindObjectTypeById(10);
    ASSERT_NE(nullptr, type);
    CCourse course(L"", L"");
    CTransform placement;
    placement.SetPosition2D(3000.0f, 2000.0f);
    std::unique_ptr<CCourseObject> object = type->CreateNew(&course, placement, nullptr);
    const int mode = object->GetColorMode();
    CTextLabelPart label(true);
    label.SetStyle(3);
    label.AttachToObject(*object);
    EXPECT_TRUE(label.IsAnchored());
    EXPECT_EQ(CVector3(3000.0f, -2000.0f, 0.0f), label.GetAnchor());
    EXPECT_EQ(mode, object->GetColorMode());
    object->SetColorMode(3);
    EXPECT_EQ(object->GetAccentColorIndex(), label.GetTextColorIndex());
    EXPECT_EQ(object->GetOutlineColorIndex(), label.GetFillColorIndex());
    EXPECT_EQ(object->GetPrimaryColorIndex(), label.GetPenColorIndex());
    object->SetColorMode(mode);
    // Greyed only as a map label of a grey object.
    object->SetDisplayState(CCourseObject::kGrey);
    label.AttachToObject(*object);
    EXPECT_FALSE(label.IsGreyed());
    label.SetStyle(2);
    label.AttachToObject(*object);
    EXPECT_TRUE(label.IsGreyed());
}

TEST_F(TextLabelPart, KeyHoldsTheLookButNotThePlace)
{
    CCourse course(L"", L"");
    CTextLabelPart a = MakeLabel(L"30", course);
    CTextLabelPart b = MakeLabel(L"30", course);
    EXPECT_EQ(a.GetKey(), b.GetKey());
    b.SetOffset(CPoint2(500.0f, 700.0f));
    EXPECT_EQ(a.GetKey(), b.GetKey());
    b.SetText(L"40");
    EXPECT_NE(a.GetKey(), b.GetKey());
    b.SetText(L"30");
    b.SetBoxed(false);
    EXPECT_NE(a.GetKey(), b.GetKey());
    // The pen colour is part of the key only for labels that keep one.
    CTextLabelPart pen(true);
    pen.SetText(L"30");
    pen.SetCourse(course);
    EXPECT_NE(a.GetKey(), pen.GetKey());
}

TEST_F(TextLabelPart, MapLabelKeepsScaleOneWhateverTheCamera)
{
    CCourse course(L"", L"");
    course.Set3DCamera(true);
    CTextLabelPart label = MakeLabel(L"10", course);
    label.SetOffset(CPoint2(1000.0f, 2000.0f));
    CWorldRecorder context;
    label.DrawAtAnchor(context);
    ASSERT_EQ(1u, context.items.size());
    EXPECT_EQ(3, context.items[0].mode);
    EXPECT_EQ(1.0f, context.items[0].world.GetScale());
    EXPECT_EQ(CVector3(1000.0f, -2000.0f, 0.2f), context.items[0].world.GetTranslation());
    // The context's transform is as it was.
    EXPECT_EQ(CTransform(), context.m_state.matrix);
}

TEST_F(TextLabelPart, ThreeDLabelShrinksOnlyNearTheEye)
{
    EXPECT_EQ(1.0f, CTextLabelPart::GetDepthScale(5.0f, 20000.0f));
    EXPECT_EQ(1.0f, CTextLabelPart::GetDepthScale(-30000.0f, 20000.0f));
    EXPECT_FLOAT_EQ(0.5f, CTextLabelPart::GetDepthScale(-10000.0f, 20000.0f));
    // A small whole-course distance still shrinks only within 12000.
    EXPECT_FLOAT_EQ(0.5f, CTextLabelPart::GetDepthScale(-6000.0f, 3000.0f));
    EXPECT_EQ(1.0f, CTextLabelPart::GetDepthScale(-13000.0f, 3000.0f));

    CCourse course(L"", L"");
    course.Set3DCamera(true);
    CTextLabelPart label = MakeLabel(L"10", course);
    label.SetStyle(3);
    // Right under the camera's eye (in front of it, close): drawn smaller,
    // stood on the ground.
    const CVector3 eye = label.GetCamera().GetEyePosition();
    CViewCamera camera = label.GetCamera();
    const float distance = camera.GetWholeCourseDistance();
    const CVector3 close = camera.GetTransform().TransformPoint(CVector3(0.0f, 0.0f, -1000.0f));
    label.SetOffset(CPoint2(close.x, -close.y));
    CWorldRecorder context;
    label.DrawAtAnchor(context);
    ASSERT_EQ(1u, context.items.size());
    EXPECT_EQ(2, context.items[0].mode);
    const CVector3 seen = camera.GetTransform().InverseTransformPoint(CVector3(close.x, close.y, 0.2f));
    EXPECT_NEAR(CTextLabelPart::GetDepthScale(seen.z, distance), context.items[0].world.GetScale(), 1e-4);
    EXPECT_LT(context.items[0].world.GetScale(), 1.0f);
    EXPECT_GT(eye.z, 0.0f);
}

// Each label's box is as high as its padding makes it, whichever label was
// drawn first.
TEST_F(TextLabelPart, BoxHeightFollowsTheLabelsOwnPadding)
{
    CCourse course(L"", L"");
    const auto halfHeightOf = [&course](bool boxed) {
        CTextLabelPart label = MakeLabel(L"12", course);
        label.SetBoxed(boxed);
        CRecordingContext context;
        label.Draw(context);
        return context.calls[3].v[1];
    };
    for (bool boxed : {false, true, false, true})
        EXPECT_NEAR(boxed ? 154.6f : 134.1f, halfHeightOf(boxed), 0.05f) << boxed;
}

// A label in the plane of the eye (depth 0 in the camera's frame) is left
// out or drawn at a scale above 0; never at 0 or infinity.
TEST_F(TextLabelPart, LabelBesideTheEyeHasAUsableScale)
{
    EXPECT_EQ(0.0f, CTextLabelPart::GetDepthScale(0.0f, 20000.0f));
    CCourse course(L"", L"");
    course.Set3DCamera(true);
    CTextLabelPart label = MakeLabel(L"10", course);
    label.SetStyle(3);
    const CTransform& view = label.GetCamera().GetTransform();
    const CVector3 eye = view.GetTranslation();
    const CVector3 up = view.TransformVector(CVector3(0.0f, 1.0f, 0.0f));
    ASSERT_NE(0.0f, up.z);
    const float s = (0.2f - eye.z) / up.z;
    label.SetOffset(CPoint2(eye.x + s * up.x, -(eye.y + s * up.y)));
    CWorldRecorder context;
    label.DrawAtAnchor(context);
    for (const CWorldRecorder::CItem& item : context.items) {
        EXPECT_GT(item.world.GetScale(), 0.0f);
        EXPECT_LE(item.world.GetScale(), 1.0f);
    }
    EXPECT_TRUE(context.AllFinite());
}
