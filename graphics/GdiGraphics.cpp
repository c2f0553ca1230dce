#include "graphics/GdiGraphics.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"
#include "graphics/DcState.h"
#include "graphics/Drawable.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GraphicsBackEnd.h"
#include "graphics/PixelBitmap.h"
#include "ui/Scene.h"

namespace {

// GDI keeps path coordinates within 27 bits; farther points are clamped
// (they lie far outside any device anyway).
const float kMaxDeviceCoordinate = float((1 << 27) - 128);

// A wider pen would only make GDI allocate without bound.
const int kMaxPenWidth = 1 << 20;

COLORREF ToColorRef(uint32_t color) { return color & 0x00FFFFFF; }

// TransformPoint2D for a point of the plan with the terms of its z of 0 left
// out: every finite matrix gives the same value with them.
CPoint2 TransformOnPlane(const CTransform& transform, float x, float y)
{
    const float* m = transform.GetMatrix();
    return {x * m[0] - y * m[4] + m[12], -(x * m[1] - y * m[5] + m[13])};
}

}  // namespace

CGdiGraphics::CGdiGraphics() = default;

CGdiGraphics::~CGdiGraphics()
{
    TRACE_POINT();
    m_bitmap.reset();
    ReleaseSelections();
    m_pen.Reset();
    m_brush.Reset();
    m_keptPens.clear();
    m_keptBrushes.clear();
    for (CGdiObject<HFONT>& font : m_fonts)
        font.Reset();
}

void CGdiGraphics::SetDeviceContext(HDC dc)
{
    TRACE_POINT();
    if (!dc)
        ReportFailure();
    if (dc == m_dc)
        return;
    ReleaseSelections();
    if (m_windowDc.Get() && m_windowDc.Get() == m_dc)
        m_windowDc.Reset();
    m_dc = dc;
    m_dcState.Attach(dc);
    m_sceneClipKnown = false;
}

void CGdiGraphics::AttachToWindow(HWND window)
{
    TRACE_POINT();
    if (!window) {
        ReportFailure();
        return;
    }
    CWindowDc windowDc(window);
    if (!windowDc.Get()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return;
    }
    ReleaseSelections();
    m_windowDc = std::move(windowDc);
    m_dc = m_windowDc.Get();
    m_dcState.Attach(m_dc);
    m_sceneClipKnown = false;
}

CGraphicsBackEnd& CGdiGraphics::GetGraphicsSystem() const { return ChooseGraphicsBackEnd(true); }

void CGdiGraphics::ReleaseSelections()
{
    if (!m_dc)
        return;
    SelectObject(m_dc, CDcState::GetStock(BLACK_PEN));
    SelectObject(m_dc, CDcState::GetStock(WHITE_BRUSH));
    SelectObject(m_dc, CDcState::GetStock(SYSTEM_FONT));
    m_dcState.Forget();
    m_miterLimitSet = false;
}

// ---- Device coordinates ---------------------------------------------------------

bool CGdiGraphics::RoundToDevice(float v, LONG& out)
{
    // Every point of every path comes here. Within the device range the
    // rounding takes the floor in integer arithmetic, which gives what
    // RoundHalfUp gives without a library call; beyond it the edge.
    if (v > -kMaxDeviceCoordinate && v < kMaxDeviceCoordinate) {
        const float half = v + 0.5f;
        LONG whole = LONG(half);
        if (float(whole) > half)
            --whole;
        out = whole;
        return true;
    }
    if (!std::isfinite(v)) {
        out = 0;
        return false;
    }
    out = LONG(v < 0.0f ? -kMaxDeviceCoordinate : kMaxDeviceCoordinate);
    return true;
}

bool CGdiGraphics::ToDevice(float x, float y, POINT& out) const
{
    return PlacedToDevice(TransformOnPlane(m_state.matrix, x, y), out);
}

