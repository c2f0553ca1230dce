#pragma once

#include <memory>
#include <string>

#include "course/CourseObject.h"
#include "graphics/PolygonOutline.h"
#include "objects/annotations/FigureOutlineCache.h"

class CFigureModel;
class CFigureShape;
class CPackedModel;

// One flat silhouette of a posed figure seen from above: the outline of
// one material of the figure's skin, taken again when the pose differs
// from the one it was taken for. Figures of one kind in one pose share the
// outline: the first to need it tessellates its skin, the others find it.
class CFigureSilhouette
{
public:
    explicit CFigureSilhouette(int material) : m_material(material) {}

    // Filled in fill; outlined 5 course units wide in outline when that
    // colour shows, differs from fill and no dash style is set.
    void Draw(CGraphicsContext& context, const CFigureShape& figure, uint32_t fill, uint32_t outline);
    // True when the figure's pose had changed and the outline was taken
    // again: from a figure of its kind in that pose, or else built from the
    // figure's skin, which only then is made.
    bool Rebuild(const CFigureShape& figure);
    // Empty until first taken.
    const CPolygonOutline& GetOutline() const;
    // The outline within kCoarseTolerance course units, for drawings whose
    // pixels are at least kCoarsePixel long: made from the outline when
    // first asked for.
    const CPolygonOutline& GetCoarseOutline();
    static constexpr float kCoarseTolerance = 4.0f;
    static constexpr float kCoarsePixel = 4.0f * kCoarseTolerance;

private:
    int m_material;
    // Null until first taken: a course may hold thousands of figures it
    // never shows. The coarse outline serves the map of a whole course,
    // which draws a figure a few pixels long: GDI's time goes by the points
    // of a path.
    std::shared_ptr<CFigureOutlineCache::CEntry> m_shared;
};

// What the placed dog and handler share: a pose model and a skin of their
// own, a scale in per cent for the map, and their drawing in 3D with the
// lowest point of the posed figure at a height. The skin is made when the
// figure is first drawn or measured: a course read from a file keeps only
// the poses of figures it does not show.
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
    // Figures of one kind have skins of one shape (the kind's type id).
    virtual int GetFigureKind() const = 0;
    CPackedModel& GetSkin() const;
    bool HasSkin() const { return m_skin != nullptr; }
    int GetScale() const { return m_scale; }
    // A scale not above 0 takes 100.
    void SetScale(int scale);

    // The box of the posed figure at scale 100, as 3D draws it (y up).
    CBox3 MeasurePose() const;

    static constexpr int kDefaultScale = 100;
    static constexpr int kBrisklaneScale = 120;
    static constexpr int kBodyPart = 5;

protected:
    explicit CFigureShape(std::unique_ptr<CFigureModel> model);
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
    // After a drawing: the skinned mesh goes until the next one needs it.
    void ReleaseMesh() const;
    virtual std::unique_ptr<CPackedModel> MakeSkin() const = 0;
    virtual void ColorBody(uint32_t color) const = 0;
    virtual float GetStandingHeight() const { return 0.0f; }
    // The writer version of the skin's key and silhouettes' pose keys.
    virtual void SetKeyVersion(CFieldWriter& writer) const { (void)writer; }

    std::unique_ptr<CFigureModel> m_model;
    mutable std::unique_ptr<CPackedModel> m_skin;
    int32_t m_scale = kDefaultScale;
};
