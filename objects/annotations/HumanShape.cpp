#include "objects/annotations/HumanShape.h"

#include <cmath>

#include "course/Course.h"
#include "dialogs/HumanShapeDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/FontMetrics.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/HumanFigure.h"

namespace {

// The silhouettes' materials, in the order of m_silhouettes.
constexpr int kSilhouetteMaterials[10] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 11};
// Whole-body lean (joint 20) beyond which the arms are drawn in their
// leaning order.
constexpr int kLeanJoint = 20;
constexpr int kArmLean = 15;

}  // namespace

const CHumanShape::CHumanShapeType& CHumanShape::GetHumanShapeType()
{
    static const CHumanShapeType* type =
        new CHumanShapeType({kTypeId, kNameTextId, {}, {CFigureShape::kBodyPart}, true, true});
    return *type;
}

CHumanShape::CHumanShape() : CFigureShape(std::make_unique<CHumanFigure>(nullptr)) {}

std::unique_ptr<CPackedModel> CHumanShape::MakeSkin() const
{
    auto skin = std::make_unique<CHumanFigureSkin>();
    skin->SetTextureName(kHairMaterial, L"WomanHair.png");
    return skin;
}

CHumanFigure& CHumanShape::GetHumanModel() const
{
    return static_cast<CHumanFigure&>(*m_model);
}

CFigureSilhouette& CHumanShape::Silhouette(int material)
{
    if (!m_silhouettes) {
        m_silhouettes.reset(new std::array<CFigureSilhouette, 10>{
            {CFigureSilhouette(kSilhouetteMaterials[0]), CFigureSilhouette(kSilhouetteMaterials[1]),
             CFigureSilhouette(kSilhouetteMaterials[2]), CFigureSilhouette(kSilhouetteMaterials[3]),
             CFigureSilhouette(kSilhouetteMaterials[4]), CFigureSilhouette(kSilhouetteMaterials[5]),
             CFigureSilhouette(kSilhouetteMaterials[6]), CFigureSilhouette(kSilhouetteMaterials[7]),
             CFigureSilhouette(kSilhouetteMaterials[8]), CFigureSilhouette(kSilhouetteMaterials[9])}});
    }
    for (size_t i = 0; i < 10; ++i) {
        if (kSilhouetteMaterials[i] == material)
            return (*m_silhouettes)[i];
    }
    return (*m_silhouettes)[0];
}

void CHumanShape::SetKeyVersion(CFieldWriter& writer) const
{
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
}

void CHumanShape::ColorBody(uint32_t color) const
{
    GetSkin().SetMaterialColor(10, color);
    GetSkin().SetMaterialColor(4, color);
}

void CHumanShape::GetEnd(CPoint2& point, int index) const
{
    const CBox3 box = MeasurePose();
    const float f = GetEndScale();
    point = {(index == 0 ? box.maxX : box.minX) * f, 0.0f};
}

void CHumanShape::Serialize(CFieldStream& stream)
{
    std::wstring legacyName;
    if (stream.m_versionMajor < 4 || (stream.m_versionMajor == 4 && stream.m_versionMinor < 0))
        stream.WString(legacyName);
    m_model->Serialize(stream);
    SerializeScale(stream);
    if (stream.IsReading() && !legacyName.empty())
        PlaceLegacyName(legacyName);
}

void CHumanShape::PlaceLegacyName(const std::wstring& name)
{
    CCourse* course = GetCourse();
    if (!course)
        return;
    const CFontMetrics font(240.0f, false);
    const float a = font.GetHeight() * 0.5f + 20.0f;
    const float b = font.GetStringWidth(name) * 0.5f + 50.0f;
    CTransform turn;
    turn.RotateZ(-GetPlacement().GetRotation());
    const CPoint2 u = CTransform(turn, true).TransformVector2D(1.0f, 0.0f);
    const float ax = std::fabs(u.x), ay = std::fabs(u.y);
    const float r = float(m_scale) * 120.0f / 100.0f;
    float d = ay * b + ax * a;
    if (d * ax > r * ay + a)
        d = (r * ay + a) / ax;
    if (d * ay > r * ax + b)
        d = (r * ax + b) / ay;
    const CPoint2 at = GetPlacement().TransformPoint2D(0.0f, d + float(m_scale) * 0.4f);
    course->AddObjectOfRecord(course->MakeText(at.x, at.y, name));
}

void CHumanShape::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const uint32_t p = GetPrimaryColor(), s = GetSecondaryColor(), o = GetOutlineColor();
    ApplyScale(context);
    const int lean = m_model->GetAngle(kLeanJoint);
    const auto draw = [&](int material, uint32_t fill) {
        Silhouette(material).Draw(context, *this, fill, p);
    };
    struct CStep
    {
        int material;
        bool secondary;
    };
    const CStep legsForward[] = {{0, false}, {2, true}, {1, false}, {3, true}};
    const CStep legsBack[] = {{1, false}, {3, true}, {0, false}, {2, true}};
    for (const CStep& step : lean > 0 ? legsForward : legsBack)
        draw(step.material, step.secondary ? s : o);
    const CStep armsLeanForward[] = {{6, true}, {4, false}, {5, false}, {7, true}};
    const CStep armsLeanBack[] = {{7, true}, {4, false}, {5, false}, {6, true}};
    const CStep armsUpright[] = {{4, false}, {5, false}, {6, true}, {7, true}};
    for (const CStep& step : lean > kArmLean ? armsLeanForward : lean < -kArmLean ? armsLeanBack : armsUpright)
        draw(step.material, step.secondary ? s : o);
    draw(9, s);
    draw(kHairMaterial, p);
    ReleaseMesh();
}

void CHumanShape::ToDialog(CEditSession& dialog)
{
    if (CHumanShapeDlg* own = GetKindDialog<CHumanShapeDlg>(dialog)) {
        own->MergeFigure(GetHumanModel());
        own->MergeScale(m_scale);
    }
}

void CHumanShape::FromDialog(CEditSession& dialog)
{
    CHumanShapeDlg* own = GetKindDialog<CHumanShapeDlg>(dialog);
    if (own == nullptr)
        return;
    if (!own->IsPoseMixed())
        m_model->CopyPose(own->GetModel());
    if (own->GetChoiceA() != CHumanShapeDlg::kMixedChoice)
        GetHumanModel().SetPoseChoiceA(own->GetChoiceA());
    if (own->GetChoiceB() != CHumanShapeDlg::kMixedChoice)
        GetHumanModel().SetPoseChoiceB(own->GetChoiceB());
    if (own->GetScale() != 0)
        SetScale(own->GetScale());
}
