#pragma once

#include <memory>
#include <string>

#include "course/CourseObject.h"
#include "objects/equipment/ObstacleEnd.h"

class CJumpType;
class CPropertyBinding;
class CWingsBinding;

// The one course object of every jump kind. Its look, its ends, its legacy
// line and its record come from its type, a CJumpType; the values the user
// edits live in a property binding whose kind the type names (the record
// body is the binding's). Local frame: the bars run along x, a dog takes
// the jump along -y (first end) or +y (second end).
class CJump : public CCourseObject
{
public:
    CJump();
    ~CJump() override;

    // Keeps the binding when the new type's binding kind is the same, so a
    // jump turned into another kind of the same family keeps its values;
    // otherwise makes a new binding. A type that is not a jump type is
    // reported and leaves the binding.
    void SetType(const CObjectType* type) override;
    // The same for a type known to be a jump type.
    void SetJumpType(const CJumpType& type);
    int GetCategory() const override { return 2; }
    int GetLayer() const override { return 3; }
    int GetEndCount() const override;
    void GetEnd(CPoint2& point, int index) const override;
    // The binding's description.
    std::wstring GetSizeText() const override;
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    void Serialize(CFieldStream& stream) override;
    // The course's jump height, long-jump length and plank count and its
    // organisation: the jumps' look depends on them.
    void SerializeExtra(CFieldStream& stream) override;
    // The ends and extents follow the course's new jump settings.
    bool OnJumpSettingsChanged() override;
    // The dialog shows the type (a triple jump as the extended spread jump)
    // and the binding's values.
    void ToDialog(CEditSession& dialog) override;
    // Takes the dialog's chosen type, then the binding's values.
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;
    // Half width 0.5 x width - 60 (0 below 60), half depth 60 per bar; the
    // second end only where the type has one.
    void UpdateEnds() override;

    // None when the type is not a jump type.
    const CJumpType* GetJumpType() const;
    CPropertyBinding* GetBinding() const { return m_binding.get(); }
    // The wings binding; none, reported, when the jump holds another.
    CWingsBinding* GetWingsBinding() const;
    const CJumpEnd& GetJumpEnd(int index) const { return index == 0 ? m_firstEnd : m_secondEnd; }

    // The course's values the jump is drawn with (without a course: 0, the
    // defaults of the long jump). The height is kept within 0 to
    // kMaxJumpHeight so that a damaged value cannot pile up logs without end.
    float GetJumpHeight() const;
    float GetLongJumpLength() const;
    int GetLongJumpPlanks() const;
    // Moves the jump to its own point (0, -offset), keeping its rotation.
    void MoveBack(float offset);

    static constexpr float kMaxJumpHeight = 2000.0f;
    static constexpr float kDefaultLongJumpLength = 480.0f;
    static constexpr int kDefaultLongJumpPlanks = 4;
    static constexpr float kBarSpacing = 120.0f;

private:
    // The jump type; none, reported, when the type is none or another kind.
    const CJumpType* RequireJumpType() const;

    // The type as SetJumpType last took it: the jump's type unless Init gave
    // another.
    const CJumpType* m_jumpType = nullptr;
    std::unique_ptr<CPropertyBinding> m_binding;
    CJumpEnd m_firstEnd;
    CJumpEnd m_secondEnd;
};
