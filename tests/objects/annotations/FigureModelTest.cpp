#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <set>

#include "foundation/FieldStream.h"
#include "objects/annotations/DogFigure.h"
#include "objects/annotations/FigureData.h"
#include "objects/annotations/HumanFigure.h"
#include "render3d/Camera.h"
#include "tests/support/FailureReports.h"

namespace {

struct CTellingRow
{
    int part, parent, count;
    float offset[3], angles[3];
};

// Whether the vertex (from 1) is among the part's weighted vertices.
bool IsWeightedTo(const CFigureData& data, int part, int vertex)
{
    const uint16_t* pair = data.skinWeights;
    for (int p = 0; p < part; ++p)
        pair += 2 * data.parts[p].weightedCount;
    for (int i = 0; i < data.parts[part].weightedCount; ++i, pair += 2) {
        if (pair[0] == vertex - 1 && pair[1] == 65535)
            return true;
    }
    return false;
}

void ExpectSkinMatches(const CFigureData& data, CPackedModel& skin, int vertices, int parts,
                       const std::vector<int>& parents, const std::vector<CTellingRow>& rows,
                       const std::vector<std::pair<int, int>>& handleVertices)
{
    EXPECT_EQ(vertices, data.vertexCount);
    ASSERT_EQ(parts, skin.GetPartCount());
    int weighted = 0;
    for (int i = 0; i < parts; ++i) {
        const CGroupNode* parent = skin.GetPart(i).GetParent();
        EXPECT_EQ(parents[size_t(i)], parent ? parent->GetPartNumber() : -1) << i;
        weighted += data.parts[i].weightedCount;
    }
    EXPECT_EQ(vertices, weighted);
    for (const CTellingRow& row : rows) {
        const CFigurePartRow& stored = data.parts[row.part];
        EXPECT_EQ(row.parent, stored.parent) << row.part;
        EXPECT_EQ(row.count, stored.weightedCount) << row.part;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(row.offset[k], stored.offset[k]) << row.part;
            EXPECT_EQ(row.angles[k], stored.restAngles[k]) << row.part;
        }
    }
    for (const auto& handle : handleVertices)
        EXPECT_TRUE(IsWeightedTo(data, handle.first, handle.second)) << handle.second;
    uint32_t corners = 0;
    for (int m = 0; m < data.materialCount; ++m)
        corners += data.materialCorners[m];
    EXPECT_EQ(0u, corners % 3);
}

void ExpectPresetsOnTheirGrids(const CFigureModel& model)
{
    for (const int* id = model.GetPresetIds(); *id != 2000; ++id) {
        const CFigureModel& preset = model.GetPreset(*id);
        for (int j = 0; j < preset.GetJointCount(); ++j) {
            const CFigureModel::CJoint& joint = preset.GetJoint(j);
            EXPECT_GE(joint.value, joint.minimum) << *id << " " << j;
            EXPECT_LE(joint.value, joint.maximum) << *id << " " << j;
            EXPECT_EQ(0, joint.value % joint.step) << *id << " " << j;
        }
    }
}

}  // namespace

TEST(FigureSkins, DogMatchesItsTablesAndPresets)
{
    CDogFigureSkin skin;
    std::vector<int> parents = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 6, 12, 13, 14, 15, 6, 17, 18, 19,
                                20, 0, 22, 23, 24, 25, 26, 27, 0, 29, 30, 31, 0, 33, 34, 35};
    ExpectSkinMatches(GetDogFigureData(), skin, 3655, 37, parents,
                      {{0, -1, 89, {0, 6.9262f, 19.8252f}, {-90, -5.2515f, -90}},
                       {1, 0, 0, {0, 0, 0}, {0, 0, 3.5214f}},
                       {2, 1, 61, {3.3234f, 0, 0}, {0, 0, 0.9023f}},
                       {7, 6, 0, {0, 0, 1.5482f}, {-117.731f, -13.2555f, 111.695f}},
                       {12, 6, 0, {0, 0, -1.5482f}, {117.731f, 13.2555f, 111.695f}},
                       {22, 0, 15, {0, 0, 0}, {0, 2.6284f, -173.932f}}},
                      {{11, 395}, {16, 2098}, {32, 1153}, {36, 2743}, {3, 15}, {21, 65}, {28, 48}});
    ASSERT_EQ(4, skin.GetMaterialCount());
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(L"DogCoat.jpg", skin.GetMaterial(m).textureName);
    CDogFigure dog(&skin);
    EXPECT_EQ(24, dog.GetJointCount());
    EXPECT_EQ(20, dog.GetHandleCount());
    ExpectPresetsOnTheirGrids(dog);
    const CFigureModel& standing = dog.GetPreset(2365);
    for (int j = 0; j < 24; ++j)
        EXPECT_EQ(0, standing.GetAngle(j));
    EXPECT_EQ(-45, dog.GetPreset(2366).GetAngle(0));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(&standing, &dog.GetPreset(2376)); }));
}

