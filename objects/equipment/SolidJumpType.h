#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "objects/equipment/JumpType.h"

// The winged kinds whose obstacle is one solid element instead of bars:
// brush, log, panel and picket fence. Each has a width of its own (not the
// rule set's) and, read from a legacy line, fixed values: the line carries
// none.
class CSolidJumpType : public CWingedJumpType
{
public:
    struct CParams
    {
        int typeId;
        int nameId;
        const char* key;
        std::initializer_list<int> parts;
        bool standard;
        bool editOnCreate;
        float legacyWidth;
        float legacyWingWidth;
        float defaultWidth;
        float postOffset;
    };

    explicit CSolidJumpType(const CParams& params);

    // The legacy values; nothing is read.
    void ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const override;
    float GetDefaultWidth(const CSpecList& specList) const override { return m_defaultWidth; }
    float GetPostOffset() const override { return m_postOffset; }

private:
    float m_legacyWidth;
    float m_legacyWingWidth;
    float m_defaultWidth;
    float m_postOffset;
};

// A hedge box textured with brushwood under a bar.
class CBrushJumpType : public CSolidJumpType
{
public:
    CBrushJumpType();
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    static const CBrushJumpType& GetType();
};

// A pyramid of logs, one row more for every 58 of jump height.
class CLogJumpType : public CSolidJumpType
{
public:
    CLogJumpType();
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    // The rows of logs at a jump height: 1 + trunc(height / 58).
    static int GetLogRows(float jumpHeight);
    static const CLogJumpType& GetType();
};

// Solid boards from the ground to the jump height, their edges marked by
// bars.
class CPanelJumpType : public CSolidJumpType
{
public:
    CPanelJumpType();
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    static const CPanelJumpType& GetType();
};

// Pickets between two rails.
class CPicketFenceJumpType : public CSolidJumpType
{
public:
    CPicketFenceJumpType();
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    // The left edges of the pickets across a fence of the width, 22.5 wide
    // each: trunc(width / 42.5) of them spread from edge to edge; a fence
    // narrower than 85 has one, centred, one narrower than 42.5 none.
    static std::vector<float> GetPickets(float width);
    static const CPicketFenceJumpType& GetType();
};
