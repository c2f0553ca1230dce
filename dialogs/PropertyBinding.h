#pragma once

#include <memory>
#include <string>

#include "foundation/BlockPool.h"

class CFieldStream;
class CJumpPropertiesDlg;
class CJumpType;

// The kind-specific values of a placed jump, the link between the jump's
// record and the property panel of the jump dialog that edits them. The
// jump's type names the binding kind its jumps carry; the record body of a
// jump is exactly what its binding writes.
class CPropertyBinding
{
public:
    enum EKind
    {
        kWings = 0,
        kAscending = 1,
        kTireJump = 2,
        kPlain = 3,
    };

    // Every jump holds one: a course's bindings are read, and thrown away
    // again, by the thousand with their jumps.
    static void* operator new(size_t size) { return CBlockPool::Shared().Allocate(size); }
    static void operator delete(void* block, size_t size) { CBlockPool::Shared().Free(block, size); }
    virtual ~CPropertyBinding() = default;

    // Merges the values into the dialog's panel of this kind.
    virtual void ApplyTo(CJumpPropertiesDlg& dialog) const = 0;
    // Takes the panel's values that are not mixed; type is the jump's type
    // after the dialog's choice.
    virtual void LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type) = 0;
    // The size text of the jump; empty for most kinds.
    virtual std::wstring GetDescription() const;
    // The record body, one routine for both directions.
    virtual void Serialize(CFieldStream& stream) = 0;
    virtual EKind GetKind() const = 0;
};

// The bar jumps and the other winged kinds: the clear width between the
// uprights and the wing width (0: no wings).
class CWingsBinding : public CPropertyBinding
{
public:
    void ApplyTo(CJumpPropertiesDlg& dialog) const override;
    // A jump the dialog makes winged while the dialog has no wing width gets
    // the type's default wing width, unless it has wings of its own.
    void LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type) override;
    // "no wings" or "with wings".
    std::wstring GetDescription() const override;
    // Width and wing width as Float16. A wing width below 80 becomes 0; in the
    // Brisklane display mode a wing width of 0 read becomes 240. A negative
    // width read keeps the width the binding had.
    void Serialize(CFieldStream& stream) override;
    EKind GetKind() const override { return kKind; }

    static constexpr EKind kKind = kWings;

    // Wings narrower than this are no wings.
    static constexpr float kMinWingWidth = 80.0f;

    float width = 540.0f;
    float wingWidth = 240.0f;
};

// The long jump: whether its boards rise in the one direction it is taken.
class CAscendingBinding : public CPropertyBinding
{
public:
    void ApplyTo(CJumpPropertiesDlg& dialog) const override;
    void LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type) override;
    // A bool; version-3 archives follow it with a Float16 and an Int8 that
    // are written as 0 and skipped when read.
    void Serialize(CFieldStream& stream) override;
    EKind GetKind() const override { return kKind; }

    static constexpr EKind kKind = kAscending;

    bool ascending = true;
};

// The tire jump: the frame's width and the tire's opening diameter.
class CTireJumpBinding : public CPropertyBinding
{
public:
    void ApplyTo(CJumpPropertiesDlg& dialog) const override;
    void LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type) override;
    // Width and diameter as Float16; a value read that is not above 0 keeps
    // the one the binding had.
    void Serialize(CFieldStream& stream) override;
    EKind GetKind() const override { return kKind; }

    static constexpr EKind kKind = kTireJump;

    static constexpr float kStandardWidth = 500.0f;
    static constexpr float kStandardDiameter = 240.0f;

    float width = kStandardWidth;
    float diameter = kStandardDiameter;
};

// The kinds without values of their own; the record body is empty.
class CJumpDataBinding : public CPropertyBinding
{
public:
    void ApplyTo(CJumpPropertiesDlg& dialog) const override;
    void LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type) override;
    void Serialize(CFieldStream& stream) override;
    EKind GetKind() const override { return kKind; }

    static constexpr EKind kKind = kPlain;
};

// The binding as the class of its kind; none when it is none or of another
// kind.
template <class TBinding>
TBinding* BindingAs(CPropertyBinding* binding)
{
    return binding != nullptr && binding->GetKind() == TBinding::kKind ? static_cast<TBinding*>(binding) : nullptr;
}

template <class TBinding>
const TBinding* BindingAs(const CPropertyBinding* binding)
{
    return binding != nullptr && binding->GetKind() == TBinding::kKind ? static_cast<const TBinding*>(binding)
                                                                       : nullptr;
}

// A new binding of the kind; another kind is reported and gives the plain
// binding.
std::unique_ptr<CPropertyBinding> CreateJumpBinding(int kind);
