#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "foundation/Settings.h"
#include "objects/annotations/FigureOutlineCache.h"
#include "objects/annotations/DogFigure.h"
#include "objects/annotations/DogShape.h"
#include "objects/annotations/HumanFigure.h"
#include "objects/annotations/HumanShape.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

using namespace equipmenttest;

namespace {

using FigureShape = coursetest::CSettingsFixture;

// A record body of a figure: the pose fields given, then the height (dog)
// and the scale.
std::string DogRecord(const std::vector<int>& joints, float height, int scale)
{
    CFieldWriter writer;
    for (int value : joints)
        writer.WriteInt8(value);
    writer.WriteFloat16(height);
    writer.WriteInt16(scale);
    return writer.m_bytes;
}

// The world height of a part's origin above the figure's lowest point.
float HeightAboveGround(CFigureShape& figure, int part)
{
    const CBox3 box = figure.MeasurePose();
    return figure.GetSkin().GetPart(part).GetWorldTransform().GetTranslation().z - box.minZ;
}

// The bytes the figure's pose writes.
std::string PoseBytes(CFigureShape& figure)
{
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    figure.GetModel().Serialize(writer);
    return writer.m_bytes;
}

}  // namespace

TEST_F(FigureShape, StandingEyesComeToTheCameraEyeHeights)
{
    auto course = MakeCourse();
    auto* dog = Place<CDogShape>(*course, CDogShape::GetDogShapeType(), 2000.0f, 2000.0f);
    auto* handler = Place<CHumanShape>(*course, CHumanShape::GetHumanShapeType(), 3000.0f, 2000.0f);
    // The dog's eyes sit where the muzzle meets the head, the handler's at
    // the origin of her part 8.
    EXPECT_NEAR(240.0f, HeightAboveGround(*dog, 21), 24.0f);
    EXPECT_NEAR(600.0f, HeightAboveGround(*handler, 8), 60.0f);
    // The dog is longer than wide and reaches both ends; the handler wider
    // than deep.
    const CBox3 dogBox = dog->MeasurePose();
    EXPECT_GT(dogBox.maxY - dogBox.minY, 2.0f * (dogBox.maxX - dogBox.minX));
    const CBox3 handlerBox = handler->MeasurePose();
    EXPECT_GT(handlerBox.maxX - handlerBox.minX, handlerBox.maxY - handlerBox.minY);
}

TEST_F(FigureShape, SilhouettesFillTheBoundsOfThePoseAndRebuildOncePerPose)
{
    auto course = MakeCourse();
    auto* dog = Place<CDogShape>(*course, CDogShape::GetDogShapeType(), 2000.0f, 2000.0f);
    CCountingContext plan;
    plan.DrawTop(dog->GetShape2D());
    EXPECT_EQ(0, plan.notFinite);
    // The map shows the posed body from above: x as in 3D, y turned over.
    const CBox3 box = dog->MeasurePose();
    const CRectF drawn = plan.pathRect;
    EXPECT_NEAR(box.minX, drawn.left, 8.0f);
    EXPECT_NEAR(box.maxX, drawn.right, 8.0f);
    EXPECT_NEAR(-box.maxY, drawn.top, 8.0f);
    EXPECT_NEAR(-box.minY, drawn.bottom, 8.0f);
    CFigureSilhouette silhouette(0);
    EXPECT_TRUE(silhouette.Rebuild(*dog));
    EXPECT_FALSE(silhouette.Rebuild(*dog));
    dog->GetModel().SetAngle(0, 30);
    EXPECT_TRUE(silhouette.Rebuild(*dog));
    EXPECT_GT(silhouette.GetOutline().points.size(), 20u);
    // Maps of whole courses draw the outline within a few course units.
    const CPolygonOutline& coarse = silhouette.GetCoarseOutline();
    EXPECT_EQ(silhouette.GetOutline().GetLoopCount(), coarse.GetLoopCount());
    EXPECT_LT(coarse.points.size() * 2, silhouette.GetOutline().points.size());
    EXPECT_TRUE(CFigureSilhouette(1).GetOutline().IsEmpty());
}

