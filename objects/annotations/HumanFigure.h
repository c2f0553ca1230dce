#pragma once

#include "graphics/PackedModel.h"
#include "objects/annotations/FigureModel.h"

// The handler's textured, articulated mesh: 67 parts in metres, twelve
// materials on the body, head and hair textures.
class CHumanFigureSkin : public CPackedModel
{
public:
    CHumanFigureSkin();
};

// The handler's pose: 22 joints, 20 handles, a finger table per hand (0
// relaxed, 1 and 2 closed ways) and four presets. Older archives keep only
// a coarse code per arm.
class CHumanFigure : public CFigureModel
{
public:
    explicit CHumanFigure(CPackedModel* skin);

    void Serialize(CFieldStream& stream) override;
    void CopyExtraPose(const CFigureModel& other) override;
    bool IsHandleShown(int handle, const float view[3]) const override;
    const int* GetPresetIds() const override;
    CFigureModel& GetPreset(int textId) const override;
    void Update() override;
    void Mirror() override;

    void SetPoseChoiceA(int choice);
    void SetPoseChoiceB(int choice);
    int GetPoseChoiceA() const { return m_handA; }
    int GetPoseChoiceB() const { return m_handB; }

    static constexpr int kJointCount = 22;
    static constexpr int kFirstPreset = 2440;
    static constexpr int kLastPreset = 2443;
    static constexpr float kSkinScale = 377.31467f;

protected:
    void OnSkinAttached() override;

private:
    void UpdateHand(bool second);
    void UpdateArm(bool second);
    void UpdateLeg(bool second);
    // The arm code of the older format: which reference pose is nearest.
    int GetArmCode(bool second) const;
    void ApplyArmCode(bool second, int code);

    int m_handA = 0;
    int m_handB = 0;
    bool m_handChangedA = true;
    bool m_handChangedB = true;
};
