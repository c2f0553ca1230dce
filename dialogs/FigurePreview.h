#pragma once

#include <deque>

#include "foundation/Delegate.h"
#include "foundation/Transform.h"
#include "graphics/Drawable.h"
#include "graphics/PixelBitmap.h"
#include "render3d/Camera.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

class CFigureDlg;
class CFigureModel;
class CFigureThumbnail;

// A small 3D panel of a figure dialog: grass, the dialog's own figure and an
// overlay, seen from a camera of its own. The scene is rendered off screen
// by whatever system draws the views and the picture shown through GDI: a
// child window of a dialog that OpenGL drew into would not reach the screen
// everywhere (Wine), and the panels are small.
class CFigurePreview : public CPanel
{
public:
    // A fixed size in pixels; the overlay is drawn as a 3D item (hidden by
    // what lies in front) or flat over the picture.
    CFigurePreview(float width, float height, bool overlay3D);
    CFigurePreview(const CFigurePreview&) = delete;
    CFigurePreview& operator=(const CFigurePreview&) = delete;

    // Fixed at the size given.
    void Measure() override;

    // The figure shown (not owned).
    void SetModel(CFigureModel* model) { m_model = model; }
    CFigureModel* GetModel() const { return m_model; }
    // From view space into the figure's space: the eye is its translation.
    void SetCamera(const CTransform& camera);
    const CTransform& GetCamera() const { return m_scene.transform; }
    // The projection the scene is rendered with (window pixels).
    const CCamera& GetProjection() const { return m_projection; }
    // The figure or the overlay changed: both are drawn afresh.
    void Refresh();

protected:
    virtual void DrawOverlay(CGraphicsContext& context) {}
    // The figure's pose changed: its drawing is made again.
    void RekeyFigure();

    CScene m_scene;

private:
    // Renders the scene at the panel's size into the picture.
    void Render();
    class CPictureItem : public CDrawable
    {
    public:
        explicit CPictureItem(CFigurePreview& owner) : m_owner(owner) {}
        void Draw(CGraphicsContext& context) override;

    private:
        CFigurePreview& m_owner;
    };

    class CFigureItem : public CDrawable
    {
    public:
        explicit CFigureItem(CFigurePreview& owner) : m_owner(owner) {}
        void Draw(CGraphicsContext& context) override;

    private:
        CFigurePreview& m_owner;
    };
    class COverlayItem : public CDrawable
    {
    public:
        explicit COverlayItem(CFigurePreview& owner) : m_owner(owner) {}
        void Draw(CGraphicsContext& context) override { m_owner.DrawOverlay(context); }

    private:
        CFigurePreview& m_owner;
    };

    CFigureModel* m_model = nullptr;
    CCamera m_projection;
    CPixelBitmap m_picture;
    CPictureItem m_pictureItem;
    CScene m_frame;
    float m_width;
    float m_height;
    CFigureItem m_figureItem;
    COverlayItem m_overlayItem;
};

// The large panel, in which the user drags the figure's limbs by their
// handles: diamond markers at the handles the figure offers from the eye.
// Releasing a handle refreshes the thumbnails and tells the dialog's window
// (`onPoseDragged`) that the dialog's pose is now every figure's.
class CFigureMainPreview : public CFigurePreview
{
public:
    CFigureMainPreview(float width, float height);

    void SetOnPoseDragged(const CDelegate<CFigureMainPreview*>& handler) { m_onPoseDragged = handler; }
    // The thumbnail's frame turns red (the previous one's back), and this
    // panel looks from its camera.
    void SelectThumbnail(CFigureThumbnail* thumbnail);
    CFigureThumbnail* GetSelectedThumbnail() const { return m_selected; }
    void AddThumbnail(CFigureThumbnail* thumbnail) { m_thumbnails.push_back(thumbnail); }
    // Every panel shows the figure afresh.
    void RefreshAll();
    // The handle under a window point, or -1: a marker drawn there.
    int FindHandleAt(float x, float y);
    bool IsDragging() const { return m_dragging; }

    CCursors* GetCursorAt(const CMouseEvent& event) override;
    void OnMouseDown(const CMouseEvent& event) override;
    void OnMouseMove(const CMouseEvent& event) override;
    void OnMouseUp(const CMouseEvent& event) override;

protected:
    void DrawOverlay(CGraphicsContext& context) override;

private:
    CFigureThumbnail* m_selected = nullptr;
    std::deque<CFigureThumbnail*> m_thumbnails;
    bool m_dragging = false;
    int m_handle = -1;
    CDelegate<CFigureMainPreview*> m_onPoseDragged;
};

// A thumbnail that looks at the figure from a fixed camera; a click makes
// the large panel look from it. The selected one is framed in red.
class CFigureThumbnail : public CFigurePreview
{
public:
    // Joins the large panel's thumbnails.
    CFigureThumbnail(CFigureMainPreview& main, float width, float height);

    void OnMouseDown(const CMouseEvent& event) override;

protected:
    void DrawOverlay(CGraphicsContext& context) override;

private:
    CFigureMainPreview& m_main;
};