bool CGdiGraphics::PlacedToDevice(const CPoint2& placed, POINT& out) const
{
    CPoint2 p = TransformOnPlane(m_deviceTransform, placed.x, placed.y);
    if (m_oddPenOffset) {
        p.x -= 0.25f;
        p.y -= 0.25f;
    }
    const bool validX = RoundToDevice(p.x, out.x);
    const bool validY = RoundToDevice(p.y, out.y);
    return validX && validY;
}

float CGdiGraphics::GetDeviceScale() const
{
    return m_state.matrix.GetScale() * m_deviceTransform.GetScale();
}

float CGdiGraphics::GetPixelSize() const
{
    const float size = 1.0f / GetDeviceScale();
    return size > 0.0f && std::isfinite(size) ? size : 0.0f;
}

// ---- Pens and brushes -----------------------------------------------------------

HGDIOBJ CGdiGraphics::FindKept(const std::vector<CKeptObject>& kept, uint64_t key)
{
    for (const CKeptObject& each : kept) {
        if (each.key == key)
            return each.object.Get();
    }
    return nullptr;
}

void CGdiGraphics::Keep(std::vector<CKeptObject>& kept, uint64_t key, HGDIOBJ object)
{
    // The new object is in already, so the oldest is selected nowhere.
    if (kept.size() >= kKeptObjects)
        kept.erase(kept.begin());
    kept.push_back(CKeptObject{key, CGdiObject<HGDIOBJ>(object)});
}

void CGdiGraphics::SelectMadePen(HGDIOBJ pen)
{
    m_dcState.SelectPen(pen);
    if (!m_miterLimitSet || m_dcState.IsMetafile())
        SetMiterLimit(m_dc, 2.0f, nullptr);
    m_miterLimitSet = true;
}

int CGdiGraphics::SelectPen()
{
    const float wide = RoundHalfUp(GetDeviceScale() * m_state.penWidth);
    const int width = wide >= 1.0f ? int(std::min(wide, float(kMaxPenWidth))) : 1;
    SelectPen(width, m_state.penColor);
    m_oddPenOffset = (width % 2) == 1 && !m_dcState.IsMetafile();
    return width;
}

void CGdiGraphics::SelectPen(int width, uint32_t color)
{
    const bool metafile = m_dcState.IsMetafile();
    const COLORREF rgb = ToColorRef(color);
    const uint64_t key = (uint64_t(width) << 24) | rgb;
    HGDIOBJ kept = nullptr;

    if (width == 1 && color == 0xFF000000 && !metafile) {
        m_dcState.SelectPen(CDcState::GetStock(BLACK_PEN));
    } else if (!metafile && (kept = FindKept(m_keptPens, key)) != nullptr) {
        SelectMadePen(kept);
    } else if (metafile && m_pen && m_penWidth == width && m_penColor == rgb) {
        m_dcState.SelectPen(m_pen.Get());
    } else {
        LOGBRUSH brush = {BS_SOLID, rgb, 0};
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, DWORD(width), &brush,
                                0, nullptr);
        if (!pen) {
            TRACE_VALUE(int32_t, width);
            ReportFailure(kFailSystemCall);
            m_dcState.SelectPen(CDcState::GetStock(BLACK_PEN));
        } else if (!metafile) {
            SelectMadePen(pen);
            Keep(m_keptPens, key, pen);
        } else {
            // The new pen goes in before the old one is deleted, so the old
            // one is no longer selected anywhere.
            SelectMadePen(pen);
            m_pen.Reset(pen);
            m_penWidth = width;
            m_penColor = rgb;
        }
    }
    m_dcState.SetRasterOperation(R2_COPYPEN);
}