TEST(FigureSkins, HandlerMatchesItsTablesAndPresets)
{
    CHumanFigureSkin skin;
    std::vector<int> parents = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 5, 9, 10, 11};
    for (int side = 0; side < 2; ++side) {
        if (side == 1)
            parents.insert(parents.end(), {5, 33, 34, 35});
        const int hand = side == 0 ? 12 : 36;
        for (int f = 0; f < 5; ++f)
            parents.insert(parents.end(), {hand, hand + 1 + 4 * f, hand + 2 + 4 * f, hand + 3 + 4 * f});
    }
    parents.insert(parents.end(), {0, 57, 58, 59, 60, 0, 62, 63, 64, 65});
    ExpectSkinMatches(GetHumanFigureData(), skin, 3236, 67, parents,
                      {{0, -1, 0, {0, 0.0255f, 0.9082f}, {0, 0, -90}},
                       {1, 0, 204, {-0.0079f, 0, 0}, {-90, -90, 0}},
                       {9, 5, 89, {0.1072f, 0, 0.0302f}, {-6.3771f, -79.7051f, -173.77f}},
                       {33, 5, 84, {0.1072f, 0, -0.0302f}, {6.3754f, 79.7051f, -173.772f}},
                       {57, 0, 247, {-0.0079f, 0.0962f, 0}, {-171.124f, 83.6594f, 99.164f}}},
                      {{8, 3230}});
    ASSERT_EQ(12, skin.GetMaterialCount());
    EXPECT_EQ(L"WomanHead.jpg", skin.GetMaterial(10).textureName);
    EXPECT_EQ(L"WomanHair.jpg", skin.GetMaterial(11).textureName);
    CHumanFigure handler(&skin);
    EXPECT_EQ(22, handler.GetJointCount());
    EXPECT_EQ(20, handler.GetHandleCount());
    ExpectPresetsOnTheirGrids(handler);
    const CFigureModel& standing = handler.GetPreset(2440);
    EXPECT_TRUE(standing.IsSamePose(handler));
    EXPECT_EQ(15, standing.GetAngle(4));
    EXPECT_EQ(15, standing.GetAngle(13));
    EXPECT_EQ(75, handler.GetPreset(2441).GetAngle(4));
}

TEST(FigureModel, AnglesChangeFlagsAndTooManyValues)
{
    CDogFigureSkin skin;
    CDogFigure dog(&skin);
    EXPECT_FALSE(dog.TakeChanged(0, 23));
    dog.SetAngle(3, 30);
    EXPECT_TRUE(dog.TakeChanged(3));
    EXPECT_FALSE(dog.TakeChanged(3, -1));
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(dog.TakeChanged(5, 4)); }));
    // The program's own caller passes too many: the extra one is dropped.
    int values[25];
    for (int i = 0; i < 25; ++i)
        values[i] = 5;
    EXPECT_EQ(1, CountReports([&] { dog.SetAngles(25, values); }));
    EXPECT_EQ(5, dog.GetAngle(23));
    // A copy of an equal pose still flags every joint.
    CDogFigure other(&skin);
    other.CopyPose(dog);
    other.CopyPose(dog);
    EXPECT_TRUE(other.IsSamePose(dog));
}

