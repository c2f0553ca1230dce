#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/AFrameDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/SlatPart.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/objects/equipment/CountingContext.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace {

const CAFrame::CAFrameType& Type()
{
    return CAFrame::GetAFrameType();
}

// An A-frame of the given size, made by the type through a dialog as a new
// object is made.
std::unique_ptr<CAFrame> MakeAFrame(CCourse* course, float length, float height,
                                    const CTransform& placement = CTransform())
{
    CAFrameDlg dialog(course);
    dialog.MergeLength(length);
    dialog.MergeHeight(height);
    std::unique_ptr<CCourseObject> object = Type().CreateNew(course, placement, &dialog);
    return std::unique_ptr<CAFrame>(dynamic_cast<CAFrame*>(object.release()));
}

CAFrame* Place(CCourse& course, float length, float height, float x, float y, float angle)
{
    std::unique_ptr<CAFrame> aFrame = MakeAFrame(&course, length, height, coursetest::MakePlacement(x, y, angle));
    CAFrame* raw = aFrame.get();
    course.AddObject(std::move(aFrame));
    return raw;
}

std::vector<CAFrame*> AFramesOf(const CCourse& course)
{
    std::vector<CAFrame*> found;
    for (CCourseObject* object : course.GetObjects())
        if (auto* aFrame = dynamic_cast<CAFrame*>(object))
            found.push_back(aFrame);
    return found;
}

// The A-frame's size as one value to compare: length, height, width.
std::vector<float> SizeOf(const CAFrame& aFrame)
{
    return {aFrame.GetLength(), aFrame.GetHeight(), aFrame.GetWidth()};
}

std::vector<float> Size(float length, float height, float width)
{
    return {length, height, width};
}

// An A-frame of the given size that then reads the record.
std::unique_ptr<CAFrame> AFrameFromRecord(const std::string& bytes, float length = 960.0f, float height = 590.0f)
{
    auto aFrame = MakeAFrame(nullptr, length, height);
    CFieldReader reader(bytes);
    reader.m_versionMajor = 4;
    reader.m_versionMinor = 33;
    aFrame->Serialize(reader);
    return aFrame;
}

class AFrame : public coursetest::CSettingsFixture
{
protected:
    void SetUp() override
    {
        coursetest::CSettingsFixture::SetUp();
        Type();
    }

    static std::unique_ptr<CCourse> MakeCourse()
    {
        auto course = std::make_unique<CCourse>(L"AFrames", L"");
        course->SetSpecList(1);
        course->SetMetric(false);
        course->SetSize(14400.0f, 12000.0f);
        return course;
    }
};

}  // namespace

// In a fresh process the first lookup of the registry finds the A-frame.
CHILD_TEST(AFrameRegistry, FoundAtTheFirstLookup)
{
    const CObjectType* type = FindObjectTypeById(10);
    if (type == nullptr)
        return 1;
    if (FindObjectTypeByKeyName("AFrameUKC") != type || type->GetNameTextId() != 2526)
        return 2;
    return dynamic_cast<const CAFrame::CAFrameType*>(type) != nullptr ? 0 : 3;
}

TEST_F(AFrame, TypeIsRegisteredByIdKeyNamesAndName)
{
    EXPECT_EQ(&Type(), FindObjectTypeById(10));
    for (const char* key : {"AFrame", "AFrameAKC9Feet", "AFrameAKC8Feet", "AFrameFCI", "AFrameUKC", "AFrameUSDAA"})
        EXPECT_EQ(&Type(), FindObjectTypeByKeyName(key)) << key;
    EXPECT_EQ(nullptr, FindObjectTypeByKeyName("aframe"));
    EXPECT_EQ(nullptr, FindObjectTypeByKeyName("AframeUKI"));
    EXPECT_EQ(&Type(), FindObjectTypeByNameId(2526));
    EXPECT_EQ(10, Type().GetId());
    EXPECT_EQ(2526, Type().GetNameTextId());
    EXPECT_EQ(2526, Type().GetGroupTextId());
    EXPECT_EQ((std::vector<int>{10, 16, 2, 6, 4}), Type().GetPartColors().GetParts());
    EXPECT_TRUE(Type().IsStandard());
    EXPECT_FALSE(Type().GetEditOnCreateDefault());
    EXPECT_TRUE(Type().IsEditOnCreateSettable());
    EXPECT_FALSE(Type().IsEditOnCreate());

    EXPECT_NE(nullptr, dynamic_cast<CAFrame*>(Type().CreateObject().get()));
    auto course = MakeCourse();
    std::unique_ptr<CEditSession> dialog = Type().CreatePropertiesDialog(course.get(), 2526);
    const auto* own = dynamic_cast<CAFrameDlg*>(dialog.get());
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(2526, own->GetNameTextId());
    EXPECT_EQ(course.get(), own->GetCourse());
}

