#pragma once

#include <iosfwd>
#include <string>

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/FourWayObstacle.h"

// The crossover: a square raised platform with a ramp plank down from up to
// four of its sides (the layout). Origin at the platform's centre; lengths
// in tenths of an inch.
class CCrossover : public CFourWayObstacle
{
public:
    // Type 70, named by text 2538, with the parts surfaces (16), frame (2)
    // and contact zones (6); its dialog opens on placing unless the user
    // turned that off.
    class CCrossoverType : public CEquipmentTypeOf<CCrossover>
    {
    public:
        CCrossoverType();
    };

    static const CCrossoverType& GetCrossoverType();

    CCrossover();

    int GetLayer() const override { return 4; }
    // One whole number, the layout ("Crossover3Planks" without it: three).
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The layout as Int8, then platform width, plank length and height as
    // rounded Int16 floats; a record whose height is 0 keeps the sizes, and
    // sizes not above 0 keep theirs.
    void Serialize(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    float GetPlatformWidth() const { return m_platformWidth; }
    float GetPlankLength() const { return m_plankLength; }
    float GetHeight() const { return m_height; }
    // The horizontal run of one plank; 0 when the height reaches the plank.
    float GetRun() const;
    // How far each plank reaches from the centre: half the platform and the
    // run.
    float GetReach() const override;

    static constexpr int kTypeId = 70;

private:
    // Takes the sizes above 0; the caller updates the ends once it is done.
    void SetSize(float platformWidth, float plankLength, float height);

    float m_platformWidth = 320.0f;
    float m_plankLength = 1440.0f;
    float m_height = 480.0f;
};
