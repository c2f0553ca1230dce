#include "graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"
#include "graphics/BoundsContext.h"
#include "graphics/Drawable.h"
#include "render3d/Camera.h"

namespace {

// 0.4 as the lighting formula has always used it: the float just below 0.4
// (bit pattern 0x3ECCCCCC).
const float kShadeSlope = 0.39999998f;

// tan 30 degrees: the half-width of an arrow head per unit of its length.
const float kArrowHalfWidth = 0.57735026f;

// A dashed segment is split into at most this many pieces; finer dashes
// cannot be seen and would only make drawing crawl.
const float kMaxDashPieces = 100000.0f;

}  // namespace

// ---- CGraphicsState ----------------------------------------------------------

void CGraphicsState::Reset(const CVector3& light)
{
    // Every drawable starts from here: copying the defaults made once costs
    // less than making them again.
    static const CGraphicsState defaults;
    *this = defaults;
    lightDirection = light;
    lighting = light.x != 0.0f || light.y != 0.0f || light.z != 0.0f;
    if (lighting)
        ComputeShade();
}

void CGraphicsState::ComputeShade()
{
    const float dot =
        normal.x * lightDirection.x + normal.y * lightDirection.y + normal.z * lightDirection.z;
    const float value = (dot * kShadeSlope + 0.6f) * (brightness * 10000.0f) + 0.5f;
    // A light longer than one unit or a normal that is not a number must not
    // give an undefined conversion; the shade stays within what a colour
    // channel can take.
    if (!(value > 0.0f))
        shade = 0;
    else if (value > 1000000.0f)
        shade = 1000000;
    else
        shade = int32_t(value);
}

// ---- Construction --------------------------------------------------------------
// (The vertex store, the textured quad and the 3D primitives are in
// GraphicsContextVertices.cpp.)

CGraphicsContext::CGraphicsContext()
{
    m_state.Reset(CVector3());
    std::fill(std::begin(m_buckets), std::end(m_buckets), -1);
    m_recent.resize(3);
}

CGraphicsContext::~CGraphicsContext() = default;

// ---- Default slots -------------------------------------------------------------

void CGraphicsContext::SetBrightness(float brightness)
{
    TRACE_POINT();
    if (!(brightness >= 0.0f && brightness <= 1.0f)) {
        TRACE_VALUE(float, brightness);
        ReportFailure();
        if (std::isnan(brightness))
            return;
        brightness = Clamp(brightness, 0.0f, 1.0f);
    }
    if (!m_state.lighting)
        return;
    m_state.brightness = brightness;
    m_state.ComputeShade();
    SetColor(m_state.color);
}

void CGraphicsContext::EndVertices() {}

void CGraphicsContext::EmitBeginPath(bool stroke, bool fill) {}

void CGraphicsContext::EmitBezierTo(const CCurveGeometry& curve)
{
    FlattenBezier(curve, -1.0f, curve, 0.0f, 1.0f, 0);
}

void CGraphicsContext::EmitEndPath() {}

bool CGraphicsContext::IgnoresDashes() const { return false; }

bool CGraphicsContext::MissesClip(const CRectF* rects, size_t count) const { return false; }

float CGraphicsContext::GetPixelSize() const { return 0.0f; }

// ---- Paths -----------------------------------------------------------------------

bool CGraphicsContext::ReportClosedPath()
{
    TRACE_POINT();
    ReportFailure();
    return false;
}

bool CGraphicsContext::SplitsDashes() const
{
    return m_pathStroke && m_state.dashStyle != 0 && !IgnoresDashes();
}

void CGraphicsContext::BeginPath(bool stroke, bool fill, int mode)
{
    TRACE_VALUE(int32_t, (stroke ? 1 : 0) | (fill ? 2 : 0) | int32_t(m_state.dashStyle) << 2);
    if (m_pathOpen) {
        // The caller forgot to end the previous path: end it, so that the
        // back end never sees two path beginnings in a row.
        ReportFailure();
        EndPath();
    }
    if (!stroke && !fill)
        ReportFailure();
    if (stroke && fill && m_state.dashStyle != 0)
        ReportFailure();
    m_pathOpen = true;
    m_pathStroke = stroke;
    m_pathFill = fill;
    m_pathMode = mode;
    m_closedFigures = true;
    m_figureHasSegments = false;
    m_moveState = 0;
    EmitBeginPath(stroke, fill);
}

void CGraphicsContext::BeginLine(int mode)
{
    TRACE_POINT();
    if (m_pathOpen) {
        ReportFailure();
        EndPath();
    }
    m_pathOpen = true;
    m_pathStroke = true;
    m_pathFill = false;
    m_pathMode = mode;
    m_closedFigures = false;
    m_figureHasSegments = false;
    m_moveState = 0;
    EmitBeginPath(true, false);
}

