#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "objects/equipment/ObstacleEnd.h"
#include "objects/equipment/TunnelGeometry.h"

// The open (pipe) tunnel. Its body is one replaceable geometry of three
// kinds (see CTunnelGeometry), to which it forwards drawing, ends, anchors,
// handle editing, flipping and the dialog's values; its own work is choosing
// and converting the kind, framing the record and keeping four obstacle
// ends: a second and a first end at each mouth, so it can be run either way.
//
// Record, version 4: the body as a flexible geometry (converted when the
// kind is another), the kind as an Int8, and for a polyline its points.
// Version 3: the body as a polyline (length, -1, points); a record whose
// second value is not negative is a rigid tunnel of that bend.
class CTunnel : public CCourseObject
{
public:
    // The tunnel's descriptor: type 340, named and grouped by text 2600, key
    // name "Tunnel", parts fabric (30) and hoop bands (31); a new tunnel
    // opens its dialog unless the user chose otherwise.
    class CTunnelType : public CObjectType
    {
    public:
        CTunnelType();
        std::unique_ptr<CCourseObject> CreateObject() const override;
        bool GetEditOnCreateDefault() const override { return true; }
    };

    // The one descriptor, built on first use and kept until exit.
    static const CTunnelType& GetTunnelType();

    // A rigid tunnel without sections: a dialog, a conversion or a record
    // gives it its shape.
    CTunnel();
    ~CTunnel() override;

    int GetCategoryFor(int endIndex) const override { return m_geometry->GetCategoryFor(endIndex); }
    int GetCategory() const override { return m_geometry->GetCategory(); }
    // The centre of the bounds (GetBoundsCentre), rounded: the routine the
    // path objects take their position from as well.
    CPoint2 GetPosition() const override { return GetBoundsCentre(); }
    int GetLayer() const override { return 3; }
    // The length of the body's centre line.
    float GetPathLength(const CPoint2& a, const CPoint2& b) const override { return m_geometry->GetLength(); }
    int GetEndCount() const override { return m_geometry->GetEndCount(); }
    void GetEnd(CPoint2& point, int index) const override { m_geometry->GetEnd(point, index); }
    int GetAnchorCount() const override { return 2; }
    void GetAnchor(CPoint2& point, int index) const override { m_geometry->GetAnchor(point, index); }
    // "<length> long" (text 2040), the tunnel's own length (its fabric's,
    // which bending does not change) in feet and inches, or in centimetres
    // on a metric course.
    std::wstring GetSizeText() const override;
    // Flipping, dragging and resetting move the far ends with the body.
    void Flip() override;
    // A body turns by half a turn as it flips; a line keeps its placement.
    bool TurnsWhenFlipped() const override { return true; }
    // Each end is its own mirror.
    const CObstacleEnd* FindMirroredEnd(const CObstacleEnd* end, bool& reversed) const override;
    void StartHandleMove(int handle) override { m_geometry->StartHandleMove(handle); }
    void EndHandleMove() override { m_geometry->EndHandleMove(); }
    int MoveHandle(int handle, float x, float y) override;
    void ResetShape() override;
    // A legacy tunnel is always flexible.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    void Serialize(CFieldStream& stream) override;
    // Style (the kind), length and diameter, then the kind's own values.
    void ToDialog(CEditSession& dialog) override;
    // Switches to the dialog's style (converting the shape) unless it is
    // mixed, then lets the body take the values that are not mixed.
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override { m_geometry->Draw2D(context); }
    void Build3D(CGraphicsContext& context) override { m_geometry->Build3D(context); }
    // Ends 0 (second) and 2 (first) at the start, 1 (second) and 3 (first)
    // at the far mouth.
    void UpdateEnds() override;
    float GetMirrorAngle() const override { return 0.0f; }

    // Replaces the body by one of the kind (0, 1 or 2), taking over the
    // shape when asked; the same kind keeps the body as it is. Another kind
    // is reported and keeps the body.
    void SetGeometryKind(int kind, bool convert);
    CTunnelGeometry& GetGeometry() const { return *m_geometry; }
    const CObstacleEnd& GetObstacleEnd(int index) const { return *m_ends[index]; }

    static constexpr int kTypeId = 340;
    static constexpr int kNameTextId = 2600;

private:
    static std::unique_ptr<CTunnelGeometry> MakeGeometry(int kind, CCourseObject& owner);

    std::unique_ptr<CTunnelGeometry> m_geometry;
    CSecondObstacleEnd m_secondStart;
    CSecondObstacleEnd m_secondFar;
    CFirstObstacleEnd m_firstStart;
    CFirstObstacleEnd m_firstFar;
    CObstacleEnd* const m_ends[4] = {&m_secondStart, &m_secondFar, &m_firstStart, &m_firstFar};
};
