#pragma once

#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Transform.h"

// What a tree of group nodes asks of the model that owns it: the transform
// that places its roots, and a flag to clear when a node turns (the model's
// skinned geometry is then rebuilt).
class CGroupNodeOwner
{
public:
    virtual const CTransform& GetBaseTransform() const = 0;
    virtual void InvalidateGeometry() = 0;

protected:
    ~CGroupNodeOwner() = default;
};

// One joint of an articulated model: a rest pose (position in the parent's
// frame and rest angles in degrees, applied in the node's axis order), the
// local transform that posing changes and a cached world transform, rebuilt
// on demand after any change above it. Nodes are owned by their model and
// neither copied nor moved; children are listed in creation order.
class CGroupNode
{
public:
    // Rotation modes of SetRotation.
    enum ERotationMode
    {
        kAddedToRest = 0,     // the rest angles plus the given ones
        kFromRest = 1,        // absolute angles from the rest position
        kAfterRest = 2,       // the rest rotation, then the given turns
        kInitialAxes = 3,     // turns about the axes of the first world placement
    };

    CGroupNode(CGroupNodeOwner& owner, CGroupNode* parent, int partNumber, const CVector3& position,
               const CVector3& restAngles, const char* axisOrder);
    CGroupNode(const CGroupNode&) = delete;
    CGroupNode& operator=(const CGroupNode&) = delete;

    const CTransform& GetWorldTransform();
    void SetLocalTransform(const CTransform& transform);
    // Each letter of the order ("X", "Y", "Z"; none: the node's own) turns
    // by its angle in the node's own frame; an angle of exactly 0 is skipped.
    void SetRotation(float x, float y, float z, int mode, const char* axisOrder = nullptr);
    // Marks this world transform and every one below it stale.
    void Invalidate();

    CGroupNode* GetParent() const { return m_parent; }
    int GetPartNumber() const { return m_partNumber; }
    const CTransform& GetLocalTransform() const { return m_local; }
    const CTransform& GetRestTransform() const { return m_rest; }
    const CTransform& GetInitialWorldTransform() const { return m_initialWorld; }
    const CVector3& GetRestAngles() const { return m_restAngles; }
    const std::vector<CGroupNode*>& GetChildren() const { return m_children; }

private:
    const CTransform& GetParentWorld();

    CGroupNodeOwner& m_owner;
    CGroupNode* m_parent;
    int m_partNumber;
    CVector3 m_restAngles;
    std::string m_axisOrder;
    CTransform m_local;
    CTransform m_rest;
    CTransform m_world;
    bool m_worldValid = false;
    CTransform m_initialWorld;
    std::vector<CGroupNode*> m_children;
};
