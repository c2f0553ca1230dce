#pragma once

#include <iosfwd>
#include <string>

#include "objects/annotations/ObsNumLabel.h"
#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/TextLabelPart.h"

class CNumberStyle;
class CObsNumSequence;
class CObstacleEnd;

// An obstacle number: the label ("1", "12", "3B", "A", "c") beside an
// obstacle that gives the order in which the dog takes it, on a badge of one
// of three styles (objects/annotations/NumberStyle.h). With the badge flag
// set, the badge's fill and text colours change places. Every number of a
// course belongs to the numbering sequence of its style, flag and label
// kind (objects/annotations/ObsNumSequence.h), which keeps the labels in
// order; a number of the comparison overlay belongs to none.
//
// The number is its own label part: it draws its badge at its position at
// constant screen size. Parts: 15 the badge outline, 25 its fill, 26 the
// text.
class CObsNum : public CCourseObject, public CTextLabelPart
{
public:
    // Type 190, named by text 2574, also read as "ObstacleNumber" and
    // "CircledText"; a new number opens its dialog by default.
    class CObsNumType : public CEquipmentTypeOf<CObsNum>
    {
    public:
        CObsNumType();
    };
    static const CObsNumType& GetObsNumType();
    static constexpr int kTypeId = 190;

    CObsNum();
    // Leaves its sequence.
    ~CObsNum() override;

    int GetCategory() const override { return 1; }
    int GetLayer() const override { return 6; }
    bool IsHidable() const override { return true; }
    // The badge's edge points: left, right, top, bottom.
    int GetEndCount() const override { return 4; }
    void GetEnd(CPoint2& point, int index) const override;
    // The badge flag, 0 or 1.
    int GetDialogVariant() const override;
    // Three words: one not used, "T" for the badge flag, and a label of
    // which the first two characters count.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The style index (version 3: 1 for style 0, 2 for the others), the flag
    // and the label. A style index outside 0 to 2 gives style 0.
    void Serialize(CFieldStream& stream) override;
    // The course's show-numbers flag and the style's data.
    void SerializeExtra(CFieldStream& stream) override;
    bool IsShown() const override;
    // A number read from a file or a listing joins its sequence here, once
    // the whole block has been taken into the course.
    bool ResolveLinks() override;
    void ToDialog(CEditSession& dialog) override;
    // Takes the dialog's style, flag and label and joins the sequence they
    // give, making room for the label there.
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;

    // The label part: the badge and the label, and what its key adds.
    void Draw(CGraphicsContext& context) override { DrawLabel(context); }
    void WriteKeyExtra(CFieldWriter& writer) override;
    void DrawLabel(CGraphicsContext& context);

    const CNumberStyle& GetBadgeStyle() const { return *m_style; }
    bool GetBadgeFlag() const { return m_flag; }
    std::wstring GetText() const { return m_label; }
    const CObsNumLabel& GetParsedLabel() const { return m_parsed; }
    CObsNumSequence* GetSequence() const { return m_sequence; }
    // Half the badge's width and height: 200 by 200 until a label is given.
    const CPoint2& GetHalfSize() const { return m_halfSize; }

    // The sequence gives a member a new label and redraws it.
    void Relabel(const std::wstring& label);
    // The sequence goes before its members.
    void DetachSequence() { m_sequence = nullptr; }
    // The obstacle end the number labels: the nearest first or jump end,
    // within kEndReach and then at any distance; none when the course has
    // none.
    const CObstacleEnd* FindObstacleEnd() const;

    static constexpr float kEndReach = 1200.0f;

private:
    void SetLabel(const std::wstring& label);
    void LeaveSequence();
    // Joins the sequence of the number's style, flag and label kind; a
    // number of the comparison overlay joins none.
    void JoinSequence(bool loading);

    const CNumberStyle* m_style;
    bool m_flag = false;
    std::wstring m_label;
    CObsNumLabel m_parsed;
    CObsNumSequence* m_sequence = nullptr;
    CPoint2 m_halfSize{200.0f, 200.0f};
    bool m_joinPending = false;
};

// A number kept as 0 or 1, stored in the older format as 1 or 2: the value
// as an Int8 from version 4 on; before, 2 for 1 and 1 for anything else,
// read back as 0 from 1 and 1 from anything else.
void SerializeLegacyBool(CFieldStream& stream, int32_t& value);
