#include "objects/equipment/TunnelRigidGeometry.h"

#include <cmath>

#include "course/CourseObject.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/TunnelFlexibleGeometry.h"
#include "objects/equipment/TunnelPolylineGeometry.h"

void CTunnelRigidGeometry::ToDialog(CTunnelPropertiesDlg& dialog)
{
    if (!m_sections.empty())
        dialog.MergeAngle(int(GetUserAngle()));
}

float CTunnelRigidGeometry::GetUserAngle() const
{
    return m_sections.empty() ? 0.0f : std::trunc(-m_sections.front().angle);
}

void CTunnelRigidGeometry::FromDialog(CTunnelPropertiesDlg& dialog)
{
    TRACE_POINT();
    if (dialog.HasLength())
        m_length = dialog.GetLength();
    if (dialog.HasDiameter())
        SetDiameter(dialog.GetDiameter());
    if (!m_sections.empty()) {
        // The placement moves to the middle of the present bend, so that the
        // new bend is laid out about the same middle.
        const CTunnelSection& current = m_sections.front();
        CTransform placement = m_owner.GetPlacement();
        const CPoint2 middle = placement.TransformPoint2D(current.GetChord(0.5f));
        placement.SetPosition2D(RoundHalfUp(middle.x), RoundHalfUp(middle.y));
        placement.SetRotationZ(-std::floor(current.angle * 0.5f - placement.GetRotation() + 0.5f));
        m_owner.SetPlacement(placement);
    }
    SetBend(dialog.HasAngle() ? float(dialog.GetAngle()) : GetUserAngle(), true);
}

void CTunnelRigidGeometry::SetBend(float angle, bool recentre)
{
    const float largest = std::floor(GetLargestAngle(m_length));
    angle = Clamp(angle, -largest, largest);
    m_sections.clear();
    m_sections.push_back(MakeSection(-angle, m_length));
    // The shape is complete before the placement tells the course, which
    // may measure its drawing at once.
    InvalidateOutline();
    if (recentre) {
        CTransform placement = m_owner.GetPlacement();
        const CPoint2 start = placement.TransformPoint2D(m_sections.front().GetChord(-0.5f));
        placement.SetPosition2D(RoundHalfUp(start.x), RoundHalfUp(start.y));
        placement.SetRotationZ(-std::floor(angle * 0.5f - placement.GetRotation() + 0.5f));
        m_owner.SetPlacement(placement);
    }
}

void CTunnelRigidGeometry::StartHandleMove(int handle)
{
    TRACE_VALUE(int32_t, handle);
    ReportFailure();
}

void CTunnelRigidGeometry::EndHandleMove()
{
    TRACE_POINT();
    ReportFailure();
}

int CTunnelRigidGeometry::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    ReportFailure();
    return handle;
}

void CTunnelRigidGeometry::Serialize(CFieldStream& stream)
{
    if (stream.m_versionMajor > 3) {
        TRACE_VALUE(int32_t, stream.m_versionMajor);
        ReportFailure();
    }
    if (!stream.IsReading()) {
        TRACE_POINT();
        ReportFailure();
        return;
    }
    TakeLegacyLength();
    SetDiameter(240.0f);
    SetBend(float(GetLegacyAngle()), true);
}

void CTunnelRigidGeometry::ConvertFrom(const CTunnelGeometry& other)
{
    TRACE_VALUE(int32_t, int32_t(other.GetKind()));
    m_length = other.GetNominalLength();
    SetDiameter(other.GetDiameter());
    float bend = 0.0f;
    switch (other.GetKind()) {
    case kFlexible:
        for (const CTunnelSection& section : static_cast<const CTunnelBodyGeometry&>(other).GetSections())
            bend -= section.angle;
        break;
    case kPolyline: {
        // The line's bends through the sections fitted to it.
        for (const CTunnelSection& section :
             static_cast<const CTunnelPolylineGeometry&>(other).GetFittedBody().GetSections())
            bend -= section.angle;
        break;
    }
    default:
        InvalidateOutline();
        return;
    }
    SetBend(std::trunc(bend), false);
}
