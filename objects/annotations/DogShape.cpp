#include "objects/annotations/DogShape.h"

#include <cmath>

#include "dialogs/DogShapeDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/DogFigure.h"

const CDogShape::CDogShapeType& CDogShape::GetDogShapeType()
{
    static const CDogShapeType* type =
        new CDogShapeType({kTypeId, kNameTextId, {}, {CFigureShape::kBodyPart}, true, true});
    return *type;
}

CDogShape::CDogShape() : CFigureShape(std::make_unique<CDogFigure>(nullptr)) {}

std::unique_ptr<CPackedModel> CDogShape::MakeSkin() const
{
    return std::make_unique<CDogFigureSkin>();
}

CDogFigure& CDogShape::GetDogModel() const
{
    return static_cast<CDogFigure&>(*m_model);
}

void CDogShape::SetCustomHeight(float height)
{
    m_customHeight = std::isfinite(height) ? height : 0.0f;
}

void CDogShape::GetEnd(CPoint2& point, int index) const
{
    const CBox3 box = MeasurePose();
    const float f = GetEndScale();
    point = {0.0f, -(index == 0 ? box.maxY : box.minY) * f};
}

void CDogShape::Serialize(CFieldStream& stream)
{
    if (stream.m_versionMajor > 4 || (stream.m_versionMajor == 4 && stream.m_versionMinor >= 0)) {
        m_model->Serialize(stream);
        float height = m_customHeight;
        stream.Float16(height);
        if (stream.IsReading())
            SetCustomHeight(height);
    } else if (stream.IsReading()) {
        m_model->CopyPose(m_model->GetPreset(CDogFigure::kFirstPreset));
        m_customHeight = 0.0f;
    }
    SerializeScale(stream);
}

void CDogShape::SerializeExtra(CFieldStream& stream)
{
    if (m_customHeight >= 0.0f)
        return;
    float height = GetCourseJumpHeight(*this);
    stream.Float16(height);
}

float CDogShape::GetStandingHeight() const
{
    return m_customHeight < 0.0f ? GetCourseJumpHeight(*this) : m_customHeight;
}

void CDogShape::ColorBody(uint32_t color) const
{
    for (int material = 0; material < 4; ++material)
        GetSkin().SetMaterialColor(material, color);
}

void CDogShape::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const uint32_t primary = GetPrimaryColor();
    const uint32_t outline = GetOutlineColor();
    ApplyScale(context);
    if (!m_silhouettes) {
        m_silhouettes.reset(new std::array<CFigureSilhouette, 4>{
            {CFigureSilhouette(0), CFigureSilhouette(1), CFigureSilhouette(2), CFigureSilhouette(3)}});
    }
    std::array<CFigureSilhouette, 4>& silhouettes = *m_silhouettes;
    silhouettes[0].Draw(context, *this, outline, primary);
    silhouettes[1].Draw(context, *this, primary, primary);
    silhouettes[2].Draw(context, *this, outline, primary);
    silhouettes[3].Draw(context, *this, primary, primary);
    ReleaseMesh();
}

void CDogShape::ToDialog(CEditSession& dialog)
{
    if (CDogShapeDlg* own = GetKindDialog<CDogShapeDlg>(dialog)) {
        own->MergeFigure(GetDogModel());
        own->MergeCustomHeight(m_customHeight);
        own->MergeScale(m_scale);
    }
}

void CDogShape::FromDialog(CEditSession& dialog)
{
    CDogShapeDlg* own = GetKindDialog<CDogShapeDlg>(dialog);
    if (own == nullptr)
        return;
    if (!own->IsPoseMixed())
        m_model->CopyPose(own->GetModel());
    if (!own->IsHeightMixed())
        SetCustomHeight(own->GetCustomHeight());
    if (own->GetScale() != 0)
        SetScale(own->GetScale());
}
