#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A joint of round pipes: an optional ball and up to three stubs, each
// 0.6 x diameter thick and as long as the joint's extent, each reaching out
// to one side of the joint's centre: the main stub along z, the second
// along x (with a ball), the third along y (with a side stub).
class CPipeJointPart : public CDrawable
{
public:
    // No ball: one stub along +z, from just below the centre.
    CPipeJointPart(float diameter, int color);
    // A ball with stubs along +z and +x (-x with both, and then the ball is
    // left out), and along +y when side is set.
    CPipeJointPart(float diameter, int color, bool side, bool both);
    // Stubs along -x and -y and along +z with stubs set; without them along
    // -x and -z. The ball is left out.
    CPipeJointPart(float diameter, int color, bool stubs);

    void Draw(CGraphicsContext& context) override;

    // 1.5 x diameter with a ball, else the diameter: how far the joint
    // reaches along a pipe that ends in it.
    float GetExtent() const;

    float GetDiameter() const { return m_diameter; }
    int GetColor() const { return m_color; }
    bool HasBall() const { return m_ball; }
    bool HasStubBelow() const { return m_stubBelow; }
    bool HasSideStub() const { return m_sideStub; }
    bool HasSideStubBoth() const { return m_sideStubBoth; }
    bool HasStubBack() const { return m_stubBack; }
    bool IsHollow() const { return m_hollow; }

private:
    void WriteKey();
    void DrawStub(CGraphicsContext& context, float z0) const;

    float m_diameter;
    int m_color;
    bool m_ball = false;
    bool m_stubBelow = false;
    bool m_sideStub = false;
    bool m_sideStubBoth = false;
    bool m_stubBack = false;
    bool m_hollow = false;
};

// A round pipe along z from 0, of 16 segments. A pipe that ends in a joint
// is drawn shorter by the joint's extent and a collar (0.2 x diameter) that
// meets the joint.
class CDiscPart : public CDrawable
{
public:
    CDiscPart(float length, float diameter, int color, const CPipeJointPart* joint = nullptr);

    void Draw(CGraphicsContext& context) override;

    float GetLength() const { return m_length; }
    float GetDiameter() const { return m_diameter; }
    int GetColor() const { return m_color; }
    float GetCap() const { return m_cap; }
    float GetDrawnLength() const { return m_drawnLength; }

private:
    float m_length;
    float m_diameter;
    int m_color;
    float m_cap = 0.0f;
    float m_drawnLength;
};
