#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/StraightObstacle.h"

// The sway bridge: a deck of slats hanging between two frame ends, reached
// by a ramp at each end. Its size is fixed. Origin at the centre, x along
// the bridge; lengths in tenths of an inch.
class CSwayBridge : public CStraightObstacle
{
public:
    // Type 280, named by text 2590, with the parts deck (16), frame (2),
    // ramps (6) and fittings (4).
    using CSwayBridgeType = CEquipmentTypeOf<CSwayBridge>;
    static const CSwayBridgeType& GetSwayBridgeType();

    CSwayBridge();

    int GetLayer() const override { return 4; }
    // The deck's half length and a ramp's run: about 834.97.
    float GetReach() const override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 280;
    // The deck's half length between the frame ends.
    static constexpr float kHalfDeck = 390.0f;
    // How many slats hang in each half of the deck.
    static int GetSlatsPerHalf();
};
