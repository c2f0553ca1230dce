#include "objects/equipment/AFrame.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "dialogs/AFrameDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/SlatPart.h"

namespace {

// Parts of the A-frame's colour set.
constexpr int kSurfacePart = 16;
constexpr int kFramePart = 2;
constexpr int kZonePart = 6;
constexpr int kBracePart = 4;

// The ramp frame's thickness along the vertical.
constexpr float kFrameDrop = 14.14f;
// The ramps lean at most 80 degrees: the hinge's lift and radius grow
// without bound as the ramps near the vertical, which only a height that
// reaches the length asks for.
constexpr float kMaxSlope = 1.396f;

// One ramp lying flat from x = 0 (the foot) to x = length (the apex), y
// across, z up: a frame of rails and cross members, the boards (contact
// zone over the lowest 420) and a slat every 120.
class CRampPart : public CDrawable
{
public:
    CRampPart(float length, float width, int zoneColor, int surfaceColor, int frameColor)
        : m_length(length), m_width(width), m_zoneColor(zoneColor), m_surfaceColor(surfaceColor),
          m_frameColor(frameColor)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_zoneColor);
        key.WriteInt8(m_surfaceColor);
        key.WriteInt8(m_frameColor);
        key.WriteFloat16(m_length);
        key.WriteFloat16(m_width);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        const float l = m_length;
        const float w = 0.5f * m_width;
        SetPaletteColor(context, m_frameColor);
        context.DrawBox(CBox3(0.0f, l, -w, -w + 15.0f, 0.0f, 15.0f), 32);
        context.DrawBox(CBox3(0.0f, l, -7.5f, 7.5f, 0.0f, 15.0f), 32);
        context.DrawBox(CBox3(0.0f, l, w - 15.0f, w, 0.0f, 15.0f), 32);
        // The cross members' inner faces are shaded darker.
        const CBox3 foot(0.0f, 15.0f, -(w - 15.0f), w - 15.0f, 0.0f, 15.0f);
        context.DrawBox(foot, 46);
        context.SetBrightness(0.6f);
        context.DrawBox(foot, 61);
        const CBox3 middle(0.5f * l - 7.5f, 0.5f * l + 7.5f, -(w - 15.0f), w - 15.0f, 0.0f, 15.0f);
        context.DrawBox(middle, 61);
        context.SetBrightness(1.0f);
        context.DrawBox(middle, 46);
        context.DrawBox(CBox3(l - 15.0f, l, -(w - 15.0f), w - 15.0f, 0.0f, 15.0f), 44);

        // A ramp shorter than the contact zone is contact zone throughout.
        const float zoneEnd = std::min(CAFrame::kContactZone, l);
        SetPaletteColor(context, m_zoneColor);
        context.DrawBox(CBox3(0.0f, zoneEnd, -w, w, 15.0f, 20.0f), 2);
        if (l > CAFrame::kContactZone) {
            SetPaletteColor(context, m_surfaceColor);
            context.DrawBox(CBox3(CAFrame::kContactZone, l, -w, w, 15.0f, 20.0f), 1);
        }

        CSlatPart zoneSlat(int(m_width), m_zoneColor);
        CSlatPart surfaceSlat(int(m_width), m_surfaceColor);
        for (float x = 120.0f; x + 60.0f < l; x += 120.0f)
            DrawPartAt(context, x < CAFrame::kContactZone ? zoneSlat : surfaceSlat, x, 0.0f, 20.0f);
    }

private:
    float m_length;
    float m_width;
    int m_zoneColor;
    int m_surfaceColor;
    int m_frameColor;
};

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CAFrame::CAFrameType::CAFrameType() : CObjectType(kTypeId, kUnnamed, kUnnamed)
{
    SetNameId(kNameTextId);
    for (const char* key : {"AFrame", "AFrameAKC9Feet", "AFrameAKC8Feet", "AFrameFCI", "AFrameUKC", "AFrameUSDAA"})
        AddVariantName(key);
    for (int part : {kSurfacePart, kFramePart, kZonePart, kBracePart})
        GetPartColors().AddPart(part);
}

std::unique_ptr<CCourseObject> CAFrame::CAFrameType::CreateObject() const
{
    return std::make_unique<CAFrame>();
}

