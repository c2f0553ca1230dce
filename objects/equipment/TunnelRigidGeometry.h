#pragma once

#include "objects/equipment/TunnelBodyGeometry.h"

// The rigid tunnel: one section of the nominal length bent by a whole angle
// set in the dialog; no handles. Its section stores the negated user angle
// (a user angle of 90 bends towards -y). Changing the bend keeps the middle
// of the tunnel, and the direction there, in place.
class CTunnelRigidGeometry : public CTunnelBodyGeometry
{
public:
    explicit CTunnelRigidGeometry(CCourseObject& owner) : CTunnelBodyGeometry(owner) {}

    int GetCategoryFor(int endIndex) const override { return 2; }
    int GetCategory() const override { return 2; }
    EKind GetKind() const override { return kRigid; }
    // The user angle.
    void ToDialog(CTunnelPropertiesDlg& dialog) override;
    // Length, diameter and angle where not mixed; a mixed angle keeps the
    // tunnel's own (0 without a section).
    void FromDialog(CTunnelPropertiesDlg& dialog) override;
    // A rigid tunnel has no handles: each reports and does nothing.
    void StartHandleMove(int handle) override;
    void EndHandleMove() override;
    int MoveHandle(int handle, float x, float y) override;
    // Only a record older than version 4, whose two values the tunnel has
    // already stored: length and user angle; the diameter is 240.
    void Serialize(CFieldStream& stream) override;
    // From a flexible body the sum of its bends, from a polyline the bends
    // of the sections fitted to it; the placement stays.
    void ConvertFrom(const CTunnelGeometry& other) override;

    // Bends the tunnel by the user angle, limited either way to the largest
    // the length allows; with recentre, the placement moves from the middle
    // of the tunnel back to its new start.
    void SetBend(float angle, bool recentre);
    // The user angle of the section; 0 without one.
    float GetUserAngle() const;
};