void CGraphicsContext::MoveTo(float x, float y)
{
    if (!RequireOpenPath())
        return;
    CloseFigure();
    m_currentPoint = CPoint2(x, y);
    m_figureStart = m_currentPoint;
    m_moveState = 1;
    m_dashPhase = 0.0f;
}

void CGraphicsContext::LineTo(float x, float y)
{
    if (!RequireOpenPath())
        return;
    if (m_moveState == 0) {
        // A line without a start: it starts the figure instead.
        TRACE_POINT();
        ReportFailure();
        MoveTo(x, y);
        return;
    }
    m_figureHasSegments = true;
    AddSegment(x, y, -1.0f);
}

void CGraphicsContext::AddBezier(const CPoint2& c1, const CPoint2& c2, const CPoint2& end)
{
    if (!RequireOpenPath())
        return;
    if (m_moveState == 0) {
        TRACE_POINT();
        ReportFailure();
        MoveTo(end);
        return;
    }
    m_figureHasSegments = true;
    CCurveGeometry curve;
    curve.p0 = m_currentPoint;
    curve.p1 = c1;
    curve.p2 = c2;
    curve.p3 = end;
    if (SplitsDashes()) {
        FlattenBezier(curve, curve.GetLength(), curve, 0.0f, 1.0f, 0);
        return;
    }
    EmitPendingMove();
    EmitBezierTo(curve);
    m_currentPoint = end;
}

void CGraphicsContext::AddBezierSegment(const CCurveGeometry& curve)
{
    if (!RequireOpenPath())
        return;
    if (m_moveState == 0)
        MoveTo(curve.p0);
    else if (curve.p0.x != m_currentPoint.x || curve.p0.y != m_currentPoint.y)
        LineTo(curve.p0);
    AddBezier(curve.p1, curve.p2, curve.p3);
}

void CGraphicsContext::AddRect(const CRectF& rect)
{
    if (!RequireOpenPath())
        return;
    if (!m_closedFigures) {
        TRACE_POINT();
        ReportFailure();
    }
    MoveTo(rect.left, rect.top);
    LineTo(rect.left, rect.bottom);
    LineTo(rect.right, rect.bottom);
    LineTo(rect.right, rect.top);
}

void CGraphicsContext::AddCircle(float x, float y, float r)
{
    if (!RequireOpenPath())
        return;
    if (!m_closedFigures) {
        TRACE_POINT();
        ReportFailure();
    }
    const float k = 4.0f * r / 3.0f;
    MoveTo(x - r, y);
    AddBezier(CPoint2(x - r, y - k), CPoint2(x + r, y - k), CPoint2(x + r, y));
    AddBezier(CPoint2(x + r, y + k), CPoint2(x - r, y + k), CPoint2(x - r, y));
}

void CGraphicsContext::CloseFigure()
{
    if (!RequireOpenPath())
        return;
    if (m_closedFigures && m_figureHasSegments) {
        if (SplitsDashes()) {
            // Every dash is an open figure of its own; the closing side is
            // dashed like the others, continuing the pattern.
            if (m_currentPoint != m_figureStart)
                AddSegment(m_figureStart.x, m_figureStart.y, -1.0f);
        } else if (m_moveState != 2) {
            TRACE_VALUE(int32_t, m_moveState);
            ReportFailure();
        } else {
            EmitCloseFigure();
        }
    }
    m_figureHasSegments = false;
    m_moveState = 0;
}

void CGraphicsContext::EndPath()
{
    TRACE_POINT();
    if (!RequireOpenPath())
        return;
    CloseFigure();
    EmitEndPath();
    m_pathOpen = false;
    m_pathStroke = false;
    m_pathFill = false;
    m_pathMode = 1;
    m_moveState = 0;
}

void CGraphicsContext::EmitPendingMove()
{
    if (m_moveState != 2) {
        EmitMoveTo(m_currentPoint.x, m_currentPoint.y);
        m_moveState = 2;
    }
}

void CGraphicsContext::PlainLineTo(float x, float y)
{
    EmitPendingMove();
    EmitLineTo(x, y);
    m_currentPoint = CPoint2(x, y);
}