TEST_F(AFrame, NewObjectHasFourEndsInOrder)
{
    CAFrame aFrame;
    EXPECT_EQ(Size(200.0f, 100.0f, 360.0f), SizeOf(aFrame));
    EXPECT_EQ(2, aFrame.GetCategory());
    EXPECT_EQ(4, aFrame.GetLayer());
    EXPECT_EQ(2, aFrame.GetEndCount());
    const float run = std::sqrt(200.0f * 200.0f - 100.0f * 100.0f);
    EXPECT_FLOAT_EQ(run, aFrame.GetRun());
    const std::vector<CObstacleEnd*>& ends = aFrame.GetEnds();
    ASSERT_EQ(4u, ends.size());
    const int kinds[4] = {1, 2, 1, 2};
    const float xs[4] = {-run, -run, run, run};
    const float dxs[4] = {-10000.0f, 10000.0f, 10000.0f, -10000.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(&aFrame.GetObstacleEnd(i), ends[size_t(i)]);
        EXPECT_EQ(kinds[i], ends[size_t(i)]->GetEndKind()) << i;
        EXPECT_EQ(&aFrame, ends[size_t(i)]->owner);
        EXPECT_FLOAT_EQ(xs[i], ends[size_t(i)]->point.x) << i;
        EXPECT_EQ(0.0f, ends[size_t(i)]->point.y);
        EXPECT_EQ(CPoint2(dxs[i], 0.0f), ends[size_t(i)]->direction) << i;
        EXPECT_EQ(180.0f, ends[size_t(i)]->halfWidth);
        EXPECT_EQ(1, ends[size_t(i)]->GetParamCount());
    }
    CPoint2 foot;
    aFrame.GetEnd(foot, 0);
    EXPECT_EQ(CPoint2(-run, 0.0f), foot);
    aFrame.GetEnd(foot, 1);
    EXPECT_EQ(CPoint2(run, 0.0f), foot);
    EXPECT_TRUE(aFrame.HasFirstEnd());
    EXPECT_TRUE(aFrame.IsValidTraversal(ends[0], ends[3]));
    EXPECT_FALSE(aFrame.IsValidTraversal(ends[0], ends[1]));
}

TEST_F(AFrame, DialogStartsFromTheStoredOrPresetSize)
{
    // Unset: the organisation's first preset.
    auto course = MakeCourse();
    CAFrameDlg fresh(course.get());
    EXPECT_EQ(1080.0f, fresh.GetLength());
    EXPECT_EQ(660.0f, fresh.GetHeight());

    const std::wstring prefix = L"10" + course->GetSpecList().GetName();
    EXPECT_EQ(L"10AKC", prefix);
    CSettings::SetInt(prefix + L"PlankLen", 960);
    CSettings::SetInt(prefix + L"Height", 590);
    CAFrameDlg stored(course.get());
    EXPECT_EQ(960.0f, stored.GetLength());
    EXPECT_EQ(590.0f, stored.GetHeight());
    // Another organisation has its own values and presets; one without
    // presets offers the fixed size.
    course->SetSpecList(6);
    CAFrameDlg other(course.get());
    EXPECT_EQ(1060.0f, other.GetLength());
    course->SetSpecList(9);
    CAFrameDlg none(course.get());
    EXPECT_EQ(960.0f, none.GetLength());
    EXPECT_EQ(590.0f, none.GetHeight());
    // One value not above 0 gives both of the preset.
    course->SetSpecList(1);
    CSettings::SetInt(prefix + L"Height", 0);
    CAFrameDlg half(course.get());
    EXPECT_EQ(1080.0f, half.GetLength());
    EXPECT_EQ(660.0f, half.GetHeight());

    // A new A-frame takes the dialog's values.
    std::unique_ptr<CCourseObject> made = Type().CreateNew(course.get(), CTransform(), &half);
    EXPECT_EQ(Size(1080.0f, 660.0f, 360.0f), SizeOf(*dynamic_cast<CAFrame*>(made.get())));
}

