#pragma once

#include <string>

class CCourse;
class CJumpType;

// The values of one property panel of the jump dialog, merged from the
// edited jumps (and from a type's stored defaults) the way every properties
// dialog merges: while the panel has merged at most one object a value is
// set, a later different value marks it mixed (0 for a length, a flag for a
// choice).
//
// Defaults are stored per jump type and organisation under
// "<type id><organisation><key>".
class CPropertyPanel
{
public:
    virtual ~CPropertyPanel() = default;

    // The binding kind the panel edits.
    virtual int GetPanelKind() const = 0;
    // Merges the type's stored defaults for the course's organisation.
    virtual void LoadDefaults(const CJumpType& type, const CCourse* course) = 0;

    int GetMergedCount() const { return m_mergedCount; }
    void CountMergedObject() { ++m_mergedCount; }

    // The settings value name of a key for the type and the course's
    // organisation (organisation 0 without a course).
    static std::wstring ValueName(int typeId, const CCourse* course, const wchar_t* key);

protected:
    // Whether a merged value sets the panel's value (the first object).
    bool IsFirstMerge() const { return m_mergedCount <= 1; }
    void MergeLength(float& held, float value) const;
    void MergeFlag(bool& held, bool& mixed, bool value) const;

private:
    int m_mergedCount = 0;
};

// The wings panel: the width between the uprights, wings or not, and the
// wing width.
class CWingsGroup : public CPropertyPanel
{
public:
    int GetPanelKind() const override { return 0; }
    // "PostWidth" (the type's default width for the rule set), "Winged"
    // (off) and "WingWidth" (the type's default wing width; always 240 in
    // the Brisklane display mode). A stored length not above 0 gives the
    // default.
    void LoadDefaults(const CJumpType& type, const CCourse* course) override;

    void MergePostWidth(float width) { MergeLength(m_postWidth, width); }
    void MergeWingWidth(float width) { MergeLength(m_wingWidth, width); }
    void MergeWinged(bool winged) { MergeFlag(m_winged, m_wingedMixed, winged); }
    // The wings choice made: no longer mixed.
    void SetWinged(bool winged);
    // Lengths confirmed in the dialog.
    void SetPostWidth(float width) { m_postWidth = width; }
    void SetWingWidth(float width) { m_wingWidth = width; }

    // 0 when mixed.
    float GetPostWidth() const { return m_postWidth; }
    float GetWingWidth() const { return m_wingWidth; }
    bool IsWinged() const { return m_winged; }
    bool IsWingedMixed() const { return m_wingedMixed; }

private:
    float m_postWidth = 0.0f;
    float m_wingWidth = 0.0f;
    bool m_winged = false;
    bool m_wingedMixed = false;
};

// The long jump's direction panel.
class CAscendingPanel : public CPropertyPanel
{
public:
    // The type whose defaults the panel keeps, whichever type it shows.
    static constexpr int kDefaultsTypeId = 180;

    int GetPanelKind() const override { return 1; }
    // "Ascending" of the long jump (type 180), by default the organisation's
    // direction; not mixed afterwards.
    void LoadDefaults(const CJumpType& type, const CCourse* course) override;

    void MergeAscending(bool ascending) { MergeFlag(m_ascending, m_mixed, ascending); }
    // The direction chosen: no longer mixed.
    void SetAscending(bool ascending)
    {
        m_ascending = ascending;
        m_mixed = false;
    }
    bool IsAscending() const { return m_ascending; }
    bool IsMixed() const { return m_mixed; }

private:
    bool m_ascending = true;
    bool m_mixed = false;
};

// The tire jump's sizes panel.
class CTireJumpPanel : public CPropertyPanel
{
public:
    // The type whose defaults the panel keeps, whichever type it shows.
    static constexpr int kDefaultsTypeId = 320;

    int GetPanelKind() const override { return 2; }
    // "Width" (500) and "TireDiam" (240) of the tire jump (type 320).
    void LoadDefaults(const CJumpType& type, const CCourse* course) override;

    void MergeWidth(float width) { MergeLength(m_width, width); }
    void MergeDiameter(float diameter) { MergeLength(m_diameter, diameter); }
    // Lengths confirmed in the dialog.
    void SetWidth(float width) { m_width = width; }
    void SetDiameter(float diameter) { m_diameter = diameter; }
    // 0 when mixed.
    float GetWidth() const { return m_width; }
    float GetDiameter() const { return m_diameter; }

private:
    float m_width = 0.0f;
    float m_diameter = 0.0f;
};

// The panel of kinds without values, also shown while the edited jumps'
// kinds differ.
class CJumpOptionsGroup : public CPropertyPanel
{
public:
    int GetPanelKind() const override { return 3; }
    void LoadDefaults(const CJumpType& type, const CCourse* course) override {}
};
