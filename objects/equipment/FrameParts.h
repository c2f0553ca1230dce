#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A stand of pipes 15 thick, their centres 7.5 above the ground: three feet
// 115 long (and, for kinds 0 and 1, a fourth foot 115 or 65 long towards
// +x) about a ball joint, an upright reaching 400 with a joint on top. With
// two colours the upright carries a band in the second colour from 300 to
// 330.
class CPipeFramePart : public CDrawable
{
public:
    // Kind 0 four full feet, 1 a short fourth foot, 2 three feet and a side
    // joint at the centre. Another kind is reported when drawn and drawn as
    // kind 0.
    CPipeFramePart(int kind, int color, int secondColor);

    void Draw(CGraphicsContext& context) override;

    int GetKind() const { return m_kind; }

    static constexpr float kDiameter = 15.0f;
    static constexpr float kTop = 400.0f;

private:
    int m_kind;
    int m_color;
    int m_secondColor;
};

// Four pipe stands (kind 0) at the corners of a long or water jump of the
// given width: x = +-249 (+-267 below a width of 240), y = +-max(65,
// width / 2 + 9).
class CCornerFramesPart : public CDrawable
{
public:
    CCornerFramesPart(float width, int color, int secondColor);

    void Draw(CGraphicsContext& context) override;

    float GetCornerX() const;
    float GetCornerY() const;

private:
    float m_width;
    int m_color;
    int m_secondColor;
};

// The pipe frame of the tire and window jumps: at x = +-size / 2 a stand of
// a base pipe 420 long across y and an upright reaching the given length,
// joined by two pipes along x at the bottom and at the top.
class CTireWindowPart : public CDrawable
{
public:
    CTireWindowPart(float size, float length, int color);

    void Draw(CGraphicsContext& context) override;

    float GetSize() const { return m_size; }
    float GetLength() const { return m_length; }

private:
    float m_size;
    float m_length;
    int m_color;
};
