#include "objects/annotations/FigureShape.h"

#include <cmath>

#include "course/Course.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"
#include "graphics/BoundsContext.h"
#include "graphics/GraphicsContext.h"
#include "graphics/PackedModel.h"
#include "graphics/TessellatingContext.h"
#include "objects/annotations/FigureModel.h"

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;
constexpr float kOutlineWidth = 5.0f;

}  // namespace

bool CFigureSilhouette::Rebuild(const CFigureShape& figure)
{
    CFigureModel& model = figure.GetModel();
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    writer.WriteInt16(figure.GetFigureKind());
    writer.WriteInt8(m_material);
    model.Serialize(writer);
    if (m_shared && m_shared->key == writer.m_bytes)
        return false;
    m_shared = CFigureOutlineCache::Find(writer.m_bytes);
    if (m_shared)
        return true;
    TRACE_VALUE(int32_t, m_material);
    m_shared = CFigureOutlineCache::Add(writer.m_bytes);
    CPackedModel& skin = figure.GetSkin();
    // The outline is shared as that of the pose: the skin must show it.
    model.Update();
    skin.SetMaterialColor(0);
    skin.SetMaterialColor(m_material, kOpaqueWhite);
    CTessellatingContextEx& tessellator = CTessellatingContextEx::Instance();
    tessellator.BeginPolygon(m_shared->outline);
    tessellator.TessellateDrawable(skin);
    tessellator.EndPolygon();
    skin.SetMaterialColor(kOpaqueWhite);
    return true;
}

void CFigureSilhouette::Draw(CGraphicsContext& context, const CFigureShape& figure, uint32_t fill,
                             uint32_t outline)
{
    Rebuild(figure);
    const bool stroke = (outline >> 24) != 0 && outline != fill && context.m_state.dashStyle == 0;
    const float scale = context.m_state.matrix.GetScale();
    context.m_state.fillColor = fill;
    context.m_state.fillPattern = 0;
    if (stroke) {
        context.m_state.penColor = outline;
        context.m_state.penWidth = scale > 0.0f ? kOutlineWidth / scale : kOutlineWidth;
    }
    const float pixel = context.GetPixelSize();
    context.BeginPath(stroke, true, 0);
    (pixel >= kCoarsePixel ? GetCoarseOutline() : GetOutline()).DrawTo(context);
    context.EndPath();
}

const CPolygonOutline& CFigureSilhouette::GetOutline() const
{
    static const CPolygonOutline empty;
    return m_shared ? m_shared->outline : empty;
}

const CPolygonOutline& CFigureSilhouette::GetCoarseOutline()
{
    if (!m_shared)
        return GetOutline();
    if (!m_shared->coarseOutline) {
        m_shared->coarseOutline = std::make_unique<CPolygonOutline>(m_shared->outline);
        m_shared->coarseOutline->Simplify(kCoarseTolerance);
    }
    return *m_shared->coarseOutline;
}

CFigureShape::CFigureShape(std::unique_ptr<CFigureModel> model) : m_model(std::move(model))
{
}

CPackedModel& CFigureShape::GetSkin() const
{
    if (!m_skin) {
        m_skin = MakeSkin();
        m_model->SetSkin(m_skin.get());
    }
    return *m_skin;
}

CFigureShape::~CFigureShape() = default;

void CFigureShape::SetScale(int scale)
{
    m_scale = scale > 0 ? scale : kDefaultScale;
}

void CFigureShape::Flip()
{
    m_model->Mirror();
}

void CFigureShape::SerializeScale(CFieldStream& stream)
{
    int32_t scale = m_scale > 0 ? m_scale : kDefaultScale;
    stream.Int16(scale);
    if (!stream.IsReading())
        return;
    // A scale of 0 or less comes only from a damaged record: drawn as it
    // stands it would mirror and collapse the figure.
    SetScale(scale);
    if (IsBrisklaneMode())
        m_scale = kBrisklaneScale;
}

void CFigureShape::ApplyScale(CGraphicsContext& context) const
{
    CTransform& matrix = context.m_state.matrix;
    const float present = matrix.GetScale();
    const float wanted = float(m_scale) / 100.0f;
    if (present > 0.0f && std::isfinite(present) && wanted > 0.0f)
        matrix.Scale(wanted / present);
}

float CFigureShape::GetEndScale() const
{
    const CCourse* course = GetCourse();
    return course && course->Get3D() ? 1.0f : float(m_scale) / 100.0f;
}

void CFigureShape::PrepareSkin() const
{
    CPackedModel& skin = GetSkin();
    skin.SetMaterialColor(kOpaqueWhite);
    ColorBody(GetPartColor(kBodyPart));
    CFieldWriter& key = skin.BeginKey();
    SetKeyVersion(key);
    int32_t colorIndex = GetPartColorIndex(kBodyPart);
    key.Int8(colorIndex);
    m_model->Serialize(key);
}

void CFigureShape::ReleaseMesh() const
{
    if (m_skin)
        m_skin->ReleaseSkin();
}

CBox3 CFigureShape::MeasurePose() const
{
    PrepareSkin();
    CBoundsContext::MeasureDrawable(GetSkin());
    ReleaseMesh();
    return GetSkin().GetBounds().At(0.0f);
}

void CFigureShape::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const CBox3 box = MeasurePose();
    const float height = GetStandingHeight();
    const CTransform matrix = context.m_state.matrix;
    context.m_state.matrix.SetTranslation(0.0f, 0.0f, height - (std::isfinite(box.minZ) ? box.minZ : 0.0f));
    context.DrawDrawable(GetSkin(), 0, 0);
    context.m_state.matrix = matrix;
    ReleaseMesh();
}