TEST(FigureModel, PosesRoundTripAndDamagedValuesTakeTheGrid)
{
    CHumanFigureSkin skin;
    CHumanFigure written(&skin), read(&skin);
    written.SetAngle(0, 30);
    written.SetAngle(21, -45);
    written.SetPoseChoiceB(2);
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    written.Serialize(writer);
    CFieldReader reader(writer.m_bytes);
    reader.m_versionMajor = 4;
    read.Serialize(reader);
    EXPECT_TRUE(read.IsSamePose(written));
    EXPECT_EQ(2, read.GetPoseChoiceB());
    // Out of range, off the grid, a hand choice beyond the tables.
    CFieldWriter damaged;
    for (int value : {7, 3, 127, -128, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
        damaged.WriteInt8(value);
    CFieldReader damagedReader(damaged.m_bytes);
    damagedReader.m_versionMajor = 4;
    EXPECT_EQ(0, CountReports([&] { read.Serialize(damagedReader); }));
    EXPECT_EQ(0, read.GetPoseChoiceA());
    EXPECT_EQ(0, read.GetPoseChoiceB());
    EXPECT_EQ(90, read.GetAngle(0));
    EXPECT_EQ(0, read.GetAngle(1));
    EXPECT_EQ(15, read.GetAngle(2));
}

TEST(FigureModel, HandlerOldFormCodesTheArms)
{
    CHumanFigureSkin skin;
    CHumanFigure handler(&skin);
    CFieldWriter writer;
    writer.m_versionMajor = 3;
    handler.Serialize(writer);
    CFieldWriter expected;
    expected.WriteInt8(0);
    expected.WriteInt8(0);
    EXPECT_EQ(expected.m_bytes, writer.m_bytes);
    CFieldWriter codes;
    codes.WriteInt8(1);
    codes.WriteInt8(2);
    CFieldReader reader(codes.m_bytes);
    reader.m_versionMajor = 3;
    handler.Serialize(reader);
    EXPECT_EQ(90, handler.GetAngle(4));
    EXPECT_EQ(2, handler.GetPoseChoiceB());
    EXPECT_EQ(60, handler.GetAngle(12));
}

TEST(FigureModel, MirrorTwiceRestoresAndTheStraightElbowSharesTheTurn)
{
    CDogFigureSkin dogSkin;
    CDogFigure dog(&dogSkin);
    dog.CopyPose(dog.GetPreset(2372));
    dog.Mirror();
    EXPECT_FALSE(dog.IsSamePose(dog.GetPreset(2372)));
    EXPECT_EQ(-45, dog.GetAngle(16));
    dog.Mirror();
    EXPECT_TRUE(dog.IsSamePose(dog.GetPreset(2372)));

    CHumanFigureSkin skin;
    CHumanFigure handler(&skin);
    handler.SetPoseChoiceA(1);
    handler.SetPoseChoiceB(1);
    handler.SetAngle(20, 10);
    handler.Mirror();
    EXPECT_EQ(-10, handler.GetAngle(20));
    handler.Mirror();
    EXPECT_EQ(10, handler.GetAngle(20));
    // With the elbow straight, (0, 90) and (30, 60) both become (30, 60).
    CHumanFigureSkin otherSkin;
    CHumanFigure other(&otherSkin);
    for (CHumanFigure* figure : {&handler, &other})
        figure->SetAngle(4, 0);
    handler.SetAngle(0, 0);
    handler.SetAngle(3, 90);
    other.SetAngle(0, 30);
    other.SetAngle(3, 60);
    handler.Update();
    other.Update();
    for (int part : {10, 11, 12})
        EXPECT_TRUE(skin.GetPart(part).GetLocalTransform() == otherSkin.GetPart(part).GetLocalTransform()) << part;
    other.SetAngle(4, 15);
    other.Update();
    EXPECT_FALSE(skin.GetPart(11).GetLocalTransform() == otherSkin.GetPart(11).GetLocalTransform());
}

TEST(FigureModel, HandlesShownByViewDirection)
{
    CDogFigureSkin dogSkin;
    CDogFigure dog(&dogSkin);
    CHumanFigureSkin skin;
    CHumanFigure handler(&skin);
    const auto shown = [](const CFigureModel& model, float x, float y, float z) {
        const float view[3] = {x, y, z};
        std::set<int> handles;
        for (int h = 0; h < model.GetHandleCount(); ++h)
            if (model.IsHandleShown(h, view))
                handles.insert(h);
        return handles;
    };
    EXPECT_EQ((std::set<int>{13, 16, 19}), shown(dog, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ((std::set<int>{14}), shown(dog, -1.0f, 1.0f, 0.0f));
    EXPECT_EQ((std::set<int>{3, 4, 5, 9, 10, 11, 12, 15, 17, 18}), shown(dog, 1.01f, 0.0f, 1.0f));
    EXPECT_EQ((std::set<int>{0, 1, 2, 7, 8, 9, 10, 15, 17, 19}), shown(handler, 0.01f, 0.0f, 1.0f));
    EXPECT_EQ((std::set<int>{8, 9, 10, 12, 13, 14, 15, 18}), shown(handler, 0.02f, 0.0f, 1.0f));
}

TEST(FigureModel, DragsKeepTheAngleWithinTheHysteresisAndFollowTheMouse)
{
    CHumanFigureSkin skin;
    CHumanFigure handler(&skin);
    CCamera camera;
    camera.SetOrthographic(true);
    camera.SetViewport(1000.0f, 1000.0f);
    camera.UpdateMatrices();
    // The figure 2000 units in front of the viewer, seen from the side.
    CTransform view;
    view.SetTranslation(0.0f, -300.0f, -2000.0f);
    view.RotateX(-90.0f);
    view.RotateZ(90.0f);
    const CTransform placement(view, true);
    CVector3 point;
    CPoint2 window;
    for (int handle : {5, 0}) {
        const int a = handler.GetHandle(handle).firstAngle, b = handler.GetHandle(handle).secondAngle;
        const int startA = handler.GetAngle(a), startB = b >= 0 ? handler.GetAngle(b) : 0;
        handler.HandleDistance(handle, 0.0f, 0.0f, camera, placement, &point);
        camera.ProjectPoint(point, &window);
        handler.DragHandle(handle, window.x - 0.5f, window.y - 0.5f, camera, placement);
        EXPECT_EQ(startA, handler.GetAngle(a)) << handle;
        EXPECT_EQ(startB, b >= 0 ? handler.GetAngle(b) : 0) << handle;
        // Far below the figure the angle moves.
        handler.DragHandle(handle, window.x + 200.0f, window.y + 300.0f, camera, placement);
        EXPECT_TRUE(handler.GetAngle(a) != startA || (b >= 0 && handler.GetAngle(b) != startB)) << handle;
    }
}

TEST(FigureModel, APoseReadWithoutASkinPosesOneLaterAsAModelMadeOnIt)
{
    CDogFigureSkin dogSkins[2];
    CHumanFigureSkin humanSkins[2];
    CDogFigure dogs[2] = {CDogFigure(nullptr), CDogFigure(&dogSkins[1])};
    CHumanFigure handlers[2] = {CHumanFigure(nullptr), CHumanFigure(&humanSkins[1])};
    handlers[1].SetPoseChoiceA(1);
    handlers[1].SetPoseChoiceB(2);
    const struct
    {
        CFigureModel& read;
        CFigureModel& made;
        CPackedModel& readSkin;
        CPackedModel& madeSkin;
        int preset;
    } cases[] = {{dogs[0], dogs[1], dogSkins[0], dogSkins[1], 2372},
                 {handlers[0], handlers[1], humanSkins[0], humanSkins[1], 2442}};
    for (const auto& c : cases) {
        c.made.CopyPose(c.made.GetPreset(c.preset));
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        c.made.Serialize(writer);
        CFieldReader reader(writer.m_bytes);
        reader.m_versionMajor = 4;
        c.read.Serialize(reader);
        EXPECT_EQ(nullptr, c.read.GetSkin());
        c.read.SetSkin(&c.readSkin);
        for (int part = 0; part < c.madeSkin.GetPartCount(); ++part) {
            EXPECT_TRUE(c.readSkin.GetPart(part).GetWorldTransform() == c.madeSkin.GetPart(part).GetWorldTransform())
                << c.preset << " " << part;
        }
        for (int h = 0; h < c.made.GetHandleCount(); ++h) {
            CVector3 read, made;
            c.read.GetHandlePoint(h, read);
            c.made.GetHandlePoint(h, made);
            EXPECT_TRUE(read.x == made.x && read.y == made.y && read.z == made.z) << c.preset << " " << h;
        }
    }
}

TEST(FigureModel, WholeAnglesTakeTheGridPointOfTheirNumber)
{
    const CDogFigure dog(nullptr);
    const CHumanFigure handler(nullptr);
    for (const CFigureModel* model : std::initializer_list<const CFigureModel*>{&dog, &handler}) {
        for (int j = 0; j < model->GetJointCount(); ++j) {
            for (int value : {INT_MIN, -100000, -1025, 100000, INT_MAX})
                EXPECT_EQ(model->LimitAngle(j, float(value)), model->LimitWholeAngle(j, value)) << j << " " << value;
            for (int value = -200; value <= 200; ++value)
                EXPECT_EQ(model->LimitAngle(j, float(value)), model->LimitWholeAngle(j, value)) << j << " " << value;
        }
    }
}
