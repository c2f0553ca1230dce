#pragma once

#include "dialogs/FigureDlg.h"
#include "objects/annotations/DogFigure.h"

class CCourse;

// The dog figure's dialog: the pose, the scale and the height of the dog's
// lowest point above the ground: 0 on the ground, -1 at the course's jump
// height, or a custom height in tenths of an inch. Dogs that differ make the
// height mixed, and OK then keeps each dog's own. A new dog starts from the
// custom height stored per organisation under "CustomHeight".
class CDogShapeDlg : public CFigureDlg
{
public:
    explicit CDogShapeDlg(CCourse* course);

    // The merges of the dogs' ToDialog.
    void MergeFigure(const CDogFigure& figure);
    void MergeCustomHeight(float height);

    float GetCustomHeight() const { return m_customHeight; }
    bool IsHeightMixed() const { return m_heightMixed; }
    // The user's height: 0, -1 or a custom one.
    void ChooseCustomHeight(float height);
    // The stored height a new dog offers (0 for none).
    float GetStoredCustomHeight() const;
    // The height is stored only when the user's choice or the merged one is
    // known: the mixed marker 0 is no height to offer the next dog.
    void StoreDefaults() const override;
    // Whether the pose is the dog's pose over the bar, which stands at the
    // jump height.
    bool IsOverTheBar() const;

    static constexpr float kOnTheGround = 0.0f;
    static constexpr float kAtJumpHeight = -1.0f;
    static constexpr int kOverTheBarPose = 2374;

private:
    CDogFigureSkin m_skin;
    CDogFigure m_figure;
    float m_customHeight = kOnTheGround;
    bool m_heightMixed = false;
};
