#pragma once

#include <string>

#include "graphics/Drawable.h"
#include "objects/equipment/JumpType.h"

// The bar jumps: single (with or without the "1" mark), double, triple,
// spread and extended spread, each winged or not. They differ in their bar
// count, whether they are taken one way (the spread kinds: no second end,
// an arrow in the plan) and the rows of cups their bars rest on.
//
// A legacy line names the wingless or the winged key; the wingless form of
// a kind of two or more bars starts with a word, "T" asking for the kind's
// alternative type. Then come the width and, winged, the wing width in
// inches.
class CBarJumpType : public CWingedJumpType
{
public:
    struct CParams
    {
        int typeId;
        int nameId;
        int winglessNameId;
        int wingedNameId;
        const char* winglessKey;
        const char* wingedKey;
        int barCount;
        bool showsOneLabel;
        bool oneWay;
        const CBarJumpType* alternativeType;
        float winglessOffset;
        float wingedOffset;
    };

    // The bars of a bar jump in plan, a cached item: the frame of a jump of
    // two or more bars (or the backdrop of a pale or grey single bar), the
    // bar lines, the uprights of a wingless jump and a one-way jump's arrow.
    class CMainShape2D : public CDrawable
    {
    public:
        // The key holds the jump's record, so the jump must outlive the item.
        CMainShape2D(int barCount, bool oneWay, CJump& jump);
        void Draw(CGraphicsContext& context) override;

    private:
        int m_barCount;
        bool m_oneWay;
        CJump& m_jump;
    };

    // The "1" of the one-bar jump, drawn upright.
    class COneBar : public CDrawable
    {
    public:
        explicit COneBar(const CJump& jump);
        void Draw(CGraphicsContext& context) override;

    private:
        int m_accentIndex;
        int m_outlineIndex;
    };

    explicit CBarJumpType(const CParams& params);

    void ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    int GetBarCount(const CJump& jump) const override { return m_barCount; }
    bool HasSecondEnd(const CJump& jump) const override { return !m_oneWay; }
    // The rule set's width for the bar count.
    float GetDefaultWidth(const CSpecList& specList) const override;
    // 1 for the wingless name, 0 for the winged one; the kind's own name
    // (which no button carries) gives 2, leaving the wings as stored. Another
    // name id is reported and gives 0.
    int IsWinglessNameId(int nameTextId) const override;
    // 7, and 0 for the single-bar kinds.
    float GetPostOffset() const override { return m_barCount == 1 ? 0.0f : 7.0f; }

    bool ShowsOneLabel() const { return m_showsOneLabel; }
    bool IsOneWay() const { return m_oneWay; }
    const CBarJumpType* GetAlternativeType() const { return m_alternativeType; }

    // The six kinds, each built on first use (the spread kinds after their
    // alternatives).
    static const CBarJumpType& GetSingleJumpType();
    static const CBarJumpType& GetOneBarJumpType();
    static const CBarJumpType& GetDoubleJumpType();
    static const CBarJumpType& GetTripleJumpType();
    static const CBarJumpType& GetSpreadJumpType();
    static const CBarJumpType& GetExtendedSpreadJumpType();

private:
    // The side assemblies, wings and bars of the kinds of two or three bars.
    void BuildRows(CGraphicsContext& context, CJump& jump) const;

    int m_winglessNameId;
    int m_wingedNameId;
    std::string m_winglessKey;
    std::string m_wingedKey;
    int m_barCount;
    bool m_showsOneLabel;
    bool m_oneWay;
    const CBarJumpType* m_alternativeType;
    float m_winglessOffset;
    float m_wingedOffset;
};
