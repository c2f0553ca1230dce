#pragma once

#include "graphics/PackedModel.h"
#include "objects/annotations/FigureModel.h"

// The dog's textured, articulated mesh: 37 parts, four materials on the dog
// texture, built from the compiled-in tables. Every dog skin shares one
// store of unpacked vertices.
class CDogFigureSkin : public CPackedModel
{
public:
    CDogFigureSkin();
};

// The dog's pose: 24 joints (the legs, the spine and body, the neck and
// head, the tail), 20 handles and eleven presets, "Standing" to "Landing".
class CDogFigure : public CFigureModel
{
public:
    explicit CDogFigure(CPackedModel* skin);

    bool IsHandleShown(int handle, const float view[3]) const override;
    const int* GetPresetIds() const override;
    CFigureModel& GetPreset(int textId) const override;
    void Update() override;
    void Mirror() override;

    static constexpr int kJointCount = 24;
    static constexpr int kFirstPreset = 2365;
    static constexpr int kLastPreset = 2375;
    // The scale of the skin's units to tenths of an inch.
    static constexpr float kSkinScale = 8.25f;

private:
    void PlaceBody();
    // Turns a chain of parts by the angle each about the vertical of the
    // chain's rest placement.
    void TurnChain(int firstPart, int count, float anglePerPart);
};