void CGdiGraphics::SelectBrush(uint32_t color, bool hatched)
{
    m_dcState.SetFillMode(ALTERNATE);
    // A metafile keeps the records it always had: the stock black brush
    // goes in first. Elsewhere it goes in only where it is the brush, since
    // a replaced brush is deleted only once the new one is in.
    const bool metafile = m_dcState.IsMetafile();
    const auto selectStockBlack = [this, metafile] {
        if (!metafile)
            m_dcState.SelectBrush(CDcState::GetStock(BLACK_BRUSH));
    };
    if (metafile)
        m_dcState.SelectBrush(CDcState::GetStock(BLACK_BRUSH));
    m_dcState.SetRasterOperation(R2_COPYPEN);

    const COLORREF rgb = ToColorRef(color);
    if (!hatched) {
        if (rgb == RGB(255, 255, 255)) {
            m_dcState.SelectBrush(CDcState::GetStock(WHITE_BRUSH));
            return;
        }
        if (rgb == RGB(0, 0, 0)) {
            selectStockBlack();
            return;
        }
    }
    if (hatched) {
        m_dcState.SetBackgroundColor(RGB(255, 255, 255));
        m_dcState.SetBackgroundMode(OPAQUE);
    }
    const uint64_t key = (uint64_t(hatched) << 24) | rgb;
    if (!metafile) {
        if (HGDIOBJ kept = FindKept(m_keptBrushes, key)) {
            m_dcState.SelectBrush(kept);
            return;
        }
    } else if (m_brush && m_brushHatched == hatched && m_brushColor == rgb) {
        m_dcState.SelectBrush(m_brush.Get());
        return;
    }
    HBRUSH brush = hatched ? CreateHatchBrush(HS_DIAGCROSS, rgb) : CreateSolidBrush(rgb);
    if (!brush) {
        TRACE_VALUE(CRgba, color);
        ReportFailure(kFailSystemCall);
        selectStockBlack();
        return;
    }
    m_dcState.SelectBrush(brush);
    if (!metafile) {
        Keep(m_keptBrushes, key, brush);
        return;
    }
    m_brush.Reset(brush);
    m_brushHatched = hatched;
    m_brushColor = rgb;
}

// ---- Paths ------------------------------------------------------------------------

void CGdiGraphics::EmitBeginPath(bool stroke, bool fill)
{
    TRACE_POINT();
    m_pathHasFigure = false;
    m_pathInvalid = false;
    m_pathPoints.clear();
    m_pathTypes.clear();
    // Inside a nested drawable the matrix is mostly the identity, which
    // leaves every point as it is: its points skip it.
    static const CTransform identity;
    m_plainPathMatrix = m_state.matrix == identity;
    if (!m_dc) {
        ReportFailure();
        m_pathInvalid = true;
        return;
    }
    // A fill stays within the bounds of the points. A pen made here has flat
    // caps and miter joins at the miter limit of 2: a miter's tip lies at
    // most its width from the vertex. One more pixel covers the rounding of
    // the rasteriser.
    m_pathReach = 1;
    m_pathStyle = CGdiDrawingCache::CPathStyle();
    if (stroke) {
        m_pathStyle.stroke = true;
        m_pathStyle.penWidth = SelectPen();
        m_pathStyle.penColor = m_state.penColor;
        m_pathReach += m_pathStyle.penWidth;
    }
    if (fill) {
        m_pathStyle.fill = true;
        m_pathStyle.fillColor = m_state.fillColor;
        m_pathStyle.hatched = m_state.fillPattern == 1;
        SelectBrush(m_pathStyle.fillColor, m_pathStyle.hatched);
    }
}

bool CGdiGraphics::PathPointToDevice(const CPoint2& point, POINT& out)
{
    if (m_plainPathMatrix ? PlacedToDevice(point, out) : ToDevice(point.x, point.y, out))
        return true;
    TRACE_VALUE(CPoint2, point);
    ReportFailure();
    m_pathInvalid = true;
    return false;
}

bool CGdiGraphics::AddPathPoint(const CPoint2& point, BYTE type)
{
    POINT p;
    if (m_pathInvalid || !PathPointToDevice(point, p))
        return false;
    m_pathPoints.push_back(p);
    m_pathTypes.push_back(type);
    return true;
}

void CGdiGraphics::EmitMoveTo(float x, float y)
{
    if (AddPathPoint(CPoint2(x, y), PT_MOVETO))
        m_pathHasFigure = true;
}

void CGdiGraphics::EmitLineTo(float x, float y) { AddPathPoint(CPoint2(x, y), PT_LINETO); }