TEST_F(AFrame, MergedValuesAndMixedValues)
{
    auto course = MakeCourse();
    auto first = MakeAFrame(course.get(), 960.0f, 590.0f);
    auto second = MakeAFrame(course.get(), 1080.0f, 590.0f);
    CAFrameDlg dialog(course.get());
    first->FillPropertiesDialog(dialog);
    EXPECT_EQ(960.0f, dialog.GetLength());
    second->FillPropertiesDialog(dialog);
    EXPECT_FALSE(dialog.HasLength());
    EXPECT_TRUE(dialog.HasHeight());
    int before = ReportCount();
    EXPECT_EQ(0.0f, dialog.GetLength());
    EXPECT_EQ(before + 1, ReportCount());

    // A mixed length leaves each object's own length.
    auto third = MakeAFrame(course.get(), 800.0f, 500.0f);
    before = ReportCount();
    third->FromDialog(dialog);
    EXPECT_EQ(before, ReportCount());
    EXPECT_EQ(Size(800.0f, 590.0f, 300.0f), SizeOf(*third));

    // Only the A-frame dialog fits.
    CObjectPropertiesDlg plain(course.get(), 2526);
    before = ReportCount();
    third->ToDialog(plain);
    third->FromDialog(plain);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(Size(800.0f, 590.0f, 300.0f), SizeOf(*third));
}

TEST_F(AFrame, SizeTextNamesTheRampLengthInTheCoursesUnits)
{
    auto course = MakeCourse();
    CAFrame* aFrame = Place(*course, 1080.0f, 660.0f, 1000.0f, 1000.0f, 0.0f);
    const std::wstring feet = FormatLength(1080.0f, EUnitKind::kFeetAndInches, true);
    EXPECT_EQ(GetStringWithArg(2037, feet), aFrame->GetSizeText());
    EXPECT_NE(std::wstring::npos, aFrame->GetSizeText().find(L"9"));
    course->SetMetric(true);
    const std::wstring centimetres = FormatLength(1080.0f, EUnitKind::kCentimetres, true);
    EXPECT_EQ(GetStringWithArg(2037, centimetres), aFrame->GetSizeText());
    EXPECT_NE(std::wstring::npos, aFrame->GetSizeText().find(L"274"));
    // Without a course the length is given in feet and inches.
    auto loose = MakeAFrame(nullptr, 960.0f, 590.0f);
    EXPECT_EQ(GetStringWithArg(2037, FormatLength(960.0f, EUnitKind::kFeetAndInches, true)), loose->GetSizeText());
}

TEST_F(AFrame, WidthFollowsTheLength)
{
    auto aFrame = MakeAFrame(nullptr, 800.0f, 500.0f);
    EXPECT_EQ(300.0f, aFrame->GetWidth());
    CAFrameDlg dialog(nullptr);
    dialog.MergeLength(801.0f);
    dialog.MergeHeight(500.0f);
    aFrame->FromDialog(dialog);
    EXPECT_EQ(360.0f, aFrame->GetWidth());

    CFieldWriter ukc;
    ukc.WriteFloat16(800.0f);
    ukc.WriteFloat16(500.0f);
    EXPECT_EQ(Size(800.0f, 500.0f, 300.0f), SizeOf(*AFrameFromRecord(ukc.m_bytes)));

    std::istringstream words("x");
    aFrame->ApplyVariant("AFrameUKC", words);
    EXPECT_EQ(Size(800.0f, 500.0f, 300.0f), SizeOf(*aFrame));
}

