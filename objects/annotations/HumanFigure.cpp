#include "objects/annotations/HumanFigure.h"

#include <memory>
#include <utility>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/FigureData.h"

namespace {

const std::vector<CModelVertex>& GetHumanVertices()
{
    static std::vector<CModelVertex> vertices;
    if (vertices.empty()) {
        const CFigureData& data = GetHumanFigureData();
        vertices.resize(size_t(data.vertexCount));
        UnpackVertices(data.packedVertices, data.box, vertices);
    }
    return vertices;
}

// Each side's arm, forearm and elbow, then leg turn, leg and knee; then the
// body.
const CFigureModel::CJointRange kJoints[CHumanFigure::kJointCount] = {
    {-45, 90, 15}, {0, 120, 15}, {-45, 90, 15}, {-90, 90, 15}, {0, 120, 15},
    {0, 90, 15}, {-10, 45, 5}, {-45, 90, 15}, {0, 90, 15},
    {-45, 90, 15}, {0, 120, 15}, {-45, 90, 15}, {-90, 90, 15}, {0, 120, 15},
    {0, 90, 15}, {-10, 45, 5}, {-45, 90, 15}, {0, 90, 15},
    {-45, 45, 15}, {-30, 45, 5}, {-30, 30, 5}, {-75, 75, 15},
};
constexpr int kElbowA = 4;
constexpr int kElbowB = 13;
constexpr int kElbowDefault = 15;

const CFigureModel::CHandle kHandles[] = {
    {1, 2, 10, 11, 0}, {0, 4, 11, 12, 0}, {3, -1, -1, 16, 0}, {6, -1, -1, 58, 0}, {7, -1, -1, 58, 0},
    {8, -1, -1, 59, 0}, {5, -1, -1, 61, 0}, {18, -1, -1, 10, 0}, {10, 11, 34, 35, 0}, {9, 13, 35, 36, 0},
    {12, -1, -1, 40, 0}, {15, -1, -1, 63, 0}, {16, -1, -1, 63, 0}, {17, -1, -1, 64, 0}, {14, -1, -1, 66, 0},
    {18, -1, -1, 34, 0}, {20, -1, -1, 6, 0}, {19, 20, 0, 8, 0}, {19, -1, -1, 8, 0}, {21, -1, -1, 8, 3230},
};

using CRow = CFigureModel::CRotationRow;
// First hand; the second hand's tables are built from these (parts + 24).
const CRow kRelaxed[] = {{13, 82.382f, 19.603f, 32.653f}, {14, -0.02f, -1.156f, 7.61f}, {15, 0, 0, 10.35f},
                         {17, 0, 9, 17}, {18, 0, 0, 7}, {19, 0, 0, 7}, {21, 0, 6, 19}, {22, 0, 0, 9},
                         {23, 0, 0, 9}, {25, 0, 3, 22}, {26, 0, 0, 12}, {27, 0, 0, 12}, {29, 0, 0, 25},
                         {30, 0, 0, 15}, {31, 0, 0, 15}, {-1, 0, 0, 0}};
const CRow kChoice1[] = {{13, 82, 25, 13}, {14, 0, 0, 10}, {15, 0, 0, 45}, {17, 0, 0, 90},
                         {18, 0, 0, 100}, {19, 0, 0, 45}, {-1, 0, 0, 0}};
const CRow kChoice2[] = {{13, 82, 10, 15}, {14, 0, 0, 10}, {15, 0, 0, 45}, {17, 0, 10, 5},
                         {18, 0, 0, 0}, {19, 0, 0, 0}, {-1, 0, 0, 0}};
const CRow kClosed[] = {{21, 0, 0, 90}, {25, 0, 0, 90}, {29, 0, 0, 90}, {22, 0, 0, 100}, {26, 0, 0, 100},
                        {30, 0, 0, 100}, {23, 0, 0, 45}, {27, 0, 0, 45}, {31, 0, 0, 45}, {-1, 0, 0, 0}};
// The rows of the second hand that differ from the first's.
const CRow kSecondHandRows[] = {{37, -82.382f, -19.603f, 32.653f}, {38, 0.02f, 1.156f, 7.61f},
                                {41, 0, -9, 17}, {45, 0, -6, 19}, {49, 0, -3, 22}};
const CRow kSecondChoiceRows[] = {{37, -82, -25, 13}, {37, -82, -10, 15}};

// A first-hand table moved to the second hand: parts + 24, with the rows
// given replacing those of their part.
std::vector<CRow> SecondHand(const CRow* rows, const CRow* replacements, size_t count)
{
    std::vector<CRow> out;
    for (; rows->part >= 0; ++rows) {
        CRow row = *rows;
        row.part += 24;
        for (size_t i = 0; i < count; ++i) {
            if (replacements[i].part == row.part)
                row = replacements[i];
        }
        out.push_back(row);
    }
    out.push_back({-1, 0, 0, 0});
    return out;
}

const int kPresets[3][CHumanFigure::kJointCount] = {
    {-45, 15, -45, 15, 75, 0, -5, 45, 45, 30, 15, 45, 0, 75, 0, -5, -15, 60, 0, 5, 0, 0},
    {30, 60, 30, 60, 15, 0, -5, -15, 60, -45, 15, -45, 15, 75, 0, -5, 45, 45, 0, 5, 0, 30},
    {-45, 15, -45, 15, 75, 0, -5, 45, 45, 30, 60, 30, 60, 15, 0, -5, -15, 60, 0, 5, 0, -30},
};
const int kPresetIds[] = {2440, 2441, 2442, 2443, 2000};

CFigureModel::CLayout& GetHumanLayout()
{
    static CFigureModel::CLayout layout;
    return layout;
}

}  // namespace

