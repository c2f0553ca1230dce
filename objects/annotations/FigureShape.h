#pragma once

#include <memory>
#include <string>

#include "course/CourseObject.h"
#include "graphics/PolygonOutline.h"

class CFigureModel;
class CPackedModel;

// One flat silhouette of a posed figure seen from above: the outline of
// one material of the skin, rebuilt when the pose differs from the one it
// was built for.
class CFigureSilhouette
{
public:
    CFigureSilhouette(CPackedModel* skin, int material) : m_skin(skin), m_material(material) {}

    // Filled in fill; outlined 5 course units wide in outline when that
    // colour shows, differs from fill and no dash style is set.
    void Draw(CGraphicsContext& context, const CFigureModel& model, uint32_t fill, uint32_t outline);
    // True when the pose had changed and the outline was built again.
    bool Rebuild(const CFigureModel& model);
    const CPolygonOutline& GetOutline() const { return m_outline; }

private:
    CPackedModel* m_skin;
    int m_material;
    std::string m_poseKey;
    CPolygonOutline m_outline;
};

// What the placed dog and handler share: a skin and a pose model of their
// own, a scale in per cent for the map, and their drawing in 3D with the
// lowest point of the posed figure at a height.
class CFigureShape : public CCourseObject
{
public:
    int GetCategory() const override { return 2; }
    bool IsHidable() const override { return true; }
    int GetEndCount() const override { return 2; }
    bool IsShown() const override { return true; }
    void Flip() override;
    void Build3D(CGraphicsContext& context) override;

    CFigureModel& GetModel() const { return *m_model; }
    CPackedModel& GetSkin() const { return *m_skin; }
    int GetScale() const { return m_scale; }
    // A scale not above 0 takes 100.
    void SetScale(int scale);

    // The box of the posed figure at scale 100, as 3D draws it (y up).
    CBox3 MeasurePose() const;

    static constexpr int kDefaultScale = 100;
    static constexpr int kBrisklaneScale = 120;
    static constexpr int kBodyPart = 5;

protected:
    CFigureShape(std::unique_ptr<CPackedModel> skin, std::unique_ptr<CFigureModel> model);
    ~CFigureShape() override;

    // The scale field of the record: 0 or less reads and writes as 100, and
    // the Brisklane mode reads every scale as 120.
    void SerializeScale(CFieldStream& stream);
    // The context's transform scaled so that the figure is drawn at its
    // scale.
    void ApplyScale(CGraphicsContext& context) const;
    // The scale by which the ends are placed: none while the course shows 3D.
    float GetEndScale() const;
    // Colours the skin for 3D and names it by colour and pose.
    void PrepareSkin() const;
    virtual void ColorBody(uint32_t color) const = 0;
    virtual float GetStandingHeight() const { return 0.0f; }
    // The writer version of the skin's key and silhouettes' pose keys.
    virtual void SetKeyVersion(CFieldWriter& writer) const { (void)writer; }

    std::unique_ptr<CPackedModel> m_skin;
    std::unique_ptr<CFigureModel> m_model;
    int32_t m_scale = kDefaultScale;
};