TEST_F(AFrame, LegacyParameters)
{
    struct CCase
    {
        const char* key;
        const char* words;
        float length, height, width;
    };
    const CCase cases[] = {
        {"AFrame", "x", 960.0f, 590.0f, 360.0f},
        {"AFrameAKC8Feet", "x", 960.0f, 590.0f, 360.0f},
        {"AFrame", "T", 1000.0f, 710.0f, 360.0f},
        {"AFrameUSDAA", "T 4", 1000.0f, 710.0f, 360.0f},
        {"AFrameFCI", "x", 1000.0f, 710.0f, 360.0f},
        {"AframeUKI", "x", 1080.0f, 710.0f, 360.0f},
        {"AFrameAKC9Feet", "x", 1080.0f, 660.0f, 360.0f},
        {"AFrameUSDAA", "t", 1080.0f, 750.0f, 360.0f},
        {"AFrameUKC", "x", 800.0f, 500.0f, 300.0f},
        {"AFrame", "", 960.0f, 590.0f, 360.0f},
        {"Other", "", 960.0f, 590.0f, 360.0f},
    };
    for (const CCase& c : cases) {
        CAFrame aFrame;
        std::istringstream words(c.words);
        aFrame.ApplyVariant(c.key, words);
        EXPECT_EQ(Size(c.length, c.height, c.width), SizeOf(aFrame)) << c.key << " " << c.words;
    }
}

TEST_F(AFrame, ReadFromTheLegacyListing)
{
    auto course = MakeCourse();
    const std::string text =
        "Begin Fendrel\r\n"
        "Version 2000\r\n"
        "Dimensions 100 80\r\n"
        "AFrame 10 20 90 x\r\n"
        "AFrame 20 20 0 T\r\n"
        "AFrameAKC9Feet 30 20 0 x\r\n"
        "AFrameAKC8Feet 40 20 0 x\r\n"
        "AFrameFCI 50 20 0 x\r\n"
        "AFrameUKC 60 20 0 x\r\n"
        "AFrameUSDAA 70 20 0 x (6 0)\r\n"
        "End Fendrel\r\n";
    std::istringstream in(text);
    const CCourseRead read = course->ReadTextBlock(in, false);
    ASSERT_TRUE(read);
    EXPECT_EQ(0, read.messageId);
    const std::vector<CAFrame*> aFrames = AFramesOf(*course);
    ASSERT_EQ(7u, aFrames.size());
    EXPECT_EQ(Size(960.0f, 590.0f, 360.0f), SizeOf(*aFrames[0]));
    EXPECT_EQ(Size(1000.0f, 710.0f, 360.0f), SizeOf(*aFrames[1]));
    EXPECT_EQ(Size(1080.0f, 660.0f, 360.0f), SizeOf(*aFrames[2]));
    EXPECT_EQ(Size(960.0f, 590.0f, 360.0f), SizeOf(*aFrames[3]));
    EXPECT_EQ(Size(1000.0f, 710.0f, 360.0f), SizeOf(*aFrames[4]));
    EXPECT_EQ(Size(800.0f, 500.0f, 300.0f), SizeOf(*aFrames[5]));
    EXPECT_EQ(Size(1080.0f, 750.0f, 360.0f), SizeOf(*aFrames[6]));
    EXPECT_EQ(CPoint2(1200.0f, 9600.0f - 2400.0f), aFrames[0]->GetPosition());
    EXPECT_FLOAT_EQ(-90.0f, aFrames[0]->GetPlacement().GetRotation());
    EXPECT_EQ(CPoint2(8460.0f, 9600.0f - 2400.0f), aFrames[6]->GetPosition());
    // The ends follow the placement read.
    const float run = aFrames[0]->GetRun();
    const CPoint2 foot = aFrames[0]->GetObstacleEnd(0).GetCoursePoint();
    EXPECT_NEAR(1200.0f, foot.x, 0.01f);
    EXPECT_NEAR(9600.0f - 2400.0f - run, foot.y, 0.01f);

    // The spelling only this reader knows is no key name of the listing.
    auto other = MakeCourse();
    std::istringstream unknown("Begin Fendrel\nVersion 2000\nDimensions 100 80\nAframeUKI 1 1 0 x\nEnd Fendrel\n");
    ASSERT_TRUE(other->ReadTextBlock(unknown, false));
    EXPECT_EQ(0u, other->GetObjectCount());
}

