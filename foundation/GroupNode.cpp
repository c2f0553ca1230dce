#include "foundation/GroupNode.h"

#include "foundation/TracePoint.h"

CGroupNode::CGroupNode(CGroupNodeOwner& owner, CGroupNode* parent, int partNumber, const CVector3& position,
                       const CVector3& restAngles, const char* axisOrder)
    : m_owner(owner), m_parent(parent), m_partNumber(partNumber), m_restAngles(restAngles),
      m_axisOrder(axisOrder ? axisOrder : "XYZ")
{
    if (m_parent)
        m_parent->m_children.push_back(this);
    m_rest.SetTranslationVector(position);
    SetRotation(restAngles.x, restAngles.y, restAngles.z, kFromRest);
    m_rest = m_local;
    m_world.SetProduct(GetParentWorld(), m_local);
    m_worldValid = true;
    m_initialWorld = m_world;
}

const CTransform& CGroupNode::GetParentWorld()
{
    return m_parent ? m_parent->GetWorldTransform() : m_owner.GetBaseTransform();
}

const CTransform& CGroupNode::GetWorldTransform()
{
    if (!m_worldValid) {
        m_world.SetProduct(GetParentWorld(), m_local);
        m_worldValid = true;
    }
    return m_world;
}

void CGroupNode::SetLocalTransform(const CTransform& transform)
{
    m_local = transform;
    Invalidate();
    m_owner.InvalidateGeometry();
}

void CGroupNode::SetRotation(float x, float y, float z, int mode, const char* axisOrder)
{
    CTransform initial = m_initialWorld;
    initial.ClearTranslation();
    if (mode == kInitialAxes) {
        m_local.SetProduct(m_rest, CTransform(initial, true));
    } else {
        m_local = m_rest;
        if (mode == kAddedToRest || mode == kFromRest)
            m_local.ResetRotation();
        if (mode == kAddedToRest) {
            x += m_restAngles.x;
            y += m_restAngles.y;
            z += m_restAngles.z;
        }
    }
    for (const char* letter = axisOrder ? axisOrder : m_axisOrder.c_str(); *letter; ++letter) {
        if (*letter == 'X' && x != 0.0f)
            m_local.RotateX(x);
        else if (*letter == 'Y' && y != 0.0f)
            m_local.RotateY(y);
        else if (*letter == 'Z' && z != 0.0f)
            m_local.RotateZ(z);
    }
    if (mode == kInitialAxes)
        m_local.Multiply(initial);
    Invalidate();
    m_owner.InvalidateGeometry();
}

void CGroupNode::Invalidate()
{
    if (!m_worldValid)
        return;
    m_worldValid = false;
    for (CGroupNode* child : m_children)
        child->Invalidate();
}
