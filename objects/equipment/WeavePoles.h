#pragma once

#include <iosfwd>
#include <string>

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/ObstacleEnd.h"

// The weave poles: a row of upright poles along x, set apart by a spacing,
// the two halves of the row (even and odd poles) optionally a channel apart
// sideways. The guide option draws the weaving line in the plan, puts
// guides on the poles in 3D and, for an odd count, keeps only one pair of
// ends. Origin at the middle of the row; lengths in tenths of an inch.
class CWeavePoles : public CCourseObject
{
public:
    // Type 370, named by text 2610, with the parts pole bands (21), base
    // (2), poles (17) and guides (4); its dialog opens on placing unless the
    // user turned that off.
    class CWeavePolesType : public CEquipmentTypeOf<CWeavePoles>
    {
    public:
        CWeavePolesType();
    };

    static const CWeavePolesType& GetWeavePolesType();

    CWeavePoles();

    int GetCategory() const override { return 2; }
    int GetLayer() const override { return 3; }
    int GetEndCount() const override { return 2; }
    // The end poles.
    void GetEnd(CPoint2& point, int index) const override;
    // "<n> poles, <spacing> apart" (text 2041), the spacing in inches or
    // centimetres.
    std::wstring GetSizeText() const override;
    // The pole count, then the spacing in inches. An even count moves the
    // object half a spacing along its row.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // Pole count as Int8, spacing as a rounded Int16 float, the guide option
    // as Bool, then from version 4 on the channel as a rounded Int16 float.
    // Values that make no row keep the object's.
    void Serialize(CFieldStream& stream) override;
    // With the guides on, the course's jump height, which they follow.
    void SerializeExtra(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;
    void UpdateEnds() override;

    int GetPoleCount() const { return m_poles; }
    float GetSpacing() const { return m_spacing; }
    float GetChannel() const { return m_channel; }
    bool HasGuides() const { return m_guides; }
    // The x of pole i.
    float GetPoleX(int index) const;
    // A count outside 1 to 127 (what a record's Int8 holds) is held at the
    // nearer limit.
    void SetPoleCount(int poles);

    static constexpr int kTypeId = 370;
    static constexpr int kMaxPoles = 127;
    // The guides stand at this share of the course's jump height.
    static constexpr float kGuideShare = 0.8f;

private:
    int m_poles = 20;
    float m_spacing = 100.0f;
    float m_channel = 0.0f;
    bool m_guides = false;
    // Ends 1 to 4 of the row and the two second ends 5 and 6, registered in
    // that order where the count and the guide option have them.
    CFirstObstacleEnd m_firsts[4];
    CSecondObstacleEnd m_seconds[2];
    // Which of the six ends are registered (bit i: end i in UpdateEnds'
    // order); none before the first update, at least end 5 after it.
    unsigned m_registeredEnds = 0;
};