TEST_F(AFrame, RecordBodyIsTheTwoSizesRounded)
{
    auto aFrame = MakeAFrame(nullptr, 960.0f, 590.0f);
    CFieldWriter writer;
    aFrame->Serialize(writer);
    EXPECT_EQ(std::string("\xC0\x03\x4E\x02", 4), writer.m_bytes);

    auto odd = MakeAFrame(nullptr, 965.5f, 590.4f);
    CFieldWriter rounded;
    odd->Serialize(rounded);
    EXPECT_EQ(std::string("\xC6\x03\x4E\x02", 4), rounded.m_bytes);
    EXPECT_EQ(Size(966.0f, 590.0f, 360.0f), SizeOf(*AFrameFromRecord(rounded.m_bytes)));
}

TEST_F(AFrame, DamagedRecordKeepsTheSize)
{
    const int before = ReportCount();
    CFieldWriter zero;
    zero.WriteFloat16(0.0f);
    zero.WriteFloat16(-50.0f);
    EXPECT_EQ(Size(960.0f, 590.0f, 360.0f), SizeOf(*AFrameFromRecord(zero.m_bytes)));
    EXPECT_EQ(Size(1080.0f, 750.0f, 360.0f), SizeOf(*AFrameFromRecord(std::string(), 1080.0f, 750.0f)));
    CFieldWriter lengthOnly;
    lengthOnly.WriteFloat16(1200.0f);
    EXPECT_EQ(Size(1200.0f, 590.0f, 360.0f), SizeOf(*AFrameFromRecord(lengthOnly.m_bytes)));
    // Bad file data is no failure of the program.
    EXPECT_EQ(before, ReportCount());

    // The record read from a damaged file still draws.
    std::unique_ptr<CAFrame> damaged = AFrameFromRecord(zero.m_bytes);
    damaged->RefreshExtents();
    CCountingContext plan;
    plan.DrawTop(damaged->GetShape2D());
    CCountingContext model;
    model.DrawTop(damaged->GetShape3D());
    EXPECT_EQ(0, plan.notFinite);
    EXPECT_EQ(0, model.notFinite);
}

TEST_F(AFrame, ArchiveRoundTripInBothVersions)
{
    for (bool version3 : {false, true}) {
        auto course = MakeCourse();
        Place(*course, 960.0f, 590.0f, 1200.0f, 2400.0f, 0.0f);
        Place(*course, 1080.0f, 750.0f, 5000.0f, 3000.0f, 45.0f);
        CAFrame* ukc = Place(*course, 800.0f, 500.0f, 9000.0f, 7000.0f, -90.0f);
        ukc->GetPartColors().SetColorIndex(6, 31);
        std::string bytes;
        course->WriteArchive(bytes, false, version3, true);

        auto loaded = MakeCourse();
        ASSERT_TRUE(loaded->LoadArchive(bytes, false, true)) << version3;
        const std::vector<CAFrame*> aFrames = AFramesOf(*loaded);
        ASSERT_EQ(3u, aFrames.size()) << version3;
        EXPECT_EQ(Size(960.0f, 590.0f, 360.0f), SizeOf(*aFrames[0]));
        EXPECT_EQ(Size(1080.0f, 750.0f, 360.0f), SizeOf(*aFrames[1]));
        EXPECT_EQ(Size(800.0f, 500.0f, 300.0f), SizeOf(*aFrames[2]));
        EXPECT_EQ(CPoint2(1200.0f, 2400.0f), aFrames[0]->GetPosition());
        EXPECT_EQ(CPoint2(9000.0f, 7000.0f), aFrames[2]->GetPosition());
        EXPECT_NEAR(45.0f, aFrames[1]->GetPlacement().GetRotation(), 1e-3f);
        EXPECT_NEAR(-90.0f, aFrames[2]->GetPlacement().GetRotation(), 1e-3f);
        // Version 3 keeps only the primary colour.
        EXPECT_EQ(version3 ? CPartColorSet::GetDefaultIndex(6) : 31, aFrames[2]->GetPartColors().GetColorIndex(6));
        EXPECT_EQ(&Type(), aFrames[0]->GetType());
        EXPECT_EQ(4u, aFrames[0]->GetEnds().size());

        std::string again;
        loaded->WriteArchive(again, false, version3, true);
        EXPECT_EQ(bytes, again) << version3;
    }
}

