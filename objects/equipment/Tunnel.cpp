#include "objects/equipment/Tunnel.h"

#include "course/Course.h"
#include "dialogs/LengthFormat.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/TunnelFlexibleGeometry.h"
#include "objects/equipment/TunnelPolylineGeometry.h"
#include "objects/equipment/TunnelRigidGeometry.h"

namespace {

// Parts of the tunnel's colour set.
constexpr int kFabricPart = 30;
constexpr int kHoopPart = 31;

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CTunnel::CTunnelType::CTunnelType() : CObjectType(kTypeId, kUnnamed, kUnnamed)
{
    SetNameId(kNameTextId);
    AddVariantName("Tunnel");
    for (int part : {kFabricPart, kHoopPart})
        GetPartColors().AddPart(part);
}

std::unique_ptr<CCourseObject> CTunnel::CTunnelType::CreateObject() const
{
    return std::make_unique<CTunnel>();
}

const CTunnel::CTunnelType& CTunnel::GetTunnelType()
{
    static const CTunnelType* type = new CTunnelType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CTunnel::CTunnel()
    : m_geometry(MakeGeometry(CTunnelGeometry::kRigid, *this)),
      m_secondStart(this, CPoint2(), CPoint2(-10000.0f, 0.0f), 0.0f),
      m_secondFar(this, CPoint2(), CPoint2(10000.0f, 0.0f), 0.0f),
      m_firstStart(this, CPoint2(), CPoint2(10000.0f, 0.0f), 0.0f),
      m_firstFar(this, CPoint2(), CPoint2(-10000.0f, 0.0f), 0.0f)
{
    for (CObstacleEnd* end : m_ends)
        RegisterEnd(end, true);
    UpdateEnds();
}

CTunnel::~CTunnel() = default;

std::unique_ptr<CTunnelGeometry> CTunnel::MakeGeometry(int kind, CCourseObject& owner)
{
    switch (kind) {
    case CTunnelGeometry::kFlexible:
        return std::make_unique<CTunnelFlexibleGeometry>(owner);
    case CTunnelGeometry::kRigid:
        return std::make_unique<CTunnelRigidGeometry>(owner);
    case CTunnelGeometry::kPolyline:
        return std::make_unique<CTunnelPolylineGeometry>(owner);
    default:
        return nullptr;
    }
}

void CTunnel::SetGeometryKind(int kind, bool convert)
{
    TRACE_VALUE(int32_t, kind);
    if (m_geometry->GetKind() == kind)
        return;
    std::unique_ptr<CTunnelGeometry> geometry = MakeGeometry(kind, *this);
    if (!geometry) {
        ReportFailure();
        return;
    }
    if (convert && m_geometry->GetKind() == CTunnelGeometry::kPolyline) {
        // A body leaves the tunnel's origin along +x: a line that starts
        // elsewhere or the other way (read so, or flipped) is anchored at its
        // start first, so that the body lies where the line did.
        CTunnelPolylineGeometry& line = static_cast<CTunnelPolylineGeometry&>(*m_geometry);
        if (line.GetStartFrame() != CTransform())
            line.Reanchor();
    }
    if (convert)
        geometry->ConvertFrom(*m_geometry);
    m_geometry = std::move(geometry);
    UpdateEnds();
}

std::wstring CTunnel::GetSizeText() const
{
    const bool metric = GetCourse() != nullptr && GetCourse()->IsMetric();
    return GetStringWithArg(2040, FormatLength(m_geometry->GetNominalLength(), GetSizeUnitKind(metric), true));
}

void CTunnel::Flip()
{
    m_geometry->Flip();
    UpdateEnds();
}

int CTunnel::MoveHandle(int handle, float x, float y)
{
    const int dragged = m_geometry->MoveHandle(handle, x, y);
    UpdateEnds();
    return dragged;
}

void CTunnel::ResetShape()
{
    m_geometry->ResetShape();
    UpdateEnds();
}

const CObstacleEnd* CTunnel::FindMirroredEnd(const CObstacleEnd* end, bool& reversed) const
{
    reversed = false;
    return end;
}

void CTunnel::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    if (m_geometry->GetKind() != CTunnelGeometry::kFlexible)
        m_geometry = MakeGeometry(CTunnelGeometry::kFlexible, *this);
    m_geometry->ApplyVariant(words);
    UpdateEnds();
}

void CTunnel::Serialize(CFieldStream& stream)
{
    if (stream.m_versionMajor < 4) {
        if (!stream.IsReading()) {
            if (m_geometry->GetKind() == CTunnelGeometry::kPolyline) {
                m_geometry->Serialize(stream);
            } else {
                CTunnelPolylineGeometry line(*this);
                line.ConvertFrom(*m_geometry);
                line.Serialize(stream);
            }
            return;
        }
        int32_t length = 0;
        int32_t angle = 0;
        stream.Int16(length);
        stream.Int16(angle);
        SetGeometryKind(angle < 0 ? CTunnelGeometry::kPolyline : CTunnelGeometry::kRigid, false);
        m_geometry->SetLegacyValues(length, angle);
        m_geometry->Serialize(stream);
        UpdateEnds();
        return;
    }

    if (!stream.IsReading()) {
        if (m_geometry->GetKind() == CTunnelGeometry::kFlexible) {
            m_geometry->Serialize(stream);
        } else if (m_geometry->GetKind() == CTunnelGeometry::kPolyline) {
            static_cast<CTunnelPolylineGeometry&>(*m_geometry).GetFittedBody().Serialize(stream);
        } else {
            CTunnelFlexibleGeometry body(*this);
            body.ConvertFrom(*m_geometry);
            body.Serialize(stream);
        }
        int32_t kind = m_geometry->GetKind();
        stream.Int8(kind);
        if (kind == CTunnelGeometry::kPolyline)
            m_geometry->Serialize(stream);
        return;
    }
    // The body comes first, as a flexible geometry reads it; the kind after
    // it says what the tunnel is. The geometry the tunnel had (a new
    // tunnel's rigid one) serves again for a record of its kind.
    std::unique_ptr<CTunnelGeometry> previous;
    if (m_geometry->GetKind() != CTunnelGeometry::kFlexible) {
        previous = std::move(m_geometry);
        m_geometry = MakeGeometry(CTunnelGeometry::kFlexible, *this);
    }
    m_geometry->Serialize(stream);
    int32_t kind = 0;
    stream.Int8(kind);
    if (kind == CTunnelGeometry::kPolyline) {
        // The line's own points follow: the body just read gives it the
        // length and the diameter, which the line does not store, and is
        // the body fitted to it.
        std::unique_ptr<CTunnelGeometry> body = std::move(m_geometry);
        m_geometry = MakeGeometry(kind, *this);
        m_geometry->SetNominalLength(body->GetNominalLength());
        m_geometry->SetDiameter(body->GetDiameter());
        CTunnelPolylineGeometry& line = static_cast<CTunnelPolylineGeometry&>(*m_geometry);
        line.AdoptFittedBody(std::unique_ptr<CTunnelFlexibleGeometry>(static_cast<CTunnelFlexibleGeometry*>(body.release())));
        line.Serialize(stream);
    } else if (kind == CTunnelGeometry::kRigid) {
        // The bend of the body just read; the ends follow once, below.
        std::unique_ptr<CTunnelGeometry> rigid = previous && previous->GetKind() == CTunnelGeometry::kRigid
                                                     ? std::move(previous)
                                                     : MakeGeometry(kind, *this);
        rigid->ConvertFrom(*m_geometry);
        m_geometry = std::move(rigid);
    } else if (kind != CTunnelGeometry::kFlexible) {
        // A kind no tunnel has comes from a damaged file: the flexible body
        // just read stays.
        TRACE_VALUE(int32_t, kind);
    }
    UpdateEnds();
}

void CTunnel::ToDialog(CEditSession& dialog)
{
    CTunnelPropertiesDlg* tunnelDialog = GetKindDialog<CTunnelPropertiesDlg>(dialog);
    if (tunnelDialog == nullptr)
        return;
    tunnelDialog->MergeStyle(m_geometry->GetKind());
    tunnelDialog->MergeLength(m_geometry->GetNominalLength());
    tunnelDialog->MergeDiameter(m_geometry->GetDiameter());
    m_geometry->ToDialog(*tunnelDialog);
}

void CTunnel::FromDialog(CEditSession& dialog)
{
    CTunnelPropertiesDlg* tunnelDialog = GetKindDialog<CTunnelPropertiesDlg>(dialog);
    if (tunnelDialog == nullptr)
        return;
    if (!tunnelDialog->IsStyleMixed())
        SetGeometryKind(tunnelDialog->GetStyle(), true);
    m_geometry->FromDialog(*tunnelDialog);
    UpdateEnds();
}

void CTunnel::UpdateEnds()
{
    m_secondStart.point = CPoint2();
    m_secondStart.direction = CPoint2(-10000.0f, 0.0f);
    m_firstStart.point = CPoint2();
    m_firstStart.direction = CPoint2(10000.0f, 0.0f);
    CPoint2 farPoint;
    CPoint2 farDirection(10000.0f, 0.0f);
    m_geometry->GetFarEnd(farPoint, farDirection);
    m_secondFar.point = farPoint;
    m_secondFar.direction = farDirection;
    m_firstFar.point = farPoint;
    m_firstFar.direction = CPoint2() - farDirection;
}