void CGdiGraphics::EmitBezierTo(const CCurveGeometry& curve)
{
    POINT points[3];
    if (m_pathInvalid || !PathPointToDevice(curve.p1, points[0]) || !PathPointToDevice(curve.p2, points[1]) ||
        !PathPointToDevice(curve.p3, points[2]))
        return;
    m_pathPoints.insert(m_pathPoints.end(), points, points + 3);
    m_pathTypes.insert(m_pathTypes.end(), 3, BYTE(PT_BEZIERTO));
}

void CGdiGraphics::EmitCloseFigure()
{
    if (!m_pathInvalid && !m_pathTypes.empty())
        m_pathTypes.back() |= PT_CLOSEFIGURE;
}

bool CGdiGraphics::FindClipBox(RECT& clip) const
{
    if (m_sceneClipKnown) {
        clip = m_sceneClip;
        return true;
    }
    return m_dc && GetClipBox(m_dc, &clip) != ERROR;
}

bool CGdiGraphics::MissesClip(const CRectF* rects, size_t count) const
{
    RECT clip;
    if (m_dcState.IsMetafile() || !FindClipBox(clip))
        return false;
    const CTransform toDevice(m_deviceTransform, m_state.matrix);
    const float left = float(clip.left) - kClipAllowance;
    const float top = float(clip.top) - kClipAllowance;
    const float right = float(clip.right) + kClipAllowance;
    const float bottom = float(clip.bottom) + kClipAllowance;
    for (size_t i = 0; i < count; ++i) {
        const CRectF& r = rects[i];
        const CPoint2 corners[4] = {toDevice.TransformPoint2D(r.left, r.top), toDevice.TransformPoint2D(r.right, r.top),
                                    toDevice.TransformPoint2D(r.left, r.bottom),
                                    toDevice.TransformPoint2D(r.right, r.bottom)};
        bool beyond[4] = {true, true, true, true};
        for (const CPoint2& p : corners) {
            // A point that is no number could lie anywhere.
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return false;
            beyond[0] = beyond[0] && p.x < left;
            beyond[1] = beyond[1] && p.x > right;
            beyond[2] = beyond[2] && p.y < top;
            beyond[3] = beyond[3] && p.y > bottom;
        }
        if (!beyond[0] && !beyond[1] && !beyond[2] && !beyond[3])
            return false;
    }
    return true;
}

