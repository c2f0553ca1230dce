#include "objects/annotations/DogFigure.h"

#include <memory>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/FigureData.h"

namespace {

const std::vector<CModelVertex>& GetDogVertices()
{
    static std::vector<CModelVertex> vertices;
    if (vertices.empty()) {
        const CFigureData& data = GetDogFigureData();
        vertices.resize(size_t(data.vertexCount));
        UnpackVertices(data.packedVertices, data.box, vertices);
    }
    return vertices;
}

const CFigureModel::CJointRange kJoints[CDogFigure::kJointCount] = {
    {-75, 75, 5}, {0, 90, 5}, {0, 90, 15}, {0, 90, 15},     // front leg
    {-75, 75, 5}, {0, 90, 5}, {0, 90, 15}, {0, 90, 15},     // other front leg
    {-45, 105, 5}, {0, 90, 5}, {0, 90, 15}, {0, 90, 15},    // hind leg
    {-45, 105, 5}, {0, 90, 5}, {0, 90, 15}, {0, 90, 15},    // other hind leg
    {-75, 75, 5}, {-60, 60, 5}, {-45, 45, 5},               // spine bend, body tilts
    {-45, 45, 5}, {-45, 45, 5}, {-90, 90, 15},              // neck and head
    {0, 100, 10}, {-75, 75, 5},                             // tail
};

const CFigureModel::CHandle kHandles[] = {
    {0, 1, 8, 10, 0}, {2, -1, -1, 11, 0}, {3, -1, -1, 11, 395}, {4, 5, 13, 15, 0}, {6, -1, -1, 16, 0},
    {7, -1, -1, 16, 2098}, {8, 9, 29, 31, 0}, {10, -1, -1, 32, 0}, {11, -1, -1, 32, 1153}, {12, 13, 33, 35, 0},
    {14, -1, -1, 36, 0}, {15, -1, -1, 36, 2743}, {17, -1, -1, 6, 0}, {16, -1, -1, 6, 0}, {18, -1, -1, 3, 15},
    {19, -1, -1, 21, 0}, {21, -1, -1, 21, 0}, {20, -1, -1, 21, 65}, {22, -1, -1, 28, 48}, {23, -1, -1, 28, 48},
};

// Leg joint to part; a negative part number turns the joint's angle round.
const int kLegParts[16] = {-8, -9, 10, 11, -13, -14, 15, 16, -29, 30, -31, 32, -33, 34, -35, 36};

// The poses of presets 2366 to 2375 (2365 stands in the default pose).
const int kPresets[10][CDogFigure::kJointCount] = {
    {-45, 0, 0, 0, -45, 0, 0, 0, 90, 90, 45, 30, 90, 90, 45, 30, 0, -50, 0, -20, -30, 0, 100, 0},
    {70, 0, 15, 30, 70, 0, 15, 30, 100, 0, 0, 60, 100, 0, 0, 60, 0, -5, 0, 0, 0, 0, 50, 0},
    {-75, 0, 0, 0, -75, 0, 0, 0, 90, 90, 45, 30, 90, 90, 45, 30, 0, 0, 0, -20, -10, 0, 0, 0},
    {20, 10, 15, 0, -15, 0, 0, 15, -20, 20, 0, 15, 25, 10, 15, 0, 0, 0, 0, 0, 0, 0, 30, 0},
    {30, 30, 30, 15, -30, 5, 0, 15, -30, 15, 0, 15, 30, 30, 30, 15, 0, 0, 0, 10, 5, 0, 40, 0},
    {-60, 10, 0, 15, -45, 5, 0, 15, -45, 0, 0, 0, -35, 5, 0, 0, 0, 5, 0, 25, 10, 0, 20, 0},
    {15, 20, 15, 15, -15, 10, 0, 15, 10, 15, 15, 15, -10, 10, 0, 0, 45, 0, 10, 10, 0, 45, 30, 30},
    {70, 60, 45, 30, 70, 60, 45, 30, -30, 10, 0, 15, -30, 10, 0, 15, 0, -30, 0, 20, 10, 0, 30, 0},
    {75, 80, 60, 45, 75, 80, 60, 45, -45, 0, 0, 0, -45, 0, 0, 0, 0, 0, 0, 15, 10, 0, 20, 0},
    {-60, 0, 0, 15, -55, 0, 0, 15, 45, 60, 30, 30, 45, 60, 30, 30, 0, 25, 0, -15, -5, 0, 40, 0},
};

const int kPresetIds[] = {2365, 2366, 2367, 2368, 2369, 2370, 2371, 2372, 2373, 2374, 2375, 2000};

CFigureModel::CLayout& GetDogLayout()
{
    static CFigureModel::CLayout layout;
    return layout;
}

}  // namespace

CDogFigureSkin::CDogFigureSkin()
    : CPackedModel(GetDogVertices(), GetDogFigureData().skinWeights, GetDogFigureData().textureCoordinates,
                   GetDogFigureData().corners)
{
    const CFigureData& data = GetDogFigureData();
    for (int m = 0; m < data.materialCount; ++m)
        AddMaterial(L"DogCoat.jpg", data.materialCorners[m]);
    for (int i = 0; i < data.partCount; ++i) {
        const CFigurePartRow& row = data.parts[i];
        AddPackedPart(row.parent, row.weightedCount, {row.offset[0], row.offset[1], row.offset[2]},
                      {row.restAngles[0], row.restAngles[1], row.restAngles[2]}, "ZYX");
    }
}

