#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "objects/annotations/CoursePath.h"
#include "objects/equipment/EquipmentType.h"

struct CCurveGeometry;

// The path a handler or a judge walks: a smooth curve through a chain of
// free points (the handles), ending in an arrowhead, in a pen type (1 short
// dashes, 2 long dashes; 0, solid, comes only from legacy text), optionally
// labelled with its length in the user's units. It is placed by drawing
// (CCoursePath); it knows nothing of obstacles.
//
// The points lie in the path's local frame (about the placement), in whole
// units within what the archive stores. A path with fewer than two points
// (a damaged file's) is drawn as a dot and measures 0.
class CHumanPath : public CCoursePath
{
public:
    // Type 140, named by text 2554, with the variant names "HandlerPath" and
    // "JudgePath" (accepted alike) and the parts line (15), label box (25)
    // and label text (26).
    class CHumanPathType : public CEquipmentTypeOf<CHumanPath>
    {
    public:
        CHumanPathType();
    };

    static const CHumanPathType& GetHumanPathType();

    CHumanPath() = default;

    int GetEndCount() const override { return int(m_points.size()); }
    // An index out of range is reported and leaves the point alone.
    void GetEnd(CPoint2& point, int index) const override;
    // Mirrors the points and the label position across the local y axis.
    void Flip() override;
    // Moves point i to the course point, rounded, then inserts a point
    // halfway along the curve towards a neighbour farther than kSplitDistance
    // or merges a neighbour nearer than kMergeDistance (the dragged point
    // into its predecessor, the successor into the dragged point; never
    // below two points). Returns the moved point's index afterwards. An
    // index out of range is reported and nothing moves.
    int MoveHandle(int handle, float x, float y) override;
    // Runs the path the other way.
    void Reverse() override;
    // Count, a value not used, pen type (1 when absent), then the legacy
    // curve; a count outside 2 to 1000 reads one point, a pen type other
    // than 0 to 2 gives 1. The length is not shown.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // While placing, a stroke point also gives the path a new number.
    void Move(float x, float y) override;
    // Show length (Bool), length units (Int8), pen type (Int8), point count
    // (Int16), then the points; a path without points writes, instead of
    // them, its number (Int32): taken from a process-wide counter whenever
    // its stroke changed, so that its drawing is never taken for an older
    // one, and kept otherwise (and when read), so that the path writes the
    // same bytes every time. Reading stops where the record ends; a count
    // below 1 gives no points, a pen type or units out of range the
    // defaults, points placed beyond the stored range come within it.
    void Serialize(CFieldStream& stream) override;
    // The course's metric and show-paths settings.
    void SerializeExtra(CFieldStream& stream) override;
    // The course's show-paths setting.
    bool IsShown() const override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    // The line through a cached drawer, then the length label at the label
    // position when the length shows.
    void Draw2D(CGraphicsContext& context) override;
    float GetDefaultSpacing() const override { return kStrokeSpacing; }
    // Appends the local point, rounded and within the stored range.
    void HitPoint(float x, float y) override;
    // Points that a new placement takes beyond the stored range come within
    // it.
    void KeepPointsStorable() override;

    // The drawer's drawing: the points' curve in the pen type, ending in
    // the arrow; a path of one point as a dot.
    void DrawLine(CGraphicsContext& context);
    // Segment i runs from point i to point i + 1, its handles set by the
    // points before and after; false after a report when i is out of range
    // (the curve is left alone).
    bool GetSegmentCurve(int index, CCurveGeometry& curve) const;
    // The length of the curve, measured again when the points changed.
    float GetLength() const;
    // Where the length label goes: the middle of the segment in which half
    // the length is reached.
    CPoint2 GetLabelPosition() const;

    const CPathPoints& GetPoints() const { return m_points; }
    int GetPenType() const { return m_penType; }
    bool GetShowLength() const { return m_showLength; }
    int GetLengthUnits() const { return m_lengthUnits; }

    static constexpr int kTypeId = 140;
    static constexpr int kNameTextId = 2554;
    static constexpr float kStrokeSpacing = 120.0f;
    static constexpr float kSplitDistance = 2400.0f;
    static constexpr float kMergeDistance = 180.0f;
    static constexpr int kDefaultPenType = 1;
    static constexpr int kDefaultUnits = 4;

private:
    // The points changed: the length is measured again when next asked.
    void MarkStale() { m_length = -1.0f; }
    void UpdateLength() const;
    // Point i's curve point at t = 0.5, held where a point may lie.
    CPoint2 SegmentMiddle(int index) const;

    CPathPoints m_points;
    // -1 while stale.
    mutable float m_length = -1.0f;
    bool m_showLength = true;
    mutable CPoint2 m_labelPosition;
    int32_t m_lengthUnits = kDefaultUnits;
    int32_t m_penType = kDefaultPenType;
    // The number a path without points writes; 0 until it is next written.
    int32_t m_emptyNumber = 0;
};
