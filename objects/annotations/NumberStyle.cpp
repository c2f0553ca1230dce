#include "objects/annotations/NumberStyle.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Rect.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/ObsNum.h"

namespace {

// The round badge's radius, and the control-point reach that makes two
// cubics a circle of it: 4/3 of the radius.
constexpr float kRoundRadius = 200.0f;
constexpr float kRoundReach = 266.66666f;
// A label stretches the pill by 5/6 of its width; the curves' widest point
// lies at 3/4 of the control points' reach.
constexpr float kStretch = 5.0f / 6.0f;
constexpr float kWidestShare = 0.75f;
// The square box: half height, and the room beside the label.
constexpr float kBoxHalfHeight = 160.0f;
constexpr float kBoxRoom = 30.0f;

// Paths of the badges: closed figures, mode 1.
constexpr int kBadgePathMode = 1;

float GetPillReach(float labelWidth)
{
    return std::max(labelWidth * kStretch, kRoundReach);
}

float GetLabelWidth(const CGraphicsContext& context, const CObsNum& number)
{
    return context.m_state.font.GetStringWidth(number.GetText());
}

void DrawLabelText(CGraphicsContext& context, const CObsNum& number, bool drawText)
{
    if (drawText)
        context.DrawText(number.GetText(), 0.0f, 0.0f);
}

class CPillNumberStyle : public CNumberStyle
{
public:
    int GetIndex() const override { return 0; }
    CPoint2 GetHalfSize(float labelWidth) const override
    {
        return CPoint2(kWidestShare * GetPillReach(labelWidth), kRoundRadius);
    }
    CPoint2 Draw(CGraphicsContext& context, const CObsNum& number, bool drawText) const override
    {
        TRACE_POINT();
        const float width = GetLabelWidth(context, number);
        const float a = GetPillReach(width);
        const float r = kRoundRadius;
        for (const bool stroke : {false, true}) {
            context.BeginPath(stroke, !stroke, kBadgePathMode);
            context.MoveTo(0.0f, r);
            context.AddBezier(CPoint2(a, r), CPoint2(a, -r), CPoint2(0.0f, -r));
            context.AddBezier(CPoint2(-a, -r), CPoint2(-a, r), CPoint2(0.0f, r));
            context.EndPath();
            if (!stroke)
                DrawLabelText(context, number, drawText);
        }
        return GetHalfSize(width);
    }
};

class CBoxNumberStyle : public CNumberStyle
{
public:
    int GetIndex() const override { return 1; }
    CPoint2 GetHalfSize(float labelWidth) const override
    {
        return CPoint2(std::max((labelWidth + kBoxRoom) * 0.5f, kBoxHalfHeight), kBoxHalfHeight);
    }
    CPoint2 Draw(CGraphicsContext& context, const CObsNum& number, bool drawText) const override
    {
        TRACE_POINT();
        const CPoint2 half = GetHalfSize(GetLabelWidth(context, number));
        for (const bool stroke : {false, true}) {
            context.BeginPath(stroke, !stroke, kBadgePathMode);
            context.AddRect(CRectF(-half.x, -half.y, half.x, half.y));
            context.EndPath();
            if (!stroke)
                DrawLabelText(context, number, drawText);
        }
        return half;
    }
};

// Takes the room the round badge would take, so that anchors and spacing
// do not change with the style.
class CPlainNumberStyle : public CNumberStyle
{
public:
    int GetIndex() const override { return 2; }
    CPoint2 GetHalfSize(float labelWidth) const override
    {
        return CPoint2(kWidestShare * GetPillReach(labelWidth), kRoundRadius);
    }
    CPoint2 Draw(CGraphicsContext& context, const CObsNum& number, bool drawText) const override
    {
        TRACE_POINT();
        DrawLabelText(context, number, drawText);
        return GetHalfSize(GetLabelWidth(context, number));
    }
};

}  // namespace

void CNumberStyle::AppendKey(CFieldStream& stream, const CObsNum& number) const {}

bool IsNumberStyleIndex(int index)
{
    return index >= 0 && index <= 2;
}

const CNumberStyle& GetNumberStyle(int index)
{
    static const CPillNumberStyle pill;
    static const CBoxNumberStyle box;
    static const CPlainNumberStyle plain;
    switch (index) {
    case 1:
        return box;
    case 2:
        return plain;
    default:
        if (index != 0) {
            TRACE_VALUE(int32_t, index);
            ReportFailure();
        }
        return pill;
    }
}
