#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Geometry.h"

class CCamera;
class CFieldStream;
class CPackedModel;
class CTransform;

// The pose of a dog or handler figure: a fixed list of joint angles (whole
// degrees, each within its range and on its step grid) that the derived
// figure turns into rotations of the parts of its skin, and pose handles
// that the figure dialogs' previews drag. The skin is not owned; models
// that share one must not be updated in turns. A model may wait for its
// skin: a course holds figures by the thousand that are never drawn, and
// their poses need no mesh until they are.
class CFigureModel
{
public:
    struct CJoint
    {
        int minimum = 0;
        int maximum = 0;
        int step = 1;
        int value = 0;
        bool changed = true;
    };
    struct CHandle
    {
        int firstAngle = 0;
        int secondAngle = -1;
        int pivotPart = -1;
        int part = 0;
        // The skin vertex named at creation (from 1; 0 the part's origin).
        int vertex = 0;
        CVector3 localPoint;
    };
    // A row of a fixed rotation table: the part's rotation from rest.
    struct CRotationRow
    {
        int part;
        float x, y, z;
    };

    explicit CFigureModel(CPackedModel* skin);
    // Puts the model on a skin (or none) and applies the whole pose to it.
    void SetSkin(CPackedModel* skin);
    virtual ~CFigureModel();
    CFigureModel(const CFigureModel&) = delete;
    CFigureModel& operator=(const CFigureModel&) = delete;

    // One 8-bit field per joint. A value read out of its joint's range or
    // off its grid is damaged input: it takes the nearest value on the grid.
    virtual void Serialize(CFieldStream& stream);
    // Pose state that is no joint angle, from a model of the same kind.
    virtual void CopyExtraPose(const CFigureModel& other);
    virtual bool QueryFlag(int index) const;
    // Whether a preview looking along the direction (not unit) offers it.
    virtual bool IsHandleShown(int handle, const float view[3]) const;
    // The preset names' text ids, ended by 2000.
    virtual const int* GetPresetIds() const = 0;
    // The shared model of a preset.
    virtual CFigureModel& GetPreset(int textId) const = 0;
    // Applies the changed joints to the skin and clears their flags.
    virtual void Update() = 0;
    // The pose seen in a mirror (the figure's Flip).
    virtual void Mirror() = 0;

    int AddJoint(int minimum, int maximum, int step);
    int AddHandle(int angle, int part, int vertex);
    int AddHandle(int firstAngle, int secondAngle, int pivotPart, int part, int vertex);

    void SetAngle(int joint, int value);
    int GetAngle(int joint) const;
    // The program's own callers pass exactly one value per joint: more are
    // reported and the extra ones dropped, fewer are reported and set.
    void SetAngles(int count, const int* values);
    void NegateAngle(int joint);
    void SwapAngles(int jointA, int jointB);
    // Whether any joint of first..last (last < 0: first alone) changed; the
    // flags of the range are cleared.
    bool TakeChanged(int first, int last = -1);
    void CopyPose(const CFigureModel& other);
    bool IsSamePose(const CFigureModel& other) const;
    void ApplyRotationTable(const CRotationRow* rows);

    // The handle point in skin coordinates, for the pose last applied.
    void GetHandlePoint(int handle, CVector3& point) const;
    float HandleDistance(int handle, float x, float y, const CCamera& camera, const CTransform& placement,
                         CVector3* point);
    void DragHandle(int handle, float mouseX, float mouseY, const CCamera& camera, const CTransform& placement);

    int GetJointCount() const { return int(m_joints.size()); }
    const CJoint& GetJoint(int joint) const { return m_joints[size_t(joint)]; }
    int GetHandleCount() const { return int(m_handles.size()); }
    const CHandle& GetHandle(int handle) const { return m_handles[size_t(handle)]; }
    CPackedModel* GetSkin() const { return m_skin; }

    // The nearest value of the joint's range on its grid; not a finite
    // number gives 0.
    int LimitAngle(int joint, float value) const;

protected:
    // Compares a declared number with the one expected; a mismatch is the
    // program's own fault.
    static void CheckNumber(int declared, int expected);
    // Which of the four lists (handle numbers ending in -1) a figure shows
    // its handles from: right or left when the eye lies beyond `side` that
    // way, else from above or below; whether the handle is in it.
    static bool IsHandleListed(int handle, const float view[3], float side, const int* fromRight,
                               const int* fromLeft, const int* fromAbove, const int* fromBelow);
    // The index of a preset's text id among first..last; an id outside is
    // the program's own fault and gives the first.
    static size_t GetPresetIndex(int textId, int first, int last);
    void Reserve(int joints, int handles);
    // A new skin takes the figure's fixed placement and pose state.
    virtual void OnSkinAttached() {}

private:
    void DragOneAngle(const CHandle& handle, float x, float y, const CCamera& camera, const CTransform& placement);
    void DragTwoAngles(const CHandle& handle, float x, float y, const CCamera& camera, const CTransform& placement);

    CPackedModel* m_skin;
    std::vector<CJoint> m_joints;
    std::vector<CHandle> m_handles;
};
