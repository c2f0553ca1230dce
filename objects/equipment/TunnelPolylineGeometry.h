#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "foundation/Transform.h"
#include "objects/equipment/TunnelGeometry.h"

class CTunnelFlexibleGeometry;

// The polyline tunnel: laid along the smooth line through points that the
// user drags one by one (every point is a handle). Its plan follows the line
// at half the diameter on each side; its 3D model is that of the flexible
// tunnel fitted to it. Both are made when first needed: a line read from a
// file traces no outline and fits no body until it is shown or written.
// After an edit (a drag, the dialog) the placement lies at the first point,
// turned along the start of the line, so the first point is the origin and
// the line leaves it along +x.
//
// The points are kept in whole units, as the record stores them, and a line
// read stays as its record has it: a tunnel read and written again gives the
// same bytes. A line may therefore start elsewhere or run the other way (a
// flipped one); its body is fitted in the frame the line starts in.
class CTunnelPolylineGeometry : public CTunnelGeometry
{
public:
    explicit CTunnelPolylineGeometry(CCourseObject& owner);
    ~CTunnelPolylineGeometry() override;

    int GetCategoryFor(int endIndex) const override { return 3; }
    int GetCategory() const override { return 3; }
    EKind GetKind() const override { return kPolyline; }
    // The number of segments.
    void ToDialog(CTunnelPropertiesDlg& dialog) override;
    // Length and diameter where not mixed. A tunnel without points gets a
    // straight line of the dialog's number of segments (nothing while the
    // count or the length is mixed); a new count resamples the line along
    // its curve, shrunk about the start when its outline was longer than
    // the length. Then the line is re-anchored.
    void FromDialog(CTunnelPropertiesDlg& dialog) override;
    // Mirrors every point across the y axis.
    void Flip() override;
    void StartHandleMove(int handle) override {}
    // Shows the map-view hint when the course shows 3D.
    void EndHandleMove() override;
    // Moves the point to the course point, then keeps the points apart and
    // the outline within the length (at most 50 rounds), and re-anchors.
    int MoveHandle(int handle, float x, float y) override;
    // Spreads the points evenly along a straight line of the length.
    void ResetShape() override;
    // The point count and the points; before version 4 first the length and
    // -1 (telling a polyline). A record of fewer than two points reads as
    // the straight line of the length. The placement stays as read.
    void Serialize(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;
    int GetEndCount() const override { return int(m_points.size()); }
    void GetEnd(CPoint2& point, int index) const override;
    void GetAnchor(CPoint2& point, int index) const override;
    // The last point and the direction of the line there, 10000 long.
    void GetFarEnd(CPoint2& point, CPoint2& direction) const override;
    // Five points along the centre line of a body, closer together where
    // it bends.
    void ConvertFrom(const CTunnelGeometry& other) override;
    // The length of the smooth line.
    float GetLength() const override { return CurveLength(m_points); }

    // The points of the line, in one block.
    const CTunnelPoints& GetLinePoints() const { return m_points; }
    // The same points as a deque, copied from them at each call: a caller
    // holding the reference sees the points as they were then.
    const std::deque<CPoint2>& GetPoints() const;
    // The frame its fitted body lies in: the identity for a line that leaves
    // the origin within a quarter turn of +x, else the frame at the first
    // point turned along the start of the line in whole degrees (as
    // anchoring turns the placement).
    CTransform GetStartFrame() const;
    // The flexible body fitted to the line, in the line's start frame: the
    // form the record stores first and the 3D model. Fitted anew only when
    // the line, the length or the diameter changed since.
    CTunnelFlexibleGeometry& GetFittedBody() const;
    // The flexible body a record stores before the line: the fitted body of
    // the points read next, for as long as they stay as they were read, so
    // a line read back is not fitted anew.
    void AdoptFittedBody(std::unique_ptr<CTunnelFlexibleGeometry> body);
    // The two outlines, each thinned to what its shape needs: traced first
    // when the line or the diameter changed since.
    const std::vector<CPoint2>& GetLeftOutline() const;
    const std::vector<CPoint2>& GetRightOutline() const;
    // The outlines are traced again when next asked for.
    void InvalidateOutline() { m_outlineValid = false; }
    // The outline traced, or a body fitted to the line (or taken from its
    // record).
    bool IsShapeBuilt() const override { return m_outlineValid || m_fitted != nullptr; }
    // Moves the placement to the first point, turned along the start of the
    // line, and takes the points (and the outline) into the new placement.
    void Reanchor();
    // Pushes points apart that lie closer than an even share of the length
    // (or the diameter, or half of it for neighbours), nearest to the
    // dragged point first; whether a point moved.
    bool SpreadPoints(int handle);
    // When the longer outline exceeds the length, pulls every point towards
    // its neighbour on the dragged point's side; whether it did.
    bool ShrinkToLength(int handle);
    // The length of the smooth curve through the points.
    static float CurveLength(const CTunnelPoints& points);
    static float CurveLength(const std::vector<CPoint2>& points);

private:
    // Points i x length / segments along +x.
    void MakeStraightLine(int segments);
    void RoundPoints();
    // Traces the outlines along the line unless they already lie there.
    void TraceOutline() const;
    // Called before the points change: a body fitted to them keeps a copy
    // of them, so that GetFittedBody can still tell what it was fitted to.
    void KeepFittedPoints();
    // A body has just been fitted to the points as they are.
    void ForgetFittedPoints() const;

    CTunnelPoints m_points;
    // What GetPoints last gave out; made on its first call (an empty deque
    // takes two blocks of the heap).
    mutable std::unique_ptr<std::deque<CPoint2>> m_pointsCopy;
    // Traced on first demand (drawing and measuring are const for the shape).
    mutable std::vector<CPoint2> m_left;
    mutable std::vector<CPoint2> m_right;
    mutable bool m_outlineValid = false;
    // The fitted body and what it was fitted to: the points only once they
    // changed since (every change of m_points calls KeepFittedPoints
    // first), the points as they are until then; a body read, until the
    // points are.
    mutable std::unique_ptr<CTunnelFlexibleGeometry> m_fitted;
    std::unique_ptr<CTunnelFlexibleGeometry> m_adopted;
    mutable CTunnelPoints m_fittedPoints;
    mutable bool m_fittedPointsKept = false;
    mutable float m_fittedLength = 0.0f;
    mutable float m_fittedDiameter = 0.0f;
};
