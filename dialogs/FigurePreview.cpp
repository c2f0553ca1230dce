#include "dialogs/FigurePreview.h"

#include <windows.h>

#include <cmath>

#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/GrassGround.h"
#include "graphics/ImageCache.h"
#include "graphics/PackedModel.h"
#include "objects/annotations/FigureModel.h"
#include "objects/equipment/MarkerGlyph.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/SceneContext3D.h"
#include "ui/Cursors.h"

namespace {

// The scene's slots.
constexpr int kGroundItem = 0;
constexpr int kFigureItem = 1;
constexpr int kOverlayItem = 2;
constexpr float kNearDepth = 120.0f;
constexpr float kFarDepth = 120000.0f;
// How far round the mouse a handle marker is hit, in pixels.
constexpr float kPickMargin = 0.6f;
constexpr int kHandleGlyph = 3;
// A thumbnail's frame: its distance in front of the eye (just beyond the
// nearest depth, so nothing hides it) and width in pixels.
constexpr float kFrameDistance = 130.0f;
constexpr float kFrameWidth = 2.0f;
const uint32_t kSelectedFrame = MakeRgba(255, 0, 0, 255);

// The grass under the figure, 6000 units across: the panels never see
// further.
CGrassGround& GetPreviewGround()
{
    static CGrassGround ground(3000.0f);
    return ground;
}

uint32_t GetButtonFace()
{
    return 0xFF000000u | GetSysColor(COLOR_BTNFACE);
}

}  // namespace

// ---- CFigurePreview ---------------------------------------------------------------

CFigurePreview::CFigurePreview(float width, float height, bool overlay3D)
    : CPanel(true, false), m_scene(false, 3), m_pictureItem(*this), m_frame(true, 1), m_width(width),
      m_height(height), m_figureItem(*this), m_overlayItem(*this)
{
    m_scene.items[kGroundItem] = &GetPreviewGround();
    m_scene.items[kFigureItem] = &m_figureItem;
    m_scene.items[kOverlayItem] = &m_overlayItem;
    m_scene.is3D[kGroundItem] = true;
    m_scene.is3D[kFigureItem] = true;
    m_scene.is3D[kOverlayItem] = overlay3D;
    m_scene.all3D = true;
    m_scene.nearDepth = kNearDepth;
    m_scene.farDepth = kFarDepth;
    m_scene.background = GetButtonFace();
    m_frame.items[0] = &m_pictureItem;
    SetScene(&m_frame);
}

void CFigurePreview::Render()
{
    const float width = bounds.Width(), height = bounds.Height();
    if (!(width >= 1.0f) || !(height >= 1.0f))
        return;
    m_projection.SetOrthographic(false);
    m_projection.UpdateMatrices();
    m_projection.SetDepthRange(m_scene.nearDepth, m_scene.farDepth);
    m_projection.SetViewport(width, height);
    if (m_picture.GetWidth() != width || m_picture.GetHeight() != height)
        m_picture.Resize(width, height);
    if (m_picture.IsEmpty())
        return;
    RenderSceneToBitmap(m_scene, m_picture, false);
    m_pictureItem.MakeUniqueKey();
}

void CFigurePreview::CPictureItem::Draw(CGraphicsContext& context)
{
    m_owner.Render();
    if (!m_owner.m_picture.IsEmpty())
        context.DrawBitmap(m_owner.m_picture, CRectF(0.0f, 0.0f, m_owner.m_picture.GetWidth(),
                                                      m_owner.m_picture.GetHeight()));
}

void CFigurePreview::Measure()
{
    const int width = int(m_width), height = int(m_height);
    minWidth = preferredWidth = maxWidth = width;
    minHeight = preferredHeight = maxHeight = height;
    widthStretch = width == 0 ? 1 : 0;
    heightStretch = height == 0 ? 1 : 0;
}

void CFigurePreview::SetCamera(const CTransform& camera)
{
    m_scene.transform = camera;
    m_overlayItem.MakeUniqueKey();
    Invalidate();
}

void CFigurePreview::RekeyFigure()
{
    m_figureItem.MakeUniqueKey();
    if (m_model && m_model->GetSkin())
        m_model->GetSkin()->MakeUniqueKey();
}

void CFigurePreview::Refresh()
{
    RekeyFigure();
    m_overlayItem.MakeUniqueKey();
    Invalidate();
}

void CFigurePreview::CFigureItem::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CFigureModel* model = m_owner.m_model;
    if (model && model->GetSkin()) {
        model->Update();
        context.DrawDrawable(*model->GetSkin(), 0, 0);
    }
}

// ---- CFigureMainPreview -----------------------------------------------------------