CHumanFigureSkin::CHumanFigureSkin()
    : CPackedModel(GetHumanVertices(), GetHumanFigureData().skinWeights, GetHumanFigureData().textureCoordinates,
                   GetHumanFigureData().corners)
{
    const CFigureData& data = GetHumanFigureData();
    for (int m = 0; m < data.materialCount; ++m)
        AddMaterial(m < 9 ? L"WomanBody.jpg" : m < 11 ? L"WomanHead.jpg" : L"WomanHair.jpg", data.materialCorners[m]);
    for (int i = 0; i < data.partCount; ++i) {
        const CFigurePartRow& row = data.parts[i];
        AddPackedPart(row.parent, row.weightedCount, {row.offset[0], row.offset[1], row.offset[2]},
                      {row.restAngles[0], row.restAngles[1], row.restAngles[2]}, "ZYX");
    }
}

CHumanFigure::CHumanFigure(CPackedModel* skin) : CFigureModel(GetHumanLayout())
{
    LayOutOnce(kJoints, kJointCount, kHandles, int(sizeof kHandles / sizeof kHandles[0]));
    SetAngle(kElbowA, kElbowDefault);
    SetAngle(kElbowB, kElbowDefault);
    if (skin)
        SetSkin(skin);
}

void CHumanFigure::OnSkinAttached()
{
    CTransform placement;
    placement.RotateZ(180.0f);
    placement.Scale(kSkinScale);
    GetSkin()->SetTransform(placement);
    m_handChangedA = m_handChangedB = true;
}

void CHumanFigure::SetPoseChoiceA(int choice)
{
    m_handA = choice;
    m_handChangedA = true;
    Update();
}

void CHumanFigure::SetPoseChoiceB(int choice)
{
    m_handB = choice;
    m_handChangedB = true;
    Update();
}

void CHumanFigure::CopyExtraPose(const CFigureModel& other)
{
    const CHumanFigure* human = dynamic_cast<const CHumanFigure*>(&other);
    if (!human) {
        ReportFailure();
        return;
    }
    SetPoseChoiceA(human->m_handA);
    SetPoseChoiceB(human->m_handB);
}

bool CHumanFigure::IsHandleShown(int handle, const float view[3]) const
{
    static const int fromRight[] = {8, 9, 10, 12, 13, 14, 15, 18, -1};
    static const int fromLeft[] = {0, 1, 2, 4, 5, 6, 7, 18, -1};
    static const int fromAbove[] = {0, 1, 2, 7, 8, 9, 10, 15, 17, 19, -1};
    static const int fromBelow[] = {0, 1, 2, 3, 6, 8, 9, 10, 11, 14, 16, 19, -1};
    return IsHandleListed(handle, view, 0.01f, fromRight, fromLeft, fromAbove, fromBelow);
}

