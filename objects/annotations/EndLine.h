#pragma once

#include <iosfwd>
#include <string>

#include "course/CourseObject.h"
#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/ObstacleEnd.h"

// A start or finish line (type 110): where the dog starts, finishes, or
// both. A line between two ends, each end the centre of a circle of radius
// kCircleRadius that shows "S" or "F". The ends are kept about the object's
// origin: after every edit they are taken to the course, rounded, and their
// midpoint becomes the placement (no rotation), so the two ends lie
// opposite each other.
//
// Paths start at its start ends (kind 8) and finish at its finish ends
// (kind 16): a start line offers only the first, a finish line only the
// second, a start-and-finish line both. Each kind has two ends, one facing
// each way across the line.
class CEndLine : public CCourseObject
{
public:
    // Type 110, named by text 2586, key names "StartLine", "FinishLine" and
    // "StartFinishLine", parts 15 (line and circle pens), 25 (circle fill)
    // and 26 (letters).
    using CEndLineType = CEquipmentTypeOf<CEndLine>;
    static const CEndLineType& GetEndLineType();

    // One end's circle with its letter: a label, of constant size on the
    // screen like every label.
    class CEndCircle;

    CEndLine();

    int GetCategory() const override { return 3; }
    int GetLayer() const override { return 2; }
    // A new course's set-up leaves it out; it is shown whatever the course
    // hides.
    bool IsHidable() const override { return true; }
    bool IsShown() const override { return true; }
    int GetEndCount() const override { return 2; }
    // End 0 or 1 (the handles); another index is reported and gives the
    // origin.
    void GetEnd(CPoint2& point, int index) const override;
    // Creation by dragging from the press point: end 1 follows the pointer,
    // snapping to the press point's x and y; a selected line moves as a
    // whole.
    void StartMove(float x, float y) override;
    void Move(float x, float y) override;
    // The ends move out by a circle's radius (a click leaves a horizontal
    // line of 400 with both circles at the press point); a drag of no more
    // than kMinDrag gives the placing hint.
    void EndMove() override;
    void Flip() override;
    // The other end of the same kind (a start end for a start end); none
    // after a report for an end of another object.
    const CObstacleEnd* FindMirroredEnd(const CObstacleEnd* end, bool& reversed) const override;
    // The dragged end snaps to the other end's x and y.
    void StartHandleMove(int handle) override;
    void EndHandleMove() override;
    int MoveHandle(int handle, float x, float y) override;
    // A start line becomes a finish line and a finish line a start line.
    void Reverse() override;
    // Two words: "S S" a start line, "F F" a finish line, anything else a
    // start-and-finish line. Ends that the listed place takes beyond the
    // archive's range come within it.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    void ClearHandles() override;
    // Ends that a new placement takes beyond the archive's range come within
    // it; the placement stays.
    void KeepPointsStorable() override;
    // The kind (Int8), then the two ends. A kind read outside 0..2 gives a
    // start-and-finish line; an end whose course point lies beyond the
    // archive's range is held at its edge.
    void Serialize(CFieldStream& stream) override;
    void SerializeExtra(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    // Each pair of ends takes the two half lines; the start ends are offered
    // unless this is a finish line, the finish ends unless a start line.
    void UpdateEnds() override;
    int GetEndLineKind() const override { return m_kind; }

    int GetKind() const { return m_kind; }
    bool IsCreating() const { return m_creating; }
    const CPoint2& GetLineEnd(int index) const { return m_ends[index & 1]; }
    // The four obstacle ends: start ends 0 and 1, finish ends 2 and 3.
    const CEndLineObstacleEnd& GetObstacleEnd(int index) const { return *m_obstacleEnds[index & 3]; }

    static constexpr int kTypeId = 110;
    static constexpr int kNameTextId = 2586;
    // The kinds, as stored.
    static constexpr int kStartLine = 0;
    static constexpr int kStartAndFinishLine = 1;
    static constexpr int kFinishLine = 2;
    static constexpr float kCircleRadius = 200.0f;
    // A shorter drag counts as a click.
    static constexpr float kMinDrag = 120.0f;

protected:
    int m_kind = kStartLine;

private:
    // Takes the ends to the course, rounded and within the archive's range,
    // and puts the placement at their rounded midpoint without rotation.
    void Recentre();

    bool m_creating = false;
    bool m_dragged = false;
    // A legacy line, which gives no ends, keeps these: circles 800 apart.
    CPoint2 m_ends[2] = {{-600.0f, 0.0f}, {600.0f, 0.0f}};
    CEndLineObstacleEnd m_start0{this, true};
    CEndLineObstacleEnd m_start1{this, true};
    CEndLineObstacleEnd m_finish0{this, false};
    CEndLineObstacleEnd m_finish1{this, false};
    CEndLineObstacleEnd* const m_obstacleEnds[4] = {&m_start0, &m_start1, &m_finish0, &m_finish1};
};
