#pragma once

#include <vector>

#include "foundation/BlockPool.h"
#include "foundation/Geometry.h"
#include "foundation/Transform.h"

// One bent section of a tunnel body: a tube of radius r whose centre line is
// a circular arc, bent by angle degrees (positive turns towards +y of the
// plan), measured by its length along the outside of the bend. Its start
// frame has the origin at the start of the centre arc and x along the way in.
struct CTunnelSection
{
    float radius = 120.0f;
    float outerLength = 360.0f;
    float angle = 0.0f;
    // The outside of the bend is longer than the centre line by this much.
    float allowance = 0.0f;

    void SetAngle(float degrees);
    void SetRadius(float r);

    float GetCentreLength() const { return outerLength - allowance; }
    float GetInnerLength() const { return outerLength - 2.0f * allowance; }

    // The vector from the start of the centre arc to the point at fraction t
    // of it, in the start frame; (0, 0) at t = 0.
    CPoint2 GetChord(float t) const;
    // Moves a frame (a placement) along the section by fraction t: to the
    // chord's end, turned with the arc.
    void Advance(CTransform& frame, float t) const;
    // The frame at fraction t, in the start frame.
    CTransform GetLocalFrame(float t) const;
    // The two points across the centre arc at fraction t, each at the
    // distance offset from it, in the start frame: left towards -y of the
    // frame at t, right towards +y. What GetLocalFrame(t) maps (0, -offset)
    // and (0, offset) to, from one sine and cosine instead of a frame's.
    void GetAcross(float t, float offset, CPoint2& left, CPoint2& right) const;
    // The distance from a point of the start frame to the centre arc.
    float GetDistanceTo(float x, float y) const;
    // The same with the section's end frame (GetLocalFrame(1)) given, for
    // callers that measure many points.
    float GetDistanceTo(float x, float y, const CTransform& endFrame) const;
};

// The sections of a body, in one block of the shared pool: bodies are read
// and thrown away by the thousand, and the system heap under Wine makes each
// block of theirs cost more than reading it.
using CTunnelSections = std::vector<CTunnelSection, CPoolAllocator<CTunnelSection>>;
