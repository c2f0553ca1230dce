#pragma once

#include "objects/equipment/JumpType.h"

// The wall jump and the viaduct: a brick wall, the viaduct's with one arched
// opening below a width of 540 and two from there on, each with optional
// brick wings. Version-3 archives know them as panel jumps (type 210).
class CWallJumpType : public CWingedJumpType
{
public:
    // 357 the wall, 353 the viaduct; another id is reported and makes a wall.
    explicit CWallJumpType(int typeId);

    // Neither has a legacy line; a listing naming one leaves its values.
    void ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    float GetDefaultWidth(const CSpecList& specList) const override { return 540.0f; }
    float GetDefaultWingWidth() const override { return 120.0f; }
    // Wings are chosen by the dialog's option, never by the name.
    int IsWinglessNameId(int nameTextId) const override { return 0; }

    bool IsViaduct() const { return m_viaduct; }

    // The openings of a viaduct of the width at the jump height: their
    // count, radius, the gap between them and the start of the first and
    // the second. A wall, a width not above 0, no height or gaps that would
    // be negative give none: the wall is built solid.
    struct CArches
    {
        int count = 0;
        float radius = 0.0f;
        float gap = 0.0f;
        float starts[2] = {0.0f, 0.0f};
    };
    CArches GetArches(float width, float jumpHeight) const;

    static const CWallJumpType& GetWallType();
    static const CWallJumpType& GetViaductType();

private:
    bool m_viaduct;
};
