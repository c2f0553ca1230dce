#pragma once

#include <cstdint>

#include "graphics/Drawable.h"

class CGraphicsContext;
class CStripedBarPart;

// One jump cup: a saddle for a bar, an arc of +-36 degrees of a tube
// (radii 7.5 and 10) along x from -2.5 to 8.0, its axis 7.5 below the
// origin, so a bar of diameter 15 placed at the origin rests in it.
class CJumpCupPart : public CDrawable
{
public:
    explicit CJumpCupPart(int colorIndex);

    void Draw(CGraphicsContext& context) override;

    int GetColorIndex() const { return m_colorIndex; }

private:
    int m_colorIndex;
    uint32_t m_color;
};

// Jump cups up an upright: a cup every 20 units of height from 20 to 260,
// at y = k x sideways factor and z = k x height factor - height offset,
// where that is above 20.1. A plain row (factor 1, offset 0) stands
// straight up.
class CCupRowPart : public CDrawable
{
public:
    CCupRowPart(int color, float sidewaysFactor, float heightFactor, float heightOffset);

    void Draw(CGraphicsContext& context) override;

    // Draws a part (a bar) resting on the row at a jump height: at
    // (0, y, z) of the row's line, the height snapped to ceil(h / 40) x 20
    // when asked; a bar that would sit below 20.1 lies on the low cup at
    // z = 15 when snapped or on a row that is not plain, moved 16.5 towards
    // -y with shift.
    void PlaceOnCups(CGraphicsContext& context, CDrawable& part, float height, bool snap, bool shift) const;
    // Draws a bar with one end on a low cup (z = 15) and the other on this
    // row, tilted between them, mirrored to the other side, and with turn
    // also turned across. A bar too short to tilt (length not above 8) is
    // reported and not drawn.
    void PlaceTiltedBar(CGraphicsContext& context, CStripedBarPart& bar, float height, bool mirror,
                        bool turn) const;
    // The row's parameters, for the key of a part that holds the row.
    void WriteKey(CFieldWriter& writer) const;

    bool IsPlain() const { return m_heightFactor == 1.0f && m_heightOffset == 0.0f; }
    int GetColor() const { return m_color; }
    float GetSidewaysFactor() const { return m_sidewaysFactor; }
    float GetHeightFactor() const { return m_heightFactor; }
    float GetHeightOffset() const { return m_heightOffset; }

    // Cups stand at k = 20, 40, ... 260 where z is above this.
    static constexpr float kLowestCup = 20.1f;
    static constexpr float kLowCupHeight = 15.0f;

private:
    int m_color;
    float m_sidewaysFactor;
    float m_heightFactor;
    float m_heightOffset;
};
