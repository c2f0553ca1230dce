#pragma once

#include <iosfwd>
#include <string>

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/StraightObstacle.h"

// The see-saw: a plank on a pivot, shown level, tipped (one end down, taken
// one way only, with an arrow in the plan) or flat on the ground without
// its pivot frame. Origin at the pivot, x along the plank; lengths in
// tenths of an inch.
class CSeeSaw : public CStraightObstacle
{
public:
    // Stored numbers of the styles.
    enum class EStyle
    {
        kLevel = 0,
        kTipped = 1,
        kFlat = 2,
    };

    // Type 250, named by text 2584, with the parts plank (16), pivot frame
    // (2) and contact zones (6).
    class CSeeSawType : public CEquipmentTypeOf<CSeeSaw>
    {
    public:
        CSeeSawType();
    };

    static const CSeeSawType& GetSeeSawType();

    CSeeSaw();

    int GetLayer() const override { return 4; }
    // 0.4714 of the plank length.
    float GetReach() const override;
    // Mirroring turns the see-saw end for end.
    float GetMirrorAngle() const override { return 180.0f; }
    // A word ("T": tipped, else level), then the plank length in inches
    // (1440 tenths when it is not at least 1).
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The plank length as a rounded Int16 float, then the style as Int8. A
    // length not above 0 keeps the object's, a style outside 0 to 2 gives
    // level.
    void Serialize(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;
    // A tipped see-saw offers only the first end at +x and the second at -x.
    void UpdateEnds() override;

    float GetPlankLength() const { return m_plankLength; }
    EStyle GetStyle() const { return m_style; }

    static constexpr int kTypeId = 250;
    // The height of the pivot's top.
    static constexpr float kPivotHeight = 225.0f;

private:
    float m_plankLength = 200.0f;
    EStyle m_style = EStyle::kTipped;
};