const CAFrame::CAFrameType& CAFrame::GetAFrameType()
{
    static const CAFrameType* type = new CAFrameType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CAFrame::CAFrame() : CStraightObstacle(CStraightEnds::EOrder::kByEnd, kRunIn)
{
    // A course reads its A-frames by the thousand, each sized again by its
    // record: the default size's run is worked out once.
    static const float defaultRun = LegFromHypotenuse(m_length, m_height);
    m_run = defaultRun;
    UpdateEnds();
}

float CAFrame::WidthForLength(float length)
{
    return length == 800.0f ? 300.0f : 360.0f;
}

std::wstring CAFrame::GetSizeText() const
{
    const bool metric = GetCourse() != nullptr && GetCourse()->IsMetric();
    return GetStringWithArg(2037, FormatLength(m_length, GetSizeUnitKind(metric), true));
}

void CAFrame::SetSize(float length, float height)
{
    if (length > 0.0f && std::isfinite(length))
        m_length = length;
    if (height > 0.0f && std::isfinite(height))
        m_height = height;
    m_width = WidthForLength(m_length);
    m_run = LegFromHypotenuse(m_length, m_height);
    UpdateEnds();
}

void CAFrame::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    std::string word;
    words >> word;
    float length = 960.0f;
    float height = 590.0f;
    if (word == "T" || keyName == "AFrameFCI") {
        length = 1000.0f;
        height = 710.0f;
    } else if (keyName == "AframeUKI") {
        length = 1080.0f;
        height = 710.0f;
    } else if (keyName == "AFrameAKC9Feet") {
        length = 1080.0f;
        height = 660.0f;
    } else if (keyName == "AFrameUSDAA") {
        length = 1080.0f;
        height = 750.0f;
    } else if (keyName == "AFrameUKC") {
        length = 800.0f;
        height = 500.0f;
    }
    SetSize(length, height);
}

void CAFrame::Serialize(CFieldStream& stream)
{
    float length = m_length;
    float height = m_height;
    stream.Float16(length);
    stream.Float16(height);
    if (!stream.IsReading())
        return;
    // A damaged record keeps the values the object has.
    if (!(length > 0.0f))
        TRACE_VALUE(float, length);
    if (!(height > 0.0f))
        TRACE_VALUE(float, height);
    SetSize(length, height);
}

void CAFrame::ToDialog(CEditSession& dialog)
{
    CAFrameDlg* aFrameDialog = GetKindDialog<CAFrameDlg>(dialog);
    if (aFrameDialog == nullptr)
        return;
    aFrameDialog->MergeLength(m_length);
    aFrameDialog->MergeHeight(m_height);
}

void CAFrame::FromDialog(CEditSession& dialog)
{
    CAFrameDlg* aFrameDialog = GetKindDialog<CAFrameDlg>(dialog);
    if (aFrameDialog == nullptr)
        return;
    SetSize(aFrameDialog->HasLength() ? aFrameDialog->GetLength() : 0.0f,
            aFrameDialog->HasHeight() ? aFrameDialog->GetHeight() : 0.0f);
}

void CAFrame::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float run = GetRun();
    const float inner = kInnerShare * run;
    const float w = 0.5f * m_width;
    // The contact zones, then the middle in the outline colour, then the
    // apex line.
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-run, -w, -inner, w));
    context.AddRect(CRectF(inner, -w, run, w));
    context.EndPath();
    context.m_state.fillColor = GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-inner, -w, inner, w));
    context.EndPath();
    context.BeginLine(1);
    context.MoveTo(0.0f, -w);
    context.LineTo(0.0f, w);
    context.EndPath();
}

void CAFrame::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float l = m_length;
    const float w = 0.5f * m_width;
    const float h = m_height - kFrameDrop;
    const float slope = Clamp(h / l, -1.0f, 1.0f);
    const float a = Clamp(std::asin(slope), -kMaxSlope, kMaxSlope);
    const float c = std::cos(a);
    CTransform& matrix = context.m_state.matrix;

    CRampPart ramp(l, m_width, GetPartColorIndex(kZonePart), GetPartColorIndex(kSurfacePart),
                   GetPartColorIndex(kFramePart));

    // The hinge along the apex.
    context.SetColor(GetPartColor(kFramePart));
    matrix.SetTranslation(0.0f, 0.0f, h + 7.5f / c);
    matrix.SetRotationX(90.0f);
    context.DrawCylinder(7.5f * std::tan(a), -w, w, 16, true, true, false, 0, 0);

    // Two braces from one ramp's middle to the other's.
    context.SetColor(GetPartColor(kBracePart));
    for (float y : {-(w - 18.0f), w - 18.0f}) {
        matrix.SetTranslation(0.0f, y, 0.5f * h);
        matrix.SetRotationY(90.0f);
        context.DrawCylinder(3.0f, -0.5f * l * c, 0.5f * l * c, 8, false, false, false, 0, 0);
    }

    // The two ramps, each rising from its foot to the apex.
    matrix.SetTranslation(-l * c, 0.0f, 0.0f);
    matrix.SetRotationYRadians(-a);
    DrawPart(context, ramp);
    matrix.SetTranslation(l * c, 0.0f, 0.0f);
    matrix.SetRotationZ(180.0f);
    matrix.RotateYRadians(-a);
    DrawPart(context, ramp);
    matrix.ResetRotation();
    matrix.ClearTranslation();
}
