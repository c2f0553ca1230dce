#pragma once

#include <iosfwd>
#include <string>

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/StraightObstacle.h"

// The dog walk: a level top plank on two supports with a ramp plank down at
// each end, taken in either direction. Local frame: origin at the middle of
// the top plank, x along the walk; lengths in tenths of an inch.
class CDogWalk : public CStraightObstacle
{
public:
    // Type 100, named by text 2544, with the parts plank surface (16), frame
    // and supports (2), contact zones (6) and ties (4).
    class CDogWalkType : public CEquipmentTypeOf<CDogWalk>
    {
    public:
        CDogWalkType();
    };

    static const CDogWalkType& GetDogWalkType();

    CDogWalk();

    int GetLayer() const override { return 4; }
    // Half the plank length and the run of one ramp.
    float GetReach() const override;
    // "<plank length> planks" (text 2039), in feet and inches or centimetres.
    std::wstring GetSizeText() const override;
    // One whole number n of the standard sizes (416 for the 12-foot walk,
    // 274 for the 8-foot one, which a line without it takes by its key).
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // Plank length and height as rounded Int16 floats. A value read that is
    // not above 0 keeps the one the object had.
    void Serialize(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    float GetPlankLength() const { return m_plankLength; }
    float GetHeight() const { return m_height; }
    // The horizontal run of one ramp plank; 0 when the height reaches the
    // plank length.
    float GetRun() const;
    // Sets the sizes that are above 0.
    void SetSize(float plankLength, float height);

    static constexpr int kTypeId = 100;

private:
    float m_plankLength = 200.0f;
    float m_height = 100.0f;
};
