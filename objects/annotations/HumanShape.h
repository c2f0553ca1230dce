#pragma once

#include <array>

#include "objects/annotations/FigureShape.h"
#include "objects/equipment/EquipmentType.h"

class CHumanFigure;

// A posed handler on the course (type 130): silhouettes in the map in an
// order that follows her lean (joint 20), the textured body standing on the
// ground in 3D. Her ends lie at her sides.
class CHumanShape : public CFigureShape
{
public:
    // Type 130, named by text 2552, part colour 5.
    using CHumanShapeType = CEquipmentTypeOf<CHumanShape>;
    static const CHumanShapeType& GetHumanShapeType();

    CHumanShape();

    int GetLayer() const override { return 8; }
    void GetEnd(CPoint2& point, int index) const override;
    // Before version 4 a name first (written empty; one read becomes a text
    // object below the figure); then the pose and the scale.
    void Serialize(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    // The pose, hands' choices and scale the dialog shares out.
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;

    int GetFigureKind() const override { return kTypeId; }
    CHumanFigure& GetHumanModel() const;

    static constexpr int kTypeId = 130;
    static constexpr int kNameTextId = 2552;
    static constexpr int kHairMaterial = 11;

protected:
    std::unique_ptr<CPackedModel> MakeSkin() const override;
    void ColorBody(uint32_t color) const override;
    void SetKeyVersion(CFieldWriter& writer) const override;

private:
    // The silhouette of a material (materials 8 and 10 have none).
    CFigureSilhouette& Silhouette(int material);
    void PlaceLegacyName(const std::wstring& name);

    // Made when the figure is first drawn in the map: a course may hold
    // thousands of figures it never shows there.
    std::unique_ptr<std::array<CFigureSilhouette, 10>> m_silhouettes;
};
