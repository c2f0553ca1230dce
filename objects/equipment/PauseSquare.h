#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/ObstacleEnd.h"

// A square pause obstacle of fixed size, entered and left from any side,
// labelled in the plan. Origin at the centre; lengths in tenths of an inch.
// Ends: a first end in the middle of each side pointing away (-x, +x, -y,
// +y) with an entry as wide as the square, then a second end at each
// pointing back.
class CPauseSquare : public CCourseObject
{
public:
    int GetCategory() const override { return 2; }
    int GetLayer() const override { return 3; }
    // Any end may follow any other.
    bool IsValidTraversal(const CObstacleEnd* a, const CObstacleEnd* b) const override;
    bool HasFirstEnd() const override { return false; }
    int GetEndCount() const override { return 4; }
    // The corners: (-h, -h), (-h, h), (h, -h), (h, h).
    void GetEnd(CPoint2& point, int index) const override;
    // One anchor, the centre.
    int GetAnchorCount() const override { return 1; }
    void GetAnchor(CPoint2& point, int index) const override;
    // The square, then the label.
    void Draw2D(CGraphicsContext& context) override;

    float GetSide() const { return m_side; }

protected:
    CPauseSquare(float side, int labelTextId);

private:
    float m_side;
    int m_labelTextId;
    CFirstObstacleEnd m_firsts[4];
    CSecondObstacleEnd m_seconds[4];
};

// The table: a square top 360 across at the course's jump height, on four
// legs where the height leaves room for them.
class CTable : public CPauseSquare
{
public:
    // Type 300, named by text 2594, with the parts apron (16), top (6) and
    // legs (17).
    using CTableType = CEquipmentTypeOf<CTable>;
    static const CTableType& GetTableType();

    CTable();

    // The course's jump height, which the top follows.
    void SerializeExtra(CFieldStream& stream) override;
    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 300;
};

// The pause box: a square 480 across marked on the ground by a frame of
// pipes, one colour per side.
class CPauseBox : public CPauseSquare
{
public:
    // Type 220, named by text 2578, with the parts of the four sides (21 to
    // 24) and the connectors (17).
    using CPauseBoxType = CEquipmentTypeOf<CPauseBox>;
    static const CPauseBoxType& GetPauseBoxType();

    CPauseBox();

    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 220;
};