bool CGdiGraphics::DropPartsOutsideClip()
{
    RECT clip;
    if (!FindClipBox(clip))
        return true;
    // The box is in logical units, which are pixels: nothing sets a mapping
    // mode in the contexts drawn into. It leaves out its right and bottom
    // edges.
    const RECT reached = {clip.left - m_pathReach, clip.top - m_pathReach, clip.right + m_pathReach,
                          clip.bottom + m_pathReach};
    const auto misses = [&reached](const RECT& bounds) {
        return bounds.right < reached.left || bounds.left >= reached.right || bounds.bottom < reached.top ||
               bounds.top >= reached.bottom;
    };
    const auto include = [](RECT& bounds, const POINT& p) {
        bounds = {std::min(bounds.left, p.x), std::min(bounds.top, p.y), std::max(bounds.right, p.x),
                  std::max(bounds.bottom, p.y)};
    };
    // Each figure is stroked on its own, and a closed figure away from a
    // pixel leaves its fill there as it was: a figure that cannot reach the
    // box changes no pixel in it. Every figure starts with its move.
    const auto startsFigure = [this](size_t i) { return (m_pathTypes[i] & ~PT_CLOSEFIGURE) == PT_MOVETO; };
    const size_t count = m_pathPoints.size();
    if (count == 0 || !startsFigure(0))
        return true;
    // Most paths lie wholly within reach: then every figure and segment does.
    const auto inReach = [&reached](const POINT& p) {
        return p.x >= reached.left && p.x < reached.right && p.y >= reached.top && p.y < reached.bottom;
    };
    if (std::all_of(m_pathPoints.begin(), m_pathPoints.end(), inReach))
        return true;
    const bool strokeOnly = IsPathStroked() && !IsPathFilled();
    // What is kept is written over the path: a kept point never lands after
    // its own place, nor on a point still to be read.
    size_t kept = 0;
    const auto keep = [this, &kept](size_t i, BYTE type) {
        m_pathPoints[kept] = m_pathPoints[i];
        m_pathTypes[kept] = type;
        ++kept;
    };
    size_t end = 0;
    for (size_t start = 0; start < count; start = end) {
        // Bezier control points hold their curve within their bounds.
        RECT bounds = {m_pathPoints[start].x, m_pathPoints[start].y, m_pathPoints[start].x, m_pathPoints[start].y};
        bool openLine = true;
        for (end = start + 1; end < count && !startsFigure(end); ++end) {
            include(bounds, m_pathPoints[end]);
            openLine = openLine && m_pathTypes[end] == PT_LINETO;
        }
        if (misses(bounds))
            continue;
        if (!strokeOnly || !openLine) {
            for (size_t i = start; i < end; ++i)
                keep(i, m_pathTypes[i]);
            continue;
        }
        // An open line only stroked is split where a segment cannot reach
        // the box: both ends of that segment lie beyond the reach, so the
        // joins there, which become flat ends, could not reach it either.
        bool drawing = false;
        for (size_t i = start + 1; i < end; ++i) {
            RECT segment = {m_pathPoints[i].x, m_pathPoints[i].y, m_pathPoints[i].x, m_pathPoints[i].y};
            include(segment, m_pathPoints[i - 1]);
            if (misses(segment)) {
                drawing = false;
                continue;
            }
            if (!drawing)
                keep(i - 1, PT_MOVETO);
            keep(i, PT_LINETO);
            drawing = true;
        }
    }
    m_pathPoints.resize(kept);
    m_pathTypes.resize(kept);
    return kept != 0;
}

bool CGdiGraphics::PutPathIntoDc()
{
    const bool drawn = !m_pathInvalid && m_pathHasFigure;
    const bool metafile = m_dcState.IsMetafile();
    // Nothing to draw: a path of moves only, or one with a point that is
    // not a number, which would draw to some arbitrary place. A metafile
    // records the abandoned path as it always has.
    if (!drawn && !metafile)
        return false;
    // GDI takes time over every scan line a figure spans, even where it
    // draws nothing.
    if (!metafile && !DropPartsOutsideClip())
        return false;
    if (!::BeginPath(m_dc)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return false;
    }
    if (!metafile) {
        if (PolyDraw(m_dc, m_pathPoints.data(), m_pathTypes.data(), int(m_pathPoints.size())))
            return true;
        TRACE_VALUE(int32_t, int32_t(m_pathPoints.size()));
        ReportFailure(kFailSystemCall);
        AbortPath(m_dc);
        return false;
    }
    // A metafile's records are the picture: the path goes in figure command
    // by figure command, as it always has.
    for (size_t i = 0; i < m_pathPoints.size(); ++i) {
        const POINT& p = m_pathPoints[i];
        BOOL done;
        if (m_pathTypes[i] == PT_MOVETO) {
            done = MoveToEx(m_dc, p.x, p.y, nullptr);
        } else if ((m_pathTypes[i] & ~PT_CLOSEFIGURE) == PT_LINETO) {
            done = ::LineTo(m_dc, p.x, p.y);
        } else {
            done = PolyBezierTo(m_dc, &p, 3);
            i += 2;
        }
        if (done && (m_pathTypes[i] & PT_CLOSEFIGURE))
            done = ::CloseFigure(m_dc);
        if (!done)
            ReportFailure(kFailSystemCall);
    }
    if (!drawn)
        AbortPath(m_dc);
    return drawn;
}

void CGdiGraphics::EmitEndPath()
{
    TRACE_POINT();
    m_oddPenOffset = false;
    if (!m_dc || !PutPathIntoDc())
        return;
    const bool stroke = IsPathStroked();
    const bool fill = IsPathFilled();
    if (m_keptDrawing) {
        // A path that asked for neither pen nor brush is not given again.
        if (stroke == m_pathStyle.stroke && fill == m_pathStyle.fill && (stroke || fill))
            CGdiDrawingCache::AddPath(*m_keptDrawing, m_pathStyle, m_pathPoints, m_pathTypes);
        else
            m_keptDrawing->drewOther = true;
    }
    PaintPath(stroke, fill);
}