TEST_F(AFrame, TextBlockRoundTripInBothVersions)
{
    for (bool older : {false, true}) {
        auto course = MakeCourse();
        Place(*course, 1000.0f, 710.0f, 2000.0f, 3000.0f, 30.0f);
        Place(*course, 800.0f, 500.0f, 7000.0f, 3000.0f, 0.0f);
        std::ostringstream out;
        course->WriteTextBlock(out, false, older);

        auto loaded = MakeCourse();
        std::istringstream in(out.str());
        ASSERT_TRUE(loaded->ReadTextBlock(in, false)) << older;
        const std::vector<CAFrame*> aFrames = AFramesOf(*loaded);
        ASSERT_EQ(2u, aFrames.size()) << older;
        EXPECT_EQ(Size(1000.0f, 710.0f, 360.0f), SizeOf(*aFrames[0]));
        EXPECT_EQ(Size(800.0f, 500.0f, 300.0f), SizeOf(*aFrames[1]));
        EXPECT_NEAR(30.0f, aFrames[0]->GetPlacement().GetRotation(), 1e-3f);

        std::ostringstream again;
        loaded->WriteTextBlock(again, false, older);
        EXPECT_EQ(out.str(), again.str());
    }
}

TEST_F(AFrame, HeightReachingTheLengthGivesNoRun)
{
    for (float height : {500.0f, 600.0f}) {
        auto aFrame = MakeAFrame(nullptr, 500.0f, height);
        EXPECT_EQ(0.0f, aFrame->GetRun());
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(CPoint2(0.0f, 0.0f), aFrame->GetObstacleEnd(i).point);
        CPoint2 foot(1.0f, 1.0f);
        aFrame->GetEnd(foot, 1);
        EXPECT_EQ(CPoint2(0.0f, 0.0f), foot);
        aFrame->RefreshExtents();
        CCountingContext plan;
        plan.DrawTop(aFrame->GetShape2D());
        CCountingContext model;
        model.DrawTop(aFrame->GetShape3D());
        EXPECT_EQ(0, plan.notFinite) << height;
        EXPECT_EQ(0, model.notFinite) << height;
        EXPECT_TRUE(BoxWithin(model.vertexBox, aFrame->Get3DExtent(), 0.05f));
        // The ramps stand steep, the hinge not far above the height.
        EXPECT_LT(model.vertexBox.maxZ, height + 100.0f);
    }
}

