#pragma once

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <vector>

#include "foundation/BlockPool.h"
#include "foundation/Curve.h"
#include "foundation/Geometry.h"

class CCourseObject;
class CFieldStream;
class CGraphicsContext;
class CTunnelPropertiesDlg;

// The points of a line, or of samples along one, in one block of the shared
// pool: lines are read and thrown away by the thousand, and the system heap
// under Wine makes each block of theirs cost more than reading it.
using CTunnelPoints = std::vector<CPoint2, CPoolAllocator<CPoint2>>;

// The body of a tunnel: the tunnel object owns exactly one geometry and
// forwards to it everything that depends on its shape. Coordinates are the
// tunnel's own, in tenths of an inch: the tunnel starts at the origin
// heading along +x. Three kinds exist, and every one can take over the shape
// of the others (ConvertFrom):
//   kFlexible  sections bent at joints that the user drags (handles 1 to n);
//   kRigid     one section bent by a whole angle set in the dialog;
//   kPolyline  a smooth line through points that the user drags one by one.
//
// A geometry never outlives its tunnel (the owner), whose placement it may
// change and whose colours it draws with.
class CTunnelGeometry
{
public:
    // Stored numbers, also the tunnel dialog's style.
    enum EKind : int32_t
    {
        kFlexible = 0,
        kRigid = 1,
        kPolyline = 2,
    };

    explicit CTunnelGeometry(CCourseObject& owner) : m_owner(owner) {}
    // Geometries take their memory from the shared block pool, as their
    // tunnels do: a course's tunnels are read, and thrown away again, by the
    // thousand, and every record read makes one or two.
    static void* operator new(size_t size) { return CBlockPool::Shared().Allocate(size); }
    static void operator delete(void* block, size_t size) { CBlockPool::Shared().Free(block, size); }
    CTunnelGeometry(const CTunnelGeometry&) = delete;
    CTunnelGeometry& operator=(const CTunnelGeometry&) = delete;
    virtual ~CTunnelGeometry() = default;

    // ---- Operations, in their fixed order -------------------------------
    // The marker kind the course draws at an end while the tunnel alone is
    // selected: 2 an octagon (turns the tunnel), 3 a diamond (a handle).
    virtual int GetCategoryFor(int endIndex) const = 0;
    virtual int GetCategory() const = 0;
    // The kind's own values: the angle or the number of sections.
    virtual void ToDialog(CTunnelPropertiesDlg& dialog) = 0;
    virtual void FromDialog(CTunnelPropertiesDlg& dialog) = 0;
    // Mirrors the tunnel across its own y axis.
    virtual void Flip() = 0;
    virtual void StartHandleMove(int handle) = 0;
    virtual void EndHandleMove() = 0;
    // The handle is dragged to the course point (x, y); returns the handle
    // dragged from now on.
    virtual int MoveHandle(int handle, float x, float y) = 0;
    virtual void ResetShape() = 0;
    // The parameters of a legacy course line; a kind without any reports.
    virtual void ApplyVariant(std::istream& words);
    virtual void Serialize(CFieldStream& stream) = 0;
    virtual void Draw2D(CGraphicsContext& context) = 0;
    virtual void Build3D(CGraphicsContext& context) = 0;
    virtual int GetEndCount() const = 0;
    // An index out of range is reported and leaves the point as it was.
    virtual void GetEnd(CPoint2& point, int index) const = 0;
    // Anchor 0 is the start, any other the far end.
    virtual void GetAnchor(CPoint2& point, int index) const = 0;
    // The far mouth and the direction out of it (10000 long for bodies).
    virtual void GetFarEnd(CPoint2& point, CPoint2& direction) const = 0;
    virtual void ConvertFrom(const CTunnelGeometry& other) = 0;
    virtual EKind GetKind() const = 0;
    // The length along the tunnel's centre line.
    virtual float GetLength() const = 0;

    // ---- Plain operations -------------------------------------------------
    // The nominal length of the fabric.
    float GetNominalLength() const { return m_length; }
    void SetNominalLength(float length) { m_length = length; }
    float GetDiameter() const { return m_diameter; }
    // A diameter below kMinDiameter (0 from a damaged file) or not a number
    // is taken as kMinDiameter: the outline offsets and the hoop spacing
    // divide by it.
    virtual void SetDiameter(float diameter);
    // Whether a shape derived from the kind's own values is held: the hoops,
    // the outline, or the body fitted to a line. Each is built when first
    // needed (drawn, measured, picked, converted, built in 3D, written),
    // never while a record is read; a line may take its body from its record.
    virtual bool IsShapeBuilt() const = 0;

    // The two values of a record older than version 4: the length and the
    // bend angle (negative for a polyline).
    int32_t GetLegacyLength() const { return m_legacyLength; }
    int32_t GetLegacyAngle() const { return m_legacyAngle; }
    void SetLegacyValues(int32_t length, int32_t angle)
    {
        m_legacyLength = length;
        m_legacyAngle = angle;
    }

    // The length of an older record becomes the nominal length, unless it
    // is not above 0 (damaged).
    void TakeLegacyLength();

    // The smooth curve from point i to point i + 1 of a point sequence, its
    // handles set from the points before and after where they exist. An
    // index outside 0 .. count - 2 is reported and leaves the curve alone.
    static void GetSegmentCurve(const std::deque<CPoint2>& points, int index, CCurveGeometry& curve);
    static void GetSegmentCurve(const std::vector<CPoint2>& points, int index, CCurveGeometry& curve);
    static void GetSegmentCurve(const CTunnelPoints& points, int index, CCurveGeometry& curve);

    static constexpr float kMinDiameter = 10.0f;
    // No line a body is fitted to is sampled by more points than this after
    // its start (nor, with more sections or segments, by more than one a
    // piece): the work of a fit stays bounded, however long a damaged record
    // makes the line. A line of a few segments up to some 7000 long keeps a
    // sample every 60.
    static constexpr int kMaxSamples = 128;

protected:
    CCourseObject& m_owner;
    float m_length = 1800.0f;
    float m_diameter = 240.0f;

private:
    int32_t m_legacyLength = 0;
    int32_t m_legacyAngle = 0;
};

// Draws the two mouths of a tunnel: across the first and the last pair of
// outline points (left, right), a flat ellipse a third of the width deep.
void DrawTunnelMouths(CGraphicsContext& context, const CPoint2& firstLeft, const CPoint2& firstRight,
                      const CPoint2& lastLeft, const CPoint2& lastRight);
// The heights at which the tunnel's plan lies in 3D: fills and strokes alike.
void SetTunnelPathHeight(CGraphicsContext& context, float height);
