#pragma once

#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>

#include "course/ObjectType.h"
#include "foundation/Geometry.h"

class CFieldStream;
class CGraphicsContext;
class CJump;
class CPropertyBinding;
class CSpecList;

// The descriptor of a jump kind: it places CJump objects and does all that
// is kind-specific for them. Every jump kind is in the jump group (text
// 2631). Types are process-wide singletons built once by the registry.
class CJumpType : public CObjectType
{
public:
    // A CJump of this type.
    std::unique_ptr<CCourseObject> CreateObject() const override;
    bool IsStandard() const override { return m_standard; }
    bool GetEditOnCreateDefault() const override { return m_editOnCreate; }

    // The kind of property binding the type's jumps carry
    // (CPropertyBinding::EKind).
    virtual int GetBindingKind() const = 0;
    // The values of a legacy course line; nothing by default.
    virtual void ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const;
    virtual int GetEndCount() const { return 2; }
    // End 0 or 1 in the jump's coordinates.
    virtual CPoint2 GetEnd(int index, const CJump& jump) const = 0;
    virtual void Draw2D(CGraphicsContext& context, CJump& jump) const = 0;
    virtual void Build3D(CGraphicsContext& context, CJump& jump) const = 0;
    // Bars across the jump, 120 apart: the depth of its ends.
    virtual int GetBarCount(const CJump& jump) const { return 1; }
    virtual float GetWidth(const CJump& jump) const = 0;
    virtual bool HasSecondEnd(const CJump& jump) const { return true; }
    // The jump's record body: the binding's.
    virtual void SerializeBinding(CFieldStream& stream, CPropertyBinding& binding) const;

protected:
    // Named by nameTextId (registered by name only through SetNameId), with
    // the parts added to the colour set in the order given.
    CJumpType(int typeId, int nameTextId, std::initializer_list<int> parts, bool standard, bool editOnCreate);

    // End 0 at (-x, 0), end 1 at (x, 0): the ends of every kind.
    static CPoint2 EndAt(int index, float x) { return CPoint2(index == 0 ? -x : x, 0.0f); }

private:
    bool m_standard;
    bool m_editOnCreate;
};

// The kinds with the wings binding: a clear width between the uprights and
// wings (wing width 0: none) outside a post offset on either side.
class CWingedJumpType : public CJumpType
{
public:
    int GetBindingKind() const override { return 0; }
    // (-+(post offset + wing width + width / 2), 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    float GetWidth(const CJump& jump) const override;

    // The width a new jump gets unless another is stored.
    virtual float GetDefaultWidth(const CSpecList& specList) const = 0;
    // The wing width a jump made winged gets unless another is stored.
    virtual float GetDefaultWingWidth() const { return 240.0f; }
    // 1 for the kind's wingless name, 0 for its winged name, 2 for kinds
    // without that choice.
    virtual int IsWinglessNameId(int nameTextId) const { return 2; }
    // From the end of the bar to the wing.
    virtual float GetPostOffset() const { return 0.0f; }

    // The jump's width and wing width; zeros, reported, without a wings
    // binding.
    static float GetWidthOf(const CJump& jump);
    static float GetWingWidthOf(const CJump& jump);

protected:
    using CJumpType::CJumpType;

    // The two wing rectangles, 2 x halfDepth deep, outside the post offset,
    // filled with the secondary colour; nothing without wings.
    void DrawWings2D(CGraphicsContext& context, const CJump& jump, float halfDepth) const;
    // The uprights of the brush, panel and single-bar kinds: pipe stands
    // with a cup row at either end of the bar, or the wings with their cups.
    void BuildPostsOrWings(CGraphicsContext& context, const CJump& jump) const;
    // The two wings, outside the post offset, turned out from the bar ends.
    void BuildWings(CGraphicsContext& context, const CJump& jump, bool drawCups) const;
    // Pipe stands of the kind at +-x, the one at +x turned half round.
    static void BuildPipeFrames(CGraphicsContext& context, const CJump& jump, int kind, int secondPart, float x);
};

// Part ids of the jumps' colour sets.
namespace jumpparts {
constexpr int kBrick = 1;
constexpr int kFeet = 2;
constexpr int kCords = 3;
constexpr int kWindow = 8;
constexpr int kWindowLining = 9;
constexpr int kHoop = 12;
constexpr int kSlats = 13;
constexpr int kPanels = 14;
constexpr int kBars = 17;
constexpr int kBoards = 18;
constexpr int kTopCord = 19;
constexpr int kStripes = 21;
constexpr int kPoles = 22;
constexpr int kTire = 28;
constexpr int kTireBand = 29;
}  // namespace jumpparts
