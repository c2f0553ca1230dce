#pragma once

#include <array>

#include "objects/annotations/FigureShape.h"
#include "objects/equipment/EquipmentType.h"

class CDogFigure;

// A posed dog on the course (type 80): flat silhouettes of its posed body
// in the map, the textured body in 3D with its lowest point at the custom
// height, or at the course's jump height when that is negative. Its ends
// lie at the head and the tail.
class CDogShape : public CFigureShape
{
public:
    // Type 80, named by text 2540, part colour 5.
    using CDogShapeType = CEquipmentTypeOf<CDogShape>;
    static const CDogShapeType& GetDogShapeType();

    CDogShape();

    int GetLayer() const override { return 7; }
    void GetEnd(CPoint2& point, int index) const override;
    // From version 4: the pose and the custom height; older records hold
    // neither (the default pose, height 0). Then the scale.
    void Serialize(CFieldStream& stream) override;
    // The course's jump height while the dog stands on it.
    void SerializeExtra(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    // The pose, custom height and scale the dialog shares out.
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;

    int GetFigureKind() const override { return kTypeId; }
    CDogFigure& GetDogModel() const;
    float GetCustomHeight() const { return m_customHeight; }
    // Not a finite number gives 0.
    void SetCustomHeight(float height);

    static constexpr int kTypeId = 80;
    static constexpr int kNameTextId = 2540;

protected:
    std::unique_ptr<CPackedModel> MakeSkin() const override;
    void ColorBody(uint32_t color) const override;
    float GetStandingHeight() const override;

private:
    // Made when the figure is first drawn in the map: a course may hold
    // thousands of figures it never shows there.
    std::unique_ptr<std::array<CFigureSilhouette, 4>> m_silhouettes;
    float m_customHeight = 0.0f;
};