CDogFigure::CDogFigure(CPackedModel* skin) : CFigureModel(GetDogLayout())
{
    LayOutOnce(kJoints, kJointCount, kHandles, int(sizeof kHandles / sizeof kHandles[0]));
    if (skin)
        SetSkin(skin);
}

bool CDogFigure::IsHandleShown(int handle, const float view[3]) const
{
    static const int fromRight[] = {3, 4, 5, 9, 10, 11, 12, 15, 17, 18, -1};
    static const int fromLeft[] = {0, 1, 2, 6, 7, 8, 12, 15, 17, 18, -1};
    static const int fromAbove[] = {13, 16, 19, -1};
    static const int fromBelow[] = {14, -1};
    return IsHandleListed(handle, view, 1.0f, fromRight, fromLeft, fromAbove, fromBelow);
}

const int* CDogFigure::GetPresetIds() const
{
    return kPresetIds;
}

CFigureModel& CDogFigure::GetPreset(int textId) const
{
    static CDogFigureSkin* skin = new CDogFigureSkin;
    static std::vector<std::unique_ptr<CDogFigure>>* presets = [] {
        auto* list = new std::vector<std::unique_ptr<CDogFigure>>;
        for (int id = kFirstPreset; id <= kLastPreset; ++id)
            list->push_back(std::make_unique<CDogFigure>(skin));
        for (int i = 0; i < 10; ++i)
            (*list)[size_t(i) + 1]->SetAngles(kJointCount, kPresets[i]);
        return list;
    }();
    return *(*presets)[GetPresetIndex(textId, kFirstPreset, kLastPreset)];
}

void CDogFigure::Update()
{
    if (!GetSkin())
        return;
    CPackedModel& skin = *GetSkin();
    for (int j = 0; j < 16; ++j) {
        if (!TakeChanged(j))
            continue;
        const int part = kLegParts[j] < 0 ? -kLegParts[j] : kLegParts[j];
        const float angle = float(kLegParts[j] < 0 ? -GetAngle(j) : GetAngle(j));
        skin.GetPart(part).SetRotation(angle, 0.0f, 0.0f, CGroupNode::kInitialAxes);
    }
    if (TakeChanged(16)) {
        TakeChanged(17, 18);
        for (int part = 2; part <= 5; ++part)
            skin.GetPart(part).SetRotation(0.0f, 0.0f, float(GetAngle(16)) * 0.25f, CGroupNode::kInitialAxes);
        PlaceBody();
    } else if (TakeChanged(17, 18)) {
        PlaceBody();
    }
    if (TakeChanged(19, 21)) {
        const float j19 = float(GetAngle(19)), j20 = float(GetAngle(20));
        for (int k = 0; k < 5; ++k) {
            const float x = -(float(4 - k) * j19 / 10.0f + float(k) * j20 / 10.0f);
            skin.GetPart(17 + k).SetRotation(x, 0.0f, 0.0f, CGroupNode::kInitialAxes, "X");
        }
        TurnChain(17, 5, float(GetAngle(21)) / 5.0f);
    }
    if (TakeChanged(22, 23)) {
        const float lift = float(GetAngle(22)) / 100.0f * 37.0f;
        for (int k = 0; k < 7; ++k)
            skin.GetPart(22 + k).SetRotation(k < 3 ? lift : 0.0f, 0.0f, 0.0f, CGroupNode::kInitialAxes, "X");
        TurnChain(22, 7, float(GetAngle(23)) / -7.0f);
    }
}

void CDogFigure::PlaceBody()
{
    CPackedModel& skin = *GetSkin();
    skin.SetTransform(CTransform());
    const CTransform& chest = skin.GetPart(3).GetWorldTransform();
    const CVector3 half = skin.GetPart(4).GetLocalTransform().GetTranslation();
    const CVector3 c = chest.TransformPoint({half.x * 0.5f, half.y * 0.5f, half.z * 0.5f});
    CTransform placement;
    placement.Scale(kSkinScale);
    placement.RotateZ(180.0f);
    placement.TranslateLocal({0.0f, 0.0f, c.z});
    placement.RotateX(float(GetAngle(17)));
    placement.RotateY(float(-GetAngle(18)));
    placement.RotateZ(float(-GetAngle(16)) * 0.5f);
    placement.TranslateLocal({-c.x, -c.y, -c.z});
    skin.SetTransform(placement);
}

void CDogFigure::TurnChain(int firstPart, int count, float anglePerPart)
{
    CPackedModel& skin = *GetSkin();
    CGroupNode* parent = skin.GetPart(firstPart).GetParent();
    CTransform running = parent ? parent->GetInitialWorldTransform() : CTransform();
    CTransform turn;
    turn.RotateZ(anglePerPart);
    for (int k = 0; k < count; ++k) {
        CGroupNode& part = skin.GetPart(firstPart + k);
        const CTransform local = part.GetLocalTransform();
        running.SetProduct(running, local);
        CTransform frame = running;
        frame.ClearTranslation();
        // The vertical of the chain, seen in the part's own frame.
        const CTransform aboutVertical(CTransform(frame, true), CTransform(turn, frame));
        part.SetLocalTransform(CTransform(local, aboutVertical));
    }
}

void CDogFigure::Mirror()
{
    static const int pairs[][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}, {8, 12}, {9, 13}, {10, 14}, {11, 15}};
    for (const auto& pair : pairs)
        SwapAngles(pair[0], pair[1]);
    for (int joint : {18, 16, 21, 23})
        NegateAngle(joint);
    Update();
}