void CGraphicsContext::AddSegment(float x, float y, float length)
{
    if (m_moveState == 0) {
        TRACE_POINT();
        ReportFailure();
        m_currentPoint = CPoint2(x, y);
        m_figureStart = m_currentPoint;
        m_moveState = 1;
        return;
    }
    if (!SplitsDashes()) {
        PlainLineTo(x, y);
        return;
    }
    int k = 2;
    if (m_state.dashStyle == 2) {
        k = 4;
    } else if (m_state.dashStyle != 1) {
        TRACE_VALUE(int32_t, int32_t(m_state.dashStyle));
        ReportFailure();
    }
    const CPoint2 start = m_currentPoint;
    const CPoint2 end(x, y);
    if (length < 0.0f)
        length = (end - start).Length();
    if (length == 0.0f) {
        if (end != start)
            PlainLineTo(x, y);
        return;
    }
    if (!(length > 0.0f) || !std::isfinite(length)) {
        TRACE_VALUE(float, length);
        ReportFailure();
        PlainLineTo(x, y);
        return;
    }
    const float unit = 2.0f * m_state.penWidth;
    // A pen without width has no dash unit (the pattern would never move
    // on); too fine a pattern is invisible. Both draw the segment whole.
    if (!(unit > 0.0f) || !std::isfinite(unit) || length / unit > kMaxDashPieces) {
        PlainLineTo(x, y);
        return;
    }
    const float period = float(k) * unit;
    m_dashPhase = std::fmod(m_dashPhase, period);
    int piece = int(m_dashPhase / unit);
    float d = std::fmod(period - m_dashPhase, unit);
    if (d <= 0.0f)
        d = unit;
    const CPoint2 delta = end - start;
    for (;;) {
        const bool last = d >= length;
        if (last)
            d = length;
        const CPoint2 pieceEnd = last ? end : start + delta * (d / length);
        const int r = piece % k;
        if (r == k - 1) {
            m_currentPoint = pieceEnd;
            m_moveState = 1;
        } else if (r == k - 2 || last) {
            PlainLineTo(pieceEnd.x, pieceEnd.y);
        }
        if (last)
            break;
        d += unit;
        ++piece;
    }
    m_dashPhase += length;
}

void CGraphicsContext::FlattenBezier(const CCurveGeometry& piece, float length,
                                     const CCurveGeometry& source, float t0, float t1, int depth)
{
    const float tolerance = (length > 0.0f ? length : piece.GetLength()) / 20.0f;
    if (depth < 6 && piece.GetFlatness() > tolerance && t0 < t1) {
        const float tm = (t0 + t1) / 2.0f;
        const CCurveGeometry first = source.GetSubCurve(t0, tm);
        const CCurveGeometry second = source.GetSubCurve(tm, t1);
        float l1 = -1.0f;
        float l2 = -1.0f;
        if (length >= 0.0f) {
            l1 = first.GetLength();
            l2 = second.GetLength();
            const float sum = l1 + l2;
            if (sum > 0.0f) {
                l1 = length * (l1 / sum);
                l2 = length * (l2 / sum);
            }
            if (l1 <= 0.0f) {
                l1 = 0.0f;
                l2 = length;
            } else if (l2 <= 0.0f) {
                l1 = length;
                l2 = 0.0f;
            }
        }
        FlattenBezier(first, l1, source, t0, tm, depth + 1);
        FlattenBezier(second, l2, source, tm, t1, depth + 1);
        return;
    }
    AddSegment(piece.p3.x, piece.p3.y, length);
}

void CGraphicsContext::DrawArrowHead(float x, float y, float dx, float dy, float length)
{
    TRACE_POINT();
    CGraphicsState& s = m_state;
    const uint32_t fillPattern = s.fillPattern;
    const uint32_t fillColor = s.fillColor;
    const float fillZ = s.fillZ;
    s.fillPattern = 0;
    s.fillColor = s.penColor;
    s.fillZ = s.strokeZ;
    BeginPath(false, true, 1);
    const float m = Hypot(dx, dy);
    if (m > 0.0f && std::isfinite(m)) {
        const float w = length * kArrowHalfWidth;
        MoveTo(x, y);
        LineTo(x - (dx * length + dy * w) / m, y - (dy * length - dx * w) / m);
        LineTo(x - (dx * length - dy * w) / m, y - (dy * length + dx * w) / m);
    }
    EndPath();
    s.fillPattern = fillPattern;
    s.fillColor = fillColor;
    s.fillZ = fillZ;
}

// ---- State -------------------------------------------------------------------

void CGraphicsContext::SetDashStyle(uint32_t style)
{
    if (m_pathOpen) {
        TRACE_VALUE(int32_t, int32_t(style));
        ReportFailure();
    }
    m_state.dashStyle = style;
}

void CGraphicsContext::SetFillPattern(uint32_t pattern)
{
    if (m_pathOpen) {
        TRACE_VALUE(int32_t, int32_t(pattern));
        ReportFailure();
    }
    m_state.fillPattern = pattern;
}