TEST_F(AFrame, EndsAnswerTheApproach)
{
    auto aFrame = MakeAFrame(nullptr, 960.0f, 590.0f, coursetest::MakePlacement(3000.0f, 2000.0f, 30.0f));
    const float run = std::sqrt(960.0f * 960.0f - 590.0f * 590.0f);
    const float c = std::cos(30.0f / 57.29578f);
    const float s = std::sin(30.0f / 57.29578f);
    // Local +x goes to (cos 30, -sin 30) on the plan (y down).
    const CPoint2 nearFoot(3000.0f - run * c, 2000.0f + run * s);
    const CPoint2 farFoot(3000.0f + run * c, 2000.0f - run * s);
    for (int i = 0; i < 4; ++i) {
        const CPoint2 foot = aFrame->GetObstacleEnd(i).GetCoursePoint();
        EXPECT_NEAR(i < 2 ? nearFoot.x : farFoot.x, foot.x, 0.01f) << i;
        EXPECT_NEAR(i < 2 ? nearFoot.y : farFoot.y, foot.y, 0.01f) << i;
    }

    // The approach at a first and a second end: localX = p, the path turned
    // by (-p, -180) or (p, -180), penalty ApproachPenalty(p, 180, 2 r r /
    // (2 r + a), 0).
    CKnotParams knot;
    knot.params[0] = 40.0f;
    const float approach = 140.0f;
    const float scale = 2.0f * 180.0f * 180.0f / (360.0f + approach);
    for (int i = 0; i < 4; ++i) {
        float localX = 0.0f;
        CPoint2 direction;
        float inner = -1.0f;
        float cost = 0.0f;
        aFrame->GetObstacleEnd(i).ComputeApproach(knot, approach, localX, direction, inner, cost);
        EXPECT_EQ(40.0f, localX);
        EXPECT_EQ(CPoint2(i % 2 == 0 ? -40.0f : 40.0f, -180.0f), direction) << i;
        EXPECT_EQ(-1.0f, inner);
        EXPECT_FLOAT_EQ(1600.0f / (2.0f * scale), cost);
    }

    // A knot at the near first end passes through the foot, away from the
    // A-frame; its back handle lies over the A-frame.
    knot.params[0] = 0.0f;
    knot.size = 50.0f;
    aFrame->GetObstacleEnd(0).SetUpKnot(knot);
    EXPECT_NEAR(nearFoot.x, knot.position.x, 0.01f);
    EXPECT_NEAR(nearFoot.y, knot.position.y, 0.01f);
    EXPECT_NEAR(nearFoot.x - 140.0f * c, knot.outerFront.x, 0.01f);
    EXPECT_NEAR(nearFoot.y + 140.0f * s, knot.outerFront.y, 0.01f);
    EXPECT_NEAR(nearFoot.x + 140.0f * c, knot.outerBack.x, 0.01f);
    EXPECT_EQ(0.0f, knot.cost);
    // The second end at the same foot is passed the other way.
    aFrame->GetObstacleEnd(1).SetUpKnot(knot);
    EXPECT_NEAR(nearFoot.x + 140.0f * c, knot.outerFront.x, 0.01f);

    // Distances to the entry across the foot, 180 either side.
    EXPECT_NEAR(100.0f, aFrame->GetObstacleEnd(0).DistanceTo(nearFoot.x - 100.0f * c, nearFoot.y + 100.0f * s), 0.01f);
    EXPECT_NEAR(70.0f, aFrame->GetObstacleEnd(0).DistanceTo(nearFoot.x - 250.0f * s, nearFoot.y - 250.0f * c), 0.01f);
    EXPECT_NEAR(0.0f, aFrame->GetObstacleEnd(2).DistanceTo(farFoot.x + 150.0f * s, farFoot.y + 150.0f * c), 0.01f);
}

TEST_F(AFrame, ModelIsFiniteAndWithinItsBounds)
{
    for (float length : {960.0f, 1080.0f, 800.0f, 180.0f}) {
        auto aFrame = MakeAFrame(nullptr, length, 0.6f * length);
        aFrame->RefreshExtents();
        CCountingContext model;
        model.DrawTop(aFrame->GetShape3D());
        EXPECT_EQ(0, model.notFinite) << length;
        EXPECT_GT(model.triangles, 100) << length;
        EXPECT_TRUE(BoxWithin(model.vertexBox, aFrame->Get3DExtent(), 0.05f)) << length;
        // Feet on the ground, the hinge at the apex.
        EXPECT_NEAR(0.0f, model.vertexBox.minZ, 0.5f) << length;
        EXPECT_GT(model.vertexBox.maxZ, 0.6f * length - 14.14f);
        EXPECT_LT(model.vertexBox.maxZ, 0.6f * length + 20.0f);
        EXPECT_NEAR(-0.5f * aFrame->GetWidth(), model.vertexBox.minY, 0.5f);
        // One slat every 120 along each ramp while 60 more fit.
        const int width = int(aFrame->GetWidth());
        const size_t zone = model.ItemsLike(CSlatPart(width, aFrame->GetPartColorIndex(6))).size();
        const size_t surface = model.ItemsLike(CSlatPart(width, aFrame->GetPartColorIndex(16))).size();
        const int perRamp = int((length - 60.0f - 1.0f) / 120.0f);
        EXPECT_EQ(size_t(2 * perRamp), zone + surface) << length;
        // Slats at 120, 240 and 360 lie in the contact zone.
        EXPECT_EQ(size_t(2 * std::min(perRamp, 3)), zone) << length;
    }
}