const int* CHumanFigure::GetPresetIds() const
{
    return kPresetIds;
}

CFigureModel& CHumanFigure::GetPreset(int textId) const
{
    static CHumanFigureSkin* skin = new CHumanFigureSkin;
    static std::vector<std::unique_ptr<CHumanFigure>>* presets = [] {
        auto* list = new std::vector<std::unique_ptr<CHumanFigure>>;
        for (int id = kFirstPreset; id <= kLastPreset; ++id)
            list->push_back(std::make_unique<CHumanFigure>(skin));
        for (int i = 0; i < 3; ++i)
            (*list)[size_t(i) + 1]->SetAngles(kJointCount, kPresets[i]);
        return list;
    }();
    return *(*presets)[GetPresetIndex(textId, kFirstPreset, kLastPreset)];
}

void CHumanFigure::UpdateHand(bool second)
{
    bool& changed = second ? m_handChangedB : m_handChangedA;
    if (!changed)
        return;
    changed = false;
    int choice = second ? m_handB : m_handA;
    if (choice < 0 || choice > 2) {
        TRACE_VALUE(int32_t, choice);
        ReportFailure();
        choice = 0;
    }
    if (!second) {
        ApplyRotationTable(choice == 0 ? kRelaxed : choice == 1 ? kChoice1 : kChoice2);
        if (choice != 0)
            ApplyRotationTable(kClosed);
        return;
    }
    static const std::vector<CRow> relaxed = SecondHand(kRelaxed, kSecondHandRows, 5);
    static const std::vector<CRow> choice1 = SecondHand(kChoice1, &kSecondChoiceRows[0], 1);
    static const std::vector<CRow> choice2 = SecondHand(kChoice2, &kSecondChoiceRows[1], 1);
    static const std::vector<CRow> closed = SecondHand(kClosed, nullptr, 0);
    ApplyRotationTable(choice == 0 ? relaxed.data() : choice == 1 ? choice1.data() : choice2.data());
    if (choice != 0)
        ApplyRotationTable(closed.data());
}

void CHumanFigure::UpdateArm(bool second)
{
    const int first = second ? 9 : 0;
    if (!TakeChanged(first, first + 4))
        return;
    float a0 = float(GetAngle(first)), a1 = float(GetAngle(first + 1)), a2 = float(GetAngle(first + 2));
    float a3 = float(GetAngle(first + 3));
    const float a4 = float(GetAngle(first + 4));
    if (a4 == 0.0f) {
        // A straight elbow: the forearm takes two thirds of the turn.
        a0 = (a3 + a0) / 3.0f;
        a3 = 2.0f * a0;
    }
    CPackedModel& skin = *GetSkin();
    if (!second) {
        skin.GetPart(10).SetRotation(-a0, 75.0f - a1, -a2, CGroupNode::kAddedToRest);
        skin.GetPart(11).SetRotation(-a3 / 2.0f, 0.0f, -a4, CGroupNode::kFromRest);
        skin.GetPart(12).SetRotation(-a3 / 2.0f, 0.0f, 0.0f, CGroupNode::kAddedToRest);
    } else {
        skin.GetPart(34).SetRotation(a0, a1 - 75.0f, -a2, CGroupNode::kAddedToRest);
        skin.GetPart(35).SetRotation(a3 / 2.0f, 0.0f, -a4, CGroupNode::kFromRest);
        skin.GetPart(36).SetRotation(a3 / 2.0f, 0.0f, 0.0f, CGroupNode::kAddedToRest);
    }
}