void CGraphicsContext::SetColor(uint32_t color)
{
    CGraphicsState& s = m_state;
    s.color = color;
    if (s.shade == 10000) {
        s.shadedColor = color;
        return;
    }
    const auto scale = [&s](uint32_t channel) {
        const int64_t value = int64_t(channel) * s.shade / 10000;
        return uint32_t(std::min<int64_t>(std::max<int64_t>(value, 0), 255));
    };
    s.shadedColor = MakeRgba(scale(GetRed(color)), scale(GetGreen(color)), scale(GetBlue(color)),
                             GetAlpha(s.shadedColor));
}

void CGraphicsContext::SetNormal(const CVector3& normal, bool isUnit)
{
    if (!m_state.lighting)
        return;
    CVector3 n = m_state.matrix.TransformVector(normal);
    if (!isUnit)
        n.Normalize();
    m_state.normal = n;
    m_state.ComputeShade();
    SetColor(m_state.color);
}

void CGraphicsContext::PushState() { m_stateStack.push_back(m_state); }

void CGraphicsContext::PopState()
{
    if (m_stateStack.empty()) {
        TRACE_POINT();
        ReportFailure();
        return;
    }
    m_state = m_stateStack.back();
    m_stateStack.pop_back();
}

// ---- Text --------------------------------------------------------------------

CPoint2 CGraphicsContext::AlignText(const std::wstring& text, float x, float y, CRectF* cell,
                                    std::vector<float>* advances) const
{
    const CFontMetrics& font = m_state.font;
    if (!(font.size > 0.0f)) {
        TRACE_VALUE(float, font.size);
        ReportFailure();
    }
    if (advances)
        advances->clear();
    float width = 0.0f;
    for (wchar_t c : text) {
        const float advance = font.GetCharAdvance(c);
        width += advance;
        if (advances)
            advances->push_back(advance);
    }
    float left = x;
    switch (m_state.textAlignH) {
    case 0:
        break;
    case 1:
        left = x - width / 2.0f;
        break;
    case 2:
        left = x - width;
        break;
    default:
        TRACE_VALUE(int32_t, int32_t(m_state.textAlignH));
        ReportFailure();
        break;
    }
    const float height = font.GetHeight();
    const float leading = font.GetInternalLeading();
    const float ascent = font.GetAscent();
    float top = y;
    switch (m_state.textAlignV) {
    case 0:
        break;
    case 1:
        top = y - leading;
        break;
    case 2:
        top = y - (leading + ascent) / 2.0f;
        break;
    case 3:
        top = y - (leading + height) / 2.0f;
        break;
    case 4:
        top = y - height / 2.0f;
        break;
    case 5:
        top = y - ascent;
        break;
    case 6:
        top = y - height;
        break;
    default:
        TRACE_VALUE(int32_t, int32_t(m_state.textAlignV));
        ReportFailure();
        break;
    }
    // Right-aligned text ends at x exactly, whatever the rounding of left.
    const float right = m_state.textAlignH == 2 ? x : left + width;
    if (cell)
        *cell = CRectF(left, top, right, top + height);
    return CPoint2(left, top + ascent);
}

// ---- Item placement ------------------------------------------------------------

void CGraphicsContext::ComputeItemTransform(int mode, const CCamera& camera,
                                            const CTransform& matrix,
                                            const CTransform& viewMatrix, CDrawable& drawable)
{
    TRACE_VALUE(int32_t, mode);
    if (mode == 0)
        return;
    if (mode < 0 || mode > 3) {
        ReportFailure();
        return;
    }
    const CTransform m = mode == 3 ? CTransform(viewMatrix, matrix) : matrix;
    const CTransform t(m, m_state.matrix);
    const CVector3 p = t.GetTranslation();
    const float s = mode == 1 ? camera.ScaleAtDepth(p.z) : t.GetScale();
    if (!(s > 0.0f) || !std::isfinite(s)) {
        // Nothing upright can be made at no scale; the item keeps its matrix.
        TRACE_VALUE(float, s);
        ReportFailure();
        return;
    }
    CTransform upright;
    upright.Scale(s);
    upright.SetTranslationVector(p);
    if (mode == 2) {
        CBoundsContext::MeasureDrawable(drawable);
        const CTransform q(CTransform(t, true), upright);
        const CBox3 box = q.TransformBox(drawable.GetBounds().At(0.0f));
        upright.TranslateLocal(q.InverseTransformVector(CVector3(0.0f, 0.0f, -box.minZ)));
    }
    m_state.matrix = CTransform(CTransform(m, true), upright);
}
