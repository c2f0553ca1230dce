#pragma once

#include "objects/equipment/JumpType.h"

// The hoop jump: a semicircular hoop standing on a pipe frame on the ground.
// No values of its own. Version-3 archives know it as a tire jump (type
// 320) of frame width 280 and tire diameter 240.
class CHoopJumpType : public CJumpType
{
public:
    CHoopJumpType();

    int GetBindingKind() const override { return 3; }
    // (-+170, 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    float GetWidth(const CJump& jump) const override { return 340.0f; }
    // Into a version-3 archive the tire jump's record 280, 240 (Int16 each);
    // read from one, those two values are skipped.
    void SerializeBinding(CFieldStream& stream, CPropertyBinding& binding) const override;

    static const CHoopJumpType& GetType();
};