void CGdiGraphics::PaintPath(bool stroke, bool fill)
{
    if (!::EndPath(m_dc)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return;
    }
    if (!stroke && !fill) {
        ReportFailure();
        fill = true;
    }
    BOOL done;
    if (stroke && fill)
        done = StrokeAndFillPath(m_dc);
    else if (stroke)
        done = StrokePath(m_dc);
    else
        done = FillPath(m_dc);
    if (!done) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

void CGdiGraphics::PaintKeptDrawing(const CGdiDrawingCache::CDrawing& drawing)
{
    for (const CGdiDrawingCache::CPart& part : drawing.parts) {
        if (part.text >= 0) {
            const CGdiDrawingCache::CKeptText& text = drawing.texts[size_t(part.text)];
            PaintText(text.line, text.characters, text.advances);
            continue;
        }
        const CGdiDrawingCache::CPathStyle& style = part.style;
        if (style.stroke)
            SelectPen(style.penWidth, style.penColor);
        if (style.fill)
            SelectBrush(style.fillColor, style.hatched);
        if (!::BeginPath(m_dc)) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
            return;
        }
        if (!PolyDraw(m_dc, &drawing.points[part.first], &drawing.types[part.first], int(part.count))) {
            TRACE_VALUE(int32_t, int32_t(part.count));
            ReportFailure(kFailSystemCall);
            AbortPath(m_dc);
            continue;
        }
        PaintPath(style.stroke, style.fill);
    }
}

// ---- Bitmaps and nested drawables ------------------------------------------------

void CGdiGraphics::DrawBitmap(const CPixelBitmap& bitmap, const CRectF& rect)
{
    TRACE_POINT();
    // Bitmaps are not kept for the next frame.
    if (m_keptDrawing)
        m_keptDrawing->drewOther = true;
    if (!m_dc) {
        ReportFailure();
        return;
    }
    // A picture that could not be loaded was reported where it failed.
    if (bitmap.IsEmpty())
        return;
    POINT a, b;
    if (!ToDevice(rect.left, rect.top, a) || !ToDevice(rect.right, rect.bottom, b)) {
        TRACE_VALUE(CRectF, rect);
        ReportFailure();
        return;
    }
    RECT target = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    // Smaller than a pixel at this scale: nothing to see.
    if (target.right <= target.left || target.bottom <= target.top)
        return;
    // A window or a memory bitmap reads the pixels where they are. A
    // metafile or a printer gets a DIB of the colours, so that the records
    // of a copied picture and what printer drivers see stay as they were.
    if (m_dcState.IsDisplay()) {
        CGdiBitmap::StretchPixelsTo(bitmap, m_dc, target);
        return;
    }
    if (!m_bitmap)
        m_bitmap = std::make_unique<CGdiBitmap>();
    m_bitmap->SetPixels(bitmap);
    m_bitmap->StretchTo(m_dc, target);
}

void CGdiGraphics::DrawDrawable(CDrawable& drawable, int mode, int flag)
{
    TRACE_VALUE(int32_t, mode);
    if (m_nesting >= kMaxNesting) {
        ReportFailure();
        return;
    }
    const CTransform matrix = m_state.matrix;
    static const CTransform identity;
    // Mode 0, every course object's, keeps the matrix as it is.
    if (mode != 0)
        ComputeItemTransform(mode, m_camera, m_deviceTransform, m_scene ? m_scene->transform : identity, drawable);
    PushState();
    const CTransform device = m_deviceTransform;
    m_deviceTransform = CTransform(m_deviceTransform, m_state.matrix);
    m_state.Reset(CVector3());
    ++m_nesting;
    // A scene's own items, the layers, draw whatever their panel holds now;
    // what they hold is given again where it drew as before.
    if (m_keepingDrawings && m_nesting > 1 && !m_keptDrawing)
        DrawOrPaintKept(drawable);
    else
        drawable.Draw(*this);
    --m_nesting;
    m_deviceTransform = device;
    PopState();
    m_state.matrix = matrix;
}