TEST_F(FigureShape, HandlerDrawingOrderFollowsHerLean)
{
    auto course = MakeCourse();
    auto* handler = Place<CHumanShape>(*course, CHumanShape::GetHumanShapeType(), 3000.0f, 2000.0f);
    const uint32_t o = handler->GetOutlineColor(), s = handler->GetSecondaryColor();
    ASSERT_NE(o, s);
    struct
    {
        int lean;
        bool firstLegOnTheLeft;
        std::vector<uint32_t> armFills;
    } cases[] = {{0, false, {o, o, s, s}}, {5, true, {o, o, s, s}}, {15, true, {o, o, s, s}},
                 {-15, false, {o, o, s, s}}, {20, true, {s, o, o, s}}, {-20, false, {s, o, o, s}}};
    for (const auto& c : cases) {
        handler->GetModel().SetAngle(20, c.lean);
        handler->GetModel().Update();
        CRecordingContext context;
        handler->Draw2D(context);
        // Each path's fill and the mean x of its points.
        std::vector<std::pair<uint32_t, float>> paths;
        int points = 0;
        for (const CRecordingContext::CCall& call : context.calls) {
            if (call.op == 'B') {
                paths.push_back({call.state.fillColor, 0.0f});
                points = 0;
            } else if (call.op == 'M' || call.op == 'L') {
                paths.back().second += (call.v[0] - paths.back().second) / float(++points);
            }
        }
        ASSERT_EQ(10u, paths.size());
        // Material 0 is the leg on the figure's left (-x), material 1 the
        // right; a lean turns both the same way.
        EXPECT_EQ(c.firstLegOnTheLeft, paths[0].second < paths[2].second) << c.lean;
        for (size_t k = 0; k < 4; ++k)
            EXPECT_EQ(c.armFills[k], paths[4 + k].first) << c.lean << " " << k;
    }
}

TEST_F(FigureShape, RecordsKeepPoseScaleAndHeightAcrossVersions)
{
    auto course = MakeCourse();
    auto* dog = Place<CDogShape>(*course, CDogShape::GetDogShapeType(), 2000.0f, 2000.0f);
    auto* handler = Place<CHumanShape>(*course, CHumanShape::GetHumanShapeType(), 3000.0f, 2000.0f);
    CDogShape readDog;
    CHumanShape readHandler;
    for (const int* id = dog->GetModel().GetPresetIds(); *id != 2000; ++id) {
        dog->GetModel().CopyPose(dog->GetModel().GetPreset(*id));
        dog->SetScale(150);
        dog->SetCustomHeight(*id == 2374 ? 300.0f : 0.0f);
        ReadRecord(readDog, RecordOf(*dog));
        // A figure read keeps its pose without a mesh until it is drawn.
        EXPECT_FALSE(readDog.HasSkin());
        EXPECT_TRUE(readDog.GetModel().IsSamePose(dog->GetModel())) << *id;
        EXPECT_EQ(150, readDog.GetScale());
        EXPECT_EQ(dog->GetCustomHeight(), readDog.GetCustomHeight());
    }
    for (const int* id = handler->GetModel().GetPresetIds(); *id != 2000; ++id) {
        handler->GetModel().CopyPose(handler->GetModel().GetPreset(*id));
        ReadRecord(readHandler, RecordOf(*handler));
        EXPECT_TRUE(readHandler.GetModel().IsSamePose(handler->GetModel())) << *id;
    }
    // Version 3: the dog without pose or height, the handler as a name and
    // the arm codes.
    dog->SetCustomHeight(-1.0f);
    ReadRecord(readDog, RecordOf(*dog, 3), 3);
    EXPECT_TRUE(readDog.GetModel().IsSamePose(dog->GetModel().GetPreset(2365)));
    EXPECT_EQ(0.0f, readDog.GetCustomHeight());
    EXPECT_EQ(150, readDog.GetScale());
    CFieldWriter old;
    old.WriteWString(L"");
    old.WriteInt8(0);
    old.WriteInt8(0);
    old.WriteInt16(100);
    handler->GetModel().CopyPose(handler->GetModel().GetPreset(2440));
    EXPECT_EQ(old.m_bytes, RecordOf(*handler, 3));
    const size_t objects = course->GetObjects().size();
    ReadRecord(*handler, old.m_bytes, 3);
    EXPECT_EQ(objects, course->GetObjects().size());
}

TEST_F(FigureShape, DamagedRecordsAndScalesLoadDrawAndBuildSafely)
{
    auto course = MakeCourse();
    auto* dog = Place<CDogShape>(*course, CDogShape::GetDogShapeType(), 2000.0f, 2000.0f);
    const std::vector<int> wild(24, 127), lowest(24, -128);
    struct
    {
        std::vector<int> joints;
        int scale;
        int expectedScale;
    } cases[] = {{wild, 0, 100}, {lowest, -40, 100}, {wild, 32767, 32767}, {lowest, 50, 50}};
    for (const auto& c : cases) {
        EXPECT_EQ(0, CountReports([&] {
            ReadRecord(*dog, DogRecord(c.joints, std::nanf(""), c.scale));
            dog->Invalidate();
            DrawBoth(*dog);
            EXPECT_TRUE(EndsAreFinite(*dog));
        }));
        EXPECT_EQ(c.expectedScale, dog->GetScale());
        EXPECT_EQ(0.0f, dog->GetCustomHeight());
        for (int j = 0; j < 24; ++j) {
            const CFigureModel::CJoint& joint = dog->GetModel().GetJoint(j);
            EXPECT_EQ(c.joints[0] > 0 ? joint.maximum : joint.minimum, joint.value) << j;
        }
    }
    // A record cut short reads what it holds.
    EXPECT_EQ(0, CountReports([&] { ReadRecord(*dog, DogRecord({5, 5}, 0.0f, 0).substr(0, 2)); }));
    CSettings::SetInt(L"BrisklaneMode", 1);
    ReadRecord(*dog, DogRecord(std::vector<int>(24, 0), 0.0f, 70));
    EXPECT_EQ(120, dog->GetScale());
}

