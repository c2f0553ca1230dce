#include "objects/equipment/TextLabelPart.h"

#include <algorithm>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "foundation/CrashLog.h"
#include "foundation/FontMetrics.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

// The box's half height and the baseline's offset below the box centre,
// from the font and the padding alone, so that every label of one padding
// has the same height whatever its text.
void GetBoxHeight(const CFontMetrics& font, float pad, float& halfHeight, float& baselineOffset)
{
    const float top = font.GetEmAscent() + std::max(font.GetInternalLeading(), pad);
    const float bottom = std::max(font.GetDescent(), pad);
    halfHeight = (top + bottom) / 2.0f;
    baselineOffset = halfHeight - bottom;
}

}  // namespace

CTextLabelPart::CTextLabelPart(bool hasPenColor) : m_hasPenColor(hasPenColor) {}

const CViewCamera& CTextLabelPart::GetTopDownCamera()
{
    static const CViewCamera camera(true);
    return camera;
}

void CTextLabelPart::WriteKeyExtra(CFieldWriter& writer) {}

void CTextLabelPart::SetText(const std::wstring& text)
{
    m_text = text;
    UpdateKey();
}

void CTextLabelPart::SetBoxed(bool boxed)
{
    m_boxed = boxed;
    UpdateKey();
}

void CTextLabelPart::SetCourse(CCourse& course)
{
    TRACE_POINT();
    m_camera = course.GetViewCamera();
    m_anchored = false;
    m_textColorIndex = 0;
    m_fillColorIndex = 255;
    m_penColorIndex = 0;
    m_greyed = false;
    UpdateKey();
}

void CTextLabelPart::AttachToObject(CCourseObject& object)
{
    TRACE_POINT();
    m_anchored = true;
    if (CCourse* course = object.GetCourse())
        m_camera = course->GetViewCamera();
    m_anchor = object.GetPlacement().GetTranslation();
    const int mode = object.GetColorMode();
    object.SetColorMode(m_style);
    m_textColorIndex = object.GetAccentColorIndex();
    m_fillColorIndex = object.GetOutlineColorIndex();
    m_penColorIndex = object.GetPrimaryColorIndex();
    object.SetColorMode(mode);
    m_greyed = m_style == 2 && object.GetDisplayState() == CCourseObject::kGrey;
    UpdateKey();
}

void CTextLabelPart::UpdateKey()
{
    CFieldWriter& key = BeginKey();
    key.WriteWString(m_text);
    key.WriteInt8(m_boxed ? 1 : 0);
    key.WriteInt8(m_textColorIndex);
    key.WriteInt8(m_fillColorIndex);
    if (m_hasPenColor)
        key.WriteInt8(m_penColorIndex);
    key.WriteInt8(m_greyed ? 1 : 0);
    WriteKeyExtra(key);
}

void CTextLabelPart::ApplyTextStyle(CGraphicsContext& context) const
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    CCourseObject::ApplyPlanStyle(context, palette.GetColor(m_penColorIndex), palette.GetColor(m_fillColorIndex),
                                  palette.GetColor(m_textColorIndex), m_greyed, kFontSize);
}

void CTextLabelPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const float pad = m_boxed ? kBoxPadding : 0.0f;
    ApplyTextStyle(context);
    const CFontMetrics& font = context.m_state.font;
    float halfHeight = 0.0f;
    float baselineOffset = 0.0f;
    GetBoxHeight(font, pad, halfHeight, baselineOffset);
    const float halfWidth = 0.5f * font.GetStringWidth(m_text) + pad;
    context.BeginPath(false, true, 1);
    context.AddRect(CRectF(-halfWidth, -halfHeight, halfWidth, halfHeight));
    context.EndPath();
    if ((m_textColorIndex == m_fillColorIndex && !m_greyed) || m_text.empty())
        return;
    context.m_state.textAlignV = 5;
    context.DrawText(m_text, 0.0f, baselineOffset);
}

float CTextLabelPart::GetDepthScale(float z, float wholeCourseDistance)
{
    if (z > 0.0f)
        return 1.0f;
    return std::min(-z / std::max(wholeCourseDistance, 12000.0f), 1.0f);
}

void CTextLabelPart::DrawAtAnchor(CGraphicsContext& context)
{
    TRACE_POINT();
    float scale = 1.0f;
    int mode = 3;
    if (m_style != 2) {
        mode = 2;
        const float distance = m_camera.GetWholeCourseDistance();
        CVector3 reference(m_offset.x, -m_offset.y, 0.2f);
        if (m_anchored)
            reference = CVector3(m_anchor.x + m_offset.x, m_anchor.y - m_offset.y, 0.2f);
        const CVector3 seen = m_camera.GetTransform().InverseTransformPoint(reference);
        scale = GetDepthScale(seen.z, distance);
    }
    CTransform& matrix = context.m_state.matrix;
    const CTransform saved = matrix;
    const float present = matrix.GetScale();
    if (!(scale > 0.0f) || !(present > 0.0f)) {
        // A label at the eye or under a collapsed transform has no size.
        TRACE_VALUE(float, scale);
        return;
    }
    matrix.SetTranslation(m_offset.x, -m_offset.y, 0.2f);
    matrix.Scale(scale / present);
    context.DrawDrawable(*this, mode, 0);
    matrix = saved;
}