void CGdiGraphics::DrawOrPaintKept(CDrawable& drawable)
{
    const std::string& key = drawable.GetKey();
    if (const CGdiDrawingCache::CDrawing* kept = m_drawingCache.Find(drawable, key, m_deviceTransform)) {
        if (kept->drewOther)
            drawable.Draw(*this);
        else
            PaintKeptDrawing(*kept);
        return;
    }
    m_keptDrawing = m_drawingCache.Start(drawable, key, m_deviceTransform);
    drawable.Draw(*this);
    m_keptDrawing = nullptr;
}

// ---- Rendering a scene -----------------------------------------------------------

void CGdiGraphics::RenderScene()
{
    TRACE_POINT();
    if (!m_dc) {
        ReportFailure();
        return;
    }
    // Whoever else draws into the context may have changed its state since
    // the last frame.
    m_dcState.Forget();
    m_miterLimitSet = false;
    if (!m_scene)
        return;
    const float width = m_camera.GetWindowWidth();
    const float height = m_camera.GetWindowHeight();
    // A minimised window has no pixels; its scale would be infinite.
    if (!(width > 0.0f) || !(height > 0.0f))
        return;

    if (GetAlpha(m_scene->background) != 0) {
        m_deviceTransform.SetIdentity();
        m_state.Reset(CVector3());
        m_state.fillColor = m_scene->background;
        BeginPath(false, true, 1);
        AddRect(CRectF(0.0f, 0.0f, width, height));
        EndPath();
    }

    const CTransform view(m_scene->transform, true);
    CTransform device;
    bool drawable = true;
    if (m_camera.IsOrthographic()) {
        device.SetPosition2D(-m_camera.GetOffsetX(), -m_camera.GetOffsetY());
    } else {
        device.SetPosition2D(m_camera.GetProjectionWidth() / 2.0f - m_camera.GetOffsetX(),
                             m_camera.GetProjectionHeight() / 2.0f - m_camera.GetOffsetY());
        const float scale = m_camera.ScaleAtDepth(view.GetTranslation().z);
        if (scale > 0.0f && std::isfinite(scale) && std::isfinite(1.0f / scale)) {
            device.Scale(1.0f / scale);
        } else {
            // The scene's origin lies in the eye: no finite picture exists.
            TRACE_VALUE(float, scale);
            ReportFailure();
            drawable = false;
        }
    }
    if (drawable) {
        m_deviceTransform = CTransform(device, view);
        m_sceneClipKnown = GetClipBox(m_dc, &m_sceneClip) != ERROR;
        // A metafile's records are the picture: each frame draws it anew.
        // A canvas keeps drawings from its second frame on: one made for a
        // single picture (off screen, a tile, a print) would only pay for
        // them.
        m_keepingDrawings = m_sceneClipKnown && !m_dcState.IsMetafile() && m_drewFrame;
        if (m_keepingDrawings) {
            CGdiDrawingCache::CFrameView frameView;
            frameView.clip = m_sceneClip;
            frameView.device = m_deviceTransform;
            frameView.scene = m_scene->transform;
            std::copy_n(m_camera.GetProjectionMatrix(), 16, frameView.projection);
            frameView.windowWidth = width;
            frameView.windowHeight = height;
            frameView.orthographic = m_camera.IsOrthographic();
            m_drawingCache.BeginFrame(frameView);
        }
        for (CDrawable* item : m_scene->items) {
            if (!item)
                continue;
            m_state.Reset(CVector3());
            DrawDrawable(*item, 0, 0);
        }
        if (m_keepingDrawings)
            m_drawingCache.EndFrame();
        m_keepingDrawings = false;
        m_drewFrame = true;
        m_sceneClipKnown = false;
    }
    if (!GdiFlush())
        ReportFailure(kFailSystemCall);
}