TEST_F(AFrame, PlanOnTheGdiCanvas)
{
    CGdiplusSession gdiplus;
    ASSERT_TRUE(gdiplus.IsRunning());
    auto course = MakeCourse();
    CAFrame* upright = Place(*course, 960.0f, 590.0f, 1000.0f, 400.0f, 0.0f);
    CAFrame* ukc = Place(*course, 800.0f, 500.0f, 900.0f, 1500.0f, 0.0f);
    CAFrame* turned = Place(*course, 1080.0f, 750.0f, 2400.0f, 900.0f, 30.0f);
    const std::vector<CAFrame*> aFrames = {upright, ukc, turned};

    // A quarter pixel per unit: 3200 by 2000 units.
    constexpr int kWidth = 800;
    constexpr int kHeight = 500;
    CGdiBitmap dib;
    ASSERT_TRUE(dib.Create(float(kWidth), float(kHeight)));
    RECT all = {0, 0, kWidth, kHeight};
    FillRect(dib.GetDC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    CTransform view;
    view.Scale(0.25f);
    {
        CGdiGraphics canvas;
        canvas.SetDeviceContext(dib.GetDC());
        for (CAFrame* aFrame : aFrames) {
            aFrame->RefreshExtents();
            canvas.m_state.matrix = CTransform(view, aFrame->GetPlacement());
            canvas.DrawDrawable(aFrame->GetShape2D(), 0, 0);
            // The same drawing as numbers: nothing that is not a number.
            CCountingContext plan;
            plan.DrawTop(aFrame->GetShape2D());
            EXPECT_EQ(0, plan.notFinite);
            EXPECT_GT(plan.pathPoints, 0);
        }
    }
    GdiFlush();
    CPixelBitmap picture;
    ASSERT_TRUE(dib.GetPixels(picture));
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"AFramePlan.png"), nullptr));

    // Everything drawn lies within the A-frames' bounds (one pixel of
    // rounding allowed), and each A-frame drew something.
    std::vector<CRectF> bounds;
    for (CAFrame* aFrame : aFrames) {
        const CRectF rect = CRectF::FromRangesFlipY(aFrame->GetPlacement().TransformBox(aFrame->Get2DExtent()));
        bounds.push_back(CRectF(rect.left * 0.25f - 1.0f, rect.top * 0.25f - 1.0f, rect.right * 0.25f + 1.0f,
                                rect.bottom * 0.25f + 1.0f));
    }
    std::vector<int> inside(bounds.size(), 0);
    int outside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if ((picture.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                continue;
            bool found = false;
            for (size_t i = 0; i < bounds.size(); ++i) {
                if (x >= bounds[i].left && x <= bounds[i].right && y >= bounds[i].top && y <= bounds[i].bottom) {
                    ++inside[i];
                    found = true;
                }
            }
            outside += found ? 0 : 1;
        }
    }
    EXPECT_EQ(0, outside);
    for (int count : inside)
        EXPECT_GT(count, 500);

    // The upright one seen from above: contact zones at the feet in the
    // fill colour, the middle in the outline colour, the apex line across.
    const float run = upright->GetRun() * 0.25f;
    const int cx = 250;
    const int cy = 100;
    const auto rgb = [&picture](float x, float y) { return picture.GetPixel(int(x), int(y)) & 0xFFFFFF; };
    const uint32_t zone = upright->GetSecondaryColor() & 0xFFFFFF;
    const uint32_t middle = upright->GetOutlineColor() & 0xFFFFFF;
    EXPECT_EQ(zone, rgb(cx - 0.8f * run, cy));
    EXPECT_EQ(zone, rgb(cx + 0.8f * run, cy + 10));
    EXPECT_EQ(middle, rgb(cx - 0.3f * run, cy));
    EXPECT_EQ(middle, rgb(cx + 0.3f * run, cy - 10));
    EXPECT_EQ(upright->GetPrimaryColor() & 0xFFFFFF, rgb(cx, cy + 10));
    // Nothing beyond the feet.
    EXPECT_EQ(0xFFFFFFu, rgb(cx - run - 6.0f, cy));
    EXPECT_EQ(0xFFFFFFu, rgb(cx + run + 6.0f, cy));
    // 360 wide: 90 pixels across (and the pen); the UKC A-frame 300: 75.
    EXPECT_NE(0xFFFFFFu, rgb(cx, cy - 44));
    EXPECT_EQ(0xFFFFFFu, rgb(cx, cy - 52));
    EXPECT_NE(0xFFFFFFu, rgb(225, 375 - 36));
    EXPECT_EQ(0xFFFFFFu, rgb(225, 375 - 44));
}
