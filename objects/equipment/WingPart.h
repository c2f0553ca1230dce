#pragma once

#include <vector>

#include "graphics/Drawable.h"
#include "objects/equipment/CupParts.h"

class CGraphicsContext;

// The side panel of a jump in its own frame: a bottom rail, a rounded top
// board along a sloped top line and one slat per upright between them,
// with optional foot plates. Built as a wing it runs along -y from the
// jump's side (the caller turns it +-90 degrees about z) and carries a post
// with its own row of cups; built as a holder it takes its uprights from
// child cup rows (one slanted upright along each row's line) and draws the
// rows first.
class CWingPart : public CDrawable
{
public:
    // One upright: where it leaves the bottom rail (z = 30) and the
    // direction it rises in (y, z).
    struct CUpright
    {
        float y = 0.0f;
        float dy = 0.0f;
        float dz = 1.0f;
    };

    // A wing of the given width in the jump's colours of parts 14, 13, 2
    // (panel, slats, feet) and 17 (post and cups).
    CWingPart(int panelColor, int slatColor, int footColor, int postColor, float wingWidth, bool drawCups);
    // A holder with the chosen foot plates.
    CWingPart(int panelColor, int slatColor, int footColor, bool footBack, bool footFront);
    // A holder without foot plates.
    CWingPart(int panelColor, int slatColor, int footColor);

    // Adds a child row (holders).
    void AddPiece(const CCupRowPart& row);
    // Takes a holder's uprights and extents from its rows; fewer than two
    // rows are reported and leave the layout as it was.
    void LayoutFromRows();

    void Draw(CGraphicsContext& context) override;

    bool IsHolder() const { return m_postColor < 0; }
    float GetYStart() const { return m_yStart; }
    float GetYEnd() const { return m_yEnd; }
    float GetTopStart() const { return m_topStart; }
    float GetTopEnd() const { return m_topEnd; }
    const std::vector<CUpright>& GetUprights() const { return m_uprights; }

    static constexpr float kRailHeight = 30.0f;
    static constexpr float kHalfThickness = 2.0f;
    static constexpr float kHalfBoard = 15.0f;
    // The height of a wing's outer end.
    static constexpr float kOuterTop = 140.0f;

private:
    void WriteKey();
    void DrawFeet(CGraphicsContext& context);
    void DrawBody(CGraphicsContext& context);
    void DrawUpright(CGraphicsContext& context, const CUpright& upright);

    int m_panelColor;
    int m_slatColor;
    int m_footColor;
    // The post colour of a wing; -1 for a holder.
    int m_postColor;
    std::vector<CCupRowPart> m_children;
    CCupRowPart m_row;
    bool m_drawCups = false;
    bool m_footBack = false;
    bool m_footFront = false;
    float m_innerLength = 0.0f;
    float m_yStart = 0.0f;
    float m_yEnd = 0.0f;
    float m_topStart = kOuterTop;
    float m_topEnd = kOuterTop;
    std::vector<CUpright> m_uprights;
};