CFigureMainPreview::CFigureMainPreview(float width, float height) : CFigurePreview(width, height, true)
{
}

void CFigureMainPreview::SelectThumbnail(CFigureThumbnail* thumbnail)
{
    CFigureThumbnail* previous = m_selected;
    m_selected = thumbnail;
    if (previous)
        previous->Refresh();
    if (thumbnail) {
        thumbnail->Refresh();
        SetCamera(thumbnail->GetCamera());
    }
}

void CFigureMainPreview::RefreshAll()
{
    Refresh();
    for (CFigureThumbnail* thumbnail : m_thumbnails)
        thumbnail->Refresh();
}

void CFigureMainPreview::DrawOverlay(CGraphicsContext& context)
{
    CFigureModel* model = GetModel();
    if (!model || !model->GetSkin())
        return;
    model->Update();
    const CVector3 eye = GetCamera().GetTranslation();
    const float view[3] = {eye.x, eye.y, eye.z};
    for (int i = 0; i < model->GetHandleCount(); ++i) {
        if (!model->IsHandleShown(i, view))
            continue;
        CVector3 point;
        model->GetHandlePoint(i, point);
        context.PushState();
        context.m_state.matrix.TranslateLocal(point);
        context.DrawDrawable(GetMarkerGlyph(kHandleGlyph), 1, i + 1);
        context.PopState();
    }
}

int CFigureMainPreview::FindHandleAt(float x, float y)
{
    if (!GetModel())
        return -1;
    CSceneContext3D pick(m_scene, GetProjection(), x, y, kPickMargin);
    if (pick.GetHitItem() != kOverlayItem || pick.GetHitPickId() <= 0)
        return -1;
    return pick.GetHitPickId() - 1;
}

CCursors* CFigureMainPreview::GetCursorAt(const CMouseEvent& event)
{
    if (m_dragging)
        return &CCursors::GetGrabHand();
    return FindHandleAt(event.x, event.y) >= 0 ? &CCursors::GetPointHand() : &CCursors::GetArrow();
}

void CFigureMainPreview::OnMouseDown(const CMouseEvent& event)
{
    const int handle = FindHandleAt(event.x, event.y);
    if (handle < 0)
        return;
    m_dragging = true;
    m_handle = handle;
    UpdateCursor();
}

void CFigureMainPreview::OnMouseMove(const CMouseEvent& event)
{
    if (!m_dragging || !GetModel())
        return;
    GetModel()->DragHandle(m_handle, event.x, event.y, GetProjection(), GetCamera());
    RekeyFigure();
    Invalidate();
}

void CFigureMainPreview::OnMouseUp(const CMouseEvent& event)
{
    if (!m_dragging)
        return;
    TRACE_POINT();
    OnMouseMove(event);
    m_dragging = false;
    m_handle = -1;
    UpdateCursor();
    RefreshAll();
    m_onPoseDragged(this);
}

// ---- CFigureThumbnail -------------------------------------------------------------

CFigureThumbnail::CFigureThumbnail(CFigureMainPreview& main, float width, float height)
    : CFigurePreview(width, height, false), m_main(main)
{
    main.AddThumbnail(this);
}

void CFigureThumbnail::OnMouseDown(const CMouseEvent& event)
{
    m_main.SelectThumbnail(this);
}

void CFigureThumbnail::DrawOverlay(CGraphicsContext& context)
{
    // A frame just inside the window's edges, drawn in front of the eye.
    const CCamera& camera = GetProjection();
    const CVector3 corner = camera.UnprojectPoint(0.0f, 0.0f, 0.0f);
    if (!(corner.z < 0.0f))
        return;
    const float f = kFrameDistance / -corner.z;
    const float x = std::fabs(corner.x) * f, y = std::fabs(corner.y) * f;
    const float w = kFrameWidth * camera.ScaleAtDepth(kFrameDistance);
    const float z = -kFrameDistance;
    context.PushState();
    context.m_state.matrix = GetCamera();
    context.m_state.lighting = false;
    context.SetColor(m_main.GetSelectedThumbnail() == this ? kSelectedFrame : GetButtonFace());
    const CPoint2 outer[4] = {{-x, -y}, {x, -y}, {x, y}, {-x, y}};
    const CPoint2 inner[4] = {{-x + w, -y + w}, {x - w, -y + w}, {x - w, y - w}, {-x + w, y - w}};
    context.BeginVertices(2, false, 2);
    for (int i = 0; i <= 4; ++i) {
        context.AddVertex(CVector3(outer[i % 4].x, outer[i % 4].y, z));
        context.AddVertex(CVector3(inner[i % 4].x, inner[i % 4].y, z));
    }
    context.EndVertices();
    context.PopState();
}