TEST_F(FigureShape, PresetsStandAtTheirHeightAndEndsIgnoreTheScaleIn3D)
{
    auto course = MakeCourse();
    auto* dog = Place<CDogShape>(*course, CDogShape::GetDogShapeType(), 2000.0f, 2000.0f);
    for (const int* id = dog->GetModel().GetPresetIds(); *id != 2000; ++id) {
        dog->GetModel().CopyPose(dog->GetModel().GetPreset(*id));
        dog->SetCustomHeight(*id == 2374 ? -1.0f : 50.0f);
        dog->Invalidate();
        auto drawn = DrawBoth(*dog);
        const float height = *id == 2374 ? GetCourseJumpHeight(*dog) : 50.0f;
        EXPECT_NEAR(height, drawn->model.vertexBox.minZ, 0.5f) << *id;
    }
    auto* handler = Place<CHumanShape>(*course, CHumanShape::GetHumanShapeType(), 3000.0f, 2000.0f);
    for (const int* id = handler->GetModel().GetPresetIds(); *id != 2000; ++id) {
        handler->GetModel().CopyPose(handler->GetModel().GetPreset(*id));
        handler->Invalidate();
        EXPECT_NEAR(0.0f, DrawBoth(*handler)->model.vertexBox.minZ, 0.5f) << *id;
    }
    dog->SetCustomHeight(-1.0f);
    CFieldWriter extra;
    dog->SerializeExtra(extra);
    CFieldWriter jumpHeight;
    jumpHeight.WriteFloat16(GetCourseJumpHeight(*dog));
    EXPECT_EQ(jumpHeight.m_bytes, extra.m_bytes);
    CPoint2 at100, at200;
    dog->SetScale(100);
    dog->GetEnd(at100, 0);
    dog->SetScale(200);
    dog->GetEnd(at200, 0);
    EXPECT_NEAR(2.0f * at100.y, at200.y, 0.01f);
    course->Set3D(true);
    dog->GetEnd(at200, 0);
    EXPECT_NEAR(at100.y, at200.y, 0.01f);
}

// Figures of a kind in one pose share each material's outline, found with
// no skin of their own; a new pose of one (its skin not yet posed) leaves
// the other's as it was; outlines go with the last figure holding them.
TEST_F(FigureShape, FiguresOfAKindInOnePoseShareTheirOutlines)
{
    const size_t entries = CFigureOutlineCache::GetEntryCount();
    for (const auto& [type, joint] : {std::pair<const CObjectType*, int>{&CDogShape::GetDogShapeType(), 0},
                                      {&CHumanShape::GetHumanShapeType(), 20}}) {
        auto course = MakeCourse();
        auto* placed = dynamic_cast<CFigureShape*>(Place(*course, *type, 2000.0f, 2000.0f));
        const std::unique_ptr<CCourseObject> copy = MakeNew(*type, course.get());
        auto* read = dynamic_cast<CFigureShape*>(copy.get());
        ReadRecord(*read, RecordOf(*placed));
        CFigureSilhouette placedOne(0), readOne(0), readOther(1);
        placedOne.Rebuild(*placed);
        readOne.Rebuild(*read);
        EXPECT_FALSE(read->HasSkin());
        readOther.Rebuild(*read);
        EXPECT_EQ(&placedOne.GetOutline(), &readOne.GetOutline());
        EXPECT_NE(&readOne.GetOutline(), &readOther.GetOutline());
        const std::deque<CPoint2> before = readOne.GetOutline().points;
        placed->GetModel().SetAngle(joint, 30);
        EXPECT_TRUE(placedOne.Rebuild(*placed));
        EXPECT_TRUE(before == readOne.GetOutline().points);
        EXPECT_FALSE(before == placedOne.GetOutline().points);
    }
    EXPECT_EQ(entries, CFigureOutlineCache::GetEntryCount());
    // A dog and a handler whose poses write the same bytes share nothing.
    auto course = MakeCourse();
    CFigureShape* dog = Place<CDogShape>(*course, CDogShape::GetDogShapeType(), 2000.0f, 2000.0f);
    CFigureShape* handler = Place<CHumanShape>(*course, CHumanShape::GetHumanShapeType(), 3000.0f, 2000.0f);
    const std::vector<int> zeros(CFigureModel::kMaxJoints, 0);
    for (CFigureShape* figure : {dog, handler})
        figure->GetModel().SetAngles(figure->GetModel().GetJointCount(), zeros.data());
    ASSERT_EQ(PoseBytes(*dog), PoseBytes(*handler));
    CFigureSilhouette dogOne(0), handlerOne(0);
    dogOne.Rebuild(*dog);
    handlerOne.Rebuild(*handler);
    EXPECT_NE(&dogOne.GetOutline(), &handlerOne.GetOutline());
}