void CHumanFigure::UpdateLeg(bool second)
{
    const int first = second ? 14 : 5;
    if (!TakeChanged(first, first + 3))
        return;
    const int hip = second ? 62 : 57;
    CPackedModel& skin = *GetSkin();
    const float turn = float(GetAngle(first)), sideways = float(GetAngle(first + 1));
    const float forward = float(GetAngle(first + 2)), knee = float(GetAngle(first + 3));
    skin.GetPart(hip + 1).SetRotation(0.0f, 0.0f, -knee, CGroupNode::kAddedToRest);
    skin.GetPart(hip).SetRotation(0.0f, second ? -sideways : sideways, forward, CGroupNode::kAfterRest, "YZ");
    // The turn about the leg's own line, from the hip to the ankle.
    CGroupNode& thigh = skin.GetPart(hip);
    const CVector3 ankle = CTransform(thigh.GetWorldTransform(), true)
                               .TransformPoint(skin.GetPart(hip + 2).GetWorldTransform().GetTranslation());
    CTransform local = thigh.GetLocalTransform();
    local.RotateAboutAxis(ankle, second ? turn : -turn);
    thigh.SetLocalTransform(local);
}

void CHumanFigure::Update()
{
    if (!GetSkin())
        return;
    UpdateHand(false);
    UpdateHand(true);
    UpdateArm(false);
    UpdateArm(true);
    UpdateLeg(false);
    UpdateLeg(true);
    CPackedModel& skin = *GetSkin();
    if (TakeChanged(19, 20))
        skin.GetPart(0).SetRotation(float(-GetAngle(20)), float(GetAngle(19)), 0.0f, CGroupNode::kAddedToRest);
    if (TakeChanged(18)) {
        for (int part = 5; part >= 2; --part)
            skin.GetPart(part).SetRotation(float(GetAngle(18)) / 4.0f, 0.0f, 0.0f, CGroupNode::kAddedToRest);
    }
    if (TakeChanged(21))
        skin.GetPart(7).SetRotation(float(GetAngle(21)), 0.0f, 0.0f, CGroupNode::kAddedToRest);
}

void CHumanFigure::Mirror()
{
    if (m_handA != m_handB) {
        std::swap(m_handA, m_handB);
        m_handChangedA = m_handChangedB = true;
    }
    for (int j = 0; j < 9; ++j)
        SwapAngles(j, j + 9);
    for (int joint : {18, 20, 21})
        NegateAngle(joint);
    Update();
}

int CHumanFigure::GetArmCode(bool second) const
{
    const int first = second ? 9 : 0;
    const int j0 = GetAngle(first), j1 = GetAngle(first + 1), j2 = GetAngle(first + 2);
    const int j4 = GetAngle(first + 4);
    const int s = j0 * j0 + j1 * j1 + j2 * j2;
    const int d0 = (j4 - 15) * (j4 - 15) + s;
    const int d1 = (j4 - 90) * (j4 - 90) + s;
    const int d2 = (j0 - 30) * (j0 - 30) + (j1 - 60) * (j1 - 60) + (j2 - 30) * (j2 - 30) + (j4 - 15) * (j4 - 15);
    if (d1 < d0 && d1 < d2)
        return 1;
    if (d2 < d0 && d2 < d1)
        return 2;
    return 0;
}

void CHumanFigure::ApplyArmCode(bool second, int code)
{
    const int first = second ? 9 : 0;
    if (code == 1) {
        SetAngle(first + 4, 90);
    } else if (code == 2) {
        (second ? m_handB : m_handA) = 2;
        (second ? m_handChangedB : m_handChangedA) = true;
        const int pose[4] = {30, 60, 30, 60};
        for (int i = 0; i < 4; ++i)
            SetAngle(first + i, pose[i]);
    }
}

void CHumanFigure::Serialize(CFieldStream& stream)
{
    if (stream.m_versionMajor > 4 || (stream.m_versionMajor == 4 && stream.m_versionMinor >= 0)) {
        int32_t a = m_handA, b = m_handB;
        stream.Int8(a);
        stream.Int8(b);
        if (stream.IsReading()) {
            // A choice beyond the three tables is damaged input.
            m_handA = a >= 0 && a <= 2 ? a : 0;
            m_handB = b >= 0 && b <= 2 ? b : 0;
            m_handChangedA = m_handChangedB = true;
        }
        CFigureModel::Serialize(stream);
        return;
    }
    int32_t codeA = GetArmCode(false), codeB = GetArmCode(true);
    stream.Int8(codeA);
    stream.Int8(codeB);
    if (!stream.IsReading())
        return;
    ApplyArmCode(false, codeA);
    ApplyArmCode(true, codeB);
    Update();
}
