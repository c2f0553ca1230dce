#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "course/CourseObject.h"
#include "objects/equipment/EquipmentType.h"

class CObstacleEnd;

// A straight line on the course map (a distance to mark, the edge of a
// handler's area): a pen, arrow heads, and a label with its length in the
// user's units. Each end ties itself to an obstacle end dropped near it and
// then follows that obstacle.
//
// The ends are kept about the object's origin: after each edit the
// placement's rotation is taken into them, they are rounded to whole units
// in course coordinates and their midpoint becomes the placement's position
// (Recentre). Lengths are tenths of an inch.
class CStraightLine : public CCourseObject
{
public:
    // Type 270, named by text 2588, with the parts line (15), band and label
    // box (25) and label text (26).
    class CStraightLineType : public CEquipmentTypeOf<CStraightLine>
    {
    public:
        CStraightLineType();
    };

    static const CStraightLineType& GetStraightLineType();

    CStraightLine() = default;

    int GetCategory() const override { return 3; }
    int GetLayer() const override { return 2; }
    bool IsHidable() const override { return true; }
    // Another line being moved snaps to this line's ends.
    void AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source) override;
    int GetEndCount() const override { return 2; }
    void GetEnd(CPoint2& point, int index) const override;
    // While the line is being placed, the press fixes end 0 and the drag
    // carries end 1; otherwise the line moves as a whole.
    void StartMove(float x, float y) override;
    void Move(float x, float y) override;
    // A click without a drag leaves a horizontal line kClickLength long and
    // offers the hint on dragging (kDragHint).
    void EndMove() override;
    void Flip() override;
    void BuildSnapGrid() override {}
    // Both first offer the hint on lines passing untied obstacles
    // (kCrossingHint), then empty the snap axes.
    void ResetSnapAxes() override;
    void EndHandleMove() override;
    // The handles are the two ends; a dragged end snaps to other lines' ends,
    // the ring's edges and the other end, and ties itself to an obstacle end
    // within kLinkReach.
    void StartHandleMove(int handle) override;
    int MoveHandle(int handle, float x, float y) override;
    void ClearHandles() override;
    // Four whole numbers: the two ends in inches.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The ends (points), pen (Int8), arrow heads (Int8), whether the length
    // shows (Bool) and its unit kind (Int8). Version 3 adds a Bool (read and
    // not used): whether the line runs along an axis. Later versions add the
    // direction (two Float16) of a line whose ends coincide, scaled to whole
    // numbers that keep it. Choices out of range take the defaults; a
    // direction shorter than kMinDirection takes (3, 0).
    void Serialize(CFieldStream& stream) override;
    // The course's units, where the length shows.
    void SerializeExtra(CFieldStream& stream) override;
    // Ties each free end to an obstacle end near it.
    bool ResolveLinks() override;
    // Unties the ends whose obstacles are about to go.
    bool BeforeObjectsDeleted() override;
    // After other objects changed, each tied end moves to its obstacle end.
    bool OnOthersMoved() override;
    bool OnMoveStarted() override;
    bool OnOthersRotated() override;
    bool OnOthersReshaped() override;
    bool OnHandleMoved() override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    // The line in its pen, shortened into its arrow heads, at least as long
    // as the pen is wide; a band in the outline colour when the line is
    // pale or grey on the map; the length label at the midpoint.
    void Draw2D(CGraphicsContext& context) override;

    // The end in course coordinates.
    CPoint2 GetCourseEnd(int index) const;
    // The distance between the ends.
    float GetLength() const;
    const CPoint2& GetDirection() const { return m_direction; }
    // The obstacle end an end is tied to; none when it is free.
    const CObstacleEnd* GetLink(int index) const;
    int GetPen() const { return m_pen; }
    int GetArrowHeads() const { return m_arrowHeads; }
    bool GetShowLength() const { return m_showLength; }
    int GetUnits() const { return m_units; }

    static constexpr int kTypeId = 270;
    // A click leaves a line this long; a press that moves further than
    // kDragDistance counts as a drag.
    static constexpr float kClickLength = 240.0f;
    static constexpr float kDragDistance = 120.0f;
    // An end ties itself to an obstacle end this near.
    static constexpr float kLinkReach = 180.0f;
    // Hint texts: place the line by dragging; the line passes an obstacle
    // it is not tied to.
    static constexpr int kDragHint = 2706;
    static constexpr int kCrossingHint = 2711;
    // The crossing check tests a point every kCrossingStep along the line,
    // at most kMaxCrossingSamples of them.
    static constexpr float kCrossingStep = 60.0f;
    static constexpr int kMaxCrossingSamples = 1000;
    static constexpr float kMinDirection = 0.001f;

private:
    void SetEnd(int index, const CPoint2& local);
    // Takes the placement's rotation into the ends and the direction, rounds
    // the ends in course coordinates (held within what the archive stores)
    // and moves their midpoint into the placement. Nothing changes when the
    // line already lies so.
    void Recentre();
    // How an end ties: moved onto the entry of the nearest obstacle end;
    // the same unless it lies on an entry already, to which it then ties (a
    // read line's end); where it lies; or, as an undo step puts it back,
    // only where the move would leave it as it is stored, without moving.
    enum class ETie
    {
        kOnto,
        kOntoUnlessArrived,
        kInPlace,
        kAsStored,
    };
    // Ties end i to the nearest obstacle end within kLinkReach as asked,
    // unless the other end is tied to the same spot of the same obstacle
    // (then turnedAway, where given, is set); true when it moved.
    bool LinkEnd(int index, ETie tie = ETie::kOnto, bool* turnedAway = nullptr);
    // Ties the ends marked untied anew; true when one moved.
    bool TieEnds(const bool untied[2], ETie tie, bool* turnedAway = nullptr);
    // Whether an object the undo step under way reads anew has an end that
    // end i might tie to.
    bool IsNearObjectReadBack(int index) const;
    void CheckCrossings() const;
    // Moves the tied ends to their obstacle ends; see OnOthersMoved.
    bool FollowLinks();
    // Keeps the course's drag of the selection in step with a line that
    // recentred itself while being dragged (placement before recentring).
    void KeepDragStart(const CTransform& before);
    // The hint of a placing that was no drag.
    void OfferDragHint() const;

    CPoint2 m_ends[2];
    // Along the line (end 1 - end 0) while the ends differ; the last such
    // direction once they coincide.
    CPoint2 m_direction{3.0f, 0.0f};
    int32_t m_pen = 1;
    int32_t m_arrowHeads = 0;
    bool m_showLength = false;
    bool m_dragged = false;
    CPoint2 m_pressPoint;
    int32_t m_units = 3;
    CObstacleEnd* m_links[2] = {nullptr, nullptr};
    // The ends an undo step looks for an end to tie to, besides those near
    // an object it reads anew: those of a line it reads, and those whose
    // obstacle went since the line last looked.
    bool m_untied[2] = {true, true};
};
