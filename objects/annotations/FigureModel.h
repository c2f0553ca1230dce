#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/BlockPool.h"
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
// their poses need no mesh until they are. What every model of a kind
// shares (the joints' ranges, the handles) lies in that kind's fixed
// layout; a model holds only its angles.
class CFigureModel
{
public:
    // A joint's range and grid, with one model's angle and whether it
    // changed since the skin last took it.
    struct CJoint
    {
        int minimum = 0;
        int maximum = 0;
        int step = 1;
        int value = 0;
        bool changed = true;
    };
    struct CJointRange
    {
        int minimum;
        int maximum;
        int step;
    };
    struct CHandle
    {
        int firstAngle;
        int secondAngle;
        int pivotPart;
        int part;
        // The skin vertex the handle sits on (from 1; 0 the part's origin).
        int vertex;
    };
    // The joints and handles every model of a kind shares, laid out once
    // by the kind's first model (AddJoint, AddHandle).
    struct CLayout
    {
        std::vector<CJointRange> joints;
        std::vector<CHandle> handles;
    };
    // A row of a fixed rotation table: the part's rotation from rest.
    struct CRotationRow
    {
        int part;
        float x, y, z;
    };

    // Models are made by the thousand as a course is read.
    static void* operator new(size_t size) { return CBlockPool::Shared().Allocate(size); }
    static void operator delete(void* block, size_t size) { CBlockPool::Shared().Free(block, size); }

    static constexpr int kMaxJoints = 24;

    // The layout must outlive the model (a kind's static one).
    explicit CFigureModel(CLayout& layout);
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

    // Lay out the kind's joints and handles; the kind's first model calls
    // them while its layout is empty. Each answers the new number.
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

    int GetJointCount() const;
    CJoint GetJoint(int joint) const;
    int GetHandleCount() const { return int(m_layout.handles.size()); }
    const CHandle& GetHandle(int handle) const { return m_layout.handles[handle]; }
    CPackedModel* GetSkin() const { return m_skin; }

    // The nearest value of the joint's range on its grid; not a finite
    // number gives 0.
    int LimitAngle(int joint, float value) const;
    // The same for a whole number, without floating point.
    int LimitWholeAngle(int joint, int value) const;

protected:
    // Compares a declared number with the one expected; a mismatch is the
    // program's own fault.
    static void CheckNumber(int declared, int expected);
    // The kind's first model lays out the kind's joints and handles from
    // its tables; later models find them laid out.
    void LayOutOnce(const CJointRange* joints, int jointCount, const CHandle* handles, int handleCount);
    // Which of the four lists (handle numbers ending in -1) a figure shows
    // its handles from: right or left when the eye lies beyond `side` that
    // way, else from above or below; whether the handle is in it.
    static bool IsHandleListed(int handle, const float view[3], float side, const int* fromRight,
                               const int* fromLeft, const int* fromAbove, const int* fromBelow);
    // The index of a preset's text id among first..last; an id outside is
    // the program's own fault and gives the first.
    static size_t GetPresetIndex(int textId, int first, int last);
    // A new skin takes the figure's fixed placement and pose state.
    virtual void OnSkinAttached() {}

private:
    void DragOneAngle(const CHandle& handle, float x, float y, const CCamera& camera, const CTransform& placement);
    void DragTwoAngles(const CHandle& handle, float x, float y, const CCamera& camera, const CTransform& placement);

    CLayout& m_layout;
    CPackedModel* m_skin = nullptr;
    int m_values[kMaxJoints] = {};
    // Bit j: joint j changed since the skin took it.
    uint32_t m_changed = ~0u;
    // The handles' points in their parts' own frames: made when a skin is
    // attached, as the handles are dragged only on a skin.
    std::unique_ptr<CVector3[]> m_handlePoints;
};
