#pragma once

#include <set>

// One dimension of sticky snapping: a dragged coordinate is mapped through a
// continuous, piecewise-linear function that holds still within half a zone
// of each snap position and moves 1.5 times faster over the zone before it,
// so the pointer never makes the object jump. Away from the positions the
// mapping is the identity.
class CSnapAxis
{
public:
    explicit CSnapAxis(float zone) : m_zone(zone) {}

    // A zone not above 0 is reported and the old zone kept; positions are kept.
    void SetZone(float zone);
    float GetZone() const { return m_zone; }
    // A position that is not a finite number is reported and left out.
    void AddPosition(float position);
    // Removes every position and sets the offset to 0.
    void Clear();
    void ClearOffset() { m_offset = 0.0f; }
    // Makes Apply(x) give x back: called with an object's own coordinate at
    // the start of a drag.
    void Anchor(float x);
    float Apply(float x) const;
    const std::set<float>& GetPositions() const { return m_positions; }

private:
    enum EDirection
    {
        kForward,
        kInverse,
    };
    float Map(float x, EDirection direction) const;

    float m_zone;
    std::set<float> m_positions;
    float m_offset = 0.0f;
};
